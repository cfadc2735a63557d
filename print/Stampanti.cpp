#include "print/Stampanti.h"

#include "print/DocumentoStampa.h"

#include "run/FineProcesso.h"
#include "run/Sistema.h"

#include <QDir>
#include <QFile>
#include <QPageSize>

#include <cups/cups.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

namespace vagolume {

QPageLayout A4ConMargini(QMarginsF margini) {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, margini, QPageLayout::Millimeter);
}

namespace {
constexpr double kMargineMinimoCups = 5.0;                 // mm, at least this on a real printer
constexpr double kLarghezzaA4 = 210.0, kAltezzaA4 = 297.0; // mm
constexpr auto kAttesaCups = std::chrono::seconds(4);
using OpzioniSalvate = QList<std::pair<QByteArray, QByteArray>>;

// Runs a query of the printing system on a worker thread of its own and
// waits a bounded time. A server that accepts connections but does not answer
// (stopped, hung) would otherwise block the caller for minutes; the worker is
// then left to finish on its own and its answer is dropped (a thread pool
// would make the program's end wait for it). A termination signal ends the
// wait at once. Where no thread can be made (memory or threads limited), the
// query runs here, unbounded, rather than being reported as a silent server.
template <typename T, typename F>
std::optional<T> ConAttesa(F interroga, std::chrono::steady_clock::duration limite = kAttesaCups) {
    auto compito = std::make_shared<std::packaged_task<T()>>(std::move(interroga));
    std::future<T> risposta = compito->get_future();
    try {
        std::thread([compito] { (*compito)(); }).detach();
    } catch (const std::system_error&) {
        (*compito)();
    }
    const auto scadenza = std::chrono::steady_clock::now() + limite;
    while (risposta.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        if (SegnaleRicevuto() != 0 || std::chrono::steady_clock::now() >= scadenza) return std::nullopt;
        risposta.wait_for(std::chrono::milliseconds(100));
    }
    return risposta.get();
}

// The default printer the user set, whether or not it is installed, as the
// printing system's commands look for it: LPDEST when it is set at all (even
// empty), else PRINTER (but "lp", the old placeholder), else the "Default"
// line of the user's and then the system's lpoptions. The text is whole,
// "queue/instance" as written; Fonte names where it was found.
struct PredefinitaDellUtente {
    bool Impostata = false;
    QString Testo;
    QString Fonte;
};

PredefinitaDellUtente PredefinitaImpostata() {
    PredefinitaDellUtente p;
    for (const char* variabile : {"LPDEST", "PRINTER"}) {
        if (!qEnvironmentVariableIsSet(variabile)) continue;
        const QString testo = qEnvironmentVariable(variabile);
        if (testo == QLatin1String("lp") && std::strcmp(variabile, "PRINTER") == 0) continue;
        return {true, testo, QString::fromLatin1(variabile)};
    }
    const QString sistema = qEnvironmentVariable("CUPS_SERVERROOT", QStringLiteral("/etc/cups"));
    for (const QString& percorso :
         {QDir::homePath() + QStringLiteral("/.cups/lpoptions"), sistema + QStringLiteral("/lpoptions")}) {
        QFile file(percorso);
        if (!file.open(QIODevice::ReadOnly)) continue;
        while (!file.atEnd()) {
            const QList<QByteArray> parole = file.readLine(4096).simplified().split(' ');
            if (parole.size() >= 2 && parole[0] == "Default")
                return {true, QString::fromUtf8(parole[1]), percorso};
        }
    }
    return p;
}

StatoStampanti InterrogaCups() {
    StatoStampanti stato;
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < n; ++i) {
        const QString nome = QString::fromUtf8(dests[i].name);
        // Instances (saved sets of options) are not printers of their own.
        if (dests[i].instance == nullptr && !stato.Installate.contains(nome)) stato.Installate.append(nome);
    }
    cupsFreeDests(n, dests);
    // The default as lp finds it: "queue/instance" and "queue/" name the
    // queue, whether or not the instance is defined.
    if (cups_dest_t* predefinita = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr)) {
        stato.Predefinita = QString::fromUtf8(predefinita->name);
        cupsFreeDests(1, predefinita);
    }
    if (stato.Predefinita.isEmpty() || !stato.Installate.contains(stato.Predefinita)) {
        // A default that was set and cannot be used is said; an empty one
        // names nothing that could be installed.
        const PredefinitaDellUtente impostata = PredefinitaImpostata();
        static std::atomic_bool detto = false; // the printers are asked again whenever the list opens
        if (impostata.Impostata && impostata.Testo.isEmpty() && !detto.exchange(true))
            Avvisa(QStringLiteral("la stampante predefinita impostata in %1 è un nome vuoto: nessuna "
                                  "stampante predefinita")
                       .arg(impostata.Fonte));
        else if (impostata.Impostata)
            stato.PredefinitaMancante = impostata.Testo;
    }
    return stato;
}

