#include "calendar/Calendario.h"

#include <cmath>
#include <limits>

namespace vagolume {

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
    case 0:
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

double Data2Giul(const QString& X) {
    int16_t g = 0, m = 0, a = 0;
    Data2Gma(X, g, m, a);
    const double dopoFebbraio = m > 2 ? 1.0 : 0.0;
    const double nonBisestile = (m > 2 && a % 4 != 0) ? 1.0 : 0.0;
    return Int(365.25 * a - 395.25) + Int(30.57 * m) + g - dopoFebbraio - nonBisestile;
}

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
