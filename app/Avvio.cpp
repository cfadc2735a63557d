#include "app/Avvio.h"

#include "app/ServiziQt.h"
#include "app/frmbase.h"
#include "print/DocumentoStampa.h"
#include "print/Stampanti.h"
#include "versione.h"

#include "print/Interruzione.h"
#include "print/Sistema.h"
#include "run/Corsa.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSet>
#include <QSocketNotifier>
#include <QTranslator>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vagolume {

namespace {

const char kUso[] = "Uso: vagolume [RIGA DI COMANDO]\n"
                    "\n"
                    "Stampa i moduli del giornale di viaggio (Vagolume): una copertina e un foglio\n"
                    "per ogni giorno dell'itinerario, oppure da 1 a 99 fogli in bianco.\n"
                    "\n"
                    "Senza argomenti apre la finestra. Con una riga di comando\n"
                    "  DESTINAZIONE,GG/MM/AAAA,GG/MM/AAAA\n"
                    "(anche preceduta dal percorso di un programma che termina in \".exe\") stampa\n"
                    "subito sulla stampante predefinita, scrive FineStampaPercorsario.tmp nella\n"
                    "cartella corrente e termina. Le date si leggono giorno/mese/anno (mese/giorno/\n"
                    "anno se il formato breve delle date del sistema mette prima il mese), anni dal\n"
                    "1901 al 2099. Una riga che non si legge per intero non stampa nulla.\n"
                    "La stessa riga può stare nel file Commandline.txt nella cartella del\n"
                    "programma (letto una volta e poi cancellato).\n"
                    "Senza stampanti, o se la stampante fallisce, il documento è scritto come\n"
                    "<destinazione>_Vagolume.pdf nella cartella corrente.\n"
                    "\n"
                    "Stato di uscita: 0 documento consegnato, 1 stampa non fatta (riga illeggibile,\n"
                    "annullata, rifiutata, non riuscita), 2 niente da fare senza schermo,\n"
                    "128+n terminato dal segnale n.\n"
                    "\n"
                    "  --help     mostra questo aiuto\n"
                    "  --version  mostra la versione\n";

std::string CartellaProgramma() {
    std::error_code errore;
    const auto eseguibile = std::filesystem::read_symlink("/proc/self/exe", errore);
    return errore ? std::string(".") : eseguibile.parent_path().string();
}

bool EsisteFileComando(const std::string& cartella) {
    struct stat info {};
    return ::lstat((cartella + "/Commandline.txt").c_str(), &info) == 0;
}

// While the display is being opened, the toolkit's own notes on a display it
// cannot use are left out: the program says it in one line of its own.
bool silenziaPiattaforma = false;

// Qt's own diagnostics reach standard error with the program's name in front;
// the note about a missing runtime folder, normal without a desktop session,
// is left out.
void Messaggi(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo) {
    if (testo.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
    if (tipo == QtDebugMsg || tipo == QtInfoMsg) return;
    if (silenziaPiattaforma && tipo != QtFatalMsg && contesto.category != nullptr &&
        std::strncmp(contesto.category, "qt.qpa.", 7) == 0)
        return;
    // A note repeated with other numbers in it (one for each glyph, each
    // page...) is said once.
    static QSet<QString> detti;
    QString tipoDiNota = testo;
    tipoDiNota.removeIf([](QChar c) { return c.isDigit(); });
    if (tipo != QtFatalMsg && detti.size() < 1000 && detti.contains(tipoDiNota)) return;
    detti.insert(tipoDiNota);
    Avvisa(testo);
}

bool Impostata(const char* variabile) {
    return !qEnvironmentVariableIsEmpty(variabile);
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

// Every signal that would end the program (SIGTERM, SIGINT, SIGHUP, SIGQUIT,
// SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGPOLL, SIGXCPU, SIGPWR,
// the real-time ones): the handler only notes the signal; a run in progress
// ends itself at its next page (or at once, in a hand-over to a printer), and
// the program ends as killed by it from its event loop.
int tuboSegnali[2] = {-1, -1};

void AlSegnale(int segnale) {
    const int salvato = errno;
    int atteso = 0;
    SegnaleRicevuto().compare_exchange_strong(atteso, segnale); // the first one counts
    const char c = 1;
    if (tuboSegnali[1] >= 0) [[maybe_unused]]
        auto n = ::write(tuboSegnali[1], &c, 1);
    errno = salvato;
}

void InstallaSegnali() {
    if (::pipe2(tuboSegnali, O_CLOEXEC | O_NONBLOCK) != 0) tuboSegnali[0] = tuboSegnali[1] = -1;
    struct sigaction azione {};
    azione.sa_handler = AlSegnale;
    sigemptyset(&azione.sa_mask);
    azione.sa_flags = SA_RESTART;
    std::vector<int> segnali = {SIGTERM, SIGINT,    SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2,
                                SIGALRM, SIGVTALRM, SIGPROF, SIGPOLL, SIGXCPU, SIGPWR};
    for (int rt = SIGRTMIN; rt <= SIGRTMAX; ++rt)
        segnali.push_back(rt);
    for (int segnale : segnali)
        ::sigaction(segnale, &azione, nullptr);
    // A closed standard error or output makes a write fail, not the program end.
    std::signal(SIGPIPE, SIG_IGN);
}

// Ends the program as killed by the signal that came, as the caller expects.
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

// A crash while a caller waits (a library that met a failed allocation and
// did not check it, an exception nothing caught) still tells the caller: one
// line said and the end-of-run file written, unless the run's end did both
// already, and the program ends as that end said, or with status 1. Only
// calls that are safe in a signal handler here. The sanitizer builds keep
// their own reports instead.
volatile sig_atomic_t fineDovuta = 0; // an unattended start: its caller waits for the end-of-run file

mode_t modoFine = 0600; // the end-of-run file's mode, known before any crash

void AlCrollo(int segnale) {
    if (!fineDovuta && !CorsaStampa::InCorso()) {
        // Nobody waits: the crash is what it is.
        ::signal(segnale, SIG_DFL);
        ::raise(segnale);
        ::_exit(128 + segnale);
    }
    struct rlimit limite {};
    const bool limitata = (::getrlimit(RLIMIT_AS, &limite) == 0 && limite.rlim_cur != RLIM_INFINITY) ||
                          (::getrlimit(RLIMIT_DATA, &limite) == 0 && limite.rlim_cur != RLIM_INFINITY);
    ::_exit(ConcludiSubito(limitata ? "vagolume: memoria esaurita: non stampo\n"
                                    : "vagolume: errore interno del programma: non stampo\n",
                           modoFine));
}

void InstallaCrollo() {
#if defined(__SANITIZE_ADDRESS__)
    return;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return;
#endif
#endif
    // Its own stack: a stack that ran out must not stop it.
    static char pila[64 * 1024];
    stack_t alternativa{};
    alternativa.ss_sp = pila;
    alternativa.ss_size = sizeof pila;
    ::sigaltstack(&alternativa, nullptr);
    struct sigaction azione {};
    azione.sa_handler = AlCrollo;
    sigemptyset(&azione.sa_mask);
    azione.sa_flags = SA_ONSTACK | SA_RESETHAND;
    for (int segnale : {SIGSEGV, SIGABRT, SIGBUS, SIGILL, SIGFPE})
        ::sigaction(segnale, &azione, nullptr);
    // An exception nothing caught ends the same way, without the runtime's
    // own two lines.
    std::set_terminate([] { AlCrollo(SIGABRT); });
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

// A modal box or dialog open during a run (the cancel question) is closed,
// so that the run gets back to its pages and sees the signal.
void ChiudiDialoghi() {
    for (int i = 0; i < 8; ++i) {
        QWidget* modale = QApplication::activeModalWidget();
        if (!modale) return;
        modale->close();
    }
}

} // namespace

bool CaricaTraduzioniQt() {
    // The program speaks Italian only: so do Qt's dialogs.
    static QTranslator traduzioni;
    if (!traduzioni.isEmpty()) return true;
    if (!traduzioni.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&traduzioni);
}

int Avvia(int argc, char* argv[]) {
    ApriDescrittoriStandard();
    InstallaSegnali();
    // A document larger than the file size limit fails with a message instead
    // of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUso, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", VAGOLUME_PRODUCT_NAME, VAGOLUME_VERSION);
        return 0;
    }

    // The invocation line: the arguments joined by single blanks.
    std::string riga;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) riga += ' ';
        riga += argv[i];
    }
    const std::string cartella = CartellaProgramma();
    const bool invocato = !riga.empty() || EsisteFileComando(cartella);
    fineDovuta = invocato;
    modoFine = ModoFileNuovo();
    InstallaCrollo();
    // The platform the user chose, or the display the session names; a
    // display that cannot be opened falls back to the offscreen platform
    // instead of aborting the program.
    const QByteArray scelta = qgetenv("QT_QPA_PLATFORM");
    bool senzaSchermo = scelta.isEmpty() && !Impostata("DISPLAY") && !Impostata("WAYLAND_DISPLAY");
    if (senzaSchermo && !invocato) {
        Avvisa(QStringLiteral("nessuno schermo disponibile (DISPLAY non impostato) e nessuna riga di "
                              "comando: niente da stampare"));
        return 2;
    }
    QByteArray piattaforme = scelta;
    if (senzaSchermo) {
        piattaforme = "offscreen";
    } else if (piattaforme.isEmpty()) {
        if (Impostata("WAYLAND_DISPLAY")) piattaforme += "wayland;";
        if (Impostata("DISPLAY")) piattaforme += "xcb;";
    }
    // Offscreen by choice, or as the last resort.
    const bool volutoSenzaSchermo = piattaforme.startsWith("offscreen");
    if (!piattaforme.split(';').contains("offscreen"))
        piattaforme += piattaforme.isEmpty() || piattaforme.endsWith(';') ? "offscreen" : ";offscreen";
    qputenv("QT_QPA_PLATFORM", piattaforme);

