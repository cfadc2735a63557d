// The cover page with the fitting of its destination, and the top band of a
// logbook sheet: page header, overnight stay, odometer, day and GPS block.

#include "print/StampaTesto.h"
#include "sheet/Copertina.h"
#include "sheet/Pagine.h"
#include "sheet/Sezioni.h"
#include "support/CorsaFinta.h"
#include "support/RecordingSurface.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace vagolume;

namespace {

constexpr float kTolleranza = 0.002f;
// Ink of a 5-dot rule either side of its coordinate: labels beside a tick box
// or a rule fit up to there.
const float kMezzoTratto = MezzoTratto(5);

bool Circa(float a, float b) {
    return std::fabs(a - b) <= kTolleranza;
}

ContestoStampa Contesto(bool compilato = true, int pagina = 1,
                        const QString& inizio = QStringLiteral("01032024")) {
    ContestoStampa c;
    c.ImpostaColonne();
    c.ImpostaGeometria(287);
    c.DatiInseriti = compilato;
    c.DataInizio = QDate::fromString(inizio, QStringLiteral("ddMMyyyy"));
    c.DataFine = c.DataInizio.addDays(4);
    c.NumeroPagine = compilato ? 5 : 3;
    c.TestoPeriodo = compilato ? QStringLiteral("01/03 - 05/03/2024") : QStringLiteral("in bianco");
    c.TestoDestinazione = compilato ? QStringLiteral("roma") : QStringLiteral("in bianco");
    c.Copyright = QStringLiteral("Vagolume 1.0.0 - prova");
    c.Logo1 = {QStringLiteral("imgLogo1"), QImage(32, 32, QImage::Format_RGB32)};
    c.Logo2 = {QStringLiteral("imgLogo2"), QImage(48, 48, QImage::Format_RGB32)};
    c.PaginaCorrente = pagina;
    return c;
}

// The top band of sheet c.PaginaCorrente as the print run draws it (what the
// sheet draws above the visited places), after a previous page whose drawing
// state is deliberately different from anything the sheet sets. c takes the
// page's values.
void FasciaAlta(RecordingSurface& s, ContestoStampa& c) {
    SettaFontNamePrinter(s);
    s.SetLineWidth(1);
    s.SetFillStyle(FillStyle::Transparent);
    s.SetFillColour(0x123456);
    Pagine pagine(c);
    SuperficieSorvegliata sorvegliata(s);
    QVERIFY(pagine.Disegna(sorvegliata, c.PaginaCorrente));
    c = pagine.Valori();
    s.ops.removeIf([](const Op& op) {
        const bool disegno = op.kind == Op::Text || op.kind == Op::Line || op.kind == Op::Box;
        return disegno && std::min(op.y1, op.y2) >= 42;
    });
}

// A surface that counts the text it measures.
class SuperficieContata : public RecordingSurface {
public:
    int misure = 0;
    qsizetype caratteri = 0;
    float MeasureTextWidth(const QString& text) override {
        ++misure;
        caratteri += text.size();
        return RecordingSurface::MeasureTextWidth(text);
    }
};

// The n-th (from 0) text op with this text.
const Op* Testo(const RecordingSurface& s, const QString& testo, int n = 0, int pagina = -1) {
    for (const Op& op : s.ops)
        if (op.kind == Op::Text && op.text == testo && (pagina < 0 || op.page == pagina) && n-- == 0)
            return &op;
    return nullptr;
}

int Indice(const RecordingSurface& s, Op::Kind kind, float x1, float y1, float x2, float y2) {
    for (int i = 0; i < s.ops.size(); ++i) {
        const Op& op = s.ops[i];
        if (op.kind == kind && Circa(op.x1, x1) && Circa(op.y1, y1) && Circa(op.x2, x2) && Circa(op.y2, y2))
            return i;
    }
    return -1;
}

int IndiceTesto(const RecordingSurface& s, const QString& testo) {
    for (int i = 0; i < s.ops.size(); ++i)
        if (s.ops[i].kind == Op::Text && s.ops[i].text == testo) return i;
    return -1;
}

// Checks a text against the arguments it was printed with: its bottom on Y,
// its place by the alignment, fitted into its space, bold/italic, size.
void VerificaTesto(const Op* op, float Y, float da, float a, bool grassetto, bool corsivo, float size,
                   int allineato) {
    QVERIFY(op != nullptr);
    QVERIFY2(Circa(op->y2, Y),
             qPrintable(QStringLiteral("%1: fondo %2, atteso %3").arg(op->text).arg(op->y2).arg(Y)));
    const float W = op->x2 - op->x1;
    QVERIFY2(W < a - da - 0.3f + kTolleranza,
             qPrintable(op->text + QStringLiteral(" non entra nel suo spazio")));
    switch (allineato) {
    case Sinistra:
        QVERIFY2(Circa(op->x1, da),
                 qPrintable(QStringLiteral("%1: x %2, atteso %3").arg(op->text).arg(op->x1).arg(da)));
        break;
    case Centrato:
        QVERIFY2(Circa((op->x1 + op->x2) / 2, (da + a) / 2 - 1),
                 qPrintable(QStringLiteral("%1: centro %2").arg(op->text).arg((op->x1 + op->x2) / 2)));
        break;
    default:
        QVERIFY2(Circa(op->x2, a - 3), qPrintable(QStringLiteral("%1: fine %2").arg(op->text).arg(op->x2)));
    }
    QCOMPARE(op->bold, grassetto);
    QCOMPARE(op->italic, corsivo);
    QVERIFY(op->fontSize <= size + kTolleranza);
    QVERIFY(op->fontSize > size / 2); // shrunk to fit, never to nothing
}

} // namespace

