#pragma once
// A window for print runs in tests: fixed itinerary, scripted answers, and a
// record of what the run did to the window.

#include "sheet/CiclodiStampa.h"
#include "support/RecordingSurface.h"

#include <QStringList>
#include <functional>

namespace vagolume {

class FakeWindow : public FinestraCiclo {
public:
    explicit FakeWindow(RecordingSurface& surface) : surface_(surface) {}

    DatiItinerario dati{QStringLiteral("ROMA"), QStringLiteral("01032024"), QStringLiteral("05032024"), false,
                        QStringLiteral("01")};
    bool answer = true;
    QStringList questions;
    QStringList log;
    std::function<void(int)> onEvents; // called with the number of the pass
    int eventPasses = 0;
    float lastCorr = -1, lastTotale = -1;
    QString title = QStringLiteral("Vagolume");
    bool fineDisabled = false;

    // A run of blank sheets, as ticking "Moduli in bianco" and choosing a count gives.
    void InBianco(int fogli) {
        dati.Bianco = true;
        dati.Copie = QStringLiteral("%1").arg(fogli, 2, 10, QLatin1Char('0'));
    }

    DatiItinerario LeggiDati() override { return dati; }
    QString TestoLocalita() override { return dati.Destinazione; }
    bool ChiediConferma(const QString& testo) override {
        questions.append(testo);
        return answer;
    }
    void DisabilitaFine() override { fineDisabled = true; }
    void DimensionafrmBase(bool n) override { log.append(QStringLiteral("Dimensiona %1").arg(n)); }
    void MostraAnnulla(bool inStampa) override { log.append(QStringLiteral("Annulla %1").arg(inStampa)); }
    void ElaboraEventi() override {
        ++eventPasses;
        if (onEvents) onEvents(eventPasses);
    }
    void StatoStampa(float Corr, float Totale) override {
        lastCorr = Corr;
        lastTotale = Totale;
    }
    void ImpostaTestoFondo(const QString& testo) override { log.append(QStringLiteral("Fondo ") + testo); }
    void MostraRiempimento() override {}
    void Ridisegna() override {}
    QString Copyright() override { return QStringLiteral("Vagolume 1.0.0 © by Vagolume developers 2026"); }
    Picture Logo1() override { return {QStringLiteral("imgLogo1"), QImage(32, 32, QImage::Format_RGB32)}; }
    Picture Logo2() override { return {QStringLiteral("imgLogo2"), QImage(48, 48, QImage::Format_RGB32)}; }
    QString TitoloApplicazione() override { return title; }
    void ImpostaTitoloApplicazione(const QString& t) override {
        title = t;
        surface_.Title = t;
    }

private:
    RecordingSurface& surface_;
};

} // namespace vagolume
