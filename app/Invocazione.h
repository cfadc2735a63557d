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
    QString Errore; // why the line cannot be printed, naming the field and its text; empty when all was read
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
// characters. Otherwise Errore says why, quoting the texts it names with their
// control characters written out ("\x00").
Invocazione AnalizzaRigaComando(const QString& riga);

// A date of the invocation line: day/month/year (or month/day/year when the
// system's short date form puts the month first), with "/", "-", "." or blanks
// between the parts, two-digit years read as 1930..2029, and year-month-day.
// Years 1 to 9999 only.
std::optional<DataInvocazione> LeggiDataInvocazione(const QString& testo);

// Text of the first line of Commandline.txt in a folder (its path as the
// system gives it, in bytes), with a note of what happened to the file. The
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

} // namespace vagolume
