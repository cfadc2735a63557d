// Whole runs on the real surface with the built-in PDF writer: a sheet as the
// printer gets it, the page count of long runs, the file name, a folder that
// cannot be written, and a cancelled run.

#include "print/DocumentoStampa.h"
#include "print/Stampanti.h"
#include "support/CorsaFinta.h"
#include "support/Rasterizza.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <functional>
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
    CorsaFinta w{dir.path()};
    EsitoCorsa Esegui() { return w.Esegui(); }
    QStringList File() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

// A sheet of the PDF as pixels, with positions in millimetres of the
// printable area, as the sections draw.
struct Foglio {
    static constexpr int kDpi = 150;
    QImage img;
    QPointF margine; // top-left corner of the printable area on the paper, mm

    int Px(double mm, double m) const { return static_cast<int>(std::lround((mm + m) * kDpi / 25.4)); }
    QRgb Colore(double x, double y) const { return img.pixel(Px(x, margine.x()), Px(y, margine.y())); }
    // Ink along the row at Y from X1 to X2, in pixels: the darkness of each
    // pixel summed, so that a grey edge counts for what it covers.
    double Inchiostro(double y, double x1, double x2) const {
        double somma = 0;
        for (int x = Px(x1, margine.x()); x <= Px(x2, margine.x()); ++x)
            somma += 1 - qGray(img.pixel(x, Px(y, margine.y()))) / 255.0;
        return somma;
    }
    // Rules crossed going down the column at X from Y to the bottom.
    int RigheSotto(double x, double y) const {
        int righe = 0;
        bool scuro = false;
        for (int py = Px(y, margine.y()); py < img.height(); ++py) {
            const bool adesso = qGray(img.pixel(Px(x, margine.x()), py)) < 128;
            righe += adesso && !scuro;
            scuro = adesso;
        }
        return righe;
    }
};