class TestSezioniAlte : public QObject {
    Q_OBJECT
private slots:
    // ---- Painter's order ---------------------------------------------------
    // No filled box is painted over the middle of a text drawn before it, and
    // the bands that cover part of an earlier box come after it.
    void nessunTestoCoperto_data() {
        QTest::addColumn<bool>("compilato");
        QTest::addColumn<int>("pagina");
        QTest::newRow("compilato, primo foglio") << true << 1;
        QTest::newRow("compilato, secondo foglio") << true << 2;
        QTest::newRow("in bianco") << false << 1;
    }
    void nessunTestoCoperto() {
        QFETCH(bool, compilato);
        QFETCH(int, pagina);
        RecordingSurface s;
        ContestoStampa c = Contesto(compilato, pagina);
        FasciaAlta(s, c);
        for (int i = 0; i < s.ops.size(); ++i) {
            const Op& t = s.ops[i];
            if (t.kind != Op::Text) continue;
            const float cx = (t.x1 + t.x2) / 2, cy = t.y2 - (t.y2 - t.y1) / 3;
            for (int j = i + 1; j < s.ops.size(); ++j) {
                const Op& b = s.ops[j];
                if (b.kind == Op::Box && b.fillStyle == FillStyle::Solid && cx > b.x1 && cx < b.x2 &&
                    cy > b.y1 && cy < b.y2)
                    QFAIL(qPrintable(QStringLiteral("\"%1\" coperto dal riquadro %2,%3-%4,%5")
                                         .arg(t.text)
                                         .arg(b.x1)
                                         .arg(b.y1)
                                         .arg(b.x2)
                                         .arg(b.y2)));
            }
        }
    }
    void ordineDelleBande_data() {
        QTest::addColumn<QList<float>>("prima");
        QTest::addColumn<QList<float>>("dopo");
        QTest::newRow("riquadri dell'intestazione, poi banda del pernottamento")
            << QList<float>{10, 14, 100, 41} << QList<float>{10, 14, 100, 20};
        QTest::newRow("colonna tariffa, poi sua banda arancione")
            << QList<float>{100, 22, 120, 41} << QList<float>{100, 19, 120, 25};
        QTest::newRow("fascia alta, poi banda del contachilometri")
            << QList<float>{10, 14, 195, 41} << QList<float>{140, 14, 165, 19};
        QTest::newRow("linea GPS/giorno, poi cella GPS gialla")
            << QList<float>{185, 23, 185, 41} << QList<float>{165, 23, 185, 28};
    }
    void ordineDelleBande() {
        QFETCH(QList<float>, prima);
        QFETCH(QList<float>, dopo);
        RecordingSurface s;
        ContestoStampa c = Contesto();
        FasciaAlta(s, c);
        const int a = Indice(s, Op::Box, prima[0], prima[1], prima[2], prima[3]);
        const int b = Indice(s, Op::Box, dopo[0], dopo[1], dopo[2], dopo[3]);
        QVERIFY(a >= 0 && b >= 0);
        QVERIFY(a < b);
    }
    void testiSopraLeLoroBande() {
        RecordingSurface s;
        ContestoStampa c = Contesto();
        FasciaAlta(s, c);
        const QList<std::pair<QString, QList<float>>> casi = {
            {"Tariffa:", {100, 19, 120, 25}},     {"Struttura ricettiva", {100, 14, 140, 19}},
            {"Pernottamento", {10, 14, 100, 20}}, {"Contachilometri", {140, 14, 165, 19}},
            {"Ven", {165, 14, 195, 23}},          {"Coordinate GPS", {165, 23, 185, 28}},
            {"ROMA", {28, 5, 195, 13}},           {"01/03 - 05/03/2024", {28, 5, 195, 13}},
        };
        for (const auto& [testo, r] : casi) {
            const int banda = Indice(s, Op::Box, r[0], r[1], r[2], r[3]);
            QVERIFY2(banda >= 0 && banda < IndiceTesto(s, testo), qPrintable(testo));
        }
        // The tick box of a kind of place stands at the end of its label line.
        const int etichetta = IndiceTesto(s, QStringLiteral("Campeggio:"));
        QVERIFY(etichetta >= 0 && etichetta < Indice(s, Op::Box, 135, 20.3f, 138, 23.3f));
    }

