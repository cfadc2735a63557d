#pragma once
// The state of the window's controls and the logic of its handlers, kept out
// of the widgets so that tests drive it without a display. The window (frmbase)
// shows this state and forwards its events here.

#include "print/PrinterSurface.h"
#include "run/Corsa.h"

#include <QAnyStringView>
#include <QDate>
#include <QHash>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace vagolume {

class Pagine;

// Values of the window that outlive a run.
struct StatoForm {
    QString RigaComando; // non-empty: started by the itinerary program
    bool AnnullaStampa = false;
};

// One control as the window shows it.
struct Controllo {
    QString Testo;
    QStringList Voci; // entries of a list
    bool Abilitato = true;
    bool Visibile = true;
    Rgb ColoreTesto = kNero;
    bool Spuntato = false; // check box
    int Larghezza = 0;     // twips wide (the progress fill grows)
    int Selezionato = -1;  // selected entry of a list box
};

// Colours of the window of its own; it shares white, black, light green and
// light cyan with the sheet (print/PrinterSurface.h).
inline constexpr Rgb kColoreSfondo = 0x008080;
inline constexpr Rgb kBlu = 0x0000FF;
inline constexpr Rgb kRosso = 0xC00000; // a typed entry that cannot be used

// Whatever the logic needs from the outside world: message boxes, event
// processing, the printers, the end of the program. The window supplies real
// ones; tests supply fakes.
struct Servizi {
    std::function<bool(const QString& titolo, const QString& testo)> DomandaSiNo;
    std::function<void(const QString& titolo, const QString& testo)> Informazione;
    // An information box the window shows without waiting for it: the help
    // during a run, which goes on meanwhile.
    std::function<void(const QString& titolo, const QString& testo)> InformazioneSenzaAttesa;
    std::function<void()> ElaboraEventi;
    std::function<void()> Aggiornato; // the state changed: show it
    std::function<QStringList()> StampantiInstallate;
    // The printing system is being asked (true) or has answered (false): the
    // window shows a busy cursor meanwhile.
    std::function<void(bool occupato)> Occupato;
    // The surface a run draws on; unset: the real document on the request's
    // printer.
    FabbricaSuperficie CreaSuperficie;
    // The save dialog: a title and a proposed full path in, the chosen full
    // path out; empty when it was cancelled. The dialog asks before
    // overwriting a file.
    std::function<QString(const QString& titolo, const QString& proposto)> SalvaFile;
    // An information box, and a warning box, with "&Apri" next to "OK" when
    // they name a file; true when "&Apri" closed them.
    std::function<bool(const QString& titolo, const QString& testo, const QString& file)> InformazioneFile;
    std::function<bool(const QString& titolo, const QString& testo, const QString& file)> Avvertimento;
    // Opens a file with the desktop's viewer; nonAperto is called, maybe
    // later, when no program could open it.
    std::function<void(const QString& file, std::function<void()> nonAperto)> ApriFile;
    std::function<void(int codice)> Termina;
    // The page layout of a printer: A4 with its margins, as a run on it has.
    std::function<QPageLayout(const QString& stampante)> Impaginazione;
    // Shows the preview of a run's pages laid out for a printer; true when
    // the user asked to print them.
    std::function<bool(Pagine& pagine, const QPageLayout& layout)> Anteprima;
    // Whether a printer prints on both sides of the paper.
    std::function<bool(const QString& stampante)> FronteRetro;
    QString CartellaLavoro;    // where the end-of-run file goes
    bool SenzaSchermo = false; // no display: the window is never seen
};

// Titles of the boxes that say how a run from the window went, and of the
// save dialog.
inline const QString kTitoloSalvato = QStringLiteral("Documento salvato");
inline const QString kTitoloNonRiuscita = QStringLiteral("Stampa non riuscita");
inline const QString kTitoloSalvaPdf = QStringLiteral("Salva come file PDF");
inline const QString kTitoloNonAperto = QStringLiteral("Apertura non riuscita");
inline const QString kTitoloHelp = QStringLiteral("Help - istruzioni per l'uso");

