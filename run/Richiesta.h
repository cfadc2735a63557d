#pragma once
// A print request: what to print, where, for whom; fixed before its run
// starts (after the confirmation and the save dialog).

#include <QDate>
#include <QList>
#include <QString>

namespace vagolume {

// What to print, where, for whom.
struct RichiestaStampa {
    QString Destinazione;     // as confirmed; it also names the document in blank mode
    QDate Inizio, Fine;       // the period; blank sheets are dated from Inizio too (not printed)
    int FogliBianchi = 0;     // blank sheets instead of the period (1-99); 0: the period
    QString Stampante;        // a CUPS queue, or kScrittorePdf
    QString PdfScelto;        // the PDF writer's file chosen in the save dialog; empty: none chosen
    QString NomeDocumento;    // the job's title and the PDF's name (NomeDocumento of the destination)
    bool Incustodita = false; // started by the itinerary program: nobody watches the window
    QString CartellaLavoro;   // where the end-of-run file goes, and an unattended run's PDF
    QString CartellaRiserva;  // where the document is kept when its printer fails; empty: CartellaLavoro
    // Which pages of the document, as the preview counts them (1: the cover,
    // N + 1: sheet N), in ascending order without repeats; empty: all.
    QList<int> Pagine;
    int Copie = 1;            // collated copies of the document; the PDF writer makes one file
    bool FronteRetro = false; // both sides of the paper, turned on the long edge
    // The sides as the window's box says, one side included; false: the
    // queue's own default (a run for the itinerary program).
    bool LatiScelti = false;

    bool Bianco() const { return FogliBianchi > 0; }
};

// Longest run: ten years of sheets. A period beyond it (a mistyped year in an
// invocation line) is refused before anything is printed, rather than
// filling the printer or the disk.
inline constexpr int kMaxFogli = 3660;

// The document name: the first 19 characters of the destination (whole
// characters as a reader counts them) with blanks made "_", then
// "_Vagolume"; a leading "_" dropped.
QString NomeDocumento(const QString& destinazione);

// The sheets a request prints, and the text of its period: "01/08 - 05/08/2026",
// "28/12/2026 - 03/01/2027" for a trip into another year, "in bianco" for
// blank sheets.
int NumeroFogli(const RichiestaStampa& r);
QString TestoPeriodo(const RichiestaStampa& r);

} // namespace vagolume