    // No label runs into a tick box: the text's letters (the lower part of its
    // line, above the baseline) stay clear of every small square of the band.
    void caselleLibere_data() {
        QTest::addColumn<bool>("compilato");
        QTest::addColumn<int>("pagina");
        QTest::newRow("compilato") << true << 1;
        QTest::newRow("in bianco") << false << 2;
    }
    void caselleLibere() {
        QFETCH(bool, compilato);
        QFETCH(int, pagina);
        RecordingSurface s;
        ContestoStampa c = Contesto(compilato, pagina);
        FasciaAlta(s, c);
        int caselle = 0;
        for (const Op& b : s.OfKind(Op::Box)) {
            if (b.x2 - b.x1 > 3.1f || b.y2 - b.y1 > 3.1f || b.x2 - b.x1 < 1) continue;
            ++caselle;
            for (const Op& t : s.Texts()) {
                const float alto = t.y2 - 0.7f * (t.y2 - t.y1);
                const bool sovrapposti = t.x1 < b.x2 && t.x2 > b.x1 + 0.1f && alto < b.y2 && t.y2 > b.y1;
                QVERIFY2(
                    !sovrapposti,
                    qPrintable(QStringLiteral("\"%1\" sulla casella %2,%3").arg(t.text).arg(b.x1).arg(b.y1)));
            }
        }
        QCOMPARE(caselle, 6 + 1 + 5);
        // Nor does any text cross a divider of the services row.
        int divisori = 0;
        for (const Op& l : s.OfKind(Op::Line)) {
            if (!(Circa(l.y1, 34) && Circa(l.y2, 41) && Circa(l.x1, l.x2))) continue;
            ++divisori;
            for (const Op& t : s.Texts())
                QVERIFY2(!(t.x1 < l.x1 && t.x2 > l.x1 && t.y2 > 34 && t.y1 < 41), qPrintable(t.text));
        }
        QCOMPARE(divisori, 6);
    }