// What the window says after a run: the text of "Stampa non riuscita" (empty
// when the run did not fail) and of "Documento salvato" (empty when no PDF
// file was saved, e.g. a document handed to a printer). filePdf: the file
// chosen for the PDF writer, when the run was on it.
QString TestoNonRiuscita(const EsitoCorsa& esito, const QString& filePdf = QString());
QString TestoSalvato(const EsitoCorsa& esito);
// What the window says when no program could open a saved document.
QString TestoNonAperto(const QString& file);
// The progress text of a run before page fatti + 1 of totale + 1 (the cover
// is page 1).
QString TestoAvanzamento(int fatti, int totale);

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
    explicit ModelloFinestra(Servizi servizi);
    ~ModelloFinestra();

    // Start-up. argomenti: the process arguments joined by single blanks;
    // cartellaProgramma: where Commandline.txt is looked for, as the system
    // names it (bytes).
    void Form_Load(const QDate& oggi, const QString& argomenti, const QByteArray& cartellaProgramma);
    void StampaVisibile();

    // Handlers of the window's controls.
    void cmdStampa_Click();
    void VisualizzaListaStampanti();
    void cmdSelStampante_Click(int16_t Index);
    // "Ante&prima" in the printer panel: the preview of the run "S&tampa"
    // would start, on the printer it would use.
    void cmdAnteprima_Click();
    // That printer: the entry selected in the list, else the current printer.
    QString StampanteScelta() const;
    // A row of the printer list chosen (-1: none): the copies and two-sided
    // printing follow what that printer can do.
    void SceltaStampante(int riga);
    // The pages typed in "Pa&gine:" changed.
    void txtPagine_Change(const QString& testo);
    // Why the pages typed do not fit the document; empty when they do.
    QString MotivoPagine() const { return motivoPagine_; }
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

    // A print run from the window on the current printer: the confirmation,
    // the save dialog for the PDF writer, then the run (none while one is
    // running).
    void AvviaStampa();
    // The run of a request, with the window in its printing layout meanwhile.
    void Esegui(const RichiestaStampa& richiesta);
    // The request the controls make, on a printer. Throws ErroreCalcolo when
    // the dates cannot be read.
    RichiestaStampa RichiestaDallaFinestra(const QString& stampante) const;

    QString TestoHelp() const;
    QString CreditLine() const { return lblCopyright.Testo; }
    QString StampanteCorrente() const { return stampanteCorrente_; }
    // Where the save dialog opens: the folder chosen last since start, else
    // the user's Documents folder, else home.
    QString CartellaPdf() const;
    void ImpostaStampanteCorrente(const QString& nome) { stampanteCorrente_ = nome; }
    // The default printer the user set is not installed: the current printer
    // is the PDF writer, and the user (or the caller) is told.
    void ImpostaPredefinitaMancante(const QString& nome) { predefinitaMancante_ = nome; }

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
    Controllo frmSelStampa, lstStampanti;
    Controllo txtPagine, cmbNumCopie, chkFronteRetro; // pages, copies, two-sided of a run from the panel
    bool StampaPredefinito = false;                   // "&Stampa" is the default button
    bool FinestraVisibile = false;
    // The control that should take the keyboard focus (after a run, or when
    // the printer panel closes); the window gives it the focus and clears this.
    Controllo* FuocoRichiesto = nullptr;

    StatoForm Form;
    EsitoCorsa UltimoEsito;

private:
    void ControllaPagine(); // the pages typed against the document the controls make
    void RicostruisciGiorni(Controllo& giorni, const Controllo& mesi, const Controllo& anni);
    void Notifica();
    QStringList Installate(); // asks the printing system, with the busy cursor
    void RiprendiTastiera();  // focus back where typing goes on
    // The confirmation, and the save dialog for the PDF writer (which sets
    // the request's file); false when either was declined.
    bool Conferma(RichiestaStampa& richiesta);
    bool ScegliFilePdf(RichiestaStampa& richiesta); // the save dialog; false when cancelled
    // An invocation that prints nothing: the caller is told, and the program ends.
    void Rifiuta(const QString& motivo);
    // Enter outside a button; fuoco: the control with the focus.
    bool Invio(QAnyStringView fuoco);
    void DiciEsito();                        // the box that says how a run from the window went
    void ApriDocumento(const QString& file); // "&Apri" in that box

    Servizi servizi_;
    QString stampanteCorrente_;
    QString filePdf_;     // chosen in the save dialog for the last run
    QString cartellaPdf_; // folder of the last file chosen
    QString predefinitaMancante_;
    QString motivoPagine_;
    QHash<QString, bool> fronteRetro_;   // what each printer said, while the panel is open
    std::unique_ptr<CorsaStampa> corsa_; // the run in progress
};

} // namespace vagolume