bool Vicino(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 4 && std::abs(qGreen(a) - qGreen(b)) <= 4 &&
           std::abs(qBlue(a) - qBlue(b)) <= 4;
}
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
                               << "etc_passwd_Vagolume";
        QTest::newRow("due punti") << ".._Vagolume"
                                   << "Vagolume";
        QTest::newRow("caratteri vietati") << "A:B*C?D\"E<F>G|H\\I"
                                           << "A_B_C_D_E_F_G_H_I";
        QTest::newRow("punti iniziali") << "..._Vagolume"
                                        << "Vagolume";
        QTest::newRow("controllo") << QStringLiteral("RO\nMA\t_Vagolume") << "RO_MA_Vagolume";
        QTest::newRow("vuoto") << ""
                               << "Vagolume";
        QTest::newRow("emoji") << QStringLiteral("ROMA_\U0001F690_Vagolume")
                               << QStringLiteral("ROMA_\U0001F690_Vagolume");
        QTest::newRow("blank iniziali") << "_ROMA_Vagolume"
                                        << "ROMA_Vagolume";
        QTest::newRow("virgolette e blank iniziali") << "\"_ROMA_Vagolume"
                                                     << "ROMA_Vagolume";
        QTest::newRow("controllo bidirezionale")
            << QStringLiteral("\u202EROMA\u2066_\u200FVagolume") << "ROMA_Vagolume";
        QTest::newRow("separatore di riga") << QStringLiteral("RO\u2028MA_Vagolume") << "RO_MA_Vagolume";
        QTest::newRow("mezzo carattere")
            << QString(QChar(0xD83D)) + QStringLiteral("ROMA_Vagolume") << "ROMA_Vagolume";
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
        const EsitoCorsa e = c.Esegui();
        QVERIFY(e.Cosa == EsitoCorsa::Salvato && e.Errori == 0);
        QCOMPARE(e.PdfSalvato, c.dir.filePath("ROMA_Vagolume.pdf"));
        QCOMPARE(c.File(), QStringList({kFileFineStampa, "ROMA_Vagolume.pdf"}));
        QCOMPARE(Pagine(c.dir.filePath("ROMA_Vagolume.pdf")), 1 + 5); // cover + one sheet a day
        QCOMPARE(c.Esegui().Cosa, EsitoCorsa::Salvato);
        QVERIFY(c.File().contains("ROMA_Vagolume (2).pdf"));
    }

    // The first sheet as the printer gets it: the six fill colours, the two
    // rule widths, and the ruled table under the visited places heading.
    void foglioInPixel() {
        Corsa c;
        QCOMPARE(c.Esegui().Cosa, EsitoCorsa::Salvato);
        Foglio f;
        f.img = Rasterizza(c.dir.filePath("ROMA_Vagolume.pdf"), 2, Foglio::kDpi);
        QVERIFY2(!f.img.isNull(), "pdftoppm (poppler-utils) could not draw the first sheet");
        f.margine = ScrittorePdf(c.dir.path()).Impaginazione().paintRect(QPageLayout::Millimeter).topLeft();
        struct {
            const char* dove;
            double x, y;
            QRgb colore;
        } const fondi[] = {
            {"overnight stay, address box", 50, 26, 0xFFFFFF},
            {"overnight stay, title band", 15, 16, 0xC0FFC0},
            {"title bar, after the trip's name", 100, 10, 0xC0FFFF},
            {"GPS band, above its title", 172, 24.2, 0xFFFF00},
            {"visited places heading, above its titles", 80, 44, 0xFFE0C0},
            {"expense title band, right of its title", 180, 239.5, 0xFFFFC0},
        };
        for (const auto& fondo : fondi) {
            const QRgb visto = f.Colore(fondo.x, fondo.y);
            QVERIFY2(Vicino(visto, fondo.colore), qPrintable(QStringLiteral("%1: #%2, expected #%3")
                                                                 .arg(QString::fromUtf8(fondo.dove))
                                                                 .arg(visto & 0xFFFFFF, 6, 16, QChar(u'0'))
                                                                 .arg(fondo.colore, 6, 16, QChar(u'0'))));
        }
        // Across the table's frame (5 dots, 0.42 mm) at X 10 and its first
        // column divider (1 dot, 0.085 mm) at X 60, between two writing lines.
        const double pxPerMm = Foglio::kDpi / 25.4;
        const double cornice = f.Inchiostro(147.25, 8.5, 11.5), divisore = f.Inchiostro(147.25, 58.5, 61.5);
        QVERIFY2(std::abs(cornice - 5 * kMillimetresPerDot * pxPerMm) <= 1,
                 qPrintable(QStringLiteral("the 5-dot frame is %1 px wide").arg(cornice)));
        QVERIFY2(std::abs(divisore - kMillimetresPerDot * pxPerMm) <= 1,
                 qPrintable(QStringLiteral("the 1-dot divider is %1 px wide").arg(divisore)));
        // Below the heading: at least the table's 27 writing lines.
        const int righe = f.RigheSotto(35, 50);
        QVERIFY2(righe >= 27,
                 qPrintable(QStringLiteral("%1 rules below the visited places heading").arg(righe)));
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
        QCOMPARE(ScrittorePdf(c.dir.path(), scelto).CartellaTemporanea(), altra.path());
        c.w.richiesta.PdfScelto = scelto;
        const EsitoCorsa e = c.Esegui();
        QVERIFY(e.Cosa == EsitoCorsa::Salvato && e.Motivo.isEmpty());
        QCOMPARE(e.PdfSalvato, scelto);
        QCOMPARE(QDir(altra.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"viaggio.pdf"});
        QFile nuovo(scelto);
        QVERIFY(nuovo.open(QIODevice::ReadOnly));
        QVERIFY(nuovo.read(5) == "%PDF-");
        QCOMPARE(Pagine(scelto), 1 + 5);
        QCOMPARE(c.File(), QStringList{kFileFineStampa});

        // A folder that has gone meanwhile: the run fails and says so.
        c.w.richiesta.PdfScelto = altra.filePath(QStringLiteral("sparita/viaggio.pdf"));
        const EsitoCorsa persa = c.Esegui();
        QVERIFY(persa.Cosa == EsitoCorsa::Fallito && persa.PdfSalvato.isEmpty());
        QVERIFY(persa.Motivo.contains(altra.filePath(QStringLiteral("sparita"))));
        QVERIFY(persa.FineScritta);
    }

    void cartellaNonUtf8_data() {
        // Folders and files made in the test's folder, in bytes; the file as
        // the save dialog gives it, as text; where the PDF lands ("": the
        // run fails and writes nothing).
        QTest::addColumn<QByteArrayList>("voci");
        QTest::addColumn<QString>("scelto");
        QTest::addColumn<QByteArray>("scritto");
        QTest::newRow("Latin-1, scritta come si legge")
            << QByteArrayList{"caf\xe9/"} << QStringLiteral("caf\u00e9/viaggio.pdf")
            << QByteArray("caf\xe9/viaggio.pdf");
        QTest::newRow("Latin-1, come la mostra Qt")
            << QByteArrayList{"caf\xe9/"} << QStringLiteral("caf\ufffd/viaggio.pdf")
            << QByteArray("caf\xe9/viaggio.pdf");
        QTest::newRow("due livelli") << QByteArrayList{"caf\xe9/", "caf\xe9/citt\xe0/"}
                                     << QStringLiteral("caf\u00e9/citt\u00e0/viaggio.pdf")
                                     << QByteArray("caf\xe9/citt\xe0/viaggio.pdf");
        QTest::newRow("UTF-8 e Latin-1 che si leggono uguali: quella UTF-8")
            << QByteArrayList{"caf\xe9/", "caf\xc3\xa9/"} << QStringLiteral("caf\u00e9/viaggio.pdf")
            << QByteArray("caf\xc3\xa9/viaggio.pdf");
        QTest::newRow("due cartelle che Qt mostra uguali: nessuna")
            << QByteArrayList{"caf\xe9/", "caf\xe8/"} << QStringLiteral("caf\ufffd/viaggio.pdf")
            << QByteArray();
        QTest::newRow("un file che si legge uguale resta")
            << QByteArrayList{"caf\xe9.pdf"} << QStringLiteral("caf\u00e9.pdf")
            << QByteArray("caf\xc3\xa9.pdf");
    }
    void cartellaNonUtf8() {
        // A folder named in bytes that are not UTF-8 can be chosen by its
        // name as read: the PDF is drawn and written there.
        QFETCH(QByteArrayList, voci);
        QFETCH(QString, scelto);
        QFETCH(QByteArray, scritto);
        Corsa c;
        QTemporaryDir base;
        const QByteArray d = QFile::encodeName(base.path()) + '/';
        // QTemporaryDir cannot remove what Qt does not list.
        const auto pulizia = qScopeGuard([&d] {
            ::nftw(
                d.constData(), [](const char* p, const struct stat*, int, FTW*) { return ::remove(p); }, 8,
                FTW_DEPTH | FTW_PHYS);
        });
        for (const QByteArray& voce : voci) {
            if (voce.endsWith('/'))
                QVERIFY(::mkdir((d + voce).constData(), 0700) == 0);
            else
                QVERIFY(::close(::open((d + voce).constData(), O_CREAT | O_WRONLY, 0600)) == 0);
        }
        c.w.richiesta.PdfScelto = base.filePath(scelto);
        const EsitoCorsa e = c.Esegui();
        if (scritto.isEmpty()) {
            QVERIFY2(e.Cosa == EsitoCorsa::Fallito && e.PdfSalvato.isEmpty(), qPrintable(e.Motivo));
        } else {
            QVERIFY2(e.Cosa == EsitoCorsa::Salvato, qPrintable(e.Motivo));
            QCOMPARE(e.PdfSalvato, base.filePath(scelto));
            QFile pdf;
            QVERIFY(pdf.open(::open((d + scritto).constData(), O_RDONLY | O_CLOEXEC), QIODevice::ReadOnly,
                             QFileDevice::AutoCloseHandle));
            QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        }
        // Nothing else written anywhere (Qt's listings skip these names),
        // nothing replaced.
        std::function<qsizetype(const QByteArray&)> conta = [&conta](const QByteArray& cartella) {
            qsizetype n = 0;
            DIR* dir = ::opendir(cartella.constData());
            while (const dirent* v = dir ? ::readdir(dir) : nullptr) {
                const QByteArray nome(v->d_name);
                if (nome == "." || nome == "..") continue;
                n += 1 + (v->d_type == DT_DIR ? conta(cartella + nome + '/') : 0);
            }
            if (dir) ::closedir(dir);
            return n;
        };
        QCOMPARE(conta(d), voci.size() + (scritto.isEmpty() ? 0 : 1));
        for (const QByteArray& voce : voci) {
            struct stat info {};
            QVERIFY(::stat((d + voce).constData(), &info) == 0);
            if (!voce.endsWith('/')) QCOMPARE(info.st_size, 0);
        }
        QCOMPARE(c.File(), QStringList{kFileFineStampa});
    }

    void annullataNonLasciaFile() {
        Corsa c;
        c.w.onEvents = [](CorsaStampa& corsa, int passo) {
            if (passo == 3) corsa.Annulla();
        };
        const EsitoCorsa e = c.Esegui();
        QCOMPARE(e.Cosa, EsitoCorsa::Annullato);
        QCOMPARE(c.File(), QStringList({kFileFineStampa}));
    }

    // A printer with wide unprintable margins gets the sheet shrunk to its
    // printable width, its lower bands still ending at the printable bottom:
    // nothing falls outside the area. Narrow margins keep the sheet's size.
    void areaStretta_data() {
        QTest::addColumn<double>("margine"); // mm, every side
        QTest::addColumn<double>("scala");
        QTest::newRow("5 mm") << 5.0 << 1.0;
        QTest::newRow("7,2 mm: ancora al 100%") << 7.2 << 1.0;
        QTest::newRow("12,7 mm") << 12.7 << (210 - 2 * 12.7) / kLarghezzaFoglio;
    }
    void areaStretta() {
        QFETCH(double, margine);
        QFETCH(double, scala);
        class Margini : public ScrittorePdf {
        public:
            Margini(const QString& cartella, double mm) : ScrittorePdf(cartella), mm_(mm) {}
            QPageLayout Impaginazione() const override {
                return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(mm_, mm_, mm_, mm_), QPageLayout::Millimeter);
            }

        private:
            double mm_;
        };
        Corsa c;
        CorsaStampa corsa(c.w.richiesta, {}, [&](const RichiestaStampa& r) {
            return std::make_shared<SuperficieDocumento>(std::make_unique<Margini>(c.dir.path(), margine),
                                                         r.NomeDocumento);
        });
        QCOMPARE(corsa.Esegui().Cosa, EsitoCorsa::Salvato);
        Foglio f;
        f.img = Rasterizza(c.dir.filePath("ROMA_Vagolume.pdf"), 2, Foglio::kDpi);
        QVERIFY2(!f.img.isNull(), "pdftoppm (poppler-utils) could not draw the first sheet");
        // The ink's right and bottom edges on the paper, mm.
        int destra = 0, basso = 0;
        for (int y = 0; y < f.img.height(); ++y)
            for (int x = 0; x < f.img.width(); ++x)
                if (qGray(f.img.pixel(x, y)) < 128) {
                    destra = std::max(destra, x);
                    basso = std::max(basso, y);
                }
        const double mmPerPx = 25.4 / Foglio::kDpi;
        // The rightmost rule at 195 mm and the page frame's bottom 10 mm above
        // the printable bottom, each with half of its 8-dot width.
        const double mezzaRiga = 4 * kMillimetresPerDot;
        QVERIFY2(std::abs((destra + 1) * mmPerPx - (margine + (195 + mezzaRiga) * scala)) < 0.4,
                 qPrintable(QStringLiteral("ink ends %1 mm from the left edge").arg((destra + 1) * mmPerPx)));
        QVERIFY2(std::abs((basso + 1) * mmPerPx - (297 - margine - (10 - mezzaRiga) * scala)) < 0.4,
                 qPrintable(QStringLiteral("ink ends %1 mm from the top edge").arg((basso + 1) * mmPerPx)));
    }

    void bianco99Pagine() {
        Corsa c;
        c.w.InBianco(99);
        QCOMPARE(c.Esegui().Cosa, EsitoCorsa::Salvato);
        QCOMPARE(Pagine(c.dir.filePath("ROMA_Vagolume.pdf")), 1 + 99);
    }

    void anno365Giorni() {
        Corsa c;
        c.w.richiesta.Inizio = QDate(2025, 1, 1);
        c.w.richiesta.Fine = QDate(2025, 12, 31);
        QCOMPARE(c.Esegui().Cosa, EsitoCorsa::Salvato);
        QCOMPARE(Pagine(c.dir.filePath("ROMA_Vagolume.pdf")), 1 + 365);
    }

    // A folder that cannot be written: the failure is reported, nothing
    // half-written is left under the final names.
    void cartellaDiSolaLettura() {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders; covered by the end-to-end test on a full disk");
        Corsa c;
        ::chmod(QFile::encodeName(c.dir.path()).constData(), 0555);
        const EsitoCorsa e = c.Esegui();
        ::chmod(QFile::encodeName(c.dir.path()).constData(), 0755);
        QVERIFY(e.Cosa == EsitoCorsa::Fallito && !e.FineScritta);
        QVERIFY(c.File().isEmpty());
    }
};

QTEST_MAIN(TestScrittorePdf)
#include "test_scrittore_pdf.moc"
