#pragma once
// One print run, from a request (run/Richiesta.h) to an outcome
// (run/Esito.h). The run owns its document and its cancel request; how the
// process ends after it is run/FineProcesso's. The window and start-up only
// read the outcome.

#include "print/PrinterSurface.h"
#include "run/Esito.h"
#include "run/FineProcesso.h"
#include "run/Richiesta.h"
#include "sheet/Contesto.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace vagolume {

// The values the pages of a request are drawn from, on a printer whose
// printable area is PrintableHeight mm tall. Throws ErroreCalcolo for a
// request that cannot be printed (a period of more than kMaxFogli days, no
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
