#pragma once
// The outcome of a print run, or of a run that never started (a refused
// line, a declined confirmation): what it says on standard error, what the
// window shows, the exit status.

#include <QList>
#include <QString>

namespace vagolume {

// How a run ended.
struct EsitoCorsa {
    enum Tipo {
        Stampato,  // handed whole to a printer
        Salvato,   // written whole as a PDF file (PdfSalvato)
        Annullato, // cancelled, not confirmed, or stopped by a signal: nothing printed
        Rifiutato, // nothing to print: the request cannot be printed (Motivo)
        Fallito,   // the document or its printer failed (Motivo); kept in PdfSalvato when it was finished
    };
    Tipo Cosa = Rifiutato;
    QString Motivo;             // one line, for standard error and the window
    QString PdfSalvato;         // Salvato: the file; Fallito: where the finished document was kept
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

} // namespace vagolume