    // ---- Odometer: first sheet against the others --------------------------
    void contachilometri_data() {
        QTest::addColumn<bool>("compilato");
        QTest::addColumn<int>("pagina");
        QTest::addColumn<QString>("etichetta");
        QTest::addColumn<bool>("zero");
        QTest::newRow("primo foglio") << true << 1 << "Partenza:" << true;
        QTest::newRow("primo foglio in bianco") << false << 1 << "Partenza:" << true;
        QTest::newRow("secondo foglio") << true << 2 << "Ieri:" << false;
        QTest::newRow("ultimo foglio in bianco") << false << 3 << "Ieri:" << false;
    }
    void contachilometri() {
        QFETCH(bool, compilato);
        QFETCH(int, pagina);
        QFETCH(QString, etichetta);
        QFETCH(bool, zero);
        RecordingSurface s;
        ContestoStampa c = Contesto(compilato, pagina);
        SettaFontNamePrinter(s);
        StampaContachilometri(s, c);
        if (etichetta == "Ieri:") {
            VerificaTesto(Testo(s, etichetta), 28.0f, 140 + kMezzoTratto + 3, 150, false, false, 5.6f,
                          Destra);
        } else {
            // Too wide for the room right of the column's rule: shrunk, still
            // ending 3 mm before 150, the middle of its line where the 5.6 pt
            // line has it.
            const Op* p = Testo(s, etichetta);
            QVERIFY(p != nullptr);
            QVERIFY(p->fontSize < 5.6f);
            QVERIFY(p->x1 >= 140 + kMezzoTratto + 0.3f);
            QVERIFY(Circa(p->x2, 147));
            s.SetFontBold(false);
            s.SetFontSize(5.6f);
            QVERIFY(Circa((p->y1 + p->y2) / 2, 28 - s.MeasureTextHeight(etichetta) / 2));
        }
        QCOMPARE(Testo(s, etichetta == "Ieri:" ? "Partenza:" : "Ieri:") == nullptr, true);
        QCOMPARE(Testo(s, "0") != nullptr, zero);
        QStringList etichette;
        for (const Op& op : s.Texts())
            if (op.text.endsWith(u':')) etichette << op.text + (op.bold ? "*" : "");
        QCOMPARE(etichette, (QStringList{"Oggi:", etichetta, "Oggi:", "Preced.:", "Totale:*"}));
    }

    // ---- Date cells: filled against blank -----------------------------------
    void celleDellaData() {
        RecordingSurface compilato, bianco;
        ContestoStampa c = Contesto(true), b = Contesto(false);
        FasciaAlta(compilato, c);
        FasciaAlta(bianco, b);
        const QStringList didascalie = {"settimana", "mese", "Mese"};
        for (const QString& t : didascalie) {
            QVERIFY2(Testo(compilato, t) == nullptr, qPrintable(t));
            QVERIFY2(Testo(bianco, t) != nullptr, qPrintable(t));
        }
        for (const QString& t :
             {QStringLiteral("Ven"), QStringLiteral("01"), QStringLiteral("Mar"), QStringLiteral("ROMA"),
              QStringLiteral("in bianco"), QStringLiteral("IN BIANCO")})
            QVERIFY2(Testo(bianco, t) == nullptr, qPrintable(t));
        VerificaTesto(Testo(bianco, "Giorno", 1), 17, 166, 175, false, false, 6, Centrato);
        VerificaTesto(Testo(bianco, "settimana"), 19, 166, 175, false, false, 6, Centrato);
        VerificaTesto(Testo(bianco, "Giorno", 2), 17, 176, 185, false, false, 6, Centrato);
        VerificaTesto(Testo(bianco, "mese"), 19, 176, 185, false, false, 6, Centrato);
        VerificaTesto(Testo(bianco, "Mese"), 18, 185, 195, false, false, 6, Centrato);
        // The counter is there in both.
        VerificaTesto(Testo(bianco, "1"), 34.5f, 185, 195, true, false, 13, Centrato);
        VerificaTesto(Testo(bianco, "3"), 40, 188, 197, true, false, 13, Destra);
        QVERIFY(Circa(Testo(bianco, "Giorno", 0)->y2, 27.3f)); // the counter's heading comes first
    }

    // The title bar carries the run's destination, upper-cased.
    void destinazioneDellaCorsa() {
        RecordingSurface s;
        ContestoStampa c = Contesto();
        c.TestoDestinazione = QStringLiteral("val d'aosta è bella");
        SettaFontNamePrinter(s);
        StampaGiornoGps(s, c);
        QVERIFY(Testo(s, "VAL D'AOSTA È BELLA") != nullptr);
    }

