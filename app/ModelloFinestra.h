#pragma once
// The state of the window's controls and the logic of its handlers, kept out
// of the widgets so that tests drive it without a display. The window (frmbase)
// shows this state and forwards its events here.

#include "print/PrinterSurface.h"
#include "sheet/CiclodiStampa.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace vagolume {

class Stampante;

// One control as the window shows it.
struct Controllo {
    QString Testo;
    QStringList Voci; // entries of a list
    bool Abilitato = true;
    bool Visibile = true;
    Rgb ColoreTesto = 0x000000;
    bool Spuntato = false; // check box
    int Larghezza = 0;     // twips, for the progress fill
    int Selezionato = -1;  // selected entry of a list box
};

// Colours of the window.
inline constexpr Rgb kColoreSfondo = 0x008080;
inline constexpr Rgb kBianco = 0xFFFFFF;
inline constexpr Rgb kNero = 0x000000;
inline constexpr Rgb kVerdeChiaro = 0xC0FFC0;
inline constexpr Rgb kCianoChiaro = 0xC0FFFF;
inline constexpr Rgb kBlu = 0x0000FF;
inline constexpr int kLarghezzaTraccia = 4635; // twips of the progress track

// Whatever the logic needs from the outside world: message boxes, event
// processing, the printers, the end of the program. The window supplies real
// ones; tests supply fakes.
struct Servizi {
    std::function<bool(const QString& titolo, const QString& testo)> DomandaSiNo;
    std::function<void(const QString& titolo, const QString& testo)> Informazione;
    std::function<void()> ElaboraEventi;
    std::function<void()> Aggiornato; // the state changed: show it
    std::function<QStringList()> StampantiInstallate;
    std::function<QString()> StampantePredefinita;
    // The surface a run draws on, for a printer name.
    std::function<std::unique_ptr<PrinterSurface>(const QString& stampante, std::function<QString()> titolo)>
        CreaSuperficie;
    std::function<void(int codice)> Termina;
    QString CartellaLavoro;    // where the end-of-run file goes
    bool SenzaSchermo = false; // no display: the window is never seen
};

class ModelloFinestra : public FinestraCiclo {
public:
    explicit ModelloFinestra(Servizi servizi);
    ~ModelloFinestra() override;

    // Start-up. argomenti: the process arguments joined by single blanks;
    // cartellaProgramma: where Commandline.txt is looked for.
    void Form_Load(const QDate& oggi, const QString& argomenti, const QString& cartellaProgramma);
    void StampaVisibile();

    // Handlers of the window's controls.
    void cmdStampa_Click();
    void VisualizzaListaStampanti();
    void cmdSelStampante_Click(int16_t Index);
    void cmdAnnulla_Click();
    void cmdFine_Click();
    // The window is being closed (window manager, Alt+F4).
    void Chiusura();
    // A termination signal came: a run in progress is discarded and the
    // end-of-run file written.
    void InterrottoDaSegnale();
    void cmdHelp_Click();
    void chkBianco_Click();
    void cmbM1_Click();
    void cmbM2_Click();
    void cmbData_Click(); // a day or year list: cmbg1, cmbg2, cmba1, cmba2
    void cmbData_KeyPress(char16_t& KeyAscii);
    void txtLocalita_KeyPress(char16_t& KeyAscii);
    // Enter: presses "&Stampa" when it is the default button and can be
    // pressed. Returns whether it did.
    bool TastoInvio();

    // A print run on the current printer (none while one is running).
    void AvviaStampa();
    bool InStampa() const { return superficie_ != nullptr; }
    // The process's exit code after a run started by the itinerary program.
    int CodiceUscita() const { return codiceUscita_; }

    QString TestoHelp() const;
    QString CreditLine() const { return lblCopyright.Testo; }
    QString StampanteCorrente() const { return stampanteCorrente_; }
    void ImpostaStampanteCorrente(const QString& nome) { stampanteCorrente_ = nome; }

    // FinestraCiclo
    DatiItinerario LeggiDati() override;
    QString TestoLocalita() override { return txtLocalita.Testo; }
    bool ChiediConferma(const QString& testo) override;
    void DisabilitaFine() override;
    void DimensionafrmBase(bool n) override;
    void MostraAnnulla(bool inStampa) override;
    void ElaboraEventi() override;
    void StatoStampa(float Corr, float Totale) override;
    void ImpostaTestoFondo(const QString& testo) override;
    void MostraRiempimento() override;
    void Ridisegna() override;
    QString Copyright() override { return lblCopyright.Testo; }
    Picture Logo1() override;
    Picture Logo2() override;
    QString TitoloApplicazione() override { return titoloApplicazione_; }
    void ImpostaTitoloApplicazione(const QString& titolo) override { titoloApplicazione_ = titolo; }

    // Controls.
    Controllo frmLocalita, txtLocalita, frmPeriodo;
    Controllo cmbg1, cmbm1, cmba1, cmbg2, cmbm2, cmba2;
    Controllo frmBianco, chkBianco, cmbCopie;
    Controllo cmdStampa, cmdAnnulla, cmdFine, cmdHelp;
    Controllo txtFondo, txtSopra, lblCopyright;
    Controllo frmSelStampa, lstStampanti;
    bool StampaPredefinito = false; // "&Stampa" is the default button
    int AltezzaFinestra = 0;        // outer height, twips
    bool FinestraVisibile = false;

    StatoForm Form;
    EsitoCiclo UltimoEsito;

private:
    void RicostruisciGiorni(Controllo& giorni, const Controllo& mesi, const Controllo& anni);
    void Notifica();
    // Discards the run in progress; false when there is none.
    bool InterrompiStampa();

    Servizi servizi_;
    QString stampanteCorrente_;
    QString titoloApplicazione_;
    int codiceUscita_ = 0;
    std::unique_ptr<PrinterSurface> superficie_;
};

// The credit line: product name, version, " © by ", company name, comments.
QString ComponiCopyright();

} // namespace vagolume
