#pragma once
// The printer panel (frmSelStampa) and the print run from the window: the
// printer shown selected, the pages, copies and sides chosen, what the
// selected printer can do; the request they make, the confirmation, the save
// dialog, the run with the window in its printing layout, and the box that
// says how it went.

#include "app/Controllo.h"
#include "app/Servizi.h"
#include "run/Corsa.h"

#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

namespace vagolume {

class ModelloFinestra;

// Titles of the boxes that say how a run from the window went, and of the
// save dialog.
inline const QString kTitoloStampa = QStringLiteral("Stampa dei moduli");
inline const QString kTitoloSalvato = QStringLiteral("Documento salvato");
inline const QString kTitoloNonRiuscita = QStringLiteral("Stampa non riuscita");
inline const QString kTitoloSalvaPdf = QStringLiteral("Salva come file PDF");
inline const QString kTitoloNonAperto = QStringLiteral("Apertura non riuscita");

// The text of the confirmation question.
QString TestoConferma(const RichiestaStampa& r);

// Pages typed as "4", "3-5", "1,4-6" (blanks anywhere), or empty or "tutte"
// for the whole document of totale pages. Pagine: the pages chosen,
// ascending, without repeats; empty for the whole document. Motivo: why the
// text does not fit the document (Pagine is then empty too).
struct SceltaPagine {
    QList<int> Pagine;
    QString Motivo;
};
// A page may also be given by the day it carries ("11/12", "11/12/2026",
// "11/12-13/12") when inizio, the day of page 2, is known.
SceltaPagine LeggiPagine(const QString& testo, int totale, const QDate& inizio = QDate());
// The days pages carry, as the panel says them: "pagina 4: Ven 11 Dic",
// "pagina 1: copertina; pagine 4-6: Ven 11 Dic - Dom 13 Dic"; inizio: the
// day of page 2.
QString TestoDatePagine(const QList<int>& pagine, const QDate& inizio);
// Pages in the shortest form: "4", "1, 4-6"; empty for none.
QString TestoPagine(const QList<int>& pagine);

// What the window says after a run: the text of "Stampa non riuscita" (empty
// when the run did not fail) and of "Documento salvato" (empty when no PDF
// file was saved, e.g. a document handed to a printer). filePdf: the file
// chosen for the PDF writer, when the run was on it.
QString TestoNonRiuscita(const EsitoCorsa& esito, const QString& filePdf = QString(),
                         const QString& messaggioStampante = QString());
QString TestoSalvato(const EsitoCorsa& esito);
// What the window says when no program could open a saved document.
QString TestoNonAperto(const QString& file);
// What the status line says once a run from the window is over: the printer
// it went to, or that it was cancelled; empty for anything a box tells.
QString TestoFineCorsa(const EsitoCorsa& esito);
// The progress text of a run before page fatti + 1 of totale + 1 (the cover
// is page 1).
QString TestoAvanzamento(int fatti, int totale);

class DialogoStampa {
public:
    DialogoStampa(ModelloFinestra& finestra, Dialoghi& dialoghi, Piattaforma& piattaforma);
    ~DialogoStampa();
    DialogoStampa(const DialogoStampa&) = delete;
    DialogoStampa& operator=(const DialogoStampa&) = delete;

    // The panel as start-up leaves it: hidden, one copy, one side.
    void Inizializza();

    void VisualizzaListaStampanti();
    void cmdSelStampante_Click(int16_t Index);
    // "Ante&prima": the preview of the run "S&tampa" would start, on the
    // printer it would use.
    void cmdAnteprima_Click();
    // That printer: the entry selected in the list, else the current printer.
    QString StampanteScelta() const;
    // A row of the printer list chosen (-1: none): the copies and two-sided
    // printing follow what that printer can do.
    void SceltaStampante(int riga);
    // An arrow key in the printer list while nothing is chosen: it chooses
    // the first entry (End, Page Down: the last). Returns whether it did.
    bool PrimaScelta(int codice);
    // The pages typed in "Pa&gine:" changed: they are judged once the
    // keyboard leaves them (txtPagine_LostFocus) or at "S&tampa".
    void txtPagine_Change(const QString& testo);
    void txtPagine_LostFocus();
    // Why the pages typed do not fit the document; empty when they do.
    QString MotivoPagine() const { return motivoPagine_; }
    // "Fronte-retro" ticked or cleared by the user.
    void chkFronteRetro_Click(bool spuntato);
    // The copies chosen (1-99).
    void spnCopie_Change(int copie);
    // The document the form describes changed (destination, period, blank
    // sheets): a choice of its pages no longer applies.
    void DocumentoCambiato();

