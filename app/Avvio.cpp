#include "app/Avvio.h"

#include "app/Invocazione.h"
#include "app/ServiziQt.h"
#include "app/frmbase.h"
#include "print/DocumentoStampa.h"
#include "print/Stampanti.h"
#include "versione.h"

#include "run/Corsa.h"
#include "run/FineProcesso.h"
#include "run/Sistema.h"

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
                    "anno dove il formato breve delle date del sistema è mese/giorno/anno), o\n"
                    "anno/mese/giorno con l'anno di quattro cifre; anni dal 1901 al 2099. Una riga\n"
                    "che non si legge per intero non stampa nulla.\n"
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
    static auto* const detti = new QSet<QString>; // never destroyed: notes come at exit() too
    QString tipoDiNota = testo;
    tipoDiNota.removeIf([](QChar c) { return c.isDigit(); });
    if (tipo != QtFatalMsg && detti->size() < 1000 && detti->contains(tipoDiNota)) return;
    detti->insert(tipoDiNota);
    if (tipo == QtFatalMsg)
        Avvisa(testo);
    else
        NotaDellaLibreria(testo);
}

bool Impostata(const char* variabile) {
    return !qEnvironmentVariableIsEmpty(variabile);
}

// A signal during a run, or while a run is being prepared: the boxes and
// dialogs open (the cancel question, the confirmation, the save dialog) are
// closed, so that the run gets back to its pages and sees the signal, or its
// preparation ends as declined. Boxes can be stacked (the help over the
// confirmation), hence one close for each, up to a few.
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

namespace {

// --help and --version: said, and the process ends.
void OpzioniDiUso(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUso, stdout);
        EsciCon(0);
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", VAGOLUME_PRODUCT_NAME, VAGOLUME_VERSION);
        EsciCon(0);
    }
}

// Too few descriptors make the toolkit abort while it starts: said as it is.
void ControllaDescrittori(bool invocato) {
    const int limite = DescrittoriConsentiti();
    if (limite >= kMinDescrittori) return;
    const QString motivo =
        QStringLiteral("il limite dei file aperti (%1) è troppo basso: ne servono almeno %2, non stampo")
            .arg(limite)
            .arg(kMinDescrittori);
    if (!invocato) {
        Avvisa(motivo);
        EsciCon(1);
    }
    Esci(Concludi(EsitoCorsa::Di(EsitoCorsa::Rifiutato, motivo), QString()));
}

// The platform the user chose, or the display the session names, with the
// offscreen platform as the last resort: a display that cannot be opened
// falls back to it instead of aborting the program. Returns whether
// offscreen was chosen on purpose.
bool ScegliPiattaforma(const QByteArray& scelta, bool invocato) {
    const bool senzaSchermo = scelta.isEmpty() && !Impostata("DISPLAY") && !Impostata("WAYLAND_DISPLAY");
    if (senzaSchermo && !invocato) {
        Avvisa(QStringLiteral("nessuno schermo disponibile (DISPLAY non impostato) e nessuna riga di "
                              "comando: niente da stampare"));
        EsciCon(2);
    }
    QByteArray piattaforme = scelta;
    if (senzaSchermo) {
        piattaforme = "offscreen";
    } else if (piattaforme.isEmpty()) {
        if (Impostata("WAYLAND_DISPLAY")) piattaforme += "wayland;";
        if (Impostata("DISPLAY")) piattaforme += "xcb;";
    }
    const bool voluto = piattaforme.startsWith("offscreen");
    if (!piattaforme.split(';').contains("offscreen"))
        piattaforme += piattaforme.isEmpty() || piattaforme.endsWith(';') ? "offscreen" : ";offscreen";
    qputenv("QT_QPA_PLATFORM", piattaforme);
    return voluto;
}

// A display that was wanted but could not be opened: an unattended run goes
// on without it, saying so; without a line there is nothing to do.
void ControllaSchermo(const QByteArray& scelta, bool volutoSenzaSchermo, bool invocato) {
    if (volutoSenzaSchermo || QGuiApplication::platformName() != QLatin1String("offscreen")) return;
    QString schermo = qEnvironmentVariable(Impostata("WAYLAND_DISPLAY") ? "WAYLAND_DISPLAY" : "DISPLAY");
    if (schermo.isEmpty()) schermo = QString::fromLocal8Bit(scelta);
    if (!invocato) {
        Avvisa(QStringLiteral("impossibile usare lo schermo %1 e nessuna riga di comando: niente da stampare")
                   .arg(schermo));
        EsciCon(2);
    }
    Avvisa(QStringLiteral("impossibile usare lo schermo %1: stampo senza finestra").arg(schermo));
}

// The application's names and icon, Qt's Italian texts, and the temporary
// files left by runs that were killed.
void PreparaApplicazione(bool senzaSchermo, bool invocato) {
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
}

