#include "calendar/Calendario.h"

#include <cmath>
#include <limits>

namespace vagolume {

namespace {
// Three letters a name, from Saturday, as the remainder of the day numbers by
// 7 counts the week. Nine names for seven days: the table runs on into the
// next week's Saturday and Sunday, as the one of the printed form always has;
// an index taken modulo 7 never reaches names 7 and 8.
const QString kGiorni = QStringLiteral("SabDomLunMarMerGioVenSabDom");
const QString kMesi = QStringLiteral("GenFebMarAprMagGiuLugAgoSetOttNovDic");
} // namespace

int16_t IndiceSettimana(const QDate& d) {
    // dayOfWeek() counts Monday 1 to Sunday 7.
    return d.isValid() ? static_cast<int16_t>((d.dayOfWeek() + 1) % 7) : int16_t(0);
}

QString NomeGiorno(const QDate& d) {
    if (!d.isValid()) return {};
    return kGiorni.mid(3 * IndiceSettimana(d), 3);
}

QString NomeMese(const QDate& d) {
    if (!d.isValid()) return {};
    return kMesi.mid(3 * (d.month() - 1), 3);
}

QString TestoGiorno(const QDate& d) {
    if (!d.isValid()) return {};
    return Zero(d.day(), 2);
}

int NumeroGiorni(const QDate& dal, const QDate& al) {
    if (!dal.isValid() || !al.isValid() || al < dal) return 0;
    const qint64 giorni = dal.daysTo(al) + 1;
    return giorni > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                    : static_cast<int>(giorni);
}

double Int(double x) {
    return std::floor(x);
}

int16_t A16Bit(double valore) {
    if (!std::isfinite(valore) || valore < -32768.0 || valore > 32767.0)
        throw ErroreCalcolo("valore fuori dall'intervallo a 16 bit");
    return static_cast<int16_t>(valore);
}

int16_t ValoreNumerico(const QString& testo) {
    int32_t valore = 0;
    for (QChar c : testo) {
        if (c < u'0' || c > u'9') break;
        valore = valore * 10 + (c.unicode() - u'0');
        if (valore > 32767) throw ErroreCalcolo("numero fuori dall'intervallo a 16 bit");
    }
    return static_cast<int16_t>(valore);
}

int16_t GiorniMese(const int16_t& a, const int16_t& m) {
    switch (m) {
    case 0: // an empty or non-numeric month text: every day stays choosable
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2: {
        const bool bisestile = (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
        return bisestile ? 29 : 28;
    }
    default:
        return 28;
    }
}

QString Zero(const int& n, const int& c) {
    const QString testo = QString(c, u'0') + QString::number(n);
    return testo.right(c);
}

QString Data2Data(const QString& X) {
    return X.mid(0, 2) + u'/' + X.mid(2, 2) + u'/' + X.mid(4);
}

void Data2Gma(const QString& X, int16_t& g, int16_t& m, int16_t& a) {
    g = ValoreNumerico(X.mid(0, 2));
    m = ValoreNumerico(X.mid(2, 2));
    a = ValoreNumerico(X.mid(4));
}

// The day number of a date text. 365.25 a - 395.25 counts the days of the
// years before year a, a quarter day a year making every fourth year a leap
// year, less 30 (395.25 = 365.25 + 30). 30.57 m counts the days before month
// m, plus 30, as if every month had 30.57 days: taking the whole part gives
// January its 31 days and every month from March on its real length, and
// gives February 30 days, which the two corrections for the months after it
// bring back to 29, or to 28 outside the years divisible by 4. The two 30s
// cancel out.
double Data2Giul(const QString& X) {
    int16_t g = 0, m = 0, a = 0;
    Data2Gma(X, g, m, a);
    const double dopoFebbraio = m > 2 ? 1.0 : 0.0;
    const double nonBisestile = (m > 2 && a % 4 != 0) ? 1.0 : 0.0;
    return Int(365.25 * a - 395.25) + Int(30.57 * m) + g - dopoFebbraio - nonBisestile;
}

// The inverse of Data2Giul. The year is estimated by dividing by 365.26, not
// 365.25: with 365.25, 31 December of a leap year would give the next year,
// from which no month can be read back. The slightly long year makes the
// estimate err only the other way, one year short in the first days of
// January, which comes out as a month 13 of the year before and is moved on
// at the end. For the days after February (r beyond 91 - w, the value of its
// last day) the February correction is undone, and month and day are read
// back with the same 30.57 days a month.
void Giul2Data(const double& n, int16_t& g, int16_t& m, int16_t& a) {
    a = A16Bit(Int(n / 365.26) + 1);
    float r = static_cast<float>(n - Int(365.25 * a - 395.25));
    const int w = (a % 4 == 0) ? 1 : 2;
    if (r > static_cast<float>(91 - w)) r += static_cast<float>(w);
    m = A16Bit(Int(r / 30.57));
    // Whole-number assignment rounds halves to the even integer.
    g = A16Bit(std::nearbyint(static_cast<double>(r) - Int(30.57 * m)));
    if (m > 12) {
        m = static_cast<int16_t>(m - 12);
        a = A16Bit(static_cast<double>(a) + 1);
    }
}

QString Gma2Data(const int16_t& g, const int16_t& m, const int16_t& a) {
    return Zero(g, 2) + Zero(m, 2) + Zero(a, 4);
}

QString Giu2Datas(const double& n) {
    int16_t g = 0, m = 0, a = 0;
    Giul2Data(n, g, m, a);
    return Gma2Data(g, m, a);
}

} // namespace vagolume