struct Margini {
    bool letti = false;
    QMarginsF mm;
};

// The unprintable margins of a queue for A4, as the server states them.
Margini InterrogaMargini(const QByteArray& coda) {
    Margini m;
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, coda.constData(), nullptr);
    if (dest == nullptr) return m;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        cups_size_t a4{};
        if (cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_A4, CUPS_MEDIA_FLAGS_DEFAULT,
                                   &a4)) {
            // Hundredths of a millimetre.
            m.mm = QMarginsF(a4.left / 100.0, a4.top / 100.0, a4.right / 100.0, a4.bottom / 100.0);
            m.letti = true;
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return m;
}
// Whether a queue offers two-sided printing, and prints so by default.
LatiCoda InterrogaFronteRetro(const QByteArray& coda) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, coda.constData(), nullptr);
    if (dest == nullptr) return {};
    LatiCoda lati;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        lati.Possibile = cupsCheckDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_SIDES,
                                                CUPS_SIDES_TWO_SIDED_PORTRAIT) != 0;
        // The user's own default (lpoptions) first, then the queue's.
        const char* proprio = cupsGetOption(CUPS_SIDES, dest->num_options, dest->options);
        ipp_attribute_t* predefinito = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, CUPS_SIDES);
        const QByteArray valore = proprio
                                      ? QByteArray(proprio)
                                      : QByteArray(predefinito ? ippGetString(predefinito, 0, nullptr) : "");
        lati.Predefinito = lati.Possibile && valore.startsWith("two-sided");
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return lati;
}
// What a queue says of itself (printer-state-message: the reason its
// administrator gave for stopping it, a driver's note); empty for none.
QString InterrogaMessaggio(const QByteArray& coda) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, coda.constData(), nullptr);
    if (dest == nullptr) return {};
    QString messaggio;
    if (const char* uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options)) {
        ipp_t* richiesta = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                     "printer-state-message");
        if (ipp_t* risposta = cupsDoRequest(CUPS_HTTP_DEFAULT, richiesta, "/")) {
            if (ipp_attribute_t* a = ippFindAttribute(risposta, "printer-state-message", IPP_TAG_TEXT))
                messaggio = QString::fromUtf8(ippGetString(a, 0, nullptr)).trimmed();
            ippDelete(risposta);
        }
    }
    cupsFreeDests(1, dest);
    return messaggio;
}

// Options of a job that shape the page or the run, which the program sets
// itself: an instance's saved value for them is not put on a job.
bool OpzioneDelProgramma(const char* nome) {
    static constexpr std::string_view proprie =
        " media PageSize PageRegion print-scaling fit-to-page scaling natural-scaling ppi position number-up "
        "number-up-layout page-border page-ranges page-set orientation-requested landscape mirror copies "
        "multiple-document-handling ";
    return proprie.find(" " + std::string(nome) + " ") != std::string_view::npos;
}

// The options the user saved for the default printer when it is an instance
// of this queue ("queue/instance" in LPDEST, PRINTER or lpoptions), as lp
// puts them on its jobs: those where the instance differs from the queue,
// but the ones the program sets itself.
OpzioniSalvate InterrogaOpzioniIstanza(const QByteArray& coda) {
    OpzioniSalvate salvate;
    cups_dest_t* predefinita = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (predefinita == nullptr) return salvate;
    if (predefinita->instance != nullptr && coda == predefinita->name) {
        cups_dest_t* semplice = cupsGetNamedDest(CUPS_HTTP_DEFAULT, coda.constData(), nullptr);
        for (int i = 0; i < predefinita->num_options; ++i) {
            const cups_option_t& o = predefinita->options[i];
            const char* propria =
                semplice ? cupsGetOption(o.name, semplice->num_options, semplice->options) : nullptr;
            if ((propria == nullptr || std::strcmp(propria, o.value) != 0) && !OpzioneDelProgramma(o.name))
                salvate.append({QByteArray(o.name), QByteArray(o.value)});
        }
        if (semplice) cupsFreeDests(1, semplice);
    }
    cupsFreeDests(1, predefinita);
    return salvate;
}
} // namespace

