// Whole print runs on the recording surface: pages, cancel, refused
// requests, the document name, the outcome, its exit status and the
// end-of-run file.

#include "print/DocumentoStampa.h"
#include "print/Stampanti.h"
#include "support/CorsaFinta.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vagolume;

namespace {
QByteArray Leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestCorsa : public QObject {
    Q_OBJECT
private slots:
    void nomeDocumento_data() {
        QTest::addColumn<QString>("destinazione");
        QTest::addColumn<QString>("nome");
        QTest::newRow("una parola") << "ROMA"
                                    << "ROMA_Vagolume";
        QTest::newRow("due parole") << "LAGO MAGGIORE"
                                    << "LAGO_MAGGIORE_Vagolume";
        QTest::newRow("vuota") << ""
                               << "Vagolume";
        QTest::newRow("25 caratteri") << "ABCDEFGHIJKLMNOPQRSTUVWXY"
                                      << "ABCDEFGHIJKLMNOPQRS_Vagolume";
        QTest::newRow("blank iniziale") << " ROMA"
                                        << "ROMA_Vagolume";
        QTest::newRow("due blank iniziali") << "  ROMA"
                                            << "_ROMA_Vagolume";
        // 19 characters, never half of one.
        const QString camper = QStringLiteral("\U0001F690");
        QTest::newRow("dieci emoji") << camper.repeated(10) << camper.repeated(10) + "_Vagolume";
        QTest::newRow("venti emoji") << camper.repeated(20) << camper.repeated(19) + "_Vagolume";
        QTest::newRow("accento composto al diciannovesimo")
            << QStringLiteral("ABCDEFGHIJKLMNOPQRE\u0300ST")
            << QStringLiteral("ABCDEFGHIJKLMNOPQRE\u0300_Vagolume");
    }
    void nomeDocumento() {
        QFETCH(QString, destinazione);
        QFETCH(QString, nome);
        QCOMPARE(NomeDocumento(destinazione), nome);
    }

    void testoPeriodo_data() {
        QTest::addColumn<QDate>("inizio");
        QTest::addColumn<QDate>("fine");
        QTest::addColumn<int>("bianchi");
        QTest::addColumn<QString>("testo");
        QTest::newRow("stesso anno") << QDate(2024, 3, 1) << QDate(2024, 3, 5) << 0 << "01/03 - 05/03/2024";
        QTest::newRow("un giorno") << QDate(2026, 12, 31) << QDate(2026, 12, 31) << 0 << "31/12 - 31/12/2026";
        QTest::newRow("a cavallo d'anno")
            << QDate(2026, 12, 28) << QDate(2027, 1, 3) << 0 << "28/12/2026 - 03/01/2027";
        QTest::newRow("stesso giorno, anni diversi")
            << QDate(2026, 3, 1) << QDate(2027, 3, 1) << 0 << "01/03/2026 - 01/03/2027";
        QTest::newRow("in bianco") << QDate(2026, 12, 28) << QDate(2027, 1, 3) << 3 << "in bianco";
    }
    void testoPeriodo() {
        QFETCH(QDate, inizio);
        QFETCH(QDate, fine);
        QFETCH(int, bianchi);
        QFETCH(QString, testo);
        RichiestaStampa r;
        r.Inizio = inizio;
        r.Fine = fine;
        r.FogliBianchi = bianchi;
        QCOMPARE(TestoPeriodo(r), testo);
    }

    // A run of some pages of the five days: each comes out as the same page
    // of the whole run (every drawing, in the state it was drawn in: sheet 3
    // keeps its date, weekday and "3 di: 5"), and the progress counts only them.
    void pagineScelte_data() {
        QTest::addColumn<QList<int>>("pagine"); // pages of the whole run (0: the cover)
        QTest::newRow("il terzo giorno") << QList<int>{3};
        QTest::newRow("la copertina") << QList<int>{0};
        QTest::newRow("il primo giorno") << QList<int>{1};
        QTest::newRow("copertina e terzo giorno") << QList<int>{0, 3};
        QTest::newRow("a salti") << QList<int>{2, 4, 5};
    }
    void pagineScelte() {
        QFETCH(QList<int>, pagine);
        auto disegni = [](const RecordingSurface& s, int pagina) {
            QStringList righe;
            for (const Op& op : s.PageOps(pagina))
                if (op.kind == Op::Text || op.kind == Op::Line || op.kind == Op::Box ||
                    op.kind == Op::Picture)
                    righe.append(TestoOperazione(op));
            return righe;
        };
        QTemporaryDir dir;
        RecordingSurface intera, scelte;
        CorsaFinta tutto(intera, dir.path());
        QCOMPARE(tutto.Esegui().Cosa, EsitoCorsa::Stampato);
        CorsaFinta c(scelte, dir.path());
        for (int p : pagine)
            c.richiesta.Pagine.append(p + 1); // the request counts the cover as 1
        QCOMPARE(c.Esegui().Cosa, EsitoCorsa::Stampato);
        QCOMPARE(scelte.OfKind(Op::NewPage).size(), pagine.size());
        QCOMPARE(c.eventPasses, pagine.size());
        QCOMPARE(c.lastTotale, pagine.size() - 1);
        for (int i = 0; i < pagine.size(); ++i) {
            const QStringList attese = disegni(intera, pagine[i]);
            QVERIFY(attese.size() > 5); // a page, not a blank one
            QCOMPARE(disegni(scelte, i), attese);
        }
    }

    void cinqueGiorni() {
        QTemporaryDir dir;
        RecordingSurface s;
        CorsaFinta c(s, dir.path());
        const EsitoCorsa e = c.Esegui();
        QCOMPARE(e.Cosa, EsitoCorsa::Stampato);
        QCOMPARE(e.Errori, 0);
        QCOMPARE(CodiceUscita(e), 0);
        QVERIFY(s.ended);
        QCOMPARE(s.documentName, QStringLiteral("ROMA_Vagolume"));
        // The cover page frame is the first drawing, at line width 8, not filled.
        const auto riquadri = s.OfKind(Op::Box);
        QVERIFY(!riquadri.isEmpty());
        QCOMPARE(riquadri[0].x1, 15.0f);
        QCOMPARE(riquadri[0].y2, 277.0f);
        QCOMPARE(riquadri[0].lineWidth, int16_t(8));
        QCOMPARE(riquadri[0].fillStyle, FillStyle::Transparent);
        // One page break after the cover and after each of the five pages.
        QCOMPARE(s.OfKind(Op::NewPage).size(), 6);
        QCOMPARE(c.lastCorr, 5);
        QCOMPARE(c.lastTotale, 5);
        QVERIFY(e.FineScritta);
        QCOMPARE(Leggi(dir.filePath(kFileFineStampa)), QByteArray("Fatto\r\n"));
        QVERIFY(!CorsaStampa::InCorso());
    }

    void unGiorno() {
        QTemporaryDir dir;
        RecordingSurface s;
        CorsaFinta c(s, dir.path());
        c.richiesta.Fine = c.richiesta.Inizio;
        c.Esegui();
        QCOMPARE(s.OfKind(Op::NewPage).size(), 2);
        QCOMPARE(c.lastTotale, 1);
    }

    // Cancel confirmed while the run yields at the start of page 2 of 5: page
    // 2 is still drawn, then the whole document is discarded.
    void annullaPagina2() {
        QTemporaryDir dir;
        RecordingSurface s;
        CorsaFinta c(s, dir.path());
        c.onEvents = [&](CorsaStampa& corsa, int passo) {
            QCOMPARE(CorsaStampa::InCorso(), &corsa);
            if (passo == 3) // cover, page 1, page 2
                corsa.Annulla();
        };
        const EsitoCorsa e = c.Esegui();
        QCOMPARE(e.Cosa, EsitoCorsa::Annullato);
        QCOMPARE(CodiceUscita(e), 1);
        QVERIFY(s.aborted && !s.ended);
        QCOMPARE(c.lastCorr, 2);
        QCOMPARE(s.OfKind(Op::NewPage).size(), 2); // after the cover and after page 1
        QCOMPARE(Leggi(dir.filePath(kFileFineStampa)), QByteArray("Fatto\r\n"));
    }

    // A request is taken as it was confirmed: the run reads nothing else.
    void biancoTrePagine() {
        QTemporaryDir dir;
        RecordingSurface s;
        CorsaFinta c(s, dir.path());
        c.InBianco(3);
        c.Esegui();
        QCOMPARE(s.OfKind(Op::NewPage).size(), 4);
        // The document is still named after the destination.
        QCOMPARE(s.documentName, QStringLiteral("ROMA_Vagolume"));
    }

    // A surface that refuses everything: every step is skipped, the run
    // reaches its end, the document goes out as it is and the end-of-run
    // file is written. Skipped steps are said on their lines; the caller is
    // told that the document went out (status 0), since it did: status 1
    // would make a caller print it again.
    void superficieGuasta() {
        QTemporaryDir dir;
        RecordingSurface s;
        s.FailFrom(1);
        CorsaFinta c(s, dir.path());
        const EsitoCorsa e = c.Esegui();
        QVERIFY(e.Errori > 0);
        QCOMPARE(e.Cosa, EsitoCorsa::Stampato);
        QCOMPARE(CodiceUscita(e), 0);
        QVERIFY(e.FineScritta);
        QCOMPARE(c.lastCorr, 5);
    }

    // A failure of the document itself, or memory running out, ends the run
    // at once: no later drawing is even attempted, nothing is handed over,
    // the reason is kept and the end-of-run file is written.
    void documentoPerso_data() {
        QTest::addColumn<int>("guasto");
        QTest::addColumn<int>("da");
        QTest::newRow("documento, copertina") << int(RecordingSurface::Guasto::Documento) << 1;
        QTest::newRow("documento, terzo foglio") << int(RecordingSurface::Guasto::Documento) << 400;
        QTest::newRow("memoria") << int(RecordingSurface::Guasto::Memoria) << 250;
    }
    void documentoPerso() {
        QFETCH(int, guasto);
        QFETCH(int, da);
        QTemporaryDir dir;
        RecordingSurface s;
        s.FailFrom(da, static_cast<RecordingSurface::Guasto>(guasto));
        CorsaFinta c(s, dir.path());
        const EsitoCorsa e = c.Esegui();
        QCOMPARE(s.DrawAttempts(), da);
        QCOMPARE(e.Cosa, EsitoCorsa::Fallito);
        QVERIFY(!s.ended);
        QVERIFY(!e.Motivo.isEmpty());
        QVERIFY(e.FineScritta);
        QCOMPARE(CodiceUscita(e), 1);
    }

    // A request that cannot be printed is refused before anything is drawn:
    // a period of centuries from a mistyped year, an end before the start,
    // dates that are no dates, a destination with nothing visible in it; ten
    // years still print, and blank sheets need no destination. The refusal is
    // the run's one failure, said once.
    void richiesteRifiutate_data() {
        QTest::addColumn<QDate>("fine");
        QTest::addColumn<QString>("destinazione");
        QTest::addColumn<int>("bianchi");
        QTest::addColumn<int>("cosa");
        const QString roma = QStringLiteral("ROMA");
        const QString invisibile = QStringLiteral(" \t\u00A0\u200B\u3000");
        QTest::newRow("secoli") << QDate(9999, 12, 31) << roma << 0 << int(EsitoCorsa::Rifiutato);
        QTest::newRow("dieci anni e un giorno")
            << QDate(2034, 3, 9) << roma << 0 << int(EsitoCorsa::Rifiutato);
        QTest::newRow("dieci anni") << QDate(2034, 3, 8) << roma << 0 << int(EsitoCorsa::Stampato);
        QTest::newRow("fine prima dell'inizio")
            << QDate(2024, 2, 28) << roma << 0 << int(EsitoCorsa::Rifiutato);
        QTest::newRow("data non valida") << QDate() << roma << 0 << int(EsitoCorsa::Rifiutato);
        QTest::newRow("destinazione invisibile")
            << QDate(2024, 3, 5) << invisibile << 0 << int(EsitoCorsa::Rifiutato);
        QTest::newRow("in bianco, destinazione invisibile")
            << QDate(2024, 3, 5) << invisibile << 2 << int(EsitoCorsa::Stampato);
    }
    void richiesteRifiutate() {
        QFETCH(QDate, fine);
        QFETCH(QString, destinazione);
        QFETCH(int, bianchi);
        QFETCH(int, cosa);
        QTemporaryDir dir;
        RecordingSurface s;
        CorsaFinta c(s, dir.path());
        c.richiesta.Fine = fine;
        c.richiesta.Destinazione = destinazione;
        c.InBianco(bianchi);
        const EsitoCorsa e = c.Esegui();
        QCOMPARE(int(e.Cosa), cosa);
        QCOMPARE(s.ops.isEmpty(), cosa == EsitoCorsa::Rifiutato);
        QVERIFY(e.FineScritta);
        QCOMPARE(e.Errori, 0);
        QCOMPARE(CodiceUscita(e), cosa == EsitoCorsa::Rifiutato ? 1 : 0);
    }

    void fileFineSostituisceUnLink() {
        QTemporaryDir dir;
        const QString bersaglio = dir.filePath(QStringLiteral("altro.txt"));
        QFile f(bersaglio);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("intatto");
        f.close();
        QVERIFY(QFile::link(bersaglio, dir.filePath(kFileFineStampa)));
        QVERIFY(Concludi(EsitoCorsa::Di(EsitoCorsa::Stampato), dir.path()).FineScritta);
        QCOMPARE(Leggi(bersaglio), QByteArray("intatto"));
        QVERIFY(!QFileInfo(dir.filePath(kFileFineStampa)).isSymLink());
        QCOMPARE(Leggi(dir.filePath(kFileFineStampa)), QByteArray("Fatto\r\n"));
        // Nothing else is left in the folder.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // An end-of-run file that cannot be written, also for root: the run
    // ends with status 1 and leaves no temporary file of its own.
    void fileFineNonScrivibile_data() {
        QTest::addColumn<QString>("dove"); // inside the test's folder
        QTest::addColumn<QString>("ostacolo");
        QTest::newRow("cartella mancante") << "manca"
                                           << "";
        QTest::newRow("un file al posto della cartella") << "file"
                                                         << "file";
        QTest::newRow("una cartella al posto del file") << "" << kFileFineStampa + "/";
    }
    void fileFineNonScrivibile() {
        QFETCH(QString, dove);
        QFETCH(QString, ostacolo);
        QTemporaryDir dir;
        if (ostacolo.endsWith(u'/'))
            QVERIFY(QDir(dir.path()).mkdir(ostacolo));
        else if (!ostacolo.isEmpty())
            QVERIFY(QFile(dir.filePath(ostacolo)).open(QIODevice::WriteOnly));
        const QStringList prima =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const EsitoCorsa e = Concludi(EsitoCorsa::Di(EsitoCorsa::Stampato), dir.filePath(dove));
        QVERIFY(!e.FineScritta);
        QCOMPARE(CodiceUscita(e), 1); // the caller would never know
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), prima);
    }

