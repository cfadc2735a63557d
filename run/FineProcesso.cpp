#include "run/FineProcesso.h"

#include "print/Stampanti.h"
#include "run/Corsa.h"
#include "run/Sistema.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <initializer_list>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vagolume {

namespace {

// Everything below is read from signal handlers too.
std::atomic<int> fatto{0};                  // FattoConsegna of the run in progress
std::atomic<bool> esitoDetto{false};        // the run's line was said
std::atomic<bool> fineScritta{false};       // the end-of-run file was written
std::atomic<int> ultimoCodice{-1};          // the status of the last outcome; -1 while there is none
std::atomic<bool> fineDovuta{false};        // a caller waits for the end-of-run file
std::atomic<bool> terminaConLaCorsa{false}; // a run a signal stopped ends the process
std::atomic<int> preparazioni{0};           // runs being prepared (confirmation, save dialog)
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "read from a signal handler");

// The crash path cannot allocate, and may find no descriptor left: the
// folder the program works in, a spare descriptor to give up for the
// end-of-run file, the path of a saved PDF and the mode of new files are held
// from the start.
int cartellaLavoro = AT_FDCWD;
std::atomic<int> riserva{-1};
mode_t modoFine = 0600;
char fileSalvato[4096];
std::atomic<bool> fileSalvatoNoto{false};
int tuboSegnali[2] = {-1, -1};

void (*chiudiDialoghi)() = nullptr;

// Notes of the libraries that came during the run in progress, said at its
// end unless memory ran out: then they are its symptoms, and one line says
// what happened.
// Never destroyed: the run is concluded at exit() (the display gone), after
// the destructors of statics made later would have run.
QStringList& NoteInAttesa() {
    static auto* const note = new QStringList;
    return *note;
}

size_t Lunghezza(const char* testo) {
    size_t n = 0;
    while (testo[n] != '\0')
        ++n;
    return n;
}

void Scrivi(int fd, const char* testo) {
    [[maybe_unused]] auto n = ::write(fd, testo, Lunghezza(testo));
}

// Appends texts to a buffer of n bytes; false when they do not fit.
bool Componi(char* buffer, size_t n, std::initializer_list<const char*> parti) {
    size_t usati = 0;
    for (const char* parte : parti)
        for (; *parte; ++parte) {
            if (usati + 1 >= n) return false;
            buffer[usati++] = *parte;
        }
    buffer[usati] = '\0';
    return true;
}