    qInstallMessageHandler(Messaggi);
    silenziaPiattaforma = !volutoSenzaSchermo;
    QApplication app(argc, argv);
    silenziaPiattaforma = false;
    if (!volutoSenzaSchermo && QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QString schermo = qEnvironmentVariable(Impostata("WAYLAND_DISPLAY") ? "WAYLAND_DISPLAY" : "DISPLAY");
        if (schermo.isEmpty()) schermo = QString::fromLocal8Bit(scelta);
        if (!invocato) {
            Avvisa(QStringLiteral(
                       "impossibile usare lo schermo %1 e nessuna riga di comando: niente da stampare")
                       .arg(schermo));
            return 2;
        }
        Avvisa(QStringLiteral("impossibile usare lo schermo %1: stampo senza finestra").arg(schermo));
    }
    senzaSchermo = QGuiApplication::platformName() == QLatin1String("offscreen");
    // Temporary files left by runs that were killed.
    RimuoviTemporaneiOrfani(CartellaCorrente());
    RimuoviTemporaneiOrfani(QDir::tempPath());
    QApplication::setApplicationName(QStringLiteral("Vagolume"));
    // No display name: the toolkit would append it to every window title.
    QApplication::setApplicationVersion(QStringLiteral(VAGOLUME_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("vagolume"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/logo1.png")));
    // Said only where a dialog may be seen: a run for another program keeps
    // to its one line.
    if (!CaricaTraduzioniQt() && !senzaSchermo && !invocato)
        Avvisa(QStringLiteral("traduzioni italiane di Qt non trovate: le finestre di dialogo di Qt "
                              "saranno in inglese"));

    bool terminato = false;
    int codice = 0;
    bool ciclo = false;
    FineProcesso processo;
    processo.Termina = [&](int c) {
        // A run stopped by a signal: the program ends as killed by it.
        if (c > 128 && SegnaleRicevuto() == c - 128) TerminaConSegnale(c - 128);
        terminato = true;
        codice = c;
        if (ciclo) {
            std::fflush(nullptr);
            ::_exit(c); // "&Fine": at once, whatever else is pending
        }
    };
    processo.CartellaLavoro = CartellaCorrente();
    processo.SenzaSchermo = senzaSchermo;

    DialoghiQt dialoghi;
    PiattaformaQt piattaforma;
    frmbase finestra(dialoghi, piattaforma, processo);
    dialoghi.ImpostaFinestra(&finestra);
    std::atexit(AllUscita);
    QSocketNotifier notificaSegnali(tuboSegnali[0], QSocketNotifier::Read);
    notificaSegnali.setEnabled(tuboSegnali[0] >= 0);
    QObject::connect(&notificaSegnali, &QSocketNotifier::activated, &finestra, [] {
        char scarto[64];
        while (::read(tuboSegnali[0], scarto, sizeof scarto) > 0) {
        }
        // A run ends itself and tells its caller; without one, the program
        // ends here.
        if (CorsaStampa::InCorso())
            ChiudiDialoghi();
        else
            TerminaConSegnale(SegnaleRicevuto());
    });
    // The current printer is the system's default; without one (or without a
    // printing system that answers) it is the built-in PDF writer, never a
    // queue picked at random.
    const StatoStampanti stampanti = LeggiStampanti();
    const bool predefinitaValida =
        !stampanti.Predefinita.isEmpty() && stampanti.Installate.contains(stampanti.Predefinita);
    finestra.Modello().ImpostaStampanteCorrente(predefinitaValida ? stampanti.Predefinita
                                                                  : kNomeScrittorePdf);
    finestra.Modello().ImpostaPredefinitaMancante(stampanti.PredefinitaMancante);
    try {
        // The line as the file's would be read; the folder as the system names it.
        finestra.Form_Load(QDate::currentDate(), DecodificaTesto(QByteArray::fromStdString(riga)),
                           QByteArray::fromStdString(cartella));
    } catch (const std::bad_alloc&) {
        // Memory ran out outside the run's own care: the document (discarded
        // with the window) is lost, and the caller is told, once.
        if (invocato) return ConcludiSubito("vagolume: memoria esaurita: non stampo\n", modoFine);
        Avvisa(QStringLiteral("memoria esaurita"));
        return 1;
    }
    if (terminato) return codice;
    if (const int segnale = SegnaleRicevuto()) TerminaConSegnale(segnale);
    if (senzaSchermo) {
        Avvisa(QStringLiteral("nessuno schermo disponibile e nessuna riga di comando utilizzabile"));
        return 2;
    }
    ciclo = true;
    const int risultato = QApplication::exec();
    if (const int segnale = SegnaleRicevuto()) TerminaConSegnale(segnale);
    return risultato;
}

} // namespace vagolume
