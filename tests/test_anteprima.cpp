// The print preview. Above all: a page of the preview is the printed page.
// The window's model opens the preview of the chosen printer, the preview's
// pages are drawn at 100 dpi, then "S&tampa" prints the same run on the PDF
// writer, and the PDF's pages are rasterised at 100 dpi by pdftoppm (a
// renderer that is not ours) and compared pixel by pixel. Then the preview
// window's keys and buttons, offscreen.

#include "app/Anteprima.h"
#include "app/ModelloFinestra.h"
#include "print/DocumentoStampa.h"
#include "print/Stampanti.h"
#include "support/Rasterizza.h"
#include "support/RecordingSurface.h"
#include "support/ServiziFinti.h"

#include <QAccessible>
#include <QFocusFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace vagolume;

namespace {

constexpr double kPuntiPerMm100Dpi = 100 / 25.4;

// The PDF writer with the margins of an odd printer, so that a preview that
// ignored the printer's printable area would show another page.
class StampanteStrana : public ScrittorePdf {
public:
    using ScrittorePdf::ScrittorePdf;
    QPageLayout Impaginazione() const override {
        return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(9, 14, 4, 11),
                           QPageLayout::Millimeter);
    }
};

// The pages of a trip to Rome, on a printable area 287 mm tall.
Pagine Viaggio(const QDate& inizio, const QDate& fine) {
    RichiestaStampa r;
    r.Destinazione = QStringLiteral("ROMA");
    r.Inizio = inizio;
    r.Fine = fine;
    return Pagine(ValoriCorsa(r, 287));
}

// A window model whose printers are the odd PDF writer, and whose preview
// draws the pages the test asks for.
struct Banco {
    QTemporaryDir cartella;
    DialoghiFinti d;
    PiattaformaFinta p;
    QStringList& stampantiImpaginate = p.impaginate; // every printer whose layout was asked for
    QStringList& domande = d.domande;                // the Yes/No questions
    bool stampaDallAnteprima = true;                 // the preview's answer: "S&tampa" or "&Chiudi"
    QList<int> pagineDaDisegnare;                    // pages drawn by the preview (0: cover)
    QList<QImage> immagini;
    int pagineAnteprima = -1;
    float fondoAnteprima = 0;
    std::unique_ptr<ModelloFinestra> m;

    Banco() {
        d.rispostaFinale = true;
        p.installate = {QStringLiteral("Laser")};
        p.impaginazione = [this](const QString&) { return StampanteStrana(cartella.path()).Impaginazione(); };
        p.superficie = [this](const RichiestaStampa& r) -> std::shared_ptr<PrinterSurface> {
            return std::make_shared<SuperficieDocumento>(std::make_unique<StampanteStrana>(cartella.path()),
                                                         r.NomeDocumento);
        };
        d.anteprima = [this](Pagine& pagine, const QPageLayout& layout) {
            pagineAnteprima = pagine.Totale();
            fondoAnteprima = pagine.Valori().FondoPagina;
            for (int N : pagineDaDisegnare)
                immagini.append(ImmaginePagina(pagine, N, layout, kPuntiPerMm100Dpi));
            return stampaDallAnteprima;
        };
        FineProcesso fine;
        fine.CartellaLavoro = cartella.path();
        m = std::make_unique<ModelloFinestra>(d, p, fine);
        m->ImpostaStampanteCorrente(kScrittorePdf);
        m->Form_Load(QDate(2026, 4, 7), QString(), QFile::encodeName(cartella.path()));
    }
    // Blank sheets, or the trip to Rome from 1 to 3 April.
    void Itinerario(bool bianco) {
        m->txtLocalita.Testo = QStringLiteral("ROMA");
        m->cmbg1.Testo = QStringLiteral("01");
        m->cmbg2.Testo = QStringLiteral("03");
        m->cmbData_Click();
        if (bianco) {
            m->chkBianco.Spuntato = true;
            m->chkBianco_Click();
            m->cmbCopie.Testo = QStringLiteral("02");
        }
    }
    // "&Stampa", a row of the printer list (-1: none), "Ante&prima".
    void Anteprima(int riga) {
        m->cmdStampa_Click();
        m->Dialogo.lstStampanti.Selezionato = riga;
        m->Dialogo.cmdAnteprima_Click();
    }
};

