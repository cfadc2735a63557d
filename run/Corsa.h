#pragma once
// One print run, from a request to an outcome. The request is fixed before
// the run starts (after the confirmation and the save dialog); the run owns
// its document, its cancel request, the termination signals that reach it,
// the end-of-run file and the outcome. The window and start-up only read the
// outcome: what it says on standard error, what the window shows, the exit
// status.

#include "print/PrinterSurface.h"
#include "run/FineProcesso.h"
#include "sheet/Contesto.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace vagolume {

// What to print, where, for whom.
struct RichiestaStampa {
    QString Destinazione;     // as confirmed; it also names the document in blank mode
    QDate Inizio, Fine;       // the period; blank sheets are dated from Inizio too (not printed)
    int FogliBianchi = 0;     // blank sheets instead of the period (1-99); 0: the period
    QString Stampante;        // a CUPS queue, or kNomeScrittorePdf
    QString FilePdf;          // the PDF writer's file chosen in the save dialog; empty: none chosen
    QString NomeDocumento;    // the job's title and the PDF's name (NomeDocumento of the destination)
    bool Incustodita = false; // started by the itinerary program: nobody watches the window
    QString CartellaLavoro;   // where the end-of-run file goes, and an unattended run's PDF
    QString CartellaRiserva;  // where the document is kept when its printer fails; empty: CartellaLavoro
    // Which pages of the document, as the preview counts them (1: the cover,
    // N + 1: sheet N), in ascending order without repeats; empty: all.
    QList<int> Pagine;
    int Copie = 1;            // collated copies of the document; the PDF writer makes one file
    bool FronteRetro = false; // both sides of the paper, turned on the long edge

    bool Bianco() const { return FogliBianchi > 0; }
};

// How a run ended.
struct EsitoCorsa {
    enum Tipo {
        Stampato,  // handed whole to a printer
        Salvato,   // written whole as a PDF file (FilePdf)
        Annullato, // cancelled, not confirmed, or stopped by a signal: nothing printed
        Rifiutato, // nothing to print: the request cannot be printed (Motivo)
        Fallito,   // the document or its printer failed (Motivo); kept in FilePdf when it was finished
    };
    Tipo Cosa = Rifiutato;
    QString Motivo;             // one line, for standard error and the window
    QString FilePdf;            // Salvato: the file; Fallito: where the finished document was kept
    QString Stampante;          // where it went
    int Segnale = 0;            // the termination signal that ended the run
    int Errori = 0;             // failing steps, skipped: the document went out without them
    bool ForseStampato = false; // Fallito after the whole document reached the printer: it may print it
    QList<int> Pagine;          // the pages printed when not all, as the request counts them; empty: all
    bool FineScritta = false;   // the end-of-run file was written

    static EsitoCorsa Di(Tipo cosa, QString motivo = {}) {
        EsitoCorsa e;
        e.Cosa = cosa;
        e.Motivo = std::move(motivo);
        return e;
    }
    bool Consegnato() const { return Cosa == Stampato || Cosa == Salvato; }
};

// Longest run: ten years of sheets. A period beyond it (a mistyped year in an
// invocation line) is refused before anything is printed, rather than
// filling the printer or the disk.
inline constexpr int kMaxPagine = 3660;

// The document name: the first 19 characters of the destination (whole
// characters as a reader counts them) with blanks made "_", then
// "_Vagolume"; a leading "_" dropped.
QString NomeDocumento(const QString& destinazione);

// The sheets a request prints, and the text of its period: "01/08 - 05/08/2026",
// "28/12/2026 - 03/01/2027" for a trip into another year, "in bianco" for
// blank sheets.
int NumeroFogli(const RichiestaStampa& r);
QString TestoPeriodo(const RichiestaStampa& r);

// The values the pages of a request are drawn from, on a printer whose
// printable area is PrintableHeight mm tall. Throws ErroreCalcolo for a
// request that cannot be printed (a period of more than kMaxPagine days, no
// sheet at all, a printable height that is no number).
ContestoStampa ValoriCorsa(const RichiestaStampa& r, float PrintableHeight);

// The drawing context of a request's pages on a sheet altezzaFoglio mm tall
// (AltezzaFoglio of the printer's layout): the one place where both a run and
// the preview get it, so that the preview shows what the run prints.
ContestoStampa ContestoDisegno(const RichiestaStampa& r, float altezzaFoglio);

// What the run shows while it goes. Avanzamento: before the cover (fatti 0)
// and before every sheet; the window shows the bar there and takes its events
// (a cancel comes then).
struct GanciCorsa {
    std::function<void(int fatti, int totale)> Avanzamento;
    // While the document is handed to a printer that makes it wait, every
    // fraction of a second: the window says so and takes its events.
    std::function<void()> InConsegna;
};

// The surface a run draws on; by default the real document on the request's
// printer. Tests give a recording surface.
using FabbricaSuperficie = std::function<std::shared_ptr<PrinterSurface>(const RichiestaStampa&)>;

class CorsaStampa {
public:
    explicit CorsaStampa(RichiestaStampa richiesta, GanciCorsa ganci = {}, FabbricaSuperficie fabbrica = {});
    ~CorsaStampa();
    CorsaStampa(const CorsaStampa&) = delete;
    CorsaStampa& operator=(const CorsaStampa&) = delete;

    // The run, once: draws, hands over or discards, concludes.
    EsitoCorsa Esegui();
    // The user's cancel: the run stops after the page being drawn and
    // discards its document.
    void Annulla() { annullata_ = true; }
    // The program ends under the run ("&Fine", a display that went away):
    // the document is dropped unfinished and the run concluded now.
    EsitoCorsa Abbandona(EsitoCorsa::Tipo cosa, const QString& motivo);

    const RichiestaStampa& Richiesta() const { return richiesta_; }
    // The run in progress, if any (one at a time).
    static CorsaStampa* InCorso();

private:
    EsitoCorsa Disegna();
    EsitoCorsa Fine(EsitoCorsa esito);

    RichiestaStampa richiesta_;
    GanciCorsa ganci_;
    FabbricaSuperficie fabbrica_;
    std::shared_ptr<PrinterSurface> superficie_;
    bool annullata_ = false;
    bool conclusa_ = false;
    EsitoCorsa esito_;
};

} // namespace vagolume