// A descriptor could not be had: the spare one is given up, once, so that
// the end-of-run file can still be written.
bool LiberaRiserva(int errore) {
    if (errore != EMFILE && errore != ENFILE) return false;
    const int fd = riserva.exchange(-1);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// Ends the process as killed by segnale, as its caller expects.
[[noreturn]] void TerminaConSegnale(int segnale) {
    std::fflush(nullptr);
    std::signal(segnale, SIG_DFL);
    sigset_t insieme;
    sigemptyset(&insieme);
    sigaddset(&insieme, segnale);
    ::sigprocmask(SIG_UNBLOCK, &insieme, nullptr);
    ::raise(segnale);
    ::_exit(128 + segnale);
}

// A crash while a caller waits, or while a run is in progress or being
// prepared: the facts of the run say what to tell, the end-of-run file is
// written unless the run's end wrote it, and the process ends as the run
// would have. Only calls that are safe in a signal handler.
// segnale 0: memory ran out where the program saw it, not in a crash.
[[noreturn]] void Crollo(int segnale) {
    const bool attesa = fineDovuta.load() || CorsaStampa::InCorso() || preparazioni.load() > 0;
    if (!attesa && segnale != 0) {
        // Nobody waits: the crash is what it is.
        ::signal(segnale, SIG_DFL);
        ::raise(segnale);
        ::_exit(128 + segnale);
    }
    // Where an address-space or data limit is set, a crash is most likely a
    // library that met a failed allocation and did not check it.
    struct rlimit limite {};
    const bool limitata = segnale == 0 ||
                          (::getrlimit(RLIMIT_AS, &limite) == 0 && limite.rlim_cur != RLIM_INFINITY) ||
                          (::getrlimit(RLIMIT_DATA, &limite) == 0 && limite.rlim_cur != RLIM_INFINITY);
    const char* causa = limitata ? "vagolume: memoria esaurita" : "vagolume: errore interno del programma";
    int codice = 1;
    const char* seguito = ": non stampo\n";
    switch (static_cast<FattoConsegna>(fatto.load())) {
    case FattoConsegna::Salvato:
    case FattoConsegna::RispostaServer:
        codice = 0;
        seguito = " dopo la consegna: il documento è stato consegnato per intero\n";
        break;
    case FattoConsegna::UltimoByteInviato:
        codice = 3;
        seguito = " in attesa della risposta del sistema di stampa, che ha ricevuto tutto il documento: "
                  "la stampante potrebbe stamparlo comunque\n";
        break;
    default:
        break;
    }
    if (!esitoDetto.exchange(true)) {
        Scrivi(2, causa);
        if (static_cast<FattoConsegna>(fatto.load()) == FattoConsegna::Salvato && fileSalvatoNoto.load()) {
            Scrivi(2, " dopo la consegna: il documento è stato salvato in ");
            Scrivi(2, fileSalvato);
            Scrivi(2, "\n");
        } else {
            Scrivi(2, seguito);
        }
    } else if (ultimoCodice.load() >= 0) {
        codice = ultimoCodice.load();
    }
    if (!fineScritta.load() && attesa) {
        const char* passo = "";
        fineScritta.store(ScriviFileFine(cartellaLavoro, modoFine, &passo) == 0);
    }
    ::_exit(fineScritta.load() || codice == 3 ? codice : 1);
}

// The signals that dump core are a crash when the kernel reported them for an
// instruction of this program, or the program raised them (abort); sent by
// anybody else they are a request to stop, as SIGTERM is.
bool Guasto(int segnale, const siginfo_t* info) {
    const bool proprio = info == nullptr || (info->si_code <= 0 && info->si_pid == ::getpid());
    switch (segnale) {
    case SIGSEGV:
    case SIGBUS:
    case SIGILL:
    case SIGFPE:
    case SIGTRAP:
    case SIGSYS:
    case SIGABRT:
        return proprio || info->si_code > 0;
    default:
        return false;
    }
}

// Notes the first signal that came (a run in progress ends itself at its
// next page, or at once in a hand-over) and wakes the event loop.
void AlSegnale(int segnale, siginfo_t* info, void*) {
    if (Guasto(segnale, info)) Crollo(segnale);
    const int salvato = errno;
    int atteso = 0;
    SegnaleRicevuto().compare_exchange_strong(atteso, segnale);
    const char c = 1;
    if (tuboSegnali[1] >= 0) [[maybe_unused]]
        auto n = ::write(tuboSegnali[1], &c, 1);
    errno = salvato;
}

bool SanitizzatoreIndirizzi() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

void InstallaGestori() {
    if (::pipe2(tuboSegnali, O_CLOEXEC | O_NONBLOCK) != 0) tuboSegnali[0] = tuboSegnali[1] = -1;
    // Its own stack: a stack that ran out must not stop the crash path.
    static char pila[64 * 1024];
    stack_t alternativa{};
    alternativa.ss_sp = pila;
    alternativa.ss_size = sizeof pila;
    ::sigaltstack(&alternativa, nullptr);
    struct sigaction azione {};
    azione.sa_sigaction = AlSegnale;
    sigemptyset(&azione.sa_mask);
    azione.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    // Every signal whose default action ends the process, but SIGKILL and
    // SIGSTOP, which cannot be caught, and SIGPIPE and SIGXFSZ, below.
    std::vector<int> segnali = {SIGTERM, SIGINT,  SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM,  SIGVTALRM,
                                SIGPROF, SIGPOLL, SIGXCPU, SIGPWR,  SIGTRAP, SIGSYS,  SIGSTKFLT};
    for (int rt = SIGRTMIN; rt <= SIGRTMAX; ++rt)
        segnali.push_back(rt);
    // The sanitizer builds keep their own reports of a crash.
    if (!SanitizzatoreIndirizzi())
        for (int segnale : {SIGSEGV, SIGABRT, SIGBUS, SIGILL, SIGFPE})
            segnali.push_back(segnale);
    for (int segnale : segnali)
        ::sigaction(segnale, &azione, nullptr);
    // A closed standard error or output makes a write fail, not the program
    // end; a document larger than the file size limit fails with a message.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    // An exception nothing caught ends as a crash, without the runtime's own
    // two lines.
    if (!SanitizzatoreIndirizzi()) std::set_terminate([] { Crollo(SIGABRT); });
}

// Descriptors 0 to 2 closed at start would be taken by the first files the
// program opens (the document among them), and a warning would then be
// written into it: they are opened on /dev/null first.
void ApriDescrittoriStandard() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int nuovo = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (nuovo >= 0 && nuovo != fd) {
            ::dup2(nuovo, fd);
            ::close(nuovo);
        }
    }
}