    // A print run from the window on the current printer: the confirmation,
    // the save dialog for the PDF writer, then the run (none while one is
    // running).
    void AvviaStampa();
    // The run of a request, with the window in its printing layout meanwhile.
    void StampaRichiesta(const RichiestaStampa& richiesta);
    // The window around a run, also one that start-up makes for the itinerary
    // program: the hooks that show its progress; the printing layout from
    // before it starts ("&Annulla" reaches it) to after it ended.
    GanciCorsa Ganci();
    void InizioCorsa(CorsaStampa& corsa);
    void FineCorsa(const EsitoCorsa& esito);
    // The request the controls make, on a printer. Throws ErroreCalcolo when
    // the dates cannot be read.
    RichiestaStampa RichiestaDallaFinestra(const QString& stampante) const;
    // The run in progress; nullptr when none.
    CorsaStampa* Corsa() const { return corsa_; }

    QString StampanteCorrente() const { return stampanteCorrente_; }
    void ImpostaStampanteCorrente(const QString& nome) { stampanteCorrente_ = nome; }
    // The default printer the user set is not installed: the current printer
    // is the PDF writer, and the user (or the caller) is told.
    void ImpostaPredefinitaMancante(const QString& nome) { predefinitaMancante_ = nome; }
    QString PredefinitaMancante() const { return predefinitaMancante_; }
    // Where the save dialog opens: the folder chosen last since start, else
    // the user's Documents folder, else home.
    QString CartellaPdf() const;

    Controllo frmSelStampa, lstStampanti;
    Controllo txtPagine, spnCopie, chkFronteRetro; // pages, copies, two-sided
    // The panel's line for what the user should know before printing: the
    // current printer gone or silent, pages that do not fit; hidden when empty.
    Controllo lblAvviso;
    EsitoCorsa UltimoEsito;

private:
    void ControllaPagine();     // the pages typed against the document the controls make
    void AggiornaAvviso();      // the panel's line from what it has to say
    StatoStampanti Interroga(); // asks the printing system, with the busy cursor
    // The confirmation, and the save dialog for the PDF writer (which sets
    // the request's file); false when either was declined.
    bool Conferma(RichiestaStampa& richiesta);
    bool ScegliFilePdf(RichiestaStampa& richiesta); // the save dialog; false when cancelled
    void ScegliStampante();                         // the selected entry becomes the current printer
    void DiciEsito();                               // the box that says how a run from the window went
    void ApriDocumento(const QString& file);        // "&Apri" in that box

    ModelloFinestra& f_;
    Dialoghi& dialoghi_;
    Piattaforma& piattaforma_;
    QString stampanteCorrente_;
    QString filePdf_;     // chosen in the save dialog for the last run
    QString cartellaPdf_; // folder of the last file chosen
    QString predefinitaMancante_;
    QString motivoPagine_;
    QString datePagine_;                   // the days the pages chosen carry, once judged
    QString avvisoStampante_;              // the current printer is not in the list, and why
    bool avvisoFisso_ = false;             // said whatever is chosen: the printing system did not answer
    QHash<QString, LatiCoda> fronteRetro_; // what each printer said, while the panel is open
    bool latiToccati_ = false;             // the user set the box: the choice stays, as the copies do
    CorsaStampa* corsa_ = nullptr;         // the run in progress
};

} // namespace vagolume
