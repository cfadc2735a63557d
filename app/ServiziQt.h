#pragma once
// The real dialogs and system behind the window's logic: Qt's message boxes
// and file dialog, the desktop's viewer, the preview, the printing system and
// the event loop.

#include "app/Anteprima.h"
#include "app/Servizi.h"

#include <QPointer>
#include <QWidget>

namespace vagolume {

class DialoghiQt : public Dialoghi {
public:
    // The window the boxes belong to and go back to; set once it exists.
    void ImpostaFinestra(QWidget* finestra) { finestra_ = finestra; }

    bool DomandaSiNo(const QString& titolo, const QString& testo, bool noPredefinito) override;
    void Informazione(const QString& titolo, const QString& testo, bool senzaAttesa) override;
    bool InformazioneFile(const QString& titolo, const QString& testo, const QString& file) override;
    bool Avvertimento(const QString& titolo, const QString& testo, const QString& file) override;
    QString SalvaFile(const QString& titolo, const QString& proposto) override;
    void ApriFile(const QString& file, std::function<void()> nonAperto) override;
    bool Anteprima(Pagine& pagine, const QPageLayout& layout, const RichiestaStampa& richiesta) override;

private:
    void TornaAllaFinestra() const; // back to the window, also where no window manager does it

    QPointer<QWidget> finestra_;
    vagolume::Anteprima::Stato
        anteprima_; // the preview opens again as it was, for as long as the program runs
};

class PiattaformaQt : public Piattaforma {
public:
    StatoStampanti Stampanti() override;
    QPageLayout Impaginazione(const QString& stampante) override;
    LatiCoda FronteRetro(const QString& stampante) override;
    QString MessaggioStampante(const QString& stampante) override;
    void ElaboraEventi() override;
    void Occupato(bool occupato) override;
};

} // namespace vagolume
