// Whole runs on the real surface with the built-in PDF writer: long runs, the
// file name, a folder that cannot be written, and a cancelled run.

#include "print/DocumentoStampa.h"
#include "print/Stampanti.h"
#include "sheet/CiclodiStampa.h"
#include "support/FakeWindow.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace vagolume;

namespace {
int Pagine(const QString& pdf) {
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression pagina(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(f.readAll()).count(pagina));
}

struct Corsa {
    QTemporaryDir dir;
    RecordingSurface finta; // only for the fake window's title hook
    FakeWindow w{finta};
    StatoForm form;
    std::unique_ptr<SuperficieDocumento> s;
    Corsa() {
        s = std::make_unique<SuperficieDocumento>(std::make_unique<ScrittorePdf>(dir.path()),
                                                  [this] { return w.title; });
    }
    EsitoCiclo Esegui() { return CiclodiStampa(w, form, *s, dir.path()); }
    QStringList File() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};
} // namespace

class TestScrittorePdf : public QObject {
    Q_OBJECT
private slots:
    void nomiSicuri_data() {
        QTest::addColumn<QString>("documento");
        QTest::addColumn<QString>("file");
        QTest::newRow("normale") << "ROMA_Vagolume"
                                 << "ROMA_Vagolume";
        QTest::newRow("barre") << "../../etc/passwd_Vagolume"
                               << "_.._etc_passwd_Vagolume";
        QTest::newRow("caratteri vietati") << "A:B*C?D\"E<F>G|H\\I"
                                           << "A_B_C_D_E_F_G_H_I";
        QTest::newRow("punti iniziali") << "..._Vagolume"
                                        << "_Vagolume";
        QTest::newRow("controllo") << QStringLiteral("RO\nMA\t_Vagolume") << "RO_MA__Vagolume";
        QTest::newRow("vuoto") << ""
                               << "Vagolume";
        QTest::newRow("emoji") << QStringLiteral("ROMA_\U0001F690_Vagolume")
                               << QStringLiteral("ROMA_\U0001F690_Vagolume");
    }
    void nomiSicuri() {
        QFETCH(QString, documento);
        QFETCH(QString, file);
        QCOMPARE(NomeFileSicuro(documento), file);
    }

    void nomeLungoTagliatoACaratteriInteri() {
        const QString nome = NomeFileSicuro(QString(300, QChar(0x00E8)));
        QVERIFY(nome.toUtf8().size() <= 200);
        QCOMPARE(nome, QString(100, QChar(0x00E8)));
    }

    void cinqueGiorniEPoiUnAltro() {
        Corsa c;
        const EsitoCiclo e = c.Esegui();
        QVERIFY(e.Stampato && e.Errori == 0);
        QCOMPARE(c.File(), QStringList({kFileFineStampa, "ROMA_Vagolume.pdf"}));
        // The page count grows with the sections; at least the cover page.
        QVERIFY(Pagine(c.dir.filePath("ROMA_Vagolume.pdf")) >= 1);
        c.s = std::make_unique<SuperficieDocumento>(std::make_unique<ScrittorePdf>(c.dir.path()),
                                                    [&c] { return c.w.title; });
        QVERIFY(c.Esegui().Stampato);
        QVERIFY(c.File().contains("ROMA_Vagolume (2).pdf"));
    }

    void fileSceltoNelDialogo() {
        // The file chosen in the save dialog is written exactly, replacing an
        // old one (the dialog asked); it is drawn in that folder, and the
        // current folder gets only the end-of-run file.
        Corsa c;
        QTemporaryDir altra;
        const QString scelto = altra.filePath(QStringLiteral("viaggio.pdf"));
        {
            QFile vecchio(scelto);
            QVERIFY(vecchio.open(QIODevice::WriteOnly) && vecchio.write("vecchio") == 7);
        }
        QString file = scelto;
        auto scrittore = std::make_unique<ScrittorePdf>(c.dir.path(), [&file] { return file; });
        QCOMPARE(scrittore->CartellaTemporanea(), altra.path());
        c.s = std::make_unique<SuperficieDocumento>(std::move(scrittore), [&c] { return c.w.title; });
        const EsitoCiclo e = c.Esegui();
        QVERIFY(e.Stampato && e.Motivo.isEmpty());
        QCOMPARE(e.FileSalvato, scelto);
        QCOMPARE(QDir(altra.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"viaggio.pdf"});
        QFile nuovo(scelto);
        QVERIFY(nuovo.open(QIODevice::ReadOnly));
        QVERIFY(nuovo.read(5) == "%PDF-");
        QVERIFY(Pagine(scelto) >= 1);
        QCOMPARE(c.File(), QStringList{kFileFineStampa});

        // A folder that has gone meanwhile: the run fails and says so.
        file = altra.filePath(QStringLiteral("sparita/viaggio.pdf"));
        c.s = std::make_unique<SuperficieDocumento>(
            std::make_unique<ScrittorePdf>(c.dir.path(), [&file] { return file; }),
            [&c] { return c.w.title; });
        const EsitoCiclo persa = c.Esegui();
        QVERIFY(!persa.Stampato && persa.FileSalvato.isEmpty());
        QVERIFY(persa.Motivo.contains(altra.filePath(QStringLiteral("sparita"))));
        QVERIFY(persa.FineScritta);
    }

    void annullataNonLasciaFile() {
        Corsa c;
        c.w.onEvents = [&c](int passo) {
            if (passo == 3) c.form.AnnullaStampa = true;
        };
        const EsitoCiclo e = c.Esegui();
        QVERIFY(e.Annullato);
        QCOMPARE(c.File(), QStringList({kFileFineStampa}));
    }

    void bianco99Pagine() {
        Corsa c;
        c.w.dati.Bianco = true;
        c.w.dati.Copie = QStringLiteral("99");
        QVERIFY(c.Esegui().Stampato);
        const int pagine = Pagine(c.dir.filePath("ROMA_Vagolume.pdf"));
        QVERIFY(pagine == 1 || pagine == 100);
    }

    void anno365Giorni() {
        Corsa c;
        c.w.dati.DataInizio = QStringLiteral("01012025");
        c.w.dati.DataFine = QStringLiteral("31122025");
        QVERIFY(c.Esegui().Stampato);
        const int pagine = Pagine(c.dir.filePath("ROMA_Vagolume.pdf"));
        QVERIFY(pagine == 1 || pagine == 366);
    }

    // A folder that cannot be written: the failure is reported, nothing
    // half-written is left under the final names.
    void cartellaDiSolaLettura() {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders; covered by the end-to-end test on a full disk");
        Corsa c;
        ::chmod(QFile::encodeName(c.dir.path()).constData(), 0555);
        const EsitoCiclo e = c.Esegui();
        ::chmod(QFile::encodeName(c.dir.path()).constData(), 0755);
        QVERIFY(!e.Stampato && e.Errori > 0 && !e.FineScritta);
        QVERIFY(c.File().isEmpty());
    }
};

QTEST_MAIN(TestScrittorePdf)
#include "test_scrittore_pdf.moc"
