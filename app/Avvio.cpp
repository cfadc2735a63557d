#include "app/Avvio.h"

#include "app/frmbase.h"
#include "print/Stampanti.h"
#include "print/SuperficieStampante.h"
#include "versione.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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
                    "cartella corrente e termina. La stessa riga può stare nel file Commandline.txt\n"
                    "nella cartella del programma (letto una volta e poi cancellato).\n"
                    "Senza stampanti, il documento è scritto come <destinazione>_Vagolume.pdf\n"
                    "nella cartella corrente.\n"
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

// Qt's own diagnostics reach standard error with the program's name in front;
// the note about a missing runtime folder, normal without a desktop session,
// is left out.
void Messaggi(QtMsgType tipo, const QMessageLogContext&, const QString& testo) {
    if (testo.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
    if (tipo == QtDebugMsg || tipo == QtInfoMsg) return;
    std::fprintf(stderr, "vagolume: %s\n", qUtf8Printable(testo));
}

bool SchermoDisponibile() {
    const char* piattaforma = std::getenv("QT_QPA_PLATFORM");
    if (piattaforma != nullptr && *piattaforma != '\0') return true; // the user chose a platform
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

} // namespace

int Avvia(int argc, char* argv[]) {
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
    const bool senzaSchermo = !SchermoDisponibile();
    if (senzaSchermo) {
        if (!invocato) {
            std::fputs(
                "vagolume: nessuno schermo disponibile (DISPLAY non impostato) e nessuna riga di comando: "
                "niente da stampare\n",
                stderr);
            return 2;
        }
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    qInstallMessageHandler(Messaggi);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vagolume"));
    // No display name: the toolkit would append it to every window title.
    QApplication::setApplicationVersion(QStringLiteral(VAGOLUME_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("vagolume"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/logo1.png")));

    bool terminato = false;
    int codice = 0;
    bool ciclo = false;
    Servizi servizi;
    servizi.StampantiInstallate = [] { return StampantiInstallate(); };
    servizi.StampantePredefinita = [] { return StampantePredefinita(); };
    servizi.CreaSuperficie = [](const QString& nome,
                                std::function<QString()> titolo) -> std::unique_ptr<PrinterSurface> {
        return std::make_unique<SuperficieStampante>(CreaStampante(nome), std::move(titolo));
    };
    servizi.Termina = [&](int c) {
        terminato = true;
        codice = c;
        if (ciclo) {
            std::fflush(nullptr);
            ::_exit(c); // "&Fine": at once, whatever else is pending
        }
    };
    servizi.CartellaLavoro = QDir::currentPath();

    frmbase finestra(servizi);
    // The current printer is the system's default; without one (or without a
    // printing system that answers) it is the built-in PDF writer, never a
    // queue picked at random.
    const StatoStampanti stampanti = LeggiStampanti();
    const bool predefinitaValida =
        !stampanti.Predefinita.isEmpty() && stampanti.Installate.contains(stampanti.Predefinita);
    finestra.Modello().ImpostaStampanteCorrente(predefinitaValida ? stampanti.Predefinita
                                                                  : kNomeScrittorePdf);
    finestra.Form_Load(QDate::currentDate(), QString::fromLocal8Bit(riga.c_str()),
                       QString::fromStdString(cartella));
    if (terminato) return codice;
    if (senzaSchermo) {
        std::fputs("vagolume: nessuno schermo disponibile e nessuna riga di comando utilizzabile\n", stderr);
        return 2;
    }
    ciclo = true;
    return QApplication::exec();
}

} // namespace vagolume