// The toolkit ends the process with exit() when its display goes away (a
// logout, a dropped ssh -X): a run in progress is concluded first, so that
// its caller is told and nothing of it is left.
void AllUscita() {
    if (CorsaStampa* corsa = CorsaStampa::InCorso())
        corsa->Abbandona(
            EsitoCorsa::Fallito,
            QStringLiteral("lo schermo non è più disponibile: stampa interrotta, nulla è stato stampato"));
}

bool ScriviFineStampa(const QString& cartella) {
    const char* passo = "apertura della cartella";
    int fd = cartellaLavoro;
    int errore = 0;
    const bool propria = !cartella.isEmpty() && cartella != QLatin1String(".");
    if (propria) {
        const QByteArray nome = CartellaSuDisco(cartella);
        fd = ::open(nome.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 && LiberaRiserva(errno)) fd = ::open(nome.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) errore = errno;
    }
    // The mode new files get now; the crash path keeps to the last one known.
    modoFine = ModoFileNuovo();
    if (errore == 0) errore = ScriviFileFine(fd, modoFine, &passo);
    if (propria && fd >= 0) ::close(fd);
    if (errore != 0) {
        Avvisa(QStringLiteral("impossibile scrivere %1 (%2): %3")
                   .arg(QDir(propria ? cartella : QDir::currentPath()).filePath(kFileFineStampa),
                        QString::fromUtf8(passo), QString::fromLocal8Bit(std::strerror(errore))));
        return false;
    }
    return true;
}

} // namespace

std::atomic<int>& SegnaleRicevuto() {
    static std::atomic<int> segnale{0};
    return segnale;
}

QString TestoSegnale(int segnale) {
    return QStringLiteral("%1 (%2)").arg(segnale).arg(QString::fromLocal8Bit(::strsignal(segnale)));
}

void RegistraFatto(FattoConsegna f) {
    fatto.store(static_cast<int>(f));
}

FattoConsegna FattoCorrente() {
    return static_cast<FattoConsegna>(fatto.load());
}

QString& FileSalvatoTesto() {
    static auto* const percorso = new QString; // never destroyed, as NoteInAttesa
    return *percorso;
}

QString FileSalvato() {
    return FileSalvatoTesto();
}

void RegistraFileSalvato(const QString& percorso) {
    FileSalvatoTesto() = percorso;
    fileSalvatoNoto.store(false);
    const QByteArray byte = FileSuDisco(PercorsoDaMostrare(percorso));
    if (byte.size() >= static_cast<qsizetype>(sizeof fileSalvato)) return;
    std::memcpy(fileSalvato, byte.constData(), static_cast<size_t>(byte.size()) + 1);
    fileSalvatoNoto.store(true);
}

void NuovaCorsa() {
    fatto.store(0);
    fileSalvatoNoto.store(false);
    FileSalvatoTesto().clear();
    esitoDetto.store(false);
    fineScritta.store(false);
    ultimoCodice.store(-1);
}