QString MessaggioStampante(const QString& stampante) {
    if (stampante == kScrittorePdf) return {};
    const QByteArray coda = stampante.toUtf8();
    return ConAttesa<QString>([coda] { return InterrogaMessaggio(coda); }).value_or(QString());
}

LatiCoda LatiDellaCoda(const QString& stampante) {
    if (stampante == kScrittorePdf) return {};
    const QByteArray coda = stampante.toUtf8();
    return ConAttesa<LatiCoda>([coda] { return InterrogaFronteRetro(coda); }).value_or(LatiCoda{});
}

bool FronteRetroPossibile(const QString& stampante) {
    return LatiDellaCoda(stampante).Possibile;
}

CodaCups::CodaCups(QString nome, OpzioniLavoro opzioni) : nome_(std::move(nome)), opzioni_(opzioni) {}

QPageLayout CodaCups::Impaginazione() const {
    const QByteArray coda = nome_.toUtf8();
    const auto margini = ConAttesa<Margini>([coda] { return InterrogaMargini(coda); });
    QMarginsF mm;
    auto almeno = [](double v) { return std::max(v, kMargineMinimoCups); };
    if (margini && margini->letti) {
        mm = QMarginsF(almeno(margini->mm.left()), almeno(margini->mm.top()), almeno(margini->mm.right()),
                       almeno(margini->mm.bottom()));
        // An area that would not hold the sheet even at half its size
        // (margins that overlap, or leave less than half its width or
        // height) is a mistake of the queue's description: its margins
        // count as unknown, so that nothing is drawn off the page.
        const double larghezza = kLarghezzaA4 - mm.left() - mm.right();
        const double altezza = kAltezzaA4 - mm.top() - mm.bottom();
        if (!(larghezza >= kLarghezzaFoglio / 2 && altezza >= (kAltezzaA4 - 2 * kMargineMinimoCups) / 2)) {
            Avvisa(QStringLiteral("area stampabile della stampante \"%1\" non utilizzabile (%2 x %3 mm): "
                                  "uso margini di %4 mm")
                       .arg(nome_)
                       .arg(larghezza, 0, 'f', 1)
                       .arg(altezza, 0, 'f', 1)
                       .arg(kMargineMinimoCups));
            mm = QMarginsF();
        }
    } else {
        Avvisa(QStringLiteral("margini della stampante \"%1\" non disponibili: uso %2 mm")
                   .arg(nome_)
                   .arg(kMargineMinimoCups));
    }
    return A4ConMargini(
        QMarginsF(almeno(mm.left()), almeno(mm.top()), almeno(mm.right()), almeno(mm.bottom())));
}

QString CodaCups::CartellaTemporanea() const {
    return QDir::tempPath();
}