// Pixels that differ. The two renderers smooth edges differently and place
// an edge a fraction of a pixel apart, so a pixel is compared with the range
// of the other image's pixels within one pixel: it counts when one of its
// channels lies more than kSoglia outside that range. Also the ink of each
// image, so that two blank pages do not pass.
struct Confronto {
    int diversi = 0;
    int inchiostroA = 0, inchiostroB = 0;
};
constexpr int kSoglia = 40; // the palest fill (#FFFFC0, #C0FFC0) is 63 from white

int FuoriDallIntorno(const QImage& da, const QImage& in, int x, int y) {
    const QRgb p = da.pixel(x, y);
    int peggiore = 0;
    for (int canale = 0; canale < 3; ++canale) {
        auto valore = [canale](QRgb c) { return canale == 0 ? qRed(c) : canale == 1 ? qGreen(c) : qBlue(c); };
        int minimo = 255, massimo = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int v = valore(in.pixel(x + dx, y + dy));
                minimo = std::min(minimo, v);
                massimo = std::max(massimo, v);
            }
        const int v = valore(p);
        peggiore = std::max({peggiore, minimo - v, v - massimo});
    }
    return peggiore;
}

int Inchiostro(QRgb c) {
    return 255 - std::min({qRed(c), qGreen(c), qBlue(c)});
}

Confronto Confronta(const QImage& a0, const QImage& b0) {
    const QImage a = a0.convertToFormat(QImage::Format_RGB32);
    const QImage b = b0.convertToFormat(QImage::Format_RGB32);
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    Confronto r;
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            if (Inchiostro(a.pixel(x, y)) > kSoglia) ++r.inchiostroA;
            if (Inchiostro(b.pixel(x, y)) > kSoglia) ++r.inchiostroB;
            if (FuoriDallIntorno(a, b, x, y) > kSoglia || FuoriDallIntorno(b, a, x, y) > kSoglia) ++r.diversi;
        }
    return r;
}

} // namespace

class TestAnteprima : public QObject {
    Q_OBJECT
private slots:
    void paginaStampata_data() {
        QTest::addColumn<bool>("bianco");
        QTest::addColumn<int>("pagine");
        QTest::newRow("periodo di 3 giorni") << false << 4;
        QTest::newRow("2 moduli in bianco") << true << 3;
    }
    // The cover and the second sheet of the preview, against the same pages
    // of the PDF the run then prints.
    void paginaStampata() {
        QFETCH(bool, bianco);
        QFETCH(int, pagine);
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(),
                 "pdftoppm (poppler-utils) is needed to compare with the printed page");
        Banco b;
        b.Itinerario(bianco);
        b.pagineDaDisegnare = {0, 2};
        b.Anteprima(0);
        QCOMPARE(b.pagineAnteprima, pagine);
        QCOMPARE(b.domande.size(), 1); // "S&tampa" in the preview asks, as in the panel
        const QString pdf = b.cartella.filePath(QStringLiteral("ROMA_Vagolume.pdf"));
        QVERIFY2(QFile::exists(pdf), "the run after the preview printed nothing");
        // The printer's printable area set the page's bottom line, the same
        // for the preview and the run: 297 - 14 - 11 - 10 mm.
        QCOMPARE(b.fondoAnteprima, 262.0f);

