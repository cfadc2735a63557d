// Whole print runs on the recording surface: pages, confirmation, cancel,
// runs started by the itinerary program, the document name and the
// end-of-run file.

#include "print/Stampanti.h"
#include "sheet/CiclodiStampa.h"
#include "support/FakeWindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace vagolume;

namespace {
QByteArray Leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestCiclo : public QObject {
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
    }
    void nomeDocumento() {
        QFETCH(QString, destinazione);
        QFETCH(QString, nome);
        QCOMPARE(NomeDocumento(destinazione), nome);
    }

    void conferma() {
        QCOMPARE(
            TestoConferma("ROMA", "01/03 - 05/03/2024", 5),
            QStringLiteral("Predisposizione per la stampa\r\rDestinazione: . . ROMA\rPeriodo: . . . . . . . "
                           "01/03 - 05/03/2024\rPagine: . . . . . . . . 5\r\rVuoi stampare i moduli per il "
                           "vagolume?"));
    }

    void cinqueGiorni() {
        QTemporaryDir dir;
        RecordingSurface s;
        FakeWindow w(s);
        StatoForm form;
        const EsitoCiclo e = CiclodiStampa(w, form, s, dir.path());
        QCOMPARE(w.questions.size(), 1);
        QVERIFY(w.questions[0].contains(QStringLiteral("Periodo: . . . . . . . 01/03 - 05/03/2024")));
        QVERIFY(w.questions[0].contains(QStringLiteral("Pagine: . . . . . . . . 5\r")));
        QVERIFY(e.Stampato && !e.Annullato && e.Errori == 0);
        QVERIFY(s.ended);
        QCOMPARE(s.documentName, QStringLiteral("ROMA_Vagolume"));
        QCOMPARE(w.title, QStringLiteral("Vagolume")); // restored after the document began
        // The cover page frame is the first drawing, at line width 8, not filled.
        const auto riquadri = s.OfKind(Op::Box);
        QVERIFY(!riquadri.isEmpty());
        QCOMPARE(riquadri[0].x1, 15.0f);
        QCOMPARE(riquadri[0].y2, 277.0f);
        QCOMPARE(riquadri[0].lineWidth, int16_t(8));
        QCOMPARE(riquadri[0].fillStyle, FillStyle::Transparent);
        // One page break after the cover and after each of the five pages.
        QCOMPARE(s.OfKind(Op::NewPage).size(), 6);
        QCOMPARE(w.lastCorr, 5.0f);
        QCOMPARE(w.lastTotale, 5.0f);
        QVERIFY(e.FineScritta);
        QCOMPARE(Leggi(dir.filePath(kFileFineStampa)), QByteArray("Fatto\r\n"));
        QVERIFY(!e.TerminaProgramma);
    }

    void unGiorno() {
        QTemporaryDir dir;
        RecordingSurface s;
        FakeWindow w(s);
        w.dati.DataFine = w.dati.DataInizio;
        StatoForm form;
        CiclodiStampa(w, form, s, dir.path());
        QCOMPARE(s.OfKind(Op::NewPage).size(), 2);
        QCOMPARE(w.lastTotale, 1.0f);
    }

    void rispostaNo() {
        QTemporaryDir dir;
        RecordingSurface s;
        FakeWindow w(s);
        w.answer = false;
        StatoForm form;
        const EsitoCiclo e = CiclodiStampa(w, form, s, dir.path());
        QVERIFY(e.Rinunciato);
        QVERIFY(s.ops.isEmpty() || s.OfKind(Op::Box).isEmpty());
        QVERIFY(!s.documentOpen && !s.ended);
        QCOMPARE(Leggi(dir.filePath(kFileFineStampa)), QByteArray("Fatto\r\n"));
    }

    // Cancel confirmed while the run yields at the start of page 2 of 5: page
    // 2 is still drawn, then the whole document is discarded.
    void annullaPagina2() {
        QTemporaryDir dir;
        RecordingSurface s;
        FakeWindow w(s);
        StatoForm form;
        w.onEvents = [&](int passo) {
            if (passo == 3) // page set-up, page 1, page 2
                form.AnnullaStampa = true;
        };
        const EsitoCiclo e = CiclodiStampa(w, form, s, dir.path());
        QVERIFY(e.Annullato && !e.Stampato);
        QVERIFY(s.aborted && !s.ended);
        QCOMPARE(w.lastCorr, 2.0f);
        QCOMPARE(s.OfKind(Op::NewPage).size(), 2); // after the cover and after page 1
        QCOMPARE(Leggi(dir.filePath(kFileFineStampa)), QByteArray("Fatto\r\n"));
        QVERIFY(w.log.contains(QStringLiteral("Annulla 0")));
    }

    void biancoTrePagine() {
        QTemporaryDir dir;
        RecordingSurface s;
        FakeWindow w(s);
        w.InBianco(3);
        StatoForm form;
        CiclodiStampa(w, form, s, dir.path());
        QVERIFY(!form.DatiInseriti);
        QVERIFY(w.questions[0].contains(QStringLiteral("Destinazione: . . in bianco\r")));
        QVERIFY(w.questions[0].contains(QStringLiteral("Periodo: . . . . . . . in bianco\r")));
        QVERIFY(w.questions[0].contains(QStringLiteral("Pagine: . . . . . . . . 3\r")));
        QCOMPARE(s.OfKind(Op::NewPage).size(), 4);
        // The document is still named after the destination box.
        QCOMPARE(s.documentName, QStringLiteral("ROMA_Vagolume"));
    }