    // ---- Weekday and month names: every name of both tables ---------------------
    void nomi_data() {
        QTest::addColumn<QString>("inizio");
        QTest::addColumn<int>("pagina");
        QTest::addColumn<QString>("data");
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("settimana");
        QTest::addColumn<QString>("giorno");
        QTest::addColumn<QString>("mese");
        // One row a month; together they name each weekday, from index 0
        // (Saturday) to 6 (Friday).
        const struct {
            const char *nome, *inizio;
            int pagina;
            const char* data;
            int indice;
            const char *settimana, *giorno, *mese;
        } righe[] = {
            {"gennaio, a cavallo dell'anno", "30122023", 3, "01012024", 2, "Lun", "01", "Gen"},
            {"29 febbraio, terza pagina", "27022024", 3, "29022024", 5, "Gio", "29", "Feb"},
            {"marzo, sabato indice 0", "02032024", 1, "02032024", 0, "Sab", "02", "Mar"},
            {"aprile, venerdì indice 6", "05042024", 1, "05042024", 6, "Ven", "05", "Apr"},
            {"maggio", "12052024", 1, "12052024", 1, "Dom", "12", "Mag"},
            {"giugno", "18062024", 1, "18062024", 3, "Mar", "18", "Giu"},
            {"luglio", "17072024", 1, "17072024", 4, "Mer", "17", "Lug"},
            {"agosto", "22082024", 1, "22082024", 5, "Gio", "22", "Ago"},
            {"settembre", "28092024", 1, "28092024", 0, "Sab", "28", "Set"},
            {"ottobre", "11102024", 1, "11102024", 6, "Ven", "11", "Ott"},
            {"novembre", "04112024", 1, "04112024", 2, "Lun", "04", "Nov"},
            {"dicembre", "31122024", 1, "31122024", 3, "Mar", "31", "Dic"},
        };
        for (const auto& r : righe)
            QTest::newRow(r.nome) << r.inizio << r.pagina << r.data << r.indice << r.settimana << r.giorno
                                  << r.mese;
    }
    void nomi() {
        QFETCH(QString, inizio);
        QFETCH(int, pagina);
        QFETCH(QString, data);
        QFETCH(int, indice);
        QFETCH(QString, settimana);
        QFETCH(QString, giorno);
        QFETCH(QString, mese);
        RecordingSurface s;
        ContestoStampa c = Contesto(true, pagina, inizio);
        FasciaAlta(s, c);
        QCOMPARE(c.DataPagina.toString(QStringLiteral("ddMMyyyy")), data);
        QCOMPARE(int(c.IndiceSettimana), indice);
        QCOMPARE(c.Interlinea, 5.5f);
        VerificaTesto(Testo(s, settimana), 22.7f, 167, 175, true, false, 20, Centrato);
        VerificaTesto(Testo(s, giorno), 22.7f, 177, 185, true, false, 20, Centrato);
        const Op* m = nullptr;
        for (const Op& op : s.ops) // not Texts(): the pointer must outlive the loop
            if (op.kind == Op::Text && op.text == mese && Circa(op.x1 + op.x2, 2 * 190.0f)) m = &op;
        QVERIFY2(m, qPrintable(QStringLiteral("no month name %1 in its cell").arg(mese)));
        VerificaTesto(m, 22.7f, 187, 195, true, false, 20, Centrato);
    }

    // ---- Trip day counter ---------------------------------------------------
    // The counter is the sheet's page number, whatever was drawn before it.
    void contatoreDeiGiorni() {
        RecordingSurface s;
        ContestoStampa c = Contesto(true, 3);
        SettaFontNamePrinter(s);
        c.GiornoViaggio = 7; // left over from other drawing: not counted on
        StampaGiornoGps(s, c);
        QCOMPARE(int(c.GiornoViaggio), 3);
        QVERIFY(Testo(s, "3") != nullptr);
        QVERIFY(Testo(s, "8") == nullptr);

        // A page number the counter cannot hold is left out and said, not wrapped.
        RecordingSurface t;
        SettaFontNamePrinter(t);
        c.PaginaCorrente = 32768;
        QVERIFY(!StampaGiornoGps(t, c).isEmpty());
        QVERIFY(Testo(t, "-32768") == nullptr);
        QVERIFY(Testo(t, "0") == nullptr);
        QVERIFY(Testo(t, "Coordinate GPS") != nullptr); // the rest of the block is still drawn
    }

