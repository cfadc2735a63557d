// Printing through a real, private CUPS server (tests/cups/cups-privato.sh):
// the printer list, the printable area of each queue, a cancelled run that
// must leave no job, a queue removed under a run, and a server that is gone
// or does not answer. Skipped where cupsd or cups-pdf are not installed or
// the test does not run as root.

#include "print/DocumentoStampa.h"
#include "print/Stampanti.h"
#include "run/FineProcesso.h"
#include "support/CorsaFinta.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cups/cups.h>

#include <algorithm>
#include <csignal>
#include <unistd.h>

using namespace vagolume;

namespace {

const QString kCodaPdf = QStringLiteral("Vagolume_Pdf");     // the server's default, no margins
const QString kCodaLaser = QStringLiteral("Vagolume_Laser"); // 6/12/6/8 mm margins

struct Lavoro {
    QString coda;
    QString titolo;
    int id = 0;
};

// Every job the server knows, finished ones included.
QList<Lavoro> Lavori(int quali = CUPS_WHICHJOBS_ALL) {
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, quali);
    QList<Lavoro> lavori;
    for (int i = 0; i < n; ++i)
        lavori.append({QString::fromUtf8(jobs[i].dest), QString::fromUtf8(jobs[i].title), jobs[i].id});
    cupsFreeJobs(n, jobs);
    std::sort(lavori.begin(), lavori.end(), [](const Lavoro& a, const Lavoro& b) { return a.id < b.id; });
    return lavori;
}

// An attribute of a job as the server keeps it (its first value as text).
QString AttributoLavoro(int id, const char* nome) {
    ipp_t* richiesta = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/jobs/%d",
                     id);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(richiesta, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* risposta = cupsDoRequest(CUPS_HTTP_DEFAULT, richiesta, "/");
    QString valore;
    if (ipp_attribute_t* a = ippFindAttribute(risposta, nome, IPP_TAG_ZERO)) {
        char testo[256];
        ippAttributeString(a, testo, sizeof testo);
        valore = QString::fromUtf8(testo);
    }
    ippDelete(risposta);
    return valore;
}

// Waits (at most a minute: a loaded machine converts slowly) until the
// server has no job left to do.
bool NessunLavoroInCorso() {
    for (int i = 0; i < 600; ++i) {
        if (Lavori(CUPS_WHICHJOBS_ACTIVE).isEmpty()) return true;
        QThread::msleep(100);
    }
    return false;
}

// The documents being drawn in a folder: hidden named files, and the files
// without a name this process holds open there.
QStringList FileTemporanei(const QString& cartella) {
    QStringList file = QDir(cartella).entryList({QStringLiteral(".vagolume-*")}, QDir::Files | QDir::Hidden);
    const QDir fd(QStringLiteral("/proc/self/fd"));
    for (const QString& n : fd.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char dove[4096];
        const ssize_t lunghezza =
            ::readlink(QFile::encodeName(fd.filePath(n)).constData(), dove, sizeof dove);
        const QString testo = QFile::decodeName(QByteArray(dove, lunghezza > 0 ? lunghezza : 0));
        if (testo.startsWith(cartella + u'/') && testo.endsWith(QStringLiteral(" (deleted)")))
            file.append(testo);
    }
    return file;
}

} // namespace

class TestCups : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString script_;
    QString server_;
    QString temp_;
    bool avviato_ = false;

    bool Script(const QStringList& argomenti, QString* uscita = nullptr) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("bash"), QStringList{script_} + argomenti);
        p.waitForFinished(120000);
        if (uscita) *uscita = QString::fromLocal8Bit(p.readAll()).trimmed();
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    void Ferma() {
        if (avviato_) Script({QStringLiteral("stop"), dir_.path()});
        avviato_ = false;
    }

    pid_t PidServer() const {
        QFile f(dir_.filePath(QStringLiteral("cupsd.pid")));
        return f.open(QIODevice::ReadOnly) ? static_cast<pid_t>(f.readAll().trimmed().toInt()) : 0;
    }

    // A whole run from the window on a queue, with the cancel request set at
    // the given pass of event processing (0: never).
    EsitoCorsa Corsa(const QString& coda, int annullaAlPasso, QStringList* temporaneiDurante = nullptr,
                     const QString& destinazione = QStringLiteral("ROMA")) {
        CorsaFinta corsa(dir_.path());
        corsa.richiesta.Stampante = coda;
        corsa.richiesta.Destinazione = destinazione;
        corsa.richiesta.NomeDocumento = NomeDocumento(destinazione);
        corsa.onEvents = [&](CorsaStampa& c, int passo) {
            if (passo == annullaAlPasso) {
                if (temporaneiDurante) *temporaneiDurante = FileTemporanei(temp_);
                c.Annulla();
            }
        };
        return corsa.Esegui();
    }