        for (int i = 0; i < b.pagineDaDisegnare.size(); ++i) {
            const int N = b.pagineDaDisegnare[i];
            const QImage stampata = Rasterizza(pdf, N + 1, 100);
            QVERIFY2(!stampata.isNull(), "pdftoppm failed");
            const QImage anteprima = b.immagini[i];
            QVERIFY(std::abs(anteprima.width() - stampata.width()) <= 1);
            QVERIFY(std::abs(anteprima.height() - stampata.height()) <= 1);
            const Confronto c = Confronta(anteprima, stampata);
            const int area = anteprima.width() * anteprima.height();
            const QString cosa =
                QStringLiteral("page %1: %2 pixels differ, ink %3 (preview) and %4 (printed)")
                    .arg(N + 1)
                    .arg(c.diversi)
                    .arg(c.inchiostroA)
                    .arg(c.inchiostroB);
            qInfo("%s", qPrintable(cosa));
            QVERIFY2(c.inchiostroB > area / 50, qPrintable(cosa));       // the printed page is no blank page
            QVERIFY2(c.diversi < c.inchiostroB / 100, qPrintable(cosa)); // and the preview shows it
        }
    }

    // The preview is of the printer "S&tampa" would use: the selected entry,
    // else the current printer. "&Chiudi" prints nothing.
    void stampanteEdEsito_data() {
        QTest::addColumn<int>("riga");
        QTest::addColumn<bool>("stampa");
        QTest::addColumn<QString>("stampante");
        QTest::newRow("riga scelta, stampa") << 0 << true << "Laser";
        QTest::newRow("nessuna riga, chiudi") << -1 << false << kScrittorePdf;
    }
    void stampanteEdEsito() {
        QFETCH(int, riga);
        QFETCH(bool, stampa);
        QFETCH(QString, stampante);
        Banco b;
        b.m->ImpostaStampanteCorrente(kScrittorePdf);
        b.Itinerario(false);
        b.stampaDallAnteprima = stampa;
        b.Anteprima(riga);
        QCOMPARE(b.stampantiImpaginate, QStringList{stampante});
        QCOMPARE(b.domande.size(), stampa ? 1 : 0);
        QCOMPARE(b.m->Dialogo.frmSelStampa.Visibile, !stampa); // closing goes back to the panel
        if (stampa) QCOMPARE(b.m->Dialogo.StampanteCorrente(), stampante);
    }

    // A year's trip (366 pages), offscreen: a key, the wheel, a button or a
    // page typed, from a page at a zoom, gives a page and a zoom, and the
    // browsing buttons « ‹ › » that can be pressed there.
    void tastiEBottoni_data() {
        QTest::addColumn<int>("da");       // the page shown first (1: the cover)
        QTest::addColumn<QString>("zoom"); // "intera", "larghezza" or a per cent
        QTest::addColumn<bool>("inFondo"); // scrolled to the bottom of the page first
        QTest::addColumn<QString>("azione");
        QTest::addColumn<int>("pagina");
        QTest::addColumn<QString>("zoomDopo");
        QTest::addColumn<QString>("bottoni"); // enabled: 1, for « ‹ › »
        // The window after: "stampa" or "chiusa" (closed with that answer),
        // "schermo intero", "miniature" (the strip shown), "rosso" (the page
        // typed is not there, and the field says so).
        QTest::addColumn<QString>("finestra");
        auto riga = [](const char* nome, int da, const char* zoom, bool inFondo, const char* azione,
                       int pagina, const char* zoomDopo, const char* bottoni, const char* finestra = "") {
            QTest::newRow(nome) << da << QString::fromUtf8(zoom) << inFondo << QString::fromUtf8(azione)
                                << pagina << QString::fromUtf8(zoomDopo) << QString::fromUtf8(bottoni)
                                << QString::fromUtf8(finestra);
        };
        riga("Pag giù dalla copertina", 1, "intera", false, "PgDown", 2, "intera", "1111");
        riga("Pag su dalla terza", 3, "intera", false, "PgUp", 2, "intera", "1111");
        riga("Pag su dalla prima", 1, "intera", false, "PgUp", 1, "intera", "0011");
        riga("Pag giù dall'ultima", 366, "intera", false, "PgDown", 366, "intera", "1100");
        riga("Fine", 2, "intera", false, "End", 366, "intera", "1100");
        riga("Inizio", 3, "intera", false, "Home", 1, "intera", "0011");
        riga("destra", 1, "intera", false, "Right", 2, "intera", "1111");
        riga("sinistra", 3, "intera", false, "Left", 2, "intera", "1111");
        riga("giù", 1, "intera", false, "Down", 2, "intera", "1111");
        riga("su", 3, "intera", false, "Up", 2, "intera", "1111");
        riga("Spazio", 1, "intera", false, "Space", 2, "intera", "1111");
        riga("Maiusc+Spazio", 3, "intera", false, "shift+Space", 2, "intera", "1111");
        riga("rotellina giù", 1, "intera", false, "wheel-down", 2, "intera", "1111");
        riga("rotellina su", 3, "intera", false, "wheel-up", 2, "intera", "1111");
        // Zoomed in, the keys and the wheel move over the page, and turn it at its edge.
        riga("giù a 200 %, in cima", 2, "200", false, "Down", 2, "200", "1111");
        riga("giù a 200 %, in fondo", 2, "200", true, "Down", 3, "200", "1111");
        riga("Spazio a 200 %, in fondo", 2, "200", true, "Space", 3, "200", "1111");
        riga("su a 200 %, in cima", 3, "200", false, "Up", 2, "200", "1111");
        riga("rotellina su a 200 %, in fondo", 3, "200", true, "wheel-up", 3, "200", "1111");
        riga("Ctrl++ da 100 %", 2, "100", false, "ctrl+Plus", 2, "125", "1111");
        riga("Ctrl+= da 100 %", 2, "100", false, "ctrl+Equal", 2, "125", "1111");
        riga("Ctrl+Maiusc++ da 100 %", 2, "100", false, "ctrlshift+Plus", 2, "125", "1111");
        riga("Ctrl+- da 100 %", 2, "100", false, "ctrl+Minus", 2, "75", "1111");
        riga("Ctrl++ a 400 %", 2, "400", false, "ctrl+Plus", 2, "400", "1111");
        riga("Ctrl+- a 25 %", 2, "25", false, "ctrl+Minus", 2, "25", "1111");
        riga("Ctrl+rotellina su da 100 %", 2, "100", false, "ctrl+wheel-up", 2, "125", "1111");
        riga("Ctrl+rotellina giù da 100 %", 2, "100", false, "ctrl+wheel-down", 2, "75", "1111");
        riga("+ adatta alla larghezza", 2, "intera", false, "Plus", 2, "larghezza", "1111");
        riga("- mostra la pagina intera", 2, "200", false, "Minus", 2, "intera", "1111");
        riga("pagina scritta", 1, "intera", false, "vai 100", 100, "intera", "1111");
        riga("pagina scritta oltre la fine", 1, "intera", false, "vai 999", 1, "intera", "0011", "rosso");
        riga("pagina scritta 0", 3, "intera", false, "vai 0", 3, "intera", "1111", "rosso");
        riga("pagina scritta, poi giusta", 1, "intera", false, "vai 999 vai 5", 5, "intera", "1111");
        // A viewer's keys.
        riga("Ctrl+0", 2, "200", false, "ctrl+0", 2, "100", "1111");
        riga("Ctrl+Inizio", 3, "intera", false, "ctrl+Home", 1, "intera", "0011");
        riga("Ctrl+Fine", 2, "intera", false, "ctrl+End", 366, "intera", "1100");
        riga("Ctrl+P stampa", 2, "intera", false, "ctrl+P", 2, "intera", "1111", "stampa");
        riga("Ctrl+W chiude", 2, "intera", false, "ctrl+W", 2, "intera", "1111", "chiusa");
        riga("F11 schermo intero", 2, "intera", false, "F11", 2, "intera", "1111", "schermo intero");
        riga("F9 miniature", 2, "intera", false, "F9", 2, "intera", "1111", "miniature");
        riga("Miniature", 2, "intera", false, "cmdMiniature", 2, "intera", "1111", "miniature");
        riga("miniatura scelta", 2, "intera", false, "miniatura 10", 10, "intera", "1111", "miniature");
        riga("›", 1, "intera", false, "cmdSuccessiva", 2, "intera", "1111");
        riga("‹", 3, "intera", false, "cmdPrecedente", 2, "intera", "1111");
        riga("»", 1, "intera", false, "cmdUltima", 366, "intera", "1100");
        riga("«", 3, "intera", false, "cmdPrima", 1, "intera", "0011");
    }
    void tastiEBottoni() {
        QFETCH(int, da);
        QFETCH(QString, zoom);
        QFETCH(bool, inFondo);
        QFETCH(QString, azione);
        QFETCH(int, pagina);
        QFETCH(QString, zoomDopo);
        QFETCH(QString, bottoni);
        QFETCH(QString, finestra);
        Pagine pagine = Viaggio(QDate(2025, 1, 1), QDate(2025, 12, 31));
        const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5));
        Anteprima a(pagine, layout);
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        auto imposta = [&a](const QString& z) {
            if (z == u"intera")
                a.ImpostaZoom(Anteprima::Zoom::PaginaIntera);
            else if (z == u"larghezza")
                a.ImpostaZoom(Anteprima::Zoom::Larghezza);
            else
                a.ImpostaZoom(Anteprima::Zoom::Percento, z.toInt());
        };
        imposta(zoom);
        a.MostraPagina(da - 1);
        QScrollArea* area = a.findChild<QScrollArea*>(QStringLiteral("areaAnteprima"));
        QApplication::processEvents();
        if (inFondo) area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
        const QImage prima = a.Foglio()->Immagine();

        QWidget* fuoco = area;
        auto rotella = [&](int passi, Qt::KeyboardModifiers mod) {
            const QPointF dove(area->viewport()->rect().center());
            QWheelEvent e(dove, area->viewport()->mapToGlobal(dove), QPoint(), QPoint(0, 120 * passi),
                          Qt::NoButton, mod, Qt::NoScrollPhase, false);
            QApplication::sendEvent(area->viewport(), &e);
        };
        const QStringList parti = azione.split(u'+');
        const Qt::KeyboardModifiers mod =
            parti.size() > 1 ? (parti[0] == u"ctrlshift" ? Qt::ControlModifier | Qt::ShiftModifier
                                : parti[0] == u"ctrl"    ? Qt::ControlModifier
                                                         : Qt::ShiftModifier)
                             : Qt::NoModifier;
        const QString cosa = parti.last();
        if (cosa.startsWith(u"wheel"))
            rotella(cosa.endsWith(u"down") ? -1 : 1, mod);
        else if (cosa.startsWith(u"vai ")) {
            for (const QString& numero : cosa.split(QStringLiteral("vai "), Qt::SkipEmptyParts)) {
                a.txtPagina->setFocus();
                a.txtPagina->selectAll();
                QTest::keyClicks(a.txtPagina, numero.trimmed());
                QTest::keyClick(a.txtPagina, Qt::Key_Return);
            }
        } else if (cosa.startsWith(u"miniatura ")) {
            a.MostraMiniature(true);
            a.lstMiniature->setCurrentIndex(a.lstMiniature->model()->index(cosa.mid(10).toInt() - 1, 0));
        } else if (cosa.startsWith(u"cmd"))
            a.findChild<QPushButton*>(cosa)->click();
        else {
            const QMap<QString, Qt::Key> tasti{{"PgDown", Qt::Key_PageDown},
                                               {"PgUp", Qt::Key_PageUp},
                                               {"End", Qt::Key_End},
                                               {"Home", Qt::Key_Home},
                                               {"Right", Qt::Key_Right},
                                               {"Left", Qt::Key_Left},
                                               {"Down", Qt::Key_Down},
                                               {"Up", Qt::Key_Up},
                                               {"Space", Qt::Key_Space},
                                               {"Plus", Qt::Key_Plus},
                                               {"Minus", Qt::Key_Minus},
                                               {"Equal", Qt::Key_Equal},
                                               {"0", Qt::Key_0},
                                               {"P", Qt::Key_P},
                                               {"W", Qt::Key_W},
                                               {"F11", Qt::Key_F11},
                                               {"F9", Qt::Key_F9}};
            QVERIFY(tasti.contains(cosa));
            QTest::keyClick(fuoco, tasti[cosa], mod);
        }

        QVERIFY2(a.lblPagina->text().startsWith(QStringLiteral("Pagina %1 di 366 - ").arg(pagina)),
                 qPrintable(a.lblPagina->text()));
        QCOMPARE(a.Pagina(), pagina - 1);
        QStringList dopo;
        if (!a.isVisible()) dopo << (a.result() == QDialog::Accepted ? "stampa" : "chiusa");
        if (a.windowState() & Qt::WindowFullScreen) dopo << "schermo intero";
        if (a.Miniature()) dopo << "miniature";
        if (a.txtPagina->palette().color(QPalette::Text).red() > 150 &&
            a.txtPagina->toolTip().contains(QStringLiteral("non c'è")))
            dopo << "rosso";
        QCOMPARE(dopo.join(u','), finestra);
        const QString zoomOra = a.ZoomCorrente() == Anteprima::Zoom::PaginaIntera ? QStringLiteral("intera")
                                : a.ZoomCorrente() == Anteprima::Zoom::Larghezza
                                    ? QStringLiteral("larghezza")
                                    : QString::number(a.Percento());
        QCOMPARE(zoomOra, zoomDopo);
        QString abilitati;
        for (QPushButton* b : {a.cmdPrima, a.cmdPrecedente, a.cmdSuccessiva, a.cmdUltima})
            abilitati += b->isEnabled() ? u'1' : u'0';
        QCOMPARE(abilitati, bottoni);
        // Another page is another picture, not the label alone.
        if (pagina != da) QVERIFY(a.Foglio()->Immagine() != prima);
    }

    // The preview opens again with the size, zoom and page it had when it
    // closed; Escape closes it.
    void riaperturaComeEra() {
        Pagine pagine = Viaggio(QDate(2024, 1, 1), QDate(2024, 1, 9));
        const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5));
        Anteprima::Stato stato;
        {
            Anteprima a(pagine, layout, nullptr, &stato);
            a.show();
            QVERIFY(QTest::qWaitForWindowExposed(&a));
            QCOMPARE(a.Pagina(), 0);
            a.resize(800, 450);
            a.MostraPagina(4);
            a.ImpostaZoom(Anteprima::Zoom::Percento, 300);
            QTest::keyClick(a.findChild<QScrollArea*>(QStringLiteral("areaAnteprima")), Qt::Key_Escape);
            QVERIFY(!a.isVisible());
            QCOMPARE(a.result(), int(QDialog::Rejected));
        }
        Anteprima b(pagine, layout, nullptr, &stato);
        QCOMPARE(b.Pagina(), 4);
        QCOMPARE(b.ZoomCorrente(), Anteprima::Zoom::Percento);
        QCOMPARE(b.Percento(), 300);
        QCOMPARE(b.size(), QSize(800, 450));
    }

    // The label says the page's date and whether it is among the pages
    // chosen to print; the preview opens on the first of them, and the
    // title names the document.
    void etichetta_data() {
        QTest::addColumn<QDate>("inizio");
        QTest::addColumn<QDate>("fine");
        QTest::addColumn<int>("bianchi");
        QTest::addColumn<QList<int>>("scelte");
        QTest::addColumn<int>("mostra"); // 0: the page it opens on
        QTest::addColumn<QString>("etichetta");
        QTest::addColumn<QString>("miniatura");
        const QDate d8(2026, 12, 8), d12(2026, 12, 12);
        QTest::newRow("copertina") << d8 << d12 << 0 << QList<int>{} << 0 << "Pagina 1 di 6 - Copertina"
                                   << "Pagina 1 - Copertina";
        QTest::newRow("venerdì 11") << d8 << d12 << 0 << QList<int>{} << 5 << "Pagina 5 di 6 - Ven 11 Dic"
                                    << "Pagina 5 - Ven 11 Dic";
        QTest::newRow("29 febbraio") << QDate(2028, 2, 28) << QDate(2028, 3, 1) << 0 << QList<int>{} << 3
                                     << "Pagina 3 di 4 - Mar 29 Feb"
                                     << "Pagina 3 - Mar 29 Feb";
        QTest::newRow("scelte: si apre sulla prima")
            << d8 << d12 << 0 << QList<int>{4, 6} << 0 << "Pagina 4 di 6 - Gio 10 Dic (da stampare)"
            << "Pagina 4 - Gio 10 Dic, da stampare";
        QTest::newRow("scelte: una non scelta")
            << d8 << d12 << 0 << QList<int>{4, 6} << 5 << "Pagina 5 di 6 - Ven 11 Dic"
            << "Pagina 5 - Ven 11 Dic";
        QTest::newRow("in bianco") << d8 << d12 << 2 << QList<int>{} << 2 << "Pagina 2 di 3"
                                   << "Pagina 2";
    }
    void etichetta() {
        QFETCH(QDate, inizio);
        QFETCH(QDate, fine);
        QFETCH(int, bianchi);
        QFETCH(QList<int>, scelte);
        QFETCH(int, mostra);
        QFETCH(QString, etichetta);
        QFETCH(QString, miniatura);
        RichiestaStampa r;
        r.Destinazione = QStringLiteral("LAGO DI GARDA");
        r.Inizio = inizio;
        r.Fine = fine;
        r.FogliBianchi = bianchi;
        Pagine pagine(ValoriCorsa(r, 287));
        Anteprima a(pagine, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()),
                    nullptr, nullptr, {NomeDocumento(r.Destinazione), scelte});
        QCOMPARE(a.windowTitle(), QStringLiteral("Anteprima di stampa - LAGO_DI_GARDA_Vagolume"));
        if (mostra > 0) a.MostraPagina(mostra - 1);
        QCOMPARE(a.lblPagina->text(), etichetta);
        QCOMPARE(a.lstMiniature->model()->data(a.lstMiniature->model()->index(a.Pagina(), 0),
                                               Qt::AccessibleTextRole),
                 miniatura);
    }

    // The first opening fits the page as wide as it can while it is still
    // readable: the whole page, else the width (else half its size, which
    // no window this preview can be made into needs).
    void zoomIniziale_data() {
        QTest::addColumn<QSize>("dimensione");
        QTest::addColumn<bool>("miniature");
        QTest::addColumn<QString>("zoom");
        QTest::newRow("alta") << QSize(900, 1200) << false << "intera";
        QTest::newRow("bassa") << QSize(900, 400) << false << "larghezza";
        QTest::newRow("bassa, con le miniature") << QSize(700, 380) << true << "larghezza";
    }
    void zoomIniziale() {
        QFETCH(QSize, dimensione);
        QFETCH(bool, miniature);
        QFETCH(QString, zoom);
        Pagine pagine = Viaggio(QDate(2024, 1, 1), QDate(2024, 1, 9));
        Anteprima::Stato stato;
        stato.Dimensione = dimensione;
        stato.Miniature = miniature;
        Anteprima a(pagine, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()),
                    nullptr, &stato);
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        const QString ora = a.ZoomCorrente() == Anteprima::Zoom::PaginaIntera ? QStringLiteral("intera")
                            : a.ZoomCorrente() == Anteprima::Zoom::Larghezza  ? QStringLiteral("larghezza")
                                                                              : QString::number(a.Percento());
        QVERIFY2(a.Percento() >= 50, qPrintable(QString::number(a.Percento())));
        QCOMPARE(ora, zoom);
    }

    // What the eye needs: the page area shows a focus frame when it has the
    // keyboard, and the fit that is on ("Pagina intera") stands out plainly
    // from the one that is off ("Larghezza"), under a light and a dark palette.
    void aspetto_data() {
        QTest::addColumn<QString>("cosa");
        QTest::addColumn<bool>("scura");
        QTest::newRow("anello sul foglio") << "anello" << false;
        QTest::newRow("pulsante premuto, chiara") << "premuto" << false;
        QTest::newRow("pulsante premuto, scura") << "premuto" << true;
    }
    void aspetto() {
        QFETCH(QString, cosa);
        QFETCH(bool, scura);
        const QPalette prima = QApplication::palette();
        if (scura) {
            QPalette p(QColor(0x35, 0x35, 0x35));
            p.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2B));
            for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                p.setColor(r, QColor(0xEE, 0xEE, 0xEE));
            QApplication::setPalette(p);
        }
        Pagine pagine = Viaggio(QDate(2024, 1, 1), QDate(2024, 1, 3));
        Anteprima a(pagine, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        const auto ripristina = qScopeGuard([&prima] { QApplication::setPalette(prima); });
        a.show();
        QVERIFY(QTest::qWaitForWindowActive(&a));
        a.ImpostaZoom(Anteprima::Zoom::PaginaIntera);
        QApplication::processEvents();
        if (cosa == u"anello") {
            auto* area = a.findChild<QScrollArea*>(QStringLiteral("areaAnteprima"));
            QVERIFY(area->hasFocus());
            const QList<QFocusFrame*> anelli = a.findChildren<QFocusFrame*>();
            QVERIFY(!anelli.isEmpty());
            QVERIFY(anelli.first()->isVisible());
            QVERIFY(anelli.first()->geometry().contains(area->geometry()));
            return;
        }
        // The colour most of each button is painted in.
        auto sfondo = [](QWidget* w) {
            const QImage i = w->grab().toImage();
            QHash<QRgb, int> conta;
            for (int y = 3; y < i.height() - 3; ++y)
                for (int x = 3; x < i.width() - 3; ++x)
                    ++conta[i.pixel(x, y)];
            return QColor(std::max_element(conta.begin(), conta.end()).key());
        };
        auto luce = [](QColor c) {
            auto l = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * l(c.redF()) + 0.7152 * l(c.greenF()) + 0.0722 * l(c.blueF());
        };
        const double su = luce(sfondo(a.cmdLarghezza)), giu = luce(sfondo(a.cmdIntera));
        const double contrasto = (std::max(su, giu) + 0.05) / (std::min(su, giu) + 0.05);
        QVERIFY2(contrasto >= 2.0, qPrintable(QStringLiteral("pressed and not: %1:1").arg(contrasto)));
    }

    // What a screen reader says of the preview's controls: names, not the
    // arrows drawn on the buttons.
    void nomiAccessibili_data() {
        QTest::addColumn<QString>("controllo");
        QTest::addColumn<QString>("nome");
        QTest::newRow("«") << "cmdPrima"
                           << "Prima pagina";
        QTest::newRow("‹") << "cmdPrecedente"
                           << "Pagina precedente";
        QTest::newRow("›") << "cmdSuccessiva"
                           << "Pagina successiva";
        QTest::newRow("»") << "cmdUltima"
                           << "Ultima pagina";
        QTest::newRow("Larghezza") << "cmdLarghezza"
                                   << "Adatta alla larghezza";
        QTest::newRow("Pagina intera") << "cmdIntera"
                                       << "Pagina intera";
        QTest::newRow("S&tampa") << "cmdStampa"
                                 << "Stampa";
        QTest::newRow("&Chiudi") << "cmdChiudi"
                                 << "Chiudi";
        // The page and the zoom are read as they stand.
        QTest::newRow("pagina mostrata") << "lblPagina"
                                         << "Pagina 1 di 2 - Copertina";
        QTest::newRow("vai alla pagina") << "txtPagina"
                                         << "Vai alla pagina";
        QTest::newRow("ingrandimento") << "lblZoom"
                                       << "100 %";
        QTest::newRow("area") << "areaAnteprima"
                              << "Anteprima della pagina";
        QTest::newRow("foglio") << "foglioAnteprima"
                                << "Foglio";
    }
    void nomiAccessibili() {
        QFETCH(QString, controllo);
        QFETCH(QString, nome);
        Pagine pagine = Viaggio(QDate(2025, 1, 1), QDate(2025, 1, 1));
        Anteprima a(pagine, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        a.ImpostaZoom(Anteprima::Zoom::Percento, 100);
        QWidget* w = a.findChild<QWidget*>(controllo);
        QVERIFY(w);
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        QCOMPARE(i->text(QAccessible::Name), nome);
        if (qobject_cast<QPushButton*>(w)) QVERIFY(!i->text(QAccessible::Description).isEmpty());
    }
};

QTEST_MAIN(TestAnteprima)
#include "test_anteprima.moc"