namespace {

// A job title as the server logs it, one line: control characters become
// blanks, as they would split the server's page log.
QByteArray TitoloLavoro(const QString& nomeDocumento) {
    QString titolo = nomeDocumento;
    for (QChar& c : titolo)
        if (c.category() == QChar::Other_Control || c == QChar(0x2028) || c == QChar(0x2029)) c = u' ';
    return titolo.toUtf8();
}

// Where a hand-over has got to: until the whole document is sent the server
// can only drop the request (it creates a job from a complete request only);
// after that, it prints it whether or not its answer arrives.
enum class Fase { Connessione, Invio, Risposta };

struct StatoConsegna {
    std::chrono::steady_clock::time_point scadenza;
    const std::function<bool()>* attesa = nullptr;
    bool fermata = false; // the caller asked to stop
    bool scaduta = false; // the bound passed
    Fase fase = Fase::Connessione;
};

// Called by libcups while a read or write on the connection waits: 0 gives
// up. Before the whole document is sent, a stop request gives up at once;
// after it, only the bound does, since the job is then the server's.
int AttesaConsegna(http_t*, void* dati) {
    auto& stato = *static_cast<StatoConsegna*>(dati);
    if (stato.attesa && *stato.attesa && !(*stato.attesa)()) stato.fermata = true;
    if (std::chrono::steady_clock::now() >= stato.scadenza) stato.scaduta = true;
    if (stato.scaduta) return 0;
    return stato.fermata && stato.fase != Fase::Risposta ? 0 : 1;
}

QString MotivoIpp(ipp_status_t stato, const char* testo) {
    const QString dettaglio = QString::fromUtf8(testo ? testo : ippErrorString(stato));
    if (stato == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
        return QStringLiteral("la stampante non accetta lavori (%1)").arg(dettaglio);
    if (stato == IPP_STATUS_ERROR_NOT_FOUND)
        return QStringLiteral("stampante non installata (%1)").arg(dettaglio);
    return QStringLiteral("lavoro rifiutato (%1)").arg(dettaglio);
}

} // namespace

// The document goes in one Print-Job request on a connection of its own, in
// this thread, bounded in all: the server makes a job of it only once the
// request has arrived whole, so a hand-over cut short (a stop, the bound, a
// server that froze) leaves no job anywhere, and nothing is left running to
// finish it later. The one uncertain moment is after the last byte was sent
// and before the answer came: the server then prints it when it can.
bool CodaCups::Consegna(const QString& pdf, const QString& nomeDocumento, QString& errore) {
    mancata_ = Mancata::Rifiutata;
    const auto limite = std::chrono::duration_cast<std::chrono::seconds>(kAttesaConsegna).count();
    StatoConsegna stato;
    stato.scadenza = std::chrono::steady_clock::now() + kAttesaConsegna;
    stato.attesa = &attesa_;
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly)) {
        errore = QStringLiteral("impossibile leggere il documento: %1").arg(file.errorString());
        return false;
    }
    auto fine = [&](const QString& motivo) {
        if (stato.fermata && stato.fase != Fase::Risposta) {
            mancata_ = Mancata::Fermata;
            errore = QStringLiteral("consegna interrotta: nessun lavoro creato");
        } else if (stato.scaduta && stato.fase == Fase::Risposta) {
            mancata_ = Mancata::Incerta;
            errore = QStringLiteral("il sistema di stampa non ha confermato il lavoro entro %1 secondi: la "
                                    "stampante potrebbe stamparlo comunque")
                         .arg(limite);
        } else if (stato.scaduta) {
            errore =
                QStringLiteral("il sistema di stampa non ha risposto entro %1 secondi: nessun lavoro creato")
                    .arg(limite);
        } else {
            errore = motivo;
        }
        return false;
    };

    const QByteArray server = QByteArray(cupsServer());
    std::unique_ptr<http_t, decltype(&httpClose)> http(httpConnect2(server.constData(), ippPort(), nullptr,
                                                                    AF_UNSPEC, cupsEncryption(), 1,
                                                                    static_cast<int>(limite * 1000), nullptr),
                                                       &httpClose);
    if (!http)
        return fine(QStringLiteral("il sistema di stampa non risponde (%1)").arg(QString::fromUtf8(server)));
    httpSetTimeout(http.get(), 0.2, AttesaConsegna, &stato);

    const QByteArray coda = nome_.toUtf8();
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", coda.constData());
    const QByteArray risorsa = "/printers/" + coda;
    ipp_t* richiesta = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    // The job and its one document both carry the document's name, not the
    // temporary file's.
    const QByteArray titolo = TitoloLavoro(nomeDocumento);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, titolo.constData());
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_NAME, "document-name", nullptr,
                 (titolo + ".pdf").constData());
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, CUPS_FORMAT_PDF);
    cups_option_t* opzioni = nullptr;
    int n = 0;
    // The default's instance first: the program's own options come after and
    // hold over them. Asking for it counts in the hand-over's bound.
    const auto resta = std::min<std::chrono::steady_clock::duration>(
        kAttesaCups, std::max<std::chrono::steady_clock::duration>(
                         stato.scadenza - std::chrono::steady_clock::now(), std::chrono::seconds(0)));
    const OpzioniSalvate istanza =
        ConAttesa<OpzioniSalvate>([coda] { return InterrogaOpzioniIstanza(coda); }, resta)
            .value_or(OpzioniSalvate());
    for (const auto& [nome, valore] : istanza)
        n = cupsAddOption(nome.constData(), valore.constData(), n, &opzioni);
    n = cupsAddOption("media", "A4", n, &opzioni);
    n = cupsAddOption("print-scaling", "none", n, &opzioni);
    n = cupsAddOption("fit-to-page", "false", n, &opzioni);
    if (opzioni_.Copie > 1) {
        const QByteArray copie = QByteArray::number(opzioni_.Copie);
        n = cupsAddOption(CUPS_COPIES, copie.constData(), n, &opzioni);
        n = cupsAddOption("multiple-document-handling", "separate-documents-collated-copies", n, &opzioni);
    }
    if (opzioni_.FronteRetro)
        n = cupsAddOption(CUPS_SIDES, CUPS_SIDES_TWO_SIDED_PORTRAIT, n, &opzioni);
    else if (opzioni_.LatiScelti)
        n = cupsAddOption(CUPS_SIDES, CUPS_SIDES_ONE_SIDED, n, &opzioni);
    cupsEncodeOptions2(richiesta, n, opzioni, IPP_TAG_JOB);
    cupsFreeOptions(n, opzioni);

    stato.fase = Fase::Invio;
    // The body's length: the request, then the document.
    const size_t lunghezza = ippLength(richiesta) + static_cast<size_t>(file.size());
    http_status_t http_stato = cupsSendRequest(http.get(), richiesta, risorsa.constData(), lunghezza);
    ippDelete(richiesta);
    bool inviato = http_stato == HTTP_STATUS_CONTINUE;
    while (inviato && !file.atEnd()) {
        // A stop is looked at between blocks too: a server that never makes
        // a write wait would otherwise take the whole document first.
        if (AttesaConsegna(http.get(), &stato) == 0) return fine({});
        const QByteArray blocco = file.read(64 * 1024);
        inviato = !blocco.isEmpty() &&
                  cupsWriteRequestData(http.get(), blocco.constData(), static_cast<size_t>(blocco.size())) ==
                      HTTP_STATUS_CONTINUE;
    }
    if (!inviato) {
        // The server went away under the transfer (restarted, killed): it
        // makes no job of a request cut short.
        const int errore = httpError(http.get());
        if (!stato.fermata && !stato.scaduta && (errore == EPIPE || errore == ECONNRESET))
            return fine(
                QStringLiteral("collegamento con il sistema di stampa interrotto: nessun lavoro creato"));
        return fine(MotivoIpp(cupsLastError(), cupsLastErrorString()));
    }
    stato.fase = Fase::Risposta;
    RegistraFatto(FattoConsegna::UltimoByteInviato);
    std::unique_ptr<ipp_t, decltype(&ippDelete)> risposta(cupsGetResponse(http.get(), risorsa.constData()),
                                                          &ippDelete);
    if (!risposta) return fine(MotivoIpp(cupsLastError(), cupsLastErrorString()));
    const ipp_status_t esito = ippGetStatusCode(risposta.get());
    if (esito > IPP_STATUS_OK_CONFLICTING) {
        ipp_attribute_t* messaggio = ippFindAttribute(risposta.get(), "status-message", IPP_TAG_TEXT);
        stato.scaduta = false; // refused: an answer, not a silence
        return fine(MotivoIpp(esito, messaggio ? ippGetString(messaggio, 0, nullptr) : nullptr));
    }
    return true;
}

