#include "app/Invocazione.h"

#include "print/Sistema.h"
#include "print/StampaTesto.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace vagolume {

namespace {
// Bytes read at most in looking for the end of the first line of
// Commandline.txt; a line that goes on beyond them is too long all the same.
constexpr qint64 kMaxLettura = qint64{64} * 1024 * 1024;

// Characters of a text (a pair of surrogates is one).
qint64 Caratteri(QStringView t) {
    qint64 n = 0;
    for (QChar c : t)
        if (!c.isLowSurrogate()) ++n;
    return n;
}

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

// A text between quotes as a message shows it: control characters, line
// separators and format characters written out, so that the line stays one
// line and is never cut at a NUL.
QString TestoCitato(const QString& t) {
    QString citato(1, u'"');
    for (QChar c : t) {
        switch (c.category()) {
        case QChar::Other_Control:
            citato += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
            break;
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            citato += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
            break;
        default:
            citato += c;
        }
    }
    return citato + u'"';
}

// Why a parsed line cannot be printed; empty when it can.
QString Controlla(const Invocazione& r, const QString& inizio, const QString& fine) {
    if (!r.Destinazione || SenzaCaratteriVisibili(*r.Destinazione))
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

QString RigaTroppoLunga(qint64 n, bool almeno) {
    return QStringLiteral("riga troppo lunga (%1%2 caratteri)")
        .arg(almeno ? QStringLiteral("più di ") : QString())
        .arg(n);
}

Invocazione AnalizzaRigaComando(const QString& riga) {
    Invocazione r;
    if (riga.size() > kMaxRiga) {
        if (const qint64 n = Caratteri(riga); n > kMaxRiga) {
            r.Errore = RigaTroppoLunga(n);
            return r;
        }
    }
    qsizetype lunghezza = riga.size();
    while (lunghezza > 0 && ScartoFinale(riga[lunghezza - 1]))
        --lunghezza;
    QString resto = riga.left(lunghezza);
    // a. A program path in front ends at the first ".exe", in any case, that
    // ends it: followed by a blank, a closing quote or the end of the line.
    for (qsizetype p = resto.indexOf(QLatin1String(".exe"), 0, Qt::CaseInsensitive); p >= 0;
         p = resto.indexOf(QLatin1String(".exe"), p + 1, Qt::CaseInsensitive)) {
        qsizetype dopo = p + 4;
        if (dopo < resto.size() && resto[dopo] != u' ' && resto[dopo] != u'"') continue;
        if (dopo < resto.size() && resto[dopo] == u'"') ++dopo;
        resto = TogliSpazi(resto.mid(dopo));
        break;
    }
    // b. The destination runs to the first comma, blanks included.
    qsizetype p = resto.indexOf(u',');
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

namespace {
// The first line of an open file: its text when it has at most kMaxRiga
// characters, and its length in characters.
struct PrimaRiga {
    QString Testo;
    qint64 Caratteri = 0;
    bool Intera = true; // false: kMaxLettura bytes were read without reaching its end
};

PrimaRiga LeggiPrimaRiga(int fd) {
    // Bytes enough for kMaxRiga + 1 characters in any of the encodings.
    constexpr qint64 kTenuti = 4 * (kMaxRiga + 1);
    enum class Codifica { Nessuna, Utf8, Utf16LE, Utf16BE };
    Codifica codifica = Codifica::Nessuna;
    std::optional<QStringDecoder> utf16;
    QByteArray riga;     // UTF-8 or single-byte: the first kTenuti bytes of the line
    QString testo16;     // UTF-16: the first characters of the line
    qint64 byte = 0;     // bytes of the line
    qint64 iniziali = 0; // ...that begin a UTF-8 character
    qint64 caratteri16 = 0;
    int attese = 0;   // continuation bytes a UTF-8 character still needs
    bool utf8 = true; // every byte so far fits UTF-8
    bool primo = true, finita = false;
    qint64 letti = 0;
    char blocco[16384];
    while (!finita) {
        if (letti >= kMaxLettura) {
            PrimaRiga r;
            r.Caratteri = utf16 ? caratteri16 : (utf8 || codifica == Codifica::Utf8 ? iniziali : byte);
            r.Intera = false;
            return r;
        }
        const ssize_t n = ::read(fd, blocco, sizeof blocco);
        if (n <= 0) break;
        letti += n;
        QByteArrayView dati(blocco, n);
        if (primo) {
            primo = false;
            if (dati.startsWith("\xFF\xFE") || dati.startsWith("\xFE\xFF")) {
                codifica = dati.startsWith("\xFF\xFE") ? Codifica::Utf16LE : Codifica::Utf16BE;
                utf16.emplace(codifica == Codifica::Utf16LE ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
                dati = dati.sliced(2);
            } else if (dati.startsWith("\xEF\xBB\xBF")) {
                codifica = Codifica::Utf8;
                dati = dati.sliced(3);
            }
        }
        if (utf16) {
            QString parte = (*utf16)(dati);
            for (QChar separatore : {QChar(u'\n'), QChar(u'\r')}) {
                const qsizetype i = parte.indexOf(separatore);
                if (i >= 0) {
                    parte.truncate(i);
                    finita = true;
                }
            }
            caratteri16 += Caratteri(parte);
            if (testo16.size() <= 2 * kMaxRiga) testo16 += parte;
            continue;
        }
        for (char separatore : {'\n', '\r'}) {
            const qsizetype i = dati.indexOf(separatore);
            if (i >= 0) {
                dati = dati.first(i);
                finita = true;
            }
        }
        byte += dati.size();
        for (char c : dati) {
            const auto b = static_cast<unsigned char>(c);
            if ((b & 0xC0) != 0x80) ++iniziali;
            if (!utf8) continue;
            if (attese > 0) {
                if ((b & 0xC0) == 0x80) {
                    --attese;
                    continue;
                }
                utf8 = false;
            } else if (b >= 0xC2 && b <= 0xDF) {
                attese = 1;
            } else if (b >= 0xE0 && b <= 0xEF) {
                attese = 2;
            } else if (b >= 0xF0 && b <= 0xF4) {
                attese = 3;
            } else if (b >= 0x80) {
                utf8 = false;
            }
        }
        if (riga.size() < kTenuti)
            riga.append(dati.first(std::min<qsizetype>(dati.size(), kTenuti - riga.size())));
    }
    PrimaRiga r;
    if (utf16) {
        r.Testo = std::move(testo16);
        r.Caratteri = caratteri16;
    } else if (byte > riga.size()) {
        // Not kept whole: counted only.
        r.Caratteri = (utf8 && attese == 0) || codifica == Codifica::Utf8 ? iniziali : byte;
    } else {
        // The itinerary program may write its line in UTF-8 or in a Western
        // single-byte code page; bytes that are not UTF-8 are read as the latter.
        r.Testo = codifica == Codifica::Utf8 ? QString::fromUtf8(riga) : DecodificaTesto(riga);
        r.Caratteri = Caratteri(r.Testo);
    }
    if (r.Caratteri > kMaxRiga) r.Testo.clear();
    return r;
}
} // namespace

LetturaFileComando LeggiFileComando(const QByteArray& cartella) {
    LetturaFileComando esito;
    const QByteArray base = cartella.isEmpty() ? QByteArray(".") : cartella;
    const QByteArray nome = base + "/Commandline.txt";
    const QString percorso = DecodificaTesto(nome); // for the messages only
    struct stat info {};
    if (::lstat(nome.constData(), &info) != 0) return esito; // no file: no invocation data
    if (!S_ISREG(info.st_mode)) {
        esito.Avviso = QStringLiteral("%1 non è un file normale: ignorato").arg(percorso);
        esito.Inutilizzabile = true;
        return esito;
    }
    // Claimed first: of two starts, the one whose rename succeeds reads it.
    const QByteArray privato = base + "/.Commandline-" + QByteArray::number(::getpid()) + ".txt";
    if (::rename(nome.constData(), privato.constData()) != 0) {
        if (errno == ENOENT) return esito; // another start took it
        esito.Avviso = QStringLiteral("impossibile prendere in carico %1 (%2): la riga non viene eseguita")
                           .arg(percorso, QString::fromLocal8Bit(std::strerror(errno)));
        esito.Inutilizzabile = true;
        return esito;
    }
    const int fd = ::open(privato.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    const int erroreApertura = errno;
    PrimaRiga riga;
    if (fd >= 0) {
        riga = LeggiPrimaRiga(fd);
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
    esito.Riga = std::move(riga.Testo);
    esito.Caratteri = riga.Caratteri;
    esito.Intera = riga.Intera;
    return esito;
}

} // namespace vagolume