    // The end-of-run file and a PDF the built-in writer saves get the mode a
    // new file gets under the process's creation mask, as any other program's
    // files, and the mask is left as it was.
    void modoDeiFileScritti_data() {
        QTest::addColumn<int>("maschera");
        QTest::addColumn<int>("modo");
        QTest::newRow("022") << 022 << 0644;
        QTest::newRow("027") << 027 << 0640;
        QTest::newRow("077") << 077 << 0600;
        QTest::newRow("002") << 002 << 0664;
        QTest::newRow("000") << 0 << 0666;
    }
    void modoDeiFileScritti() {
        QFETCH(int, maschera);
        QFETCH(int, modo);
        const mode_t primaDelTest = ::umask(static_cast<mode_t>(maschera));
        QTemporaryDir dir;
        auto modoDi = [](const QString& percorso) {
            struct stat info {};
            return ::stat(QFile::encodeName(percorso).constData(), &info) == 0 ? int(info.st_mode & 07777)
                                                                               : -1;
        };
        QVERIFY(Concludi(EsitoCorsa::Di(EsitoCorsa::Stampato), dir.path()).FineScritta);
        QCOMPARE(modoDi(dir.filePath(kFileFineStampa)), modo);
        // The document is drawn into a private temporary file first.
        const QString temporaneo = dir.filePath(QStringLiteral(".documento.pdf"));
        QFile f(temporaneo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        ScrittorePdf scrittore(dir.path());
        QString errore;
        QVERIFY2(scrittore.Consegna(temporaneo, QStringLiteral("ROMA_Vagolume"), errore), qPrintable(errore));
        QCOMPARE(modoDi(dir.filePath(QStringLiteral("ROMA_Vagolume.pdf"))), modo);
        QCOMPARE(::umask(primaDelTest), static_cast<mode_t>(maschera));
    }

    // A process ended in the middle of its second run (the first ended with
    // 0), as the program ends it: by a crash (SIGTRAP the program raises
    // itself is one, in the sanitizer builds too), or by two stop signals,
    // one after the other. What was delivered decides the status and the one
    // line; the first signal names the stop; nothing of an earlier run or of
    // an earlier process of the same id counts; the end-of-run file is
    // written.
    void fineDelProcesso_data() {
        QTest::addColumn<int>("fatto");          // recorded before the signals; -1: none
        QTest::addColumn<QList<int>>("segnali"); // raised in this order
        QTest::addColumn<bool>("vecchioFile");   // a stale .FineStampaPercorsario.<pid>
        QTest::addColumn<int>("uscita");         // the exit status; -n: killed by signal n
        QTest::addColumn<QString>("riga");
        const QList<int> crollo{SIGTRAP};
        const QString consegnato = QStringLiteral("il documento è stato consegnato per intero");
        QTest::newRow("niente inviato") << int(FattoConsegna::NienteInviato) << crollo << false << 1
                                        << "errore interno del programma: non stampo";
        QTest::newRow("documento completo") << int(FattoConsegna::DocumentoCompleto) << crollo << false << 1
                                            << "errore interno del programma: non stampo";
        QTest::newRow("ultimo byte inviato") << int(FattoConsegna::UltimoByteInviato) << crollo << false << 3
                                             << "la stampante potrebbe stamparlo comunque";
        QTest::newRow("risposta del server")
            << int(FattoConsegna::RispostaServer) << crollo << false << 0 << consegnato;
        QTest::newRow("salvato") << int(FattoConsegna::Salvato) << crollo << false << 0 << consegnato;
        QTest::newRow("file fine rimasto da un processo dello stesso id")
            << -1 << crollo << true << 1 << "non stampo";
        QTest::newRow("SIGINT, poi SIGTERM")
            << -1 << QList<int>{SIGINT, SIGTERM} << false << -SIGINT << "stampa interrotta dal segnale 2 (";
        QTest::newRow("SIGTERM, poi SIGINT")
            << -1 << QList<int>{SIGTERM, SIGINT} << false << -SIGTERM << "stampa interrotta dal segnale 15 (";
    }
    void fineDelProcesso() {
        QFETCH(int, fatto);
        QFETCH(QList<int>, segnali);
        QFETCH(bool, vecchioFile);
        QFETCH(int, uscita);
        QFETCH(QString, riga);
        QTemporaryDir dir, errori;
        const QByteArray cartella = QFile::encodeName(dir.path());
        const QByteArray err = QFile::encodeName(errori.filePath(QStringLiteral("err.txt")));
        const pid_t figlio = ::fork();
        QVERIFY(figlio >= 0);
        if (figlio == 0) {
            // The program's start, as its main() does it; this process never
            // returns to the test.
            const int fd = ::open(err.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (fd < 0 || ::dup2(fd, 2) != 2 || ::chdir(cartella.constData()) != 0) ::_exit(90);
            PreparaProcesso();
            RecordingSurface prima, seconda;
            if (CorsaFinta(prima, dir.path()).Esegui().Cosa != EsitoCorsa::Stampato) ::_exit(91);
            ::unlink("FineStampaPercorsario.tmp");
            if (vecchioFile) {
                const QByteArray nome = ".FineStampaPercorsario." + QByteArray::number(::getpid());
                const int v = ::open(nome.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0400);
                if (v < 0 || ::write(v, "vecchio", 7) != 7) ::_exit(92);
                ::close(v);
            }
            CorsaFinta corsa(seconda, dir.path());
            corsa.onEvents = [&](CorsaStampa&, int passo) {
                if (passo != 3) return;
                if (fatto >= 0) RegistraFatto(static_cast<FattoConsegna>(fatto));
                for (int segnale : segnali)
                    ::raise(segnale);
            };
            corsa.Esegui();
            ::_exit(93);
        }
        int stato = 0;
        QCOMPARE(::waitpid(figlio, &stato, 0), figlio);
        const QString detto = QString::fromUtf8(Leggi(QFile::decodeName(err)));
        if (uscita >= 0) {
            QVERIFY2(WIFEXITED(stato), qPrintable(detto));
            QCOMPARE(WEXITSTATUS(stato), uscita);
        } else {
            QVERIFY2(WIFSIGNALED(stato), qPrintable(QString::number(WEXITSTATUS(stato)) + u' ' + detto));
            QCOMPARE(WTERMSIG(stato), -uscita);
        }
        QCOMPARE(detto.count(u'\n'), 1);
        QVERIFY2(detto.startsWith(QLatin1String("vagolume: ")) && detto.contains(riga), qPrintable(detto));
        QCOMPARE(Leggi(dir.filePath(kFileFineStampa)), QByteArray("Fatto\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{kFileFineStampa});
    }

    // Temporary files left by runs of processes that are gone, where no
    // unnamed files can be had: one still locked belongs to a live run (of
    // another PID namespace, say) and stays; an unlocked one goes.
    void temporaneiOrfani_data() {
        QTest::addColumn<bool>("bloccato");
        QTest::newRow("bloccato") << true;
        QTest::newRow("libero") << false;
    }
    void temporaneiOrfani() {
        QFETCH(bool, bloccato);
        QTemporaryDir dir;
        // The id of a process that has ended.
        const pid_t morto = ::fork();
        if (morto == 0) ::_exit(0);
        QVERIFY(morto > 0);
        QCOMPARE(::waitpid(morto, nullptr, 0), morto);
        const QString nome = QStringLiteral(".vagolume-%1-a1B2c3.pdf").arg(morto);
        QFile file(dir.filePath(nome));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4\n");
        file.flush();
        if (bloccato) QCOMPARE(::flock(file.handle(), LOCK_EX | LOCK_NB), 0);
        RimuoviTemporaneiOrfani(dir.path());
        QCOMPARE(QFile::exists(dir.filePath(nome)), bloccato);
    }
};

QTEST_MAIN(TestCorsa)
#include "test_corsa.moc"
