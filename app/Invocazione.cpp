#include "app/Invocazione.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vagolume {

namespace {
constexpr qint64 kMaxRiga = qint64{64} * 1024; // longer first lines are cut here

bool MesePrima() {
    const QString formato = QLocale::system().dateFormat(QLocale::ShortFormat);
    const qsizetype m = formato.indexOf(u'M');
    const qsizetype d = formato.indexOf(u'd');
    return m >= 0 && d >= 0 && m < d;
}

std::optional<int> Numero(const QString& parte, int maxCifre) {
    if (parte.isEmpty() || parte.size() > maxCifre) return std::nullopt;
    int n = 0;
    for (QChar c : parte) {
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}
} // namespace

QString Trim(const QString& t) {
    qsizetype inizio = 0, fine = t.size();
    while (inizio < fine && t[inizio] == u' ')
        ++inizio;
    while (fine > inizio && t[fine - 1] == u' ')
        --fine;
    return t.mid(inizio, fine - inizio);
}

std::optional<DataInvocazione> LeggiDataInvocazione(const QString& testo) {
    static const QRegularExpression separatori(QStringLiteral("[/\\-. ]+"));
    const QStringList parti = Trim(testo).split(separatori, Qt::SkipEmptyParts);
    if (parti.size() != 3) return std::nullopt;
    std::optional<int> g, m, a;
    if (parti[0].size() == 4) {
        a = Numero(parti[0], 4);
        m = Numero(parti[1], 2);
        g = Numero(parti[2], 2);
    } else {
        const bool mesePrima = MesePrima();
        g = Numero(parti[mesePrima ? 1 : 0], 2);
        m = Numero(parti[mesePrima ? 0 : 1], 2);
        a = Numero(parti[2], 4);
        if (a && parti[2].size() <= 2) a = *a < 30 ? 2000 + *a : 1900 + *a;
    }
    if (!g || !m || !a || *a < 1 || !QDate::isValid(*a, *m, *g)) return std::nullopt;
    return DataInvocazione{*g, *m, *a};
}

Invocazione AnalizzaRigaComando(const QString& riga) {
    Invocazione r;
    QString resto = riga;
    // a. A program path in front ends at ".exe".
    qsizetype p = resto.indexOf(QLatin1String(".exe"));
    if (p >= 0) resto = Trim(resto.mid(p + 4));
    // b. The destination runs to the first comma, blanks included.
    p = resto.indexOf(u',');
    if (p >= 0) r.Destinazione = resto.left(p);
    resto = Trim(resto.mid(p + 1));
    // c. Start date up to the next comma, end date after it.
    QString inizio, fine;
    p = resto.indexOf(u',');
    if (p >= 0) {
        inizio = resto.left(p);
        resto = Trim(resto.mid(p + 1));
        fine = resto;
    }
    // d. Each date is read on its own; one that is not a date keeps the default.
    r.Inizio = LeggiDataInvocazione(inizio);
    r.Fine = LeggiDataInvocazione(fine);
    r.Resto = resto;
    return r;
}

LetturaFileComando LeggiFileComando(const QString& cartella) {
    LetturaFileComando esito;
    const QString percorso = QDir(cartella).filePath(QStringLiteral("Commandline.txt"));
    const QByteArray nome = QFile::encodeName(percorso);
    struct stat info {};
    if (::lstat(nome.constData(), &info) != 0) return esito; // no file: no invocation data
    if (!S_ISREG(info.st_mode)) {
        esito.Avviso = QStringLiteral("%1 non è un file normale: ignorato").arg(percorso);
        return esito;
    }
    const int fd = ::open(nome.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        esito.Avviso = QStringLiteral("impossibile leggere %1: %2")
                           .arg(percorso, QString::fromLocal8Bit(std::strerror(errno)));
        return esito;
    }
    QByteArray dati;
    char blocco[4096];
    while (dati.size() < kMaxRiga) {
        const ssize_t n = ::read(fd, blocco, sizeof blocco);
        if (n <= 0) break;
        dati.append(blocco, n);
        if (dati.contains('\n') || dati.contains('\r')) break;
    }
    ::close(fd);
    esito.Trovato = true;
    qsizetype fine = dati.size();
    for (char separatore : {'\n', '\r'}) {
        const qsizetype i = dati.indexOf(separatore);
        if (i >= 0 && i < fine) fine = i;
    }
    if (fine > kMaxRiga) fine = kMaxRiga;
    // The itinerary program may write its line in UTF-8 or in a Western
    // single-byte code page; bytes that are not UTF-8 are read as the latter.
    const QByteArray riga = dati.left(fine);
    QStringDecoder utf8(QStringDecoder::Utf8);
    esito.Riga = utf8.decode(riga);
    if (utf8.hasError()) esito.Riga = QString::fromLatin1(riga);
    // The file is consumed by one start; unlink removes the name itself, never
    // what a link might point to.
    if (::unlink(nome.constData()) != 0)
        esito.Avviso = QStringLiteral("impossibile cancellare %1: %2")
                           .arg(percorso, QString::fromLocal8Bit(std::strerror(errno)));
    return esito;
}

} // namespace vagolume
