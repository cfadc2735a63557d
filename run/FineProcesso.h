#pragma once
// How the process ends, in one place: the handlers of every signal that would
// end it, the crash handler, the end-of-run file FineStampaPercorsario.tmp,
// the exit status and the exit itself. Nothing else installs a handler,
// writes that file, picks a status or ends the process.
//
// What became of the document of the run in progress is recorded here as it
// happens (FattoConsegna), where a signal handler can read it: a stop or a
// crash that comes later can add to an outcome, never undo a delivery.

#include <QString>

#include <atomic>
#include <sys/types.h>

namespace vagolume {

struct EsitoCorsa;

// File that tells the itinerary program that printing is over.
inline const QString kFileFineStampa = QStringLiteral("FineStampaPercorsario.tmp");

// The termination signal that came (the first, when several did), 0 while
// none came: set by the signal handler, read by whatever waits for long (the
// hand-over to a printer, the pages of a run) so that it gives up at once.
std::atomic<int>& SegnaleRicevuto();

// How far the document of the run in progress got; each step comes after the
// one before, and a new run starts again from NienteInviato.
enum class FattoConsegna : int {
    NienteInviato = 0, // being drawn, or discarded
    DocumentoCompleto, // finished whole, being handed to its printer
    UltimoByteInviato, // all of it reached the print server, whose answer has not come yet
    RispostaServer,    // the server answered: its job is made and it prints
    Salvato,           // written whole as a PDF file
};
void RegistraFatto(FattoConsegna fatto);
FattoConsegna FattoCorrente();
// The PDF file the run in progress wrote: its document saved, or kept after
// its printer failed; empty when none. The crash path names it too.
void RegistraFileSalvato(const QString& percorso);
QString FileSalvato();

// A new run begins: its facts, and whatever the previous run said, wrote or
// ended with, are forgotten.
void NuovaCorsa();

// Start-up, before anything else: standard descriptors closed by the caller
// are opened on /dev/null, the handlers are installed, and what the crash
// path needs later (the current folder, a spare descriptor, the mode of new
// files) is held from now on. From here on a run stopped by a signal ends the
// process once it is concluded (tests, which never call this, get the
// outcome back instead).
void PreparaProcesso();
// The descriptors the process may have open, once the soft limit is raised
// as far as the hard one allows; and the fewest a run can do with (the
// toolkit aborts below it).
int DescrittoriConsentiti();
inline constexpr int kMinDescrittori = 10;

// An unattended start: a caller waits for the end-of-run file, also when the
// program crashes before its run began.
void ImpostaFineDovuta(bool dovuta);
// Once the window exists, while the event loop runs: a signal is seen there,
// and an exit() of the toolkit (its display gone) concludes the run first. With a run in progress,
// or a run being prepared (the confirmation, the save dialog), chiudiDialoghi
// closes what is open so that the run, or its preparation, concludes itself;
// otherwise the process ends at once, as killed by the signal.
void OsservaSegnali(void (*chiudiDialoghi)());

// A run is being prepared for as long as one of these lives: a signal that
// comes meanwhile concludes it as declined, end-of-run file included.
class PreparazioneCorsa {
public:
    PreparazioneCorsa();
    ~PreparazioneCorsa();
    PreparazioneCorsa(const PreparazioneCorsa&) = delete;
    PreparazioneCorsa& operator=(const PreparazioneCorsa&) = delete;
    static bool Attiva();
};

// A note of a library (Qt's warnings): said at once, or, during a run or an
// unattended start, at the run's end, where it is left out when memory ran
// out (one line says that).
void NotaDellaLibreria(const QString& nota);

// The end of every run, and of every start that was asked to print: a signal
// that came meanwhile is added to the outcome (never over a delivery); what
// went wrong is said on standard error (one line); "Fatto" CR LF is written
// into the end-of-run file in cartellaLavoro ("." or empty: the folder the
// program works in); the outcome comes back with FineScritta set. After
// PreparaProcesso, an outcome a signal ended ends the process here.
EsitoCorsa Concludi(EsitoCorsa esito, const QString& cartellaLavoro);

// The exit status after an outcome: 0 for a document handed over whole with
// the end-of-run file written; 3 for a document that reached the print server
// whole without an answer (it may print: do not send it again); 128 + n for a
// run stopped by signal n before anything was sent; 1 for anything else.
int CodiceUscita(const EsitoCorsa& esito);

// Ends the process as the outcome says: killed by its signal, or with its
// status.
[[noreturn]] void Esci(const EsitoCorsa& esito);
// Ends a process that concluded no run: --help and --version (0), nothing to
// do (2), the window closed (0), a failure before any run (1).
[[noreturn]] void EsciCon(int codice);

// A signal as the lines name it: "15 (Terminated)".
QString TestoSegnale(int segnale);

// Ends a process that has no run to conclude as killed by segnale.
[[noreturn]] void EsciPerSegnale(int segnale);

// Memory ran out outside a run's own care: one line, the end-of-run file
// when a caller waits for it, status 1. Allocates nothing.
[[noreturn]] void EsciMemoriaEsaurita();

// Writes "Fatto" CR LF into the end-of-run file in the folder open as
// cartella, with mode modo, through a temporary file renamed over the name: no
// reader ever sees half a file, and a link at that name is replaced, not
// followed. Only calls that are safe in a signal handler. Returns 0, or the
// errno of the failure with the failing step in *passo.
int ScriviFileFine(int cartella, mode_t modo, const char** passo);

} // namespace vagolume