    // ---- Cover page ---------------------------------------------------------
    void copertinaCompilata() {
        RecordingSurface s;
        ContestoStampa c = Contesto(true);
        SettaFontNamePrinter(s);
        s.SetLineWidth(8);
        s.SetFillStyle(FillStyle::Transparent);
        StampaCopertina(s, c);
        const QList<Op> figure = s.OfKind(Op::Picture);
        QCOMPARE(figure.size(), 2);
        QCOMPARE(figure[0].text, QStringLiteral("imgLogo1"));
        QVERIFY(Indice(s, Op::Picture, 22, 20, 37, 35) >= 0);
        QVERIFY(Indice(s, Op::Picture, 170, 19, 188, 37) >= 0);
        VerificaTesto(Testo(s, "ROMA"), 277.0f / 2, 25, 180, true, false, 48, Centrato);
        VerificaTesto(Testo(s, "01/03 - 05/03/2024"), 257, 16, 195, true, false, 24, Centrato);
        VerificaTesto(Testo(s, "Vagolume"), 222, 15, 195, true, false, 36, Centrato);
        VerificaTesto(Testo(s, "Vagolume 1.0.0 - prova"), 272, 15, 195, false, true, 8, Centrato);
        QVERIFY(Testo(s, "Meta del viaggio") == nullptr);
        QVERIFY(s.OfKind(Op::Line).isEmpty());
        // The cover draws at the page frame's width, with transparent fill.
        QCOMPARE(s.LineWidth(), int16_t(8));
        QCOMPARE(s.CurrentFillStyle(), FillStyle::Transparent);
    }

    void copertinaInBianco() {
        RecordingSurface s;
        ContestoStampa c = Contesto(false);
        SettaFontNamePrinter(s);
        s.SetLineWidth(8);
        s.SetFillStyle(FillStyle::Transparent);
        StampaCopertina(s, c);
        const int riga1 = Indice(s, Op::Line, 35, 138.5f, 175, 138.5f);
        const int riga2 = Indice(s, Op::Line, 35, 257, 175, 257);
        QVERIFY(riga1 >= 0 && riga2 >= 0);
        QCOMPARE(s.ops[riga1].lineWidth, int16_t(8));
        VerificaTesto(Testo(s, "Meta del viaggio"), 141.5f, 15, 195, false, true, 6, Centrato);
        VerificaTesto(Testo(s, "Periodo"), 260, 15, 195, false, true, 6, Centrato);
        QVERIFY(riga1 < IndiceTesto(s, "Meta del viaggio"));
        QVERIFY(IndiceTesto(s, "Meta del viaggio") < riga2);
        QVERIFY(Testo(s, "IN BIANCO") == nullptr);
        QVERIFY(Testo(s, "in bianco") == nullptr);
        VerificaTesto(Testo(s, "Vagolume"), 222, 15, 195, true, false, 36, Centrato);
        QVERIFY(s.OfKind(Op::Picture).size() == 2);
    }

    // A destination too long to place is left out; the rest of the cover is
    // still printed and the failure is passed on.
    void copertinaDestinazioneImpossibile() {
        RecordingSurface s;
        ContestoStampa c = Contesto(true);
        QStringList parole;
        for (int i = 0; i < 25; ++i)
            parole << QStringLiteral("MMMMMMMMMM");
        c.TestoDestinazione = parole.join(u' ');
        SettaFontNamePrinter(s);
        QVERIFY(StampaCopertina(s, c).contains(QStringLiteral("20 righe")));
        QVERIFY(Testo(s, "MMMMMMMMMM") == nullptr);
        QVERIFY(Testo(s, "01/03 - 05/03/2024") != nullptr);
        QVERIFY(Testo(s, "Vagolume") != nullptr);
        QVERIFY(Testo(s, "Vagolume 1.0.0 - prova") != nullptr);
    }