StatoStampanti LeggiStampanti() {
    auto risposta = ConAttesa<StatoStampanti>([] { return InterrogaCups(); });
    StatoStampanti stato;
    if (risposta) {
        stato = std::move(*risposta);
    } else {
        stato.Risponde = false;
        // A signal cut the wait short: its own line says what happened.
        if (SegnaleRicevuto() == 0)
            Avvisa(QStringLiteral("il sistema di stampa non risponde; uso solo la stampa su PDF"));
    }
    return stato;
}

QStringList StampantiInstallate() {
    return LeggiStampanti().Installate;
}

QString NomeDaMostrare(const QString& stampante) {
    return stampante == kScrittorePdf ? kNomeScrittorePdf : stampante;
}

QStringList ElencoStampanti(QStringList installate) {
    installate.append(kScrittorePdf);
    return installate;
}

std::unique_ptr<Stampante> CreaStampante(const QString& nome, const QString& cartella,
                                         const QString& fileScelto, OpzioniLavoro opzioni) {
    if (nome == kScrittorePdf)
        return std::make_unique<ScrittorePdf>(cartella.isEmpty() ? QDir::currentPath() : cartella,
                                              fileScelto);
    return std::make_unique<CodaCups>(nome, opzioni);
}

} // namespace vagolume