    // Started by the itinerary program: no question, "&Fine" disabled, the
    // document ended before the end-of-run file says that printing is over.
    void avviatoDaPercorsario() {
        QTemporaryDir dir;
        RecordingSurface s;
        FakeWindow w(s);
        StatoForm form;
        form.RigaComando = QStringLiteral("05/03/2024");
        const EsitoCiclo e = CiclodiStampa(w, form, s, dir.path());
        QVERIFY(w.questions.isEmpty());
        QVERIFY(w.fineDisabled);
        QVERIFY(s.ended);
        QVERIFY(e.TerminaProgramma && e.FineScritta);
    }

    // An end date before the start date prints the cover page only, without
    // dividing by zero, and still writes the end-of-run file.
    void fineFinePrimaDellInizio() {
        QTemporaryDir dir;
        RecordingSurface s;
        FakeWindow w(s);
        w.dati.DataFine = QStringLiteral("28022024");
        StatoForm form;
        form.RigaComando = QStringLiteral("x");
        const EsitoCiclo e = CiclodiStampa(w, form, s, dir.path());
        QCOMPARE(s.OfKind(Op::NewPage).size(), 1);
        QVERIFY(s.ended && e.FineScritta);
        QCOMPARE(w.lastTotale, -1.0f);
    }

    // A surface that refuses everything: every step is skipped, the run
    // reaches its end and the end-of-run file is written.
    void superficieGuasta() {
        QTemporaryDir dir;
        RecordingSurface s;
        s.FailFrom(1);
        FakeWindow w(s);
        StatoForm form;
        const EsitoCiclo e = CiclodiStampa(w, form, s, dir.path());
        QVERIFY(e.Errori > 0);
        QVERIFY(e.FineScritta);
        QCOMPARE(w.lastCorr, 5.0f);
        QVERIFY(w.log.contains(QStringLiteral("Dimensiona 0")));
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
        FakeWindow w(s);
        StatoForm form;
        const EsitoCiclo e = CiclodiStampa(w, form, s, dir.path());
        QCOMPARE(s.DrawAttempts(), da);
        QVERIFY(!e.Stampato && !s.ended);
        QVERIFY(!e.Motivo.isEmpty());
        QVERIFY(e.FineScritta);
    }

    // Unreadable dates stop the run before anything is drawn; the end steps
    // still run.
    void dateIllegibili() {
        QTemporaryDir dir;
        RecordingSurface s;
        FakeWindow w(s);
        w.dati.DataInizio = QStringLiteral("0101999999");
        StatoForm form;
        const EsitoCiclo e = CiclodiStampa(w, form, s, dir.path());
        QVERIFY(w.questions.isEmpty());
        QVERIFY(s.ops.isEmpty());
        QVERIFY(e.Errori > 0 && e.FineScritta);
    }

    // A period of centuries from a mistyped year is refused before anything
    // is printed; ten years still print.
    void periodoTroppoLungo_data() {
        QTest::addColumn<QString>("fine");
        QTest::addColumn<bool>("stampato");
        QTest::newRow("secoli") << "31129999" << false;
        QTest::newRow("dieci anni e un giorno") << "09032034" << false;
    }
    void periodoTroppoLungo() {
        QFETCH(QString, fine);
        QFETCH(bool, stampato);
        QTemporaryDir dir;
        RecordingSurface s;
        FakeWindow w(s);
        w.dati.DataFine = fine;
        StatoForm form;
        const EsitoCiclo e = CiclodiStampa(w, form, s, dir.path());
        QCOMPARE(e.Stampato, stampato);
        QVERIFY(s.ops.isEmpty());
        QVERIFY(e.FineScritta && e.Errori == 1);
    }

    void fileFineSostituisceUnLink() {
        QTemporaryDir dir;
        const QString bersaglio = dir.filePath(QStringLiteral("altro.txt"));
        QFile f(bersaglio);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("intatto");
        f.close();
        QVERIFY(QFile::link(bersaglio, dir.filePath(kFileFineStampa)));
        QVERIFY(ScriviFineStampa(dir.path()));
        QCOMPARE(Leggi(bersaglio), QByteArray("intatto"));
        QVERIFY(!QFileInfo(dir.filePath(kFileFineStampa)).isSymLink());
        QCOMPARE(Leggi(dir.filePath(kFileFineStampa)), QByteArray("Fatto\r\n"));
        // Nothing else is left in the folder.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void fileFineCartellaNonScrivibile() {
        if (::geteuid() == 0) QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
        QVERIFY(!ScriviFineStampa(dir.path()));
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
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
        QVERIFY(ScriviFineStampa(dir.path()));
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

    void fileFineCartellaMancante() { QVERIFY(!ScriviFineStampa(QStringLiteral("/nonexistent/vagolume"))); }
};

QTEST_MAIN(TestCiclo)
#include "test_ciclo.moc"