// The window, the invocation line acted on, then the user's events.
[[noreturn]] void AvviaFinestra(const std::string& riga, const std::string& cartella, bool senzaSchermo) {
    FineProcesso processo;
    // "&Fine": at once, whatever else is pending.
    processo.Termina = [](const EsitoCorsa* corsaAbbandonata) {
        if (corsaAbbandonata) Esci(*corsaAbbandonata);
        EsciCon(0);
    };
    // The folder the program works in, by its relative name: renamed during
    // a run, it still gets the run's PDF and end-of-run file.
    processo.CartellaLavoro = QStringLiteral(".");
    processo.SenzaSchermo = senzaSchermo;

    DialoghiQt dialoghi;
    PiattaformaQt piattaforma;
    frmbase finestra(dialoghi, piattaforma, processo);
    dialoghi.ImpostaFinestra(&finestra);
    OsservaSegnali(ChiudiDialoghi);
    // The current printer is the system's default; without one (or without a
    // printing system that answers) it is the built-in PDF writer, never a
    // queue picked at random.
    const StatoStampanti stampanti = LeggiStampanti();
    const bool predefinitaValida =
        !stampanti.Predefinita.isEmpty() && stampanti.Installate.contains(stampanti.Predefinita);
    finestra.Modello().Dialogo.ImpostaStampanteCorrente(predefinitaValida ? stampanti.Predefinita
                                                                          : kScrittorePdf);
    finestra.Modello().Dialogo.ImpostaPredefinitaMancante(stampanti.PredefinitaMancante);
    try {
        // The line as the file's would be read; the folder as the system names it.
        const Invocata invocata =
            finestra.Form_Load(QDate::currentDate(), DecodificaTesto(QByteArray::fromStdString(riga)),
                               QByteArray::fromStdString(cartella));
        if (invocata.Richiesta || !invocata.Rifiuto.isEmpty())
            Esci(EseguiInvocazione(finestra.Modello(), piattaforma, invocata));
    } catch (const std::bad_alloc&) {
        // Memory ran out outside the run's own care: the document (discarded
        // with the window) is lost, and the caller is told, once.
        EsciMemoriaEsaurita();
    }
    if (const int segnale = SegnaleRicevuto()) EsciPerSegnale(segnale);
    if (senzaSchermo) {
        Avvisa(QStringLiteral("nessuno schermo disponibile e nessuna riga di comando utilizzabile"));
        EsciCon(2);
    }
    EsciCon(QApplication::exec());
}

} // namespace

void Avvia(int argc, char* argv[]) {
    PreparaProcesso();
    OpzioniDiUso(argc, argv);
    // The invocation line: the arguments joined by single blanks.
    std::string riga;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) riga += ' ';
        riga += argv[i];
    }
    const CartellaProgramma programma = TrovaCartellaProgramma(argv[0], qgetenv("PATH"));
    if (riga.empty() && !programma.Avviso.isEmpty()) Avvisa(programma.Avviso);
    const std::string cartella = programma.Cartella.toStdString();
    const bool invocato = !riga.empty() || (!cartella.empty() && EsisteFileComando(cartella));
    ImpostaFineDovuta(invocato);
    ControllaDescrittori(invocato);
    const QByteArray scelta = PiattaformaDellaCorsa(qgetenv("QT_QPA_PLATFORM"), invocato);
    const bool volutoSenzaSchermo = ScegliPiattaforma(scelta, invocato);

    qInstallMessageHandler(Messaggi);
    silenziaPiattaforma = !volutoSenzaSchermo;
    QApplication app(argc, argv);
    silenziaPiattaforma = false;
    ControllaSchermo(scelta, volutoSenzaSchermo, invocato);
    const bool senzaSchermo = QGuiApplication::platformName() == QLatin1String("offscreen");
    PreparaApplicazione(senzaSchermo, invocato);
    AvviaFinestra(riga, cartella, senzaSchermo);
}

EsitoCorsa EseguiInvocazione(ModelloFinestra& modello, Piattaforma& piattaforma, const Invocata& invocata) {
    if (!invocata.Richiesta)
        return Concludi(EsitoCorsa::Di(EsitoCorsa::Rifiutato, invocata.Rifiuto),
                        modello.Processo().CartellaLavoro);
    // The window, when there is one, shows the run as it goes.
    DialogoStampa& dialogo = modello.Dialogo;
    CorsaStampa corsa(*invocata.Richiesta, dialogo.Ganci(), piattaforma.Superficie());
    dialogo.InizioCorsa(corsa);
    const EsitoCorsa esito = corsa.Esegui();
    dialogo.FineCorsa(esito);
    if (!dialogo.PredefinitaMancante().isEmpty() && esito.Cosa == EsitoCorsa::Salvato)
        Avvisa(
            QStringLiteral("la stampante predefinita \"%1\" non è installata: il documento è stato salvato "
                           "in %2")
                .arg(dialogo.PredefinitaMancante(), esito.PdfSalvato));
    return esito;
}

} // namespace vagolume
