#pragma once
// The invocation line of the itinerary program: an optional program path
// ending in ".exe", then destination, ",", start date, ",", end date.
//
// A program path is the text up to the first ".exe" (any case) that ends it:
// followed by a blank, a closing quote or the end of the line, so that
// "C:\PROGRA~1\VAGOLUME.EXE ROMA,..." and "\"C:\Program Files\x.exe\" ROMA,..."
// name ROMA, and "hotel.executive,..." is a destination. A destination with
// no visible character in it is a missing destination.

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <optional>

namespace vagolume {

struct DataInvocazione {
    int Giorno = 0, Mese = 0, Anno = 0;
};

// What the parse of a line yields; a part that could not be read is empty.
struct Invocazione {
    std::optional<QString> Destinazione;
    std::optional<DataInvocazione> Inizio;
    std::optional<DataInvocazione> Fine;
    QString Resto;  // what is left of the line after parsing (the end-date text)
    QString Errore; // why the line cannot be printed, naming the field, its text and where the line came
                    // from; empty when all was read
};

// Years the day numbers of the printed pages are exact for.
inline constexpr int kPrimoAnno = 1901;
inline constexpr int kUltimoAnno = 2099;

// Longest line read, in characters: a longer one is refused whole, never cut.
inline constexpr qint64 kMaxRiga = qint64{64} * 1024;

// The refusal of a line of n characters ("più di n" when its end was never
// reached).
QString RigaTroppoLunga(qint64 n, bool almeno = false);

// Reads a line. A line prints only when all of it was read: a destination,
// two dates between kPrimoAnno and kUltimoAnno, the end not before the start,
// nothing after the end date (blanks, tabs, no-break spaces, line breaks and
// a DOS end-of-file mark at the end are dropped first), at most kMaxRiga
// characters. Otherwise Errore says why and where the line came from (the
// command line or Commandline.txt), quoting the texts it names with their
// control characters written out ("\x00"): the field that is missing or
// unreadable, dates not parted by commas, or a word starting with "-" that
// is no line at all. Without daFile, the line counts as from the file when
// it is the one LeggiFileComando last read.
Invocazione AnalizzaRigaComando(const QString& riga);
Invocazione AnalizzaRigaComando(const QString& riga, bool daFile);

// A date of the invocation line, read by the locale's short date rules: a
// four-digit year first is year-month-day; otherwise the year is last, and
// the month comes first only where the locale's short date is
// month/day/year (en_US), the day everywhere else (it_IT, and the year-first
// ja_JP, hu_HU, en_CA). "/", "-", "." or blanks between the parts, two-digit
// years read as 1930..2029, years 1 to 9999 only. Without a locale, the
// system's (LC_ALL, LC_TIME, LANG).
std::optional<DataInvocazione> LeggiDataInvocazione(const QString& testo);
std::optional<DataInvocazione> LeggiDataInvocazione(const QString& testo, const QLocale& locale);

// Text of the first line of Commandline.txt in a folder (its path as the
// system gives it, in bytes; empty when the program's folder is not known:
// nothing is read), with a note of what happened to the file. The
// file is first claimed, renamed to a name of this process, so that of two
// starts only one reads it; then it is read (never through a link; UTF-16 or
// UTF-8 when a byte-order mark says so, otherwise as DecodificaTesto reads
// bytes) and deleted. A file that cannot be renamed is not read. A first line
// longer than kMaxRiga characters is counted to its end (up to a bound), not
// kept.
struct LetturaFileComando {
    QString Riga;
    qint64 Caratteri = 0;        // length of the whole first line
    bool Intera = true;          // false: the line went on beyond what was read, Caratteri is a floor
    bool Trovato = false;        // a regular file was found, claimed and read
    bool Inutilizzabile = false; // a file is there but could not be claimed: it is not acted on
    QString Avviso;              // for standard error, empty when all went well
};
LetturaFileComando LeggiFileComando(const QByteArray& cartella);

// The program's own folder, where Commandline.txt is looked for, as the
// system names it: the folder of the file /proc names (proc); without /proc
// (a minimal container), that of argv[0] when it holds a "/", else of the
// first file of that name in PATH that may be run. Empty, with Avviso saying
// so, when none of these names it.
struct CartellaProgramma {
    QByteArray Cartella;
    QString Avviso;
};
CartellaProgramma TrovaCartellaProgramma(const QByteArray& argv0, const QByteArray& path,
                                         const QByteArray& proc = "/proc/self/exe");

// The toolkit platform a run starts on, from QT_QPA_PLATFORM (scelta): as
// chosen, but for an unattended run (incustodita) on a platform that draws on
// a device of its own or on nothing (eglfs, linuxfb, minimal...): those can
// neither be relied on to start nor give the fonts a document needs, and
// nobody looks at them. That run gets "offscreen" instead, with a line
// naming the platform.
QByteArray PiattaformaDellaCorsa(const QByteArray& scelta, bool incustodita);

} // namespace vagolume