void PreparaProcesso() {
    ApriDescrittoriStandard();
    modoFine = ModoFileNuovo();
    // The spare descriptor first: with only one left, it is what lets the
    // end-of-run file be written (the folder is then reached by its path).
    riserva.store(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    cartellaLavoro = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (cartellaLavoro < 0) cartellaLavoro = AT_FDCWD;
    InstallaGestori();
    terminaConLaCorsa.store(true);
}

int DescrittoriConsentiti() {
    struct rlimit limite {};
    if (::getrlimit(RLIMIT_NOFILE, &limite) != 0) return kMinDescrittori;
    if (limite.rlim_cur < limite.rlim_max && limite.rlim_cur < 1024) {
        limite.rlim_cur = std::min<rlim_t>(limite.rlim_max, 1024);
        ::setrlimit(RLIMIT_NOFILE, &limite);
        ::getrlimit(RLIMIT_NOFILE, &limite);
    }
    return limite.rlim_cur > 1 << 20 ? 1 << 20 : static_cast<int>(limite.rlim_cur);
}

void ImpostaFineDovuta(bool dovuta) {
    fineDovuta.store(dovuta);
}

void OsservaSegnali(void (*chiudi)()) {
    chiudiDialoghi = chiudi;
    // Registered after the toolkit's own: the run is concluded before the
    // toolkit takes itself apart.
    std::atexit(AllUscita);
    if (tuboSegnali[0] < 0) return;
    // Lives as long as the process.
    auto* notifica = new QSocketNotifier(tuboSegnali[0], QSocketNotifier::Read);
    QObject::connect(notifica, &QSocketNotifier::activated, [] {
        char scarto[64];
        while (::read(tuboSegnali[0], scarto, sizeof scarto) > 0) {
        }
        const int segnale = SegnaleRicevuto().load();
        if (segnale == 0) return;
        // A run ends itself, a run being prepared is declined: both end the
        // process once concluded.
        if (CorsaStampa::InCorso() || PreparazioneCorsa::Attiva()) {
            if (chiudiDialoghi) chiudiDialoghi();
            return;
        }
        EsciPerSegnale(segnale);
    });
}

PreparazioneCorsa::PreparazioneCorsa() {
    // A new run: nothing of the last one counts any more, not even in a crash.
    NuovaCorsa();
    ++preparazioni;
}

PreparazioneCorsa::~PreparazioneCorsa() {
    --preparazioni;
}

bool PreparazioneCorsa::Attiva() {
    return preparazioni.load() > 0;
}

void NotaDellaLibreria(const QString& nota) {
    if (!CorsaStampa::InCorso() && !fineDovuta.load()) {
        Avvisa(nota);
        return;
    }
    try {
        if (NoteInAttesa().size() < 20) NoteInAttesa().append(nota);
    } catch (const std::bad_alloc&) {
        // No room to keep it: memory is running out, which the run says.
    }
}

EsitoCorsa Concludi(EsitoCorsa esito, const QString& cartella) {
    const QStringList note = std::exchange(NoteInAttesa(), {});
    if (!esito.Motivo.startsWith(QLatin1String("memoria esaurita")))
        for (const QString& nota : note)
            Avvisa(nota);
    // A signal that came meanwhile is part of the outcome, but never undoes
    // a delivery, nor a document that may print.
    if (const int segnale = SegnaleRicevuto().load(); segnale != 0 && esito.Segnale == 0) {
        esito.Segnale = segnale;
        if (!esito.Consegnato() && !esito.ForseStampato && esito.Cosa != EsitoCorsa::Rifiutato) {
            esito.Cosa = EsitoCorsa::Annullato;
            // Stopped while the document travelled to its printer: the line
            // says so (the server made no job of it).
            esito.Motivo =
                FattoCorrente() == FattoConsegna::DocumentoCompleto
                    ? QStringLiteral(
                          "stampa interrotta dal segnale %1 durante l'invio a \"%2\": nessun lavoro "
                          "creato, nulla è stato stampato")
                          .arg(TestoSegnale(segnale), NomeDaMostrare(esito.Stampante))
                    : QStringLiteral("stampa interrotta dal segnale %1: nulla è stato stampato")
                          .arg(TestoSegnale(segnale));
            esito.PdfSalvato.clear();
        }
    }
    if (esito.Consegnato()) {
        if (esito.Errori > 0)
            Avvisa(QStringLiteral("la stampa su \"%1\" ha avuto %2 errori: il documento è stato consegnato "
                                  "senza le parti non riuscite")
                       .arg(NomeDaMostrare(esito.Stampante))
                       .arg(esito.Errori));
        if (esito.Segnale != 0)
            Avvisa(QStringLiteral("segnale %1 arrivato dopo la consegna: il documento è stato consegnato")
                       .arg(TestoSegnale(esito.Segnale)));
    } else if (!esito.Motivo.isEmpty()) {
        QString riga = esito.Motivo;
        if (esito.ForseStampato && esito.Segnale != 0)
            riga +=
                QStringLiteral(" (segnale %1 arrivato durante l'attesa)").arg(TestoSegnale(esito.Segnale));
        if (!esito.PdfSalvato.isEmpty())
            riga += QStringLiteral("; il documento è stato salvato in %1").arg(esito.PdfSalvato);
        Avvisa(riga);
    }
    esitoDetto.store(true);
    esito.FineScritta = ScriviFineStampa(cartella);
    fineScritta.store(esito.FineScritta);
    ultimoCodice.store(CodiceUscita(esito));
    // The path of a PDF written for a caller, which cannot guess " (2)".
    // Its bytes as they are on disk, whatever the folders' names are made of.
    if (esito.Cosa == EsitoCorsa::Salvato) {
        std::printf("%s\n", fileSalvatoNoto.load() ? fileSalvato : qUtf8Printable(esito.PdfSalvato));
        std::fflush(stdout);
    }
    if (terminaConLaCorsa.load() && esito.Segnale != 0) Esci(esito);
    return esito;
}

int CodiceUscita(const EsitoCorsa& esito) {
    if (esito.Consegnato()) return esito.FineScritta ? 0 : 1;
    if (esito.ForseStampato) return 3;
    if (esito.Segnale != 0) return 128 + esito.Segnale;
    return 1;
}

void Esci(const EsitoCorsa& esito) {
    if (esito.Segnale != 0 && !esito.Consegnato() && !esito.ForseStampato) TerminaConSegnale(esito.Segnale);
    EsciCon(CodiceUscita(esito));
}

void EsciPerSegnale(int segnale) {
    TerminaConSegnale(segnale);
}

void EsciMemoriaEsaurita() {
    Crollo(0);
}

void EsciCon(int codice) {
    std::fflush(nullptr);
    ::_exit(codice);
}

int ScriviFileFine(int cartella, mode_t modo, const char** passo) {
    char temporaneo[64], pid[24];
    // The process id, in decimal, without the formatting functions.
    char* cifra = pid + sizeof pid - 1;
    *cifra = '\0';
    for (auto n = static_cast<unsigned long>(::getpid()); cifra == pid + sizeof pid - 1 || n > 0; n /= 10)
        *--cifra = static_cast<char>('0' + n % 10);
    *passo = "creazione";
    if (!Componi(temporaneo, sizeof temporaneo, {".FineStampaPercorsario.", cifra})) return ENAMETOOLONG;
    ::unlinkat(cartella, temporaneo, 0); // left by a process of the same id, long gone
    const int flag = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(cartella, temporaneo, flag, 0600);
    if (fd < 0 && LiberaRiserva(errno)) fd = ::openat(cartella, temporaneo, flag, 0600);
    if (fd < 0) return errno;
    ::fchmod(fd, modo);
    static const char kContenuto[] = "Fatto\r\n";
    constexpr auto kLunghezza = static_cast<ssize_t>(sizeof kContenuto - 1);
    const ssize_t scritti = ::write(fd, kContenuto, kLunghezza);
    int errore = 0;
    if (scritti != kLunghezza)
        errore = scritti >= 0 ? ENOSPC : errno;
    else if (::fsync(fd) != 0)
        errore = errno;
    if (::close(fd) != 0 && errore == 0) errore = errno;
    if (errore == 0) {
        *passo = "rinomina";
        if (::renameat(cartella, temporaneo, cartella, "FineStampaPercorsario.tmp") == 0) return 0;
        errore = errno;
    } else {
        *passo = "scrittura";
    }
    // The temporary file is removed, the reason kept.
    ::unlinkat(cartella, temporaneo, 0);
    return errore;
}

} // namespace vagolume
