#include "app/Invocazione.h"

#include "print/StampaTesto.h"
#include "run/Sistema.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// Whether a year-last date is read month first: only where the short date
// of the locale runs month, day, year (en_US); a year-first locale (ja_JP,
// hu_HU, en_CA) writes its year-last dates day first, as most others do.
bool MeseGiornoAnno(const QLocale& locale) {
    const QString formato = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype m = formato.indexOf(u'M');
    const qsizetype d = formato.indexOf(u'd');
    const qsizetype a = formato.indexOf(u'y');
    return m >= 0 && d > m && a > d;
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
    return LeggiDataInvocazione(testo, QLocale::system());
}

std::optional<DataInvocazione> LeggiDataInvocazione(const QString& testo, const QLocale& locale) {
    static const QRegularExpression separatori(QStringLiteral("[/\\-. ]+"));
    const QStringList parti = TogliSpazi(testo).split(separatori, Qt::SkipEmptyParts);
    if (parti.size() != 3) return std::nullopt;
    std::optional<int> g, m, a;
    if (parti[0].size() == 4) {
        a = Numero(parti[0], 4);
        m = Numero(parti[1], 2);
        g = Numero(parti[2], 2);
    } else {
        const bool mesePrima = MeseGiornoAnno(locale);
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

// The line Commandline.txt gave this process, so that a refusal of it can say
// where it came from.
QString& RigaDalFile() {
    static QString riga;
    return riga;
}

// Where a refusal says the line was: the caller mends a command line and a
// file in different places.
QString Dove(bool daFile) {
    return daFile ? QStringLiteral(" in Commandline.txt") : QStringLiteral(" nella riga di comando");
}

// Texts that look like dates: three groups of digits with "/", "-" or "."
// between them.
qsizetype DateNelTesto(const QString& t) {
    static const QRegularExpression data(
        QStringLiteral("\\d{1,4}\\s*[/.\\-]\\s*\\d{1,2}\\s*[/.\\-]\\s*\\d{1,4}"));
    qsizetype n = 0;
    for (auto it = data.globalMatch(t); it.hasNext(); it.next())
        ++n;
    return n;
}

// Why the parts of a line could not be told apart: a line with fewer than
// two commas. dopo is the text after the destination's comma (the whole line
// when there is none).
QString PartiMancanti(const std::optional<QString>& destinazione, const QString& dopo, bool daFile) {
    const QString dove = Dove(daFile);
    const bool virgola = destinazione.has_value();
    // Dates are there, held apart by something else (blanks, semicolons).
    if (dopo.contains(u';') ||
        DateNelTesto(destinazione.value_or(QString()) + u' ' + dopo) >= (virgola ? 2 : 1))
        return QStringLiteral("date non separate da virgole%1: il separatore è la virgola "
                              "(DESTINAZIONE,GG/MM/AAAA,GG/MM/AAAA)")
            .arg(dove);
    if (!virgola) {
        if (SenzaCaratteriVisibili(dopo)) return QStringLiteral("destinazione mancante%1").arg(dove);
        return QStringLiteral("date mancanti%1: %2").arg(dove, TestoCitato(dopo));
    }
    if (SenzaCaratteriVisibili(dopo)) return QStringLiteral("date mancanti%1").arg(dove);
    return QStringLiteral("data finale mancante%1 dopo %2").arg(dove, TestoCitato(TogliSpazi(dopo)));
}

// Why a parsed line cannot be printed; empty when it can. dopo is the text
// after the destination's comma; inizio and fine are empty unless a second
// comma parted them.
QString Controlla(const Invocazione& r, const QString& dopo, bool dueVirgole, const QString& inizio,
                  const QString& fine, bool daFile) {
    const QString dove = Dove(daFile);
    if (r.Destinazione && SenzaCaratteriVisibili(*r.Destinazione))
        return QStringLiteral("destinazione mancante%1").arg(dove);
    if (!dueVirgole) return PartiMancanti(r.Destinazione, dopo, daFile);
    if (fine.contains(u','))
        return QStringLiteral("testo dopo la data finale%1: %2").arg(dove, TestoCitato(fine));
    if (!r.Inizio) return QStringLiteral("data iniziale non leggibile%1: %2").arg(dove, TestoCitato(inizio));
    if (!r.Fine) return QStringLiteral("data finale non leggibile%1: %2").arg(dove, TestoCitato(fine));
    for (const auto& [d, testo, nome] :
         {std::tuple{*r.Inizio, inizio, "iniziale"}, std::tuple{*r.Fine, fine, "finale"}}) {
        if (d.Anno < kPrimoAnno || d.Anno > kUltimoAnno)
            return QStringLiteral("data %1 fuori dagli anni %2-%3%4: %5")
                .arg(QLatin1String(nome))
                .arg(kPrimoAnno)
                .arg(kUltimoAnno)
                .arg(dove, TestoCitato(testo));
    }
    const QDate a(r.Inizio->Anno, r.Inizio->Mese, r.Inizio->Giorno);
    const QDate b(r.Fine->Anno, r.Fine->Mese, r.Fine->Giorno);
    if (b < a)
        return QStringLiteral("data finale %1 precedente alla data iniziale %2%3")
            .arg(TestoCitato(fine), TestoCitato(inizio), dove);
    return {};
}
} // namespace

QString RigaTroppoLunga(qint64 n, bool almeno) {
    return QStringLiteral("riga troppo lunga (%1%2 caratteri)")
        .arg(almeno ? QStringLiteral("più di ") : QString())
        .arg(n);
}

Invocazione AnalizzaRigaComando(const QString& riga) {
    const QString& dalFile = RigaDalFile();
    return AnalizzaRigaComando(riga, !dalFile.isNull() && riga == dalFile);
}

Invocazione AnalizzaRigaComando(const QString& riga, bool daFile) {
    Invocazione r;
    if (riga.size() > kMaxRiga) {
        if (const qint64 n = Caratteri(riga); n > kMaxRiga) {
            r.Errore = RigaTroppoLunga(n);
            return r;
        }
    }
    // What ends the line is no part of its end date: blanks, line breaks and
    // the end-of-file mark of old DOS editors.
    qsizetype lunghezza = riga.size();
    while (lunghezza > 0 && ScartoFinale(riga[lunghezza - 1]))
        --lunghezza;
    QString resto = riga.left(lunghezza);
    // A program path in front ends at the first ".exe", in any case, that
    // ends it: followed by a blank, a closing quote or the end of the line.
    for (qsizetype p = resto.indexOf(QLatin1String(".exe"), 0, Qt::CaseInsensitive); p >= 0;
         p = resto.indexOf(QLatin1String(".exe"), p + 1, Qt::CaseInsensitive)) {
        qsizetype dopo = p + 4;
        if (dopo < resto.size() && resto[dopo] != u' ' && resto[dopo] != u'"') continue;
        if (dopo < resto.size() && resto[dopo] == u'"') ++dopo;
        resto = TogliSpazi(resto.mid(dopo));
        break;
    }
    const QString primaParola = TogliSpazi(resto).section(u' ', 0, 0);
    // The destination runs to the first comma, blanks included; a line
    // without a comma has none.
    qsizetype p = resto.indexOf(u',');
    if (p >= 0) r.Destinazione = resto.left(p);
    resto = TogliSpazi(resto.mid(p + 1));
    const QString dopoDestinazione = resto;
    // The start date runs to the next comma; the end date is all the rest.
    QString inizio, fine;
    p = resto.indexOf(u',');
    const bool dueVirgole = r.Destinazione && p >= 0;
    if (p >= 0) {
        inizio = resto.left(p);
        resto = TogliSpazi(resto.mid(p + 1));
        fine = resto;
    }
    // Each date is read on its own, so that a refusal names the one that
    // could not be read.
    r.Inizio = LeggiDataInvocazione(inizio);
    r.Fine = LeggiDataInvocazione(fine);
    r.Resto = resto;
    r.Errore = Controlla(r, dopoDestinazione, dueVirgole, TogliSpazi(inizio), fine, daFile);
    // An option of some other program ("-h", "--versione") that cannot be
    // read as a line is said to be no line at all.
    if (!r.Errore.isEmpty() && primaParola.startsWith(u'-') && !primaParola.contains(u','))
        r.Errore =
            QStringLiteral("%1%2 non è una riga di comando (l'uso è descritto da vagolume --help)")
                .arg(TestoCitato(primaParola), daFile ? QStringLiteral(" in Commandline.txt") : QString());
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

// The characters of a line too long to keep, counted as its bytes come: as
// UTF-8 while every byte fits it, else one a byte.
struct ConteggioUtf8 {
    qint64 byte = 0;     // bytes of the line
    qint64 iniziali = 0; // ...that begin a UTF-8 character
    int attese = 0;      // continuation bytes a UTF-8 character still needs
    bool utf8 = true;    // every byte so far fits UTF-8

    void Aggiungi(QByteArrayView dati) {
        byte += dati.size();
        for (char c : dati) {
            const auto b = static_cast<unsigned char>(c);
            if ((b & 0xC0) != 0x80) ++iniziali;
            if (utf8) Controlla(b);
        }
    }
    void Controlla(unsigned char b) {
        if (attese > 0) {
            if ((b & 0xC0) == 0x80)
                --attese;
            else
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
};

PrimaRiga LeggiPrimaRiga(int fd) {
    // Bytes enough for kMaxRiga + 1 characters in any of the encodings.
    constexpr qint64 kTenuti = 4 * (kMaxRiga + 1);
    enum class Codifica { Nessuna, Utf8, Utf16LE, Utf16BE };
    Codifica codifica = Codifica::Nessuna;
    std::optional<QStringDecoder> utf16;
    QByteArray riga; // UTF-8 or single-byte: the first kTenuti bytes of the line
    QString testo16; // UTF-16: the first characters of the line
    ConteggioUtf8 conta;
    qint64 caratteri16 = 0;
    bool primo = true, finita = false;
    qint64 letti = 0;
    char blocco[16384];
    while (!finita) {
        if (letti >= kMaxLettura) {
            PrimaRiga r;
            r.Caratteri = utf16 ? caratteri16
                                : (conta.utf8 || codifica == Codifica::Utf8 ? conta.iniziali : conta.byte);
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
        conta.Aggiungi(dati);
        if (riga.size() < kTenuti)
            riga.append(dati.first(std::min<qsizetype>(dati.size(), kTenuti - riga.size())));
    }
    PrimaRiga r;
    if (utf16) {
        r.Testo = std::move(testo16);
        r.Caratteri = caratteri16;
    } else if (conta.byte > riga.size()) {
        // Not kept whole: counted only.
        r.Caratteri =
            (conta.utf8 && conta.attese == 0) || codifica == Codifica::Utf8 ? conta.iniziali : conta.byte;
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
    if (cartella.isEmpty()) return esito; // the program's folder is not known: nothing to read
    const QByteArray& base = cartella;
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
    RigaDalFile() = esito.Riga;
    esito.Caratteri = riga.Caratteri;
    esito.Intera = riga.Intera;
    return esito;
}

namespace {
QByteArray CartellaDi(const QByteArray& file) {
    const qsizetype barra = file.lastIndexOf('/');
    return barra <= 0 ? QByteArray("/") : file.left(barra);
}

// The absolute path of an existing file, links resolved; empty when it
// cannot be had.
QByteArray PercorsoReale(const QByteArray& file) {
    char* reale = ::realpath(file.constData(), nullptr);
    const QByteArray percorso(reale != nullptr ? reale : "");
    std::free(reale);
    return percorso;
}

bool Eseguibile(const QByteArray& file) {
    struct stat info {};
    return ::stat(file.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(file.constData(), X_OK) == 0;
}
} // namespace

CartellaProgramma TrovaCartellaProgramma(const QByteArray& argv0, const QByteArray& path,
                                         const QByteArray& proc) {
    CartellaProgramma esito;
    char collegamento[4096];
    const ssize_t n = ::readlink(proc.constData(), collegamento, sizeof collegamento);
    if (n > 0 && n < static_cast<ssize_t>(sizeof collegamento) && collegamento[0] == '/') {
        esito.Cartella = CartellaDi(QByteArray(collegamento, n));
        return esito;
    }
    QByteArray eseguibile;
    if (argv0.contains('/')) {
        eseguibile = PercorsoReale(argv0);
    } else if (!argv0.isEmpty()) {
        // As the shell found it: the first folder of PATH with such a file
        // that may be run (an empty entry is the current folder).
        for (const QByteArray& cartella : path.split(':')) {
            const QByteArray candidato = (cartella.isEmpty() ? QByteArray(".") : cartella) + "/" + argv0;
            if (Eseguibile(candidato)) {
                eseguibile = PercorsoReale(candidato);
                break;
            }
        }
    }
    if (!eseguibile.isEmpty()) {
        esito.Cartella = CartellaDi(eseguibile);
        return esito;
    }
    esito.Avviso = QStringLiteral("impossibile sapere in quale cartella si trova il programma (%1 non "
                                  "disponibile, %2 non trovato): Commandline.txt non viene cercato")
                       .arg(DecodificaTesto(proc), TestoCitato(DecodificaTesto(argv0)));
    return esito;
}

QByteArray PiattaformaDellaCorsa(const QByteArray& scelta, bool incustodita) {
    if (!incustodita || scelta.isEmpty()) return scelta;
    // The first platform of the list is the one the toolkit starts; its
    // options follow a colon.
    const QByteArray nome = scelta.split(';').constFirst().split(':').constFirst().trimmed();
    static const QList<QByteArray> senzaSessione = {"eglfs",        "linuxfb",  "minimal", "minimalegl",
                                                    "vkkhrdisplay", "directfb", "bsdfb"};
    if (!senzaSessione.contains(nome)) return scelta;
    Avvisa(QStringLiteral("la piattaforma grafica \"%1\" (QT_QPA_PLATFORM) non serve a una stampa senza "
                          "finestra: stampo senza finestra")
               .arg(QString::fromLocal8Bit(nome)));
    return "offscreen";
}

} // namespace vagolume