    // ---- The destination on the cover: cut into lines ---------------------
    void localitaUnaParola() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        StampaLocalita(s, QStringLiteral("ROMA"), 48, 277);
        const auto testi = s.Texts();
        QCOMPARE(testi.size(), 1);
        QVERIFY(qAbs(testi[0].y2 - 138.5f) < 1e-3);
        QCOMPARE(testi[0].fontSize, 48.0f);
        const float W = testi[0].x2 - testi[0].x1;
        QVERIFY(qAbs(testi[0].x1 - (102.5f - W / 2 - 1)) < 1e-3);
    }

    void localitaDueRighe() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        StampaLocalita(s, QStringLiteral("CASTELNUOVO BERARDENGA"), 48, 277);
        const auto testi = s.Texts();
        QCOMPARE(testi.size(), 2);
        QCOMPARE(testi[0].text, QStringLiteral("CASTELNUOVO"));
        QCOMPARE(testi[1].text, QStringLiteral("BERARDENGA"));
        QVERIFY(qAbs(testi[1].y2 - testi[0].y2 - 26.4f) < 1e-3);
        for (const Op& t : testi)
            QVERIFY(t.x2 - t.x1 < 160);
    }

    void localitaBlankMultipli() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        const QStringList righe = RigheLocalita(s, QStringLiteral("CASTELNUOVO    BERARDENGA"), 48).value();
        QCOMPARE(righe.size(), 2);
        QCOMPARE(righe[0], QStringLiteral("CASTELNUOVO    "));
        QCOMPARE(righe[1], QStringLiteral("BERARDENGA"));
    }

    void localitaSoloBlank() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        QCOMPARE(RigheLocalita(s, QStringLiteral("   "), 48).value().size(), 1);
        s.ops.clear();
        StampaLocalita(s, QStringLiteral("   "), 48, 277);
        QVERIFY(s.Texts().isEmpty());
    }

    // A single word wider than 160 mm gets a line of its own, shrunk to fit.
    void localitaParolaTroppoLunga() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        StampaLocalita(s, QStringLiteral("LLANFAIRPWLLGWYNGYLLGOGERYCHWYRNDROBWLL SUD"), 48, 277);
        const auto testi = s.Texts();
        QCOMPARE(testi.size(), 2);
        QVERIFY(testi[0].fontSize < 48);
        QVERIFY(testi[0].x2 - testi[0].x1 < 155);
        QCOMPARE(testi[1].text, QStringLiteral("SUD"));
    }

    // Twenty lines are printed; a destination that needs a 21st is not
    // printed at all.
    void localitaVentiRighe() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        QStringList parole;
        for (int i = 0; i < 20; ++i)
            parole << QStringLiteral("MMMMMMMMMM");
        QVERIFY(StampaLocalita(s, parole.join(u' '), 48, 277));
        QCOMPARE(s.Texts().size(), 20);
        s.ops.clear();
        parole << QStringLiteral("MMMMMMMMMM");
        QVERIFY(!StampaLocalita(s, parole.join(u' '), 48, 277));
        QVERIFY(s.Texts().isEmpty());
    }

    // The fitting of a destination measures each word once and each line a
    // few times, and stops at the first line past what the cover can hold:
    // however long the destination, the cover costs about what a short one
    // does.
    void copertinaMisureLimitate_data() {
        QTest::addColumn<QString>("destinazione");
        QTest::addColumn<bool>("stampata");
        QTest::addColumn<int>("misure");
        QTest::addColumn<int>("caratteri");
        auto parole = [](const QString& parola, int n) { return QStringList(n, parola).join(u' '); };
        const QString M9 = QString(9, u'M');
        QTest::newRow("una parola") << "ROMA" << true << 20 << 200;
        QTest::newRow("tre righe, rimpicciolita")
            << "LAGO DI COMO BELLAGIO VARENNA E MENAGGIO" << true << 100 << 1500;
        QTest::newRow("sei parole larghe")
            << QStringList{M9, M9, M9, M9, M9, M9 + u'M'}.join(u' ') << true << 100 << 2000;
        QTest::newRow("400 parole: 20 righe non bastano") << parole("ROMA", 400) << false << 80 << 1500;
        QTest::newRow("6000 caratteri") << parole("VERONA", 857) << false << 80 << 1500;
        QTest::newRow("65000 caratteri") << parole("VERONA", 9286) << false << 80 << 1500;
    }
    void copertinaMisureLimitate() {
        QFETCH(QString, destinazione);
        QFETCH(bool, stampata);
        QFETCH(int, misure);
        QFETCH(int, caratteri);
        SuperficieContata s;
        SettaFontNamePrinter(s);
        ContestoStampa c = Contesto(true);
        c.TestoDestinazione = destinazione;
        QCOMPARE(StampaCopertina(s, c).isEmpty(), stampata);
        QVERIFY2(s.misure <= misure, qPrintable(QString::number(s.misure)));
        QVERIFY2(s.caratteri <= caratteri, qPrintable(QString::number(s.caratteri)));
    }

    // ---- A whole run ------------------------------------------------------------
    void giroCompleto() {
        QTemporaryDir cartella;
        RecordingSurface s;
        const EsitoCorsa esito = CorsaFinta(s, cartella.path()).Esegui();
        QCOMPARE(esito.Cosa, EsitoCorsa::Stampato);
        QCOMPARE(s.pages, 6);
        QVERIFY(Testo(s, "ROMA", 0, 0) != nullptr); // cover
        const char* giorni[][3] = {{"Ven", "01", "Mar"},
                                   {"Sab", "02", "Mar"},
                                   {"Dom", "03", "Mar"},
                                   {"Lun", "04", "Mar"},
                                   {"Mar", "05", "Mar"}};
        for (int p = 1; p <= 5; ++p) {
            // The three date cells, left to right.
            QStringList celle;
            for (const Op& op : s.Texts(p))
                if (Circa(op.y2, 22.7f) && op.x1 >= 165 && op.x2 <= 195) celle << op.text;
            QCOMPARE(celle, (QStringList{giorni[p - 1][0], giorni[p - 1][1], giorni[p - 1][2]}));
            const Op* nome = Testo(s, "ROMA", 0, p);
            QVERIFY(nome && Circa(nome->y2, 13.7f) && nome->x1 > 30 && nome->x2 < 120);
            const Op* periodo = Testo(s, "01/03 - 05/03/2024", 0, p);
            QVERIFY(periodo && Circa(periodo->y2, 12.5f) && periodo->x1 > 156);
            const Op* contatore = Testo(s, QString::number(p), 0, p);
            QVERIFY(contatore && Circa(contatore->y2, 34.5f));
            const Op* di = Testo(s, "di:", 0, p);
            const Op* totale = nullptr;
            for (const Op& op : s.ops) // not Texts(p): the pointer must outlive the loop
                if (op.kind == Op::Text && op.page == p && op.text == "5" && Circa(op.y2, 40)) totale = &op;
            QVERIFY(di && totale && totale->x1 > di->x2);
            QVERIFY((p == 1) == (Testo(s, "Partenza:", 0, p) != nullptr));
        }
    }

    void giroInBianco() {
        QTemporaryDir cartella;
        RecordingSurface s;
        CorsaFinta corsa(s, cartella.path());
        corsa.InBianco(3);
        QCOMPARE(corsa.Esegui().Cosa, EsitoCorsa::Stampato);
        QCOMPARE(s.pages, 4);
        QVERIFY(Testo(s, "Meta del viaggio", 0, 0) != nullptr);
        QVERIFY(Testo(s, "ROMA") == nullptr);
        QVERIFY(Testo(s, "IN BIANCO") == nullptr);
        for (int p = 1; p <= 3; ++p) {
            QVERIFY(Testo(s, "settimana", 0, p) != nullptr);
            QVERIFY(Testo(s, QString::number(p), 0, p) != nullptr);
            const Op* totale = Testo(s, "3", p == 3 ? 1 : 0, p);
            QVERIFY(totale && Circa(totale->y2, 40));
        }
    }
};

QTEST_MAIN(TestSezioniAlte)
#include "test_sezioni_alte.moc"
