#pragma once
// A print run in tests: a fixed request (ROMA, 1 to 5 March 2024) drawn on a
// recording surface the test keeps, or on the real document of the built-in
// PDF writer, with a record of the progress the run reported and a hook on
// every pass of events.

#include "print/Stampanti.h"
#include "run/Corsa.h"
#include "support/RecordingSurface.h"

#include <functional>

namespace vagolume {

class CorsaFinta {
public:
    CorsaFinta(RecordingSurface& surface, const QString& cartella) : CorsaFinta(cartella) {
        surface_ = &surface;
        richiesta.Stampante = QStringLiteral("Finta");
    }
    // On the PDF writer, saving into cartella.
    explicit CorsaFinta(const QString& cartella) {
        richiesta.Destinazione = QStringLiteral("ROMA");
        richiesta.Inizio = QDate(2024, 3, 1);
        richiesta.Fine = QDate(2024, 3, 5);
        richiesta.Stampante = kScrittorePdf;
        richiesta.NomeDocumento = NomeDocumento(richiesta.Destinazione);
        richiesta.CartellaLavoro = cartella;
    }

    RichiestaStampa richiesta;
    // Called with the run and the number of the pass: 1 before the cover,
    // N + 1 before sheet N.
    std::function<void(CorsaStampa&, int)> onEvents;
    // Called while a printer makes the hand-over wait.
    std::function<void(CorsaStampa&)> onConsegna;
    int eventPasses = 0;
    int lastCorr = -1, lastTotale = -1;

    // A run of blank sheets, as ticking "Moduli in bianco" and choosing a count gives.
    void InBianco(int fogli) { richiesta.FogliBianchi = fogli; }

    EsitoCorsa Esegui() {
        CorsaStampa* corsa = nullptr;
        GanciCorsa ganci;
        ganci.Avanzamento = [this, &corsa](int fatti, int totale) {
            lastCorr = fatti;
            lastTotale = totale;
            ++eventPasses;
            if (onEvents) onEvents(*corsa, eventPasses);
        };
        ganci.InConsegna = [this, &corsa] {
            if (onConsegna) onConsegna(*corsa);
        };
        // The surface stays the test's: the run only borrows it.
        FabbricaSuperficie fabbrica;
        if (surface_)
            fabbrica = [this](const RichiestaStampa& r) {
                surface_->Title = r.NomeDocumento;
                return std::shared_ptr<PrinterSurface>(surface_, [](PrinterSurface*) {});
            };
        CorsaStampa c(richiesta, std::move(ganci), std::move(fabbrica));
        corsa = &c;
        return c.Esegui();
    }

private:
    RecordingSurface* surface_ = nullptr;
};

} // namespace vagolume
