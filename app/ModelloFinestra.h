#pragma once
// The state of the window's form and the logic of its handlers and keys, kept
// out of the widgets so that tests drive it without a display. The window
// (frmbase) shows this state and forwards its events here; the printer panel
// and the run from the window are the print dialog's (Dialogo).

#include "app/Controllo.h"
#include "app/DialogoStampa.h"
#include "app/Servizi.h"

#include <QAnyStringView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vagolume {

// Values of the window that outlive a run.
struct StatoForm {
    QString RigaComando; // non-empty: started by the itinerary program
    bool AnnullaStampa = false;
};

inline const QString kTitoloHelp = QStringLiteral("Help - istruzioni per l'uso");

// Keys that move through a drop-down list.
enum class TastoLista { Inizio, Fine, PaginaSu, PaginaGiu };

// Entries a Page Up or Page Down moves over: as many as the open list shows.
inline constexpr int kVociPerPagina = 10;

// A key as a control of the window received it.
struct Tasto {
    int Codice = 0; // Qt::Key
    Qt::KeyboardModifiers Modificatori = {};
    QString Testo; // what the key types; empty for none
};

// What the window does with a key once the model has seen it.
struct EsitoTasto {
    enum Azione {
        Passa,     // the control takes it as usual
        Preso,     // the model dealt with it: the control never sees it
        Inserisci, // the control types Testo instead of the key's own text
        Premi,     // a mnemonic: the button is pressed at once
    };
    EsitoTasto(Azione cosa = Passa, QString testo = {}) : Cosa(cosa), Testo(std::move(testo)) {}
    Azione Cosa;
    QString Testo;
};

// Text that reaches the destination in one piece (pasted, dropped) as it is
// kept: upper case like typed text, every line break made a blank.
QString TestoDestinazione(const QString& arrivato);

class ModelloFinestra {
public:
    ModelloFinestra(Dialoghi& dialoghi, Piattaforma& piattaforma, FineProcesso processo);
    ~ModelloFinestra();
    ModelloFinestra(const ModelloFinestra&) = delete;
    ModelloFinestra& operator=(const ModelloFinestra&) = delete;

    // Start-up. argomenti: the process arguments joined by single blanks;
    // cartellaProgramma: where Commandline.txt is looked for, as the system
    // names it (bytes).
    // Returns what the invocation line asks of start-up.
    Invocata Form_Load(const QDate& oggi, const QString& argomenti, const QByteArray& cartellaProgramma);
    void StampaVisibile();

    // Handlers of the window's controls.
    void cmdStampa_Click();
    void cmdAnnulla_Click();
    void cmdFine_Click();
    // The window is being closed (window manager, Alt+F4). Returns whether
    // it may close: during a run closing asks to cancel it instead.
    bool Chiusura();
    void cmdHelp_Click();
    void chkBianco_Click();
    void cmbM1_Click();
    void cmbM2_Click();
    void cmbData_Click(); // a day list: cmbg1, cmbg2
    void cmbA1_Click();   // a year list: its day list is rebuilt as for a month
    void cmbA2_Click();
    // Home, End, Page Up, Page Down in one of the seven lists: the entry
    // reached is chosen as with the mouse.
    void ScorriLista(Controllo& lista, TastoLista tasto);
    void cmbData_KeyPress(char16_t& KeyAscii);
    void txtLocalita_KeyPress(char16_t& KeyAscii);
    // An entry chosen in one of the seven lists, by the mouse or the keys.
    void ListaScelta(Controllo& lista, const QString& voce);
    // The destination's text changed, whatever changed it.
    void txtLocalita_Change(const QString& testo);
    // Enter: presses "&Stampa" when it is the default button and can be
    // pressed. Returns whether it did.
    bool TastoInvio();
    // Escape: closes the printer panel as "&Rinuncia" does. Returns whether
    // the panel was open.
    bool TastoEsc();
    // F1: the help, as "&?" shows it. Returns whether it was shown.
    bool TastoAiuto();
    // Whether a control lies, whole or in part, under the open printer
    // panel: it takes no keyboard focus then.
    bool Coperto(QAnyStringView controllo) const;

    // The keyboard, as the window's controls receive it; controls are named
    // as in the window (a list's edit field counts as its list).
    // A key reaching a control, before the control sees it.
    EsitoTasto TastoSu(QAnyStringView controllo, const Tasto& tasto);
    // A key that no control took. fuoco: the control with the focus.
    // Returns whether the key was used.
    bool TastoNonPreso(QAnyStringView fuoco, const Tasto& tasto);
    // An Alt+letter mnemonic reaching a control; ambigua: more than one
    // control has that letter.
    EsitoTasto Scorciatoia(QAnyStringView controllo, bool ambigua);
    // Text composed by dead keys or an input method for a control: what the
    // control is to receive instead; nothing when it takes the text as it is.
    std::optional<QString> TestoComposto(QAnyStringView controllo, const QString& composto);

    QString TestoHelp() const;
    QString CreditLine() const { return lblCopyright.Testo; }
    const FineProcesso& Processo() const { return processo_; }
    // The printer a run uses when none is chosen in the panel (start-up sets
    // it), and the default printer that is not installed.
    void ImpostaStampanteCorrente(const QString& nome) { Dialogo.ImpostaStampanteCorrente(nome); }
    void ImpostaPredefinitaMancante(const QString& nome) { Dialogo.ImpostaPredefinitaMancante(nome); }
    // The state changed: the window shows it.
    void Notifica();
    // The keyboard back where typing goes on (after a run, or when the
    // printer panel closes).
    void RiprendiTastiera();

    // The window around a run.
    void DisabilitaFine();
    void DimensionafrmBase(bool n);
    void MostraAnnulla(bool inStampa);
    void ElaboraEventi();
    void StatoStampa(float Corr, float Totale);
    void ImpostaTestoFondo(const QString& testo);
    void MostraRiempimento();
    void Ridisegna();

    // Controls.
    Controllo frmLocalita, txtLocalita, frmPeriodo;
    Controllo cmbg1, cmbm1, cmba1, cmbg2, cmbm2, cmba2;
    Controllo frmBianco, chkBianco, cmbCopie;
    Controllo cmdStampa, cmdAnnulla, cmdFine, cmdHelp;
    Controllo txtFondo, txtSopra, lblCopyright;
    bool StampaPredefinito = false; // "&Stampa" is the default button
    bool FinestraVisibile = false;
    // The control that should take the keyboard focus (after a run, or when
    // the printer panel closes); the window gives it the focus and clears this.
    Controllo* FuocoRichiesto = nullptr;

    StatoForm Form;
    // Called when the state changed: the window shows it.
    std::function<void()> Aggiornato;

    DialogoStampa Dialogo; // the printer panel and the run from the window

private:
    void RicostruisciGiorni(Controllo& giorni, const Controllo& mesi, const Controllo& anni);
    void StatoIniziale(const QDate& oggi);                 // steps 1-10 of start-up
    bool RigaDalFile(const QByteArray& cartellaProgramma); // the line of Commandline.txt; false: refused
    // Start-up from an invocation line: the controls locked, and the request
    // for start-up to run at once.
    void AvvioIncustodito(const QString& riga);
    Invocata invocata_;
    // Enter outside a button; fuoco: the control with the focus.
    bool Invio(QAnyStringView fuoco);

    Dialoghi& dialoghi_;
    Piattaforma& piattaforma_;
    FineProcesso processo_;
};

} // namespace vagolume
