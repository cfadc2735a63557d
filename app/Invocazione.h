#pragma once
// The invocation line of the itinerary program: an optional program path
// ending in ".exe", then destination, ",", start date, ",", end date.

#include <QString>
#include <optional>

namespace vagolume {

struct DataInvocazione {
    int Giorno = 0, Mese = 0, Anno = 0;
};

// What the parse of a line yields; a part that could not be read is empty,
// and the window then keeps its default for it.
struct Invocazione {
    std::optional<QString> Destinazione;
    std::optional<DataInvocazione> Inizio;
    std::optional<DataInvocazione> Fine;
    QString Resto; // what is left of the line after parsing (the end-date text)
};

Invocazione AnalizzaRigaComando(const QString& riga);

// A date of the invocation line: day/month/year (or month/day/year when the
// system's short date form puts the month first), with "/", "-", "." or blanks
// between the parts, two-digit years read as 1930..2029, and year-month-day.
// Years 1 to 9999 only.
std::optional<DataInvocazione> LeggiDataInvocazione(const QString& testo);

// Text of the first line of Commandline.txt in a folder, with a note of what
// happened to the file. Reads at most a bounded amount, never through a link,
// and deletes the file once it has been read.
struct LetturaFileComando {
    QString Riga;
    bool Trovato = false; // a regular file was found and read
    QString Avviso;       // for standard error, empty when all went well
};
LetturaFileComando LeggiFileComando(const QString& cartella);

// Blanks removed at both ends (only the space character).
QString Trim(const QString& t);

} // namespace vagolume
