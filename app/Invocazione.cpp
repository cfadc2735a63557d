#include "app/Invocazione.h"

#include "print/StampaTesto.h"

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
#include <tuple>
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

std::optional<DataInvocazione> LeggiDataInvocazione(const QString& testo) {
    static const QRegularExpression separatori(QStringLiteral("[/\\-. ]+"));
    const QStringList parti = TogliSpazi(testo).split(separatori, Qt::SkipEmptyParts);
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

namespace {
bool ScartoFinale(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == QChar(0x00A0) || c == QChar(0x001A);
}

QString TestoCitato(const QString& t) {
    return u'"' + t + u'"';
}

// Why a parsed line cannot be printed; empty when it can.
QString Controlla(const Invocazione& r, const QString& inizio, const QString& fine) {
    if (!r.Destinazione || TogliSpazi(*r.Destinazione).isEmpty())
        return QStringLiteral("destinazione mancante nella riga di comando");
    if (fine.contains(u','))
        return QStringLiteral("testo dopo la data finale nella riga di comando: %1").arg(TestoCitato(fine));
    if (!r.Inizio) return QStringLiteral("data iniziale non leggibile: %1").arg(TestoCitato(inizio));
    if (!r.Fine) return QStringLiteral("data finale non leggibile: %1").arg(TestoCitato(fine));
    for (const auto& [d, testo, nome] :
         {std::tuple{*r.Inizio, inizio, "iniziale"}, std::tuple{*r.Fine, fine, "finale"}}) {
        if (d.Anno < kPrimoAnno || d.Anno > kUltimoAnno)
            return QStringLiteral("data %1 fuori dagli anni %2-%3: %4")
                .arg(QLatin1String(nome))
                .arg(kPrimoAnno)
                .arg(kUltimoAnno)
                .arg(TestoCitato(testo));
    }
    const QDate a(r.Inizio->Anno, r.Inizio->Mese, r.Inizio->Giorno);
    const QDate b(r.Fine->Anno, r.Fine->Mese, r.Fine->Giorno);
    if (b < a)
        return QStringLiteral("data finale %1 precedente alla data iniziale %2")
            .arg(TestoCitato(fine), TestoCitato(inizio));
    return {};
}
} // namespace

Invocazione AnalizzaRigaComando(const QString& riga) {
    Invocazione r;
    qsizetype lunghezza = riga.size();
    while (lunghezza > 0 && ScartoFinale(riga[lunghezza - 1]))
        --lunghezza;
    QString resto = riga.left(lunghezza);
    // a. A program path in front ends at ".exe".
    qsizetype p = resto.indexOf(QLatin1String(".exe"));
    if (p >= 0) resto = TogliSpazi(resto.mid(p + 4));
    // b. The destination runs to the first comma, blanks included.
    p = resto.indexOf(u',');
    if (p >= 0) r.Destinazione = resto.left(p);
    resto = TogliSpazi(resto.mid(p + 1));
    // c. Start date up to the next comma, end date after it.
    QString inizio, fine;
    p = resto.indexOf(u',');
    if (p >= 0) {
        inizio = resto.left(p);
        resto = TogliSpazi(resto.mid(p + 1));
        fine = resto;
    }
    // d. Each date is read on its own; one that is not a date keeps the default.
    r.Inizio = LeggiDataInvocazione(inizio);
    r.Fine = LeggiDataInvocazione(fine);
    r.Resto = resto;
    r.Errore = Controlla(r, TogliSpazi(inizio), fine);
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
        esito.Inutilizzabile = true;
        return esito;
    }
    // Claimed first: of two starts, the one whose rename succeeds reads it.
    const QByteArray privato =
        QFile::encodeName(QDir(cartella).filePath(QStringLiteral(".Commandline-%1.txt").arg(::getpid())));
    if (::rename(nome.constData(), privato.constData()) != 0) {
        if (errno == ENOENT) return esito; // another start took it
        esito.Avviso = QStringLiteral("impossibile prendere in carico %1 (%2): la riga non viene eseguita")
                           .arg(percorso, QString::fromLocal8Bit(std::strerror(errno)));
        esito.Inutilizzabile = true;
        return esito;
    }
    const int fd = ::open(privato.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    QByteArray dati;
    const int erroreApertura = errno;
    if (fd >= 0) {
        char blocco[4096];
        while (dati.size() < kMaxRiga) {
            const ssize_t n = ::read(fd, blocco, sizeof blocco);
            if (n <= 0) break;
            dati.append(blocco, n);
        }
        ::close(fd);
    }
    // The file is consumed by one start; unlink removes the name itself, never
    // what a link might point to.
    ::unlink(privato.constData());
    if (fd < 0) {
        esito.Avviso = QStringLiteral("impossibile leggere %1: %2")
                           .arg(percorso, QString::fromLocal8Bit(std::strerror(erroreApertura)));
        return esito;
    }
    esito.Trovato = true;
    QString testo;
    if (dati.startsWith("\xFF\xFE") || dati.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(dati.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        testo = utf16.decode(dati.mid(2));
    } else if (dati.startsWith("\xEF\xBB\xBF")) {
        testo = QString::fromUtf8(dati.mid(3));
    } else {
        // The itinerary program may write its line in UTF-8 or in a Western
        // single-byte code page; bytes that are not UTF-8 are read as the latter.
        qsizetype fine = dati.size();
        for (char separatore : {'\n', '\r'}) {
            const qsizetype i = dati.indexOf(separatore);
            if (i >= 0 && i < fine) fine = i;
        }
        const QByteArray riga = dati.left(fine);
        QStringDecoder utf8(QStringDecoder::Utf8);
        testo = utf8.decode(riga);
        if (utf8.hasError()) testo = QString::fromLatin1(riga);
    }
    qsizetype fine = testo.size();
    for (QChar separatore : {QChar(u'\n'), QChar(u'\r')}) {
        const qsizetype i = testo.indexOf(separatore);
        if (i >= 0 && i < fine) fine = i;
    }
    esito.Riga = testo.left(fine);
    return esito;
}

} // namespace vagolume
