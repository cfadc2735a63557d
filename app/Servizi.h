#pragma once
// What the window's logic needs from the outside world, as two small
// interfaces: the dialogs a user answers, and the system the program runs on.
// The program wires the real ones (app/ServiziQt.h); tests wire one fake of
// each.

#include "print/Stampanti.h"
#include "run/Corsa.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vagolume {

class Pagine;

// Message boxes and file dialogs.
class Dialoghi {
public:
    virtual ~Dialoghi() = default;
    // A Yes/No question; true for Yes. Enter answers Yes, or No where
    // noPredefinito (replacing a file).
    virtual bool DomandaSiNo(const QString& titolo, const QString& testo, bool noPredefinito = false) = 0;
    // An information box. senzaAttesa: shown without waiting for it (the help
    // during a run, which goes on meanwhile).
    virtual void Informazione(const QString& titolo, const QString& testo, bool senzaAttesa = false) = 0;
    // An information box, and a warning box, with "&Apri" next to "OK" when
    // they name a file; true when "&Apri" closed them.
    virtual bool InformazioneFile(const QString& titolo, const QString& testo, const QString& file) = 0;
    virtual bool Avvertimento(const QString& titolo, const QString& testo, const QString& file) = 0;
    // The save dialog: a title and a proposed full path in, the chosen full
    // path out; empty when it was cancelled. It asks before overwriting a file.
    virtual QString SalvaFile(const QString& titolo, const QString& proposto) = 0;
    // Opens a file with the desktop's viewer; nonAperto is called, maybe
    // later, when no program could open it.
    virtual void ApriFile(const QString& file, std::function<void()> nonAperto) = 0;
    // The preview of a run's pages laid out for a printer; richiesta: the
    // request they come from (the document's name, the pages chosen). True
    // when the user asked to print them.
    virtual bool Anteprima(Pagine& pagine, const QPageLayout& layout, const RichiestaStampa& richiesta) = 0;
};

// The printers, and the event loop the window runs on.
class Piattaforma {
public:
    virtual ~Piattaforma() = default;
    // The installed printers, and whether the printing system answered.
    virtual StatoStampanti Stampanti() = 0;
    // The page layout of a printer: A4 with its margins, as a run on it has.
    virtual QPageLayout Impaginazione(const QString& stampante) = 0;
    // Whether a printer prints on both sides of the paper, and does unless told.
    virtual LatiCoda FronteRetro(const QString& stampante) = 0;
    // What a printer says of itself ("Toner esaurito"); empty for nothing.
    virtual QString MessaggioStampante(const QString& stampante) = 0;
    // Lets the window take the events that are waiting (during a run).
    virtual void ElaboraEventi() = 0;
    // The printing system is being asked (true) or has answered (false): the
    // window shows a busy cursor meanwhile.
    virtual void Occupato(bool occupato) = 0;
    // The surface a run draws on; empty: the real document on the request's
    // printer.
    virtual FabbricaSuperficie Superficie() { return {}; }
};

// What the invocation line asks at start: nothing (the window waits for the
// user), a request to print at once without asking, or a refusal (a line
// that cannot be read: Rifiuto says why). Start-up acts on it.
struct Invocata {
    std::optional<RichiestaStampa> Richiesta;
    QString Rifiuto;
};

// How the process ends, and where the end-of-run file goes: start-up's
// business, which the window only hands on.
struct FineProcesso {
    // "&Fine": the program ends, after the run it abandoned if any.
    std::function<void(const EsitoCorsa* corsaAbbandonata)> Termina;
    QString CartellaLavoro;    // where the end-of-run file goes
    bool SenzaSchermo = false; // no display: the window is never seen
};

} // namespace vagolume