private slots:
    void initTestCase() {
        script_ = QFINDTESTDATA("cups/cups-privato.sh");
        QVERIFY(!script_.isEmpty());
        QString motivo;
        if (!Script({QStringLiteral("check")}, &motivo))
            QSKIP(qPrintable(QStringLiteral("no private CUPS server here: ") + motivo));
        QVERIFY(dir_.isValid());
        // Our server and nothing of the system's printing set-up.
        server_ = dir_.filePath(QStringLiteral("cups.sock"));
        temp_ = dir_.filePath(QStringLiteral("temp-app"));
        QVERIFY(QDir().mkpath(temp_));
        qputenv("CUPS_SERVER", server_.toLocal8Bit());
        qputenv("CUPS_SERVERROOT", dir_.filePath(QStringLiteral("client")).toLocal8Bit());
        qputenv("TMPDIR", temp_.toLocal8Bit());
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        QString uscita;
        avviato_ = Script({QStringLiteral("start"), dir_.path(), QString::number(::getpid())}, &uscita);
        QVERIFY2(avviato_, qPrintable(uscita));
    }

    void cleanupTestCase() { Ferma(); }

    void elencoNellOrdineDelServer() {
        const StatoStampanti stato = LeggiStampanti();
        QVERIFY(stato.Risponde);
        QCOMPARE(stato.Installate, (QStringList{kCodaLaser, kCodaPdf}));
        QCOMPARE(stato.Predefinita, kCodaPdf);
        // The printer panel's list, as the program asks for it.
        QCOMPARE(ElencoStampanti(StampantiInstallate()),
                 (QStringList{kCodaLaser, kCodaPdf, kScrittorePdf}));
    }

    // The pages are laid out in each queue's printable area (at least 5 mm
    // from every edge), so the page frame's bottom line follows the printer.
    void areaStampabile_data() {
        QTest::addColumn<QString>("coda");
        QTest::addColumn<QRectF>("area"); // mm from the sheet's corner
        QTest::newRow("senza margini") << kCodaPdf << QRectF(5, 5, 200, 287);
        QTest::newRow("laser") << kCodaLaser << QRectF(6, 12, 198, 277);
        QTest::newRow("inesistente") << QStringLiteral("Nessuna") << QRectF(5, 5, 200, 287);
    }
    void areaStampabile() {
        QFETCH(QString, coda);
        QFETCH(QRectF, area);
        const QRectF r = CodaCups(coda).Impaginazione().paintRect(QPageLayout::Millimeter);
        QVERIFY2(
            std::abs(r.left() - area.left()) < 0.05 && std::abs(r.top() - area.top()) < 0.05 &&
                std::abs(r.width() - area.width()) < 0.05 && std::abs(r.height() - area.height()) < 0.05,
            qPrintable(
                QStringLiteral("%1,%2 %3x%4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height())));
    }

    // A destination with a line break: the job title keeps one line (a blank
    // instead), so that the server's page log keeps one line per job. The
    // job goes as A4, not scaled.
    void corsaCompletaSullaLaser() {
        const auto prima = Lavori().size();
        const EsitoCorsa esito = Corsa(kCodaLaser, 0, nullptr, QStringLiteral("RO\nMA"));
        QCOMPARE(esito.Cosa, EsitoCorsa::Stampato);
        QCOMPARE(esito.Errori, 0);
        const QList<Lavoro> lavori = Lavori();
        QCOMPARE(lavori.size(), prima + 1);
        QCOMPARE(lavori.last().coda, kCodaLaser);
        QCOMPARE(lavori.last().titolo, QStringLiteral("RO MA_Vagolume"));
        QCOMPARE(AttributoLavoro(lavori.last().id, "print-scaling"), QStringLiteral("none"));
        QVERIFY(QStringList({QStringLiteral("A4"), QStringLiteral("iso_a4_210x297mm")})
                    .contains(AttributoLavoro(lavori.last().id, "media")));
        QVERIFY(FileTemporanei(temp_).isEmpty());
    }

    // Copies and two-sided printing reach the server as the job's own
    // attributes, read back from it: one job of the whole document (a cover
    // and three days), collated copies, both sides only where the queue
    // offers them (the laser: a Duplex option in its PPD).
    void copieEFronteRetro_data() {
        QTest::addColumn<QString>("coda");
        QTest::addColumn<int>("copie");
        QTest::addColumn<bool>("fronteRetro");
        QTest::addColumn<bool>("offerto"); // the queue says it prints on both sides
        QTest::addColumn<QString>("lati"); // the job's sides; empty: none asked for
        QTest::addColumn<bool>("scelti");  // the sides chosen in the window: one side is asked for too
        QTest::newRow("2 copie") << kCodaPdf << 2 << false << false << "" << false;
        QTest::newRow("fronte-retro sulla laser")
            << kCodaLaser << 1 << true << true << "two-sided-long-edge" << true;
        QTest::newRow("una copia, il lato della coda") << kCodaLaser << 1 << false << true << "" << false;
        QTest::newRow("una copia, un lato scelto")
            << kCodaLaser << 1 << false << true << "one-sided" << true;
    }
    void copieEFronteRetro() {
        QFETCH(QString, coda);
        QFETCH(int, copie);
        QFETCH(bool, fronteRetro);
        QFETCH(bool, offerto);
        QFETCH(QString, lati);
        QFETCH(bool, scelti);
        QCOMPARE(FronteRetroPossibile(coda), offerto);
        const auto prima = Lavori().size();
        CorsaFinta corsa(dir_.path());
        corsa.richiesta.Stampante = coda;
        corsa.richiesta.Fine = corsa.richiesta.Inizio.addDays(2);
        corsa.richiesta.Copie = copie;
        corsa.richiesta.FronteRetro = fronteRetro;
        corsa.richiesta.LatiScelti = scelti;
        QCOMPARE(corsa.Esegui().Cosa, EsitoCorsa::Stampato);
        const QList<Lavoro> lavori = Lavori();
        QCOMPARE(lavori.size(), prima + 1);
        const int id = lavori.last().id;
        QCOMPARE(AttributoLavoro(id, "copies"), copie > 1 ? QString::number(copie) : QString());
        QCOMPARE(AttributoLavoro(id, "multiple-document-handling"),
                 copie > 1 ? QStringLiteral("separate-documents-collated-copies") : QString());
        QCOMPARE(AttributoLavoro(id, "sides"), lati);
        QVERIFY(NessunLavoroInCorso());
        // What the server printed: 4 pages a copy, on half the sheets on both sides.
        QCOMPARE(AttributoLavoro(id, "job-impressions-completed"), QString::number(4 * copie));
        QCOMPARE(AttributoLavoro(id, "job-media-sheets-completed"),
                 QString::number((lati.startsWith(QLatin1String("two")) ? 2 : 4) * copie));
    }

    // "&Annulla" confirmed at the start of page 2: page 2 is still drawn, then
    // the whole document is discarded and no job reaches the server.
    void annullataDopoLaPagina2NonCreaLavori() {
        const auto prima = Lavori().size();
        QStringList temporaneiDurante;
        // Passes: cover, page 1, page 2.
        const EsitoCorsa esito = Corsa(kCodaPdf, 3, &temporaneiDurante);
        QCOMPARE(esito.Cosa, EsitoCorsa::Annullato);
        QVERIFY(esito.FineScritta);
        QCOMPARE(temporaneiDurante.size(), 1);    // the document was being drawn...
        QVERIFY(FileTemporanei(temp_).isEmpty()); // ...and is gone
        QCOMPARE(Lavori().size(), prima);
    }

    // A stop while the document is handed to a server: before the last byte
    // is sent, the connection is cut and the server, once awake, has no job
    // at all (and no PDF is kept: nobody wants it), also where the server
    // never makes a write wait; after it, the job is the server's: when it
    // answers, the run reports it printed (the signal said in one line,
    // status 0); when it stays silent to the bound, the run reports that it
    // may print, keeps the PDF and ends with 3, whatever stop came meanwhile.
    void consegnaInterrotta_data() {
        // From 1 March 2024 to "fine": a document bigger or smaller than the
        // socket's buffers.
        QTest::addColumn<QDate>("fine");
        QTest::addColumn<bool>("gelato");   // the server frozen while the run draws
        QTest::addColumn<bool>("segnale");  // SIGTERM, or "Annulla"
        QTest::addColumn<bool>("inviato");  // the stop comes once the last byte is sent
        QTest::addColumn<bool>("risponde"); // the server wakes when the stop comes
        QTest::addColumn<int>("cosa");
        QTest::addColumn<int>("codice");
        QTest::addColumn<int>("lavori");     // jobs the server made; -1: none or one, as it got the request
        QTest::addColumn<bool>("pdf");       // the document kept as a PDF
        QTest::addColumn<QString>("motivo"); // a part of the line; empty: none
        const QString nessunLavoro = QStringLiteral("nessun lavoro creato"),
                      forse = QStringLiteral("la stampante potrebbe stamparlo comunque");
        const QDate anno(2025, 2, 28), giorno(2024, 3, 1);
        const int annullato = EsitoCorsa::Annullato, stampato = EsitoCorsa::Stampato,
                  fallito = EsitoCorsa::Fallito;
        // A year's document outgrows the connection's buffers: the server,
        // woken for a moment at the first wait, has read part of it.
        QTest::newRow("segnale durante l'invio")
            << anno << true << true << false << true << annullato << 143 << 0 << false << nessunLavoro;
        QTest::newRow("annulla durante l'invio") << anno << true << false << false << true << annullato << 1
                                                 << 0 << false << "stampa annullata: nulla è stato stampato";
        QTest::newRow("segnale durante l'invio a un server sveglio")
            << anno << false << true << false << true << annullato << 143 << 0 << false << nessunLavoro;
        // A day's fits in them: all of it is sent before the first wait.
        QTest::newRow("segnale a documento inviato")
            << giorno << true << true << true << true << stampato << 0 << 1 << false << QString();
        QTest::newRow("segnale, poi nessuna risposta")
            << giorno << true << true << true << false << fallito << 3 << -1 << true << forse;
        QTest::newRow("annulla, poi nessuna risposta")
            << giorno << true << false << true << false << fallito << 3 << -1 << true << forse;
    }
    void consegnaInterrotta() {
        QFETCH(QDate, fine);
        QFETCH(bool, gelato);
        QFETCH(bool, segnale);
        QFETCH(bool, inviato);
        QFETCH(bool, risponde);
        QFETCH(int, cosa);
        QFETCH(int, codice);
        QFETCH(int, lavori);
        QFETCH(bool, pdf);
        QFETCH(QString, motivo);
        const pid_t server = PidServer();
        QVERIFY(server > 0);
        const auto prima = Lavori().size();
        QTemporaryDir cartella;
        CorsaFinta corsa(cartella.path());
        corsa.richiesta.Stampante = kCodaPdf;
        corsa.richiesta.Fine = fine;
        corsa.onEvents = [&](CorsaStampa&, int passo) {
            if (gelato && passo == 1) ::kill(server, SIGSTOP);
        };
        int attese = 0;
        bool fermata = false;
        const bool grande = fine.year() > 2024;
        corsa.onConsegna = [&](CorsaStampa& c) {
            ++attese;
            if (fermata || inviato != (FattoCorrente() == FattoConsegna::UltimoByteInviato)) return;
            if (gelato && grande && attese == 1) {
                // Half-way: the server takes part of the document, then
                // freezes again.
                ::kill(server, SIGCONT);
                QThread::msleep(100);
                ::kill(server, SIGSTOP);
                return;
            }
            fermata = true;
            if (segnale)
                SegnaleRicevuto().store(SIGTERM);
            else
                c.Annulla();
            if (risponde) ::kill(server, SIGCONT);
        };
        const EsitoCorsa esito = corsa.Esegui();
        ::kill(server, SIGCONT);
        SegnaleRicevuto().store(0);
        QVERIFY(fermata); // the stop came where the row says
        QCOMPARE(int(esito.Cosa), cosa);
        QCOMPARE(CodiceUscita(esito), codice);
        QVERIFY2(motivo.isEmpty() ? esito.Motivo.isEmpty() : esito.Motivo.contains(motivo),
                 qPrintable(esito.Motivo));
        QCOMPARE(esito.ForseStampato, !risponde);
        QVERIFY(NessunLavoroInCorso());
        if (lavori >= 0)
            QCOMPARE(Lavori().size(), prima + lavori);
        else
            QVERIFY(Lavori().size() <= prima + 1);
        QStringList attesi{kFileFineStampa};
        if (pdf) attesi.append(QStringLiteral("ROMA_Vagolume.pdf"));
        QCOMPARE(QDir(cartella.path()).entryList(QDir::Files), attesi);
    }

    // What a queue says of itself: the reason it was stopped with, shown
    // in the window's failure box; nothing for the PDF writer or a queue
    // that is not there.
    void messaggioDellaStampante() {
        auto esegui = [](const QString& programma, const QStringList& argomenti) {
            QProcess p;
            p.start(programma, argomenti);
            return p.waitForFinished(60000) && p.exitCode() == 0;
        };
        QVERIFY(esegui(QStringLiteral("cupsreject"),
                       {QStringLiteral("-r"), QStringLiteral("Toner esaurito"), kCodaLaser}));
        const QString messaggio = MessaggioStampante(kCodaLaser);
        QVERIFY(esegui(QStringLiteral("cupsaccept"), {kCodaLaser}));
        QCOMPARE(messaggio, QStringLiteral("Toner esaurito"));
        QCOMPARE(MessaggioStampante(kScrittorePdf), QString());
        QCOMPARE(MessaggioStampante(QStringLiteral("Nessuna")), QString());
    }

    // A queue removed while the run draws: the hand-over fails, the failure
    // names the printer, and the end steps still run.
    void codaRimossaDuranteLaCorsa() {
        QProcess lpadmin;
        lpadmin.start(QStringLiteral("lpadmin"),
                      {QStringLiteral("-p"), QStringLiteral("Vagolume_Tmp"), QStringLiteral("-E"),
                       QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-P"),
                       dir_.filePath(QStringLiteral("pdf.ppd"))});
        QVERIFY(lpadmin.waitForFinished(60000));
        QCOMPARE(lpadmin.exitCode(), 0);
        SuperficieDocumento superficie(std::make_unique<CodaCups>(QStringLiteral("Vagolume_Tmp")),
                                       QStringLiteral("ROMA_Vagolume"));
        superficie.DrawBox(15, 15, 195, 277);
        lpadmin.start(QStringLiteral("lpadmin"), {QStringLiteral("-x"), QStringLiteral("Vagolume_Tmp")});
        QVERIFY(lpadmin.waitForFinished(60000));
        QCOMPARE(lpadmin.exitCode(), 0);
        try {
            superficie.EndDocument();
            QFAIL("the hand-over to a removed queue succeeded");
        } catch (const ErroreStampa& e) {
            const QString messaggio = QString::fromUtf8(e.what());
            QVERIFY2(messaggio.contains(QStringLiteral("\"Vagolume_Tmp\"")) &&
                         messaggio.contains(QStringLiteral("non installata")),
                     qPrintable(messaggio));
        }
        QVERIFY(FileTemporanei(temp_).isEmpty());
    }

    // A server that accepts connections but never answers (stopped with
    // SIGSTOP), then one that is gone: only the built-in PDF writer is left
    // and there is no default printer. Runs last: it ends the server.
    void serverFermo_data() {
        QTest::addColumn<bool>("sospeso");
        QTest::newRow("sospeso") << true;
        QTest::newRow("terminato") << false;
    }
    void serverFermo() {
        QFETCH(bool, sospeso);
        const pid_t pid = PidServer();
        if (sospeso) {
            QVERIFY(pid > 0);
            QCOMPARE(::kill(pid, SIGSTOP), 0);
        } else {
            Ferma();
        }
        const StatoStampanti stato = LeggiStampanti();
        const QStringList elenco = ElencoStampanti(StampantiInstallate());
        if (sospeso) ::kill(pid, SIGCONT);
        QCOMPARE(stato.Risponde, !sospeso);
        QVERIFY(stato.Installate.isEmpty());
        QVERIFY(stato.Predefinita.isEmpty());
        QCOMPARE(elenco, QStringList{kScrittorePdf});
        if (!sospeso) {
            // A run on a queue of the server that is gone says so, keeps the
            // document as a PDF where the run keeps it (the folder of the
            // last file saved from the window) and ends.
            CorsaFinta corsa(dir_.path());
            corsa.richiesta.Stampante = kCodaPdf;
            corsa.richiesta.CartellaRiserva = dir_.filePath(QStringLiteral("client"));
            const EsitoCorsa esito = corsa.Esegui();
            QCOMPARE(esito.Cosa, EsitoCorsa::Fallito);
            QVERIFY(esito.Motivo.contains(QStringLiteral("non risponde")));
            QCOMPARE(esito.PdfSalvato, dir_.filePath(QStringLiteral("client/ROMA_Vagolume.pdf")));
            QVERIFY(QFile::exists(esito.PdfSalvato));
            QVERIFY(esito.FineScritta);
            QVERIFY(FileTemporanei(temp_).isEmpty());
        }
    }
};

QTEST_MAIN(TestCups)
#include "test_cups.moc"
