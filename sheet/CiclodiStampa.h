#pragma once
// One print run: reads the itinerary from the window, asks for confirmation,
// draws the cover page and one logbook page per day (or the blank pages),
// lets the user cancel between pages, ends the document and writes the
// end-of-run file "FineStampaPercorsario.tmp".

#include "print/PrinterSurface.h"

#include <QString>

namespace vagolume {

// The itinerary as the window's controls hold it.
struct DatiItinerario {
    QString Destinazione; // text of the destination box
    QString DataInizio;   // DDMMYYYY, the three picker texts joined
    QString DataFine;
    bool Bianco = false; // "Moduli in bianco" ticked
    QString Copie;       // page count text in blank mode, "01".."99"
};

// Values of the window that a run reads and writes.
struct StatoForm {
    QString RigaComando; // non-empty: started by the itinerary program
    bool AnnullaStampa = false;
    bool DatiInseriti = true;
    float FondoPagina = 0;
    float InizioSpese = 0;
};

// What a print run needs of the window. The window's own implementation
// drives its widgets; tests use a fake.
class FinestraCiclo {
public:
    virtual ~FinestraCiclo() = default;
    virtual DatiItinerario LeggiDati() = 0;
    virtual QString TestoLocalita() = 0; // destination box, read at drawing time
    virtual bool ChiediConferma(const QString& testo) = 0;
    virtual void DisabilitaFine() = 0;
    virtual void DimensionafrmBase(bool n) = 0;
    virtual void MostraAnnulla(bool inStampa) = 0; // "&Annulla" shown in place of "&Stampa"
    virtual void ElaboraEventi() = 0;
    virtual void StatoStampa(float Corr, float Totale) = 0;
    virtual void ImpostaTestoFondo(const QString& testo) = 0;
    virtual void MostraRiempimento() = 0;
    virtual void Ridisegna() = 0;
    virtual QString Copyright() = 0;
    virtual Picture Logo1() = 0;
    virtual Picture Logo2() = 0;
    virtual QString TitoloApplicazione() = 0;
    virtual void ImpostaTitoloApplicazione(const QString& titolo) = 0;
};

struct EsitoCiclo {
    bool Stampato = false;   // the document was handed to the printer
    bool Annullato = false;  // cancelled by the user (document discarded)
    bool Rinunciato = false; // answer No to the confirmation
    int Errori = 0;          // failing steps and operations, skipped (said on standard error)
    QString Motivo;      // why the run failed (refused, document lost, printer failed); empty if it did not
    QString FileSalvato; // the PDF file written: by the PDF writer, or kept after a printer failure
    bool FineScritta = false;      // the end-of-run file was written
    bool TerminaProgramma = false; // started by the itinerary program: end now
};

// Longest run: ten years of sheets. A period beyond it (a mistyped year in an
// invocation line) is refused before anything is printed, rather than
// filling the printer or the disk.
inline constexpr float kMaxPagine = 3660;

// File that tells the itinerary program that printing is over.
inline const QString kFileFineStampa = QStringLiteral("FineStampaPercorsario.tmp");

// The document name: the first 19 characters of the destination with blanks
// made "_", then "_Vagolume"; a leading "_" dropped.
QString NomeDocumento(const QString& destinazione);

// The text of the confirmation question.
QString TestoConferma(const QString& TestoDestinazione, const QString& TestoPeriodo, float NumeroPagine);

// Writes "Fatto" CR LF into the end-of-run file in a folder, through a
// temporary file renamed over the name, so that no reader ever sees half a
// file and a link at that name is replaced, not followed. Returns false (and
// says why on standard error) on failure.
bool ScriviFineStampa(const QString& cartella);

// The run. cartellaFine: where the end-of-run file goes (the current folder).
EsitoCiclo CiclodiStampa(FinestraCiclo& finestra, StatoForm& form, PrinterSurface& s,
                         const QString& cartellaFine);

} // namespace vagolume
