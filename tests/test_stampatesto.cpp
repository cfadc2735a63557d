// The text primitive: fitting, alignment, the line it stands on, and the
// typeface.

#include "print/StampaTesto.h"
#include "support/RecordingSurface.h"

#include <QTest>

using namespace vagolume;

namespace {
float Larghezza(RecordingSurface& s, const QString& t, float size, bool bold = false) {
    s.SetFontBold(bold);
    s.SetFontItalic(false);
    s.SetFontSize(size);
    return s.MeasureTextWidth(t);
}
} // namespace

class TestStampaTesto : public QObject {
    Q_OBJECT
private slots:
    void vuotoNonStampaNulla_data() {
        QTest::addColumn<QString>("testo");
        QTest::newRow("vuoto") << QString();
        QTest::newRow("blank") << QStringLiteral("     ");
    }
    void vuotoNonStampaNulla() {
        QFETCH(QString, testo);
        RecordingSurface s;
        SettaFontNamePrinter(s);
        s.SetFontSize(9);
        s.SetFontBold(true);
        s.ops.clear();
        StampaTesto(s, testo, 50, 10, 100, false, true, 20, Centrato);
        QVERIFY(s.ops.isEmpty());
        QCOMPARE(s.FontSize(), 9.0f);
    }

    void blankIntornoTolti() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        StampaTesto(s, QStringLiteral("  Foto  "), 48.5f, 10, 100, true, false, 12, Sinistra);
        const auto testi = s.Texts();
        QCOMPARE(testi.size(), 1);
        QCOMPARE(testi[0].text, QStringLiteral("Foto"));
        QCOMPARE(testi[0].x1, 10.0f);
    }

    // The bottom of the line stands on the given Y.
    void lineaDiBase() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        StampaTesto(s, QStringLiteral("Vagolume"), 12.5f, 120, 155, true, true, 16, Centrato);
        const Op t = s.Texts().at(0);
        QVERIFY(qAbs(t.y2 - 12.5f) < 1e-4);
        QVERIFY(t.y1 < 12.5f - 4); // a 16 pt line is over 5 mm high
        QVERIFY(t.bold && t.italic);
    }

    void allineamenti_data() {
        QTest::addColumn<int>("allineato");
        QTest::addColumn<float>("da");
        QTest::addColumn<float>("a");
        QTest::newRow("sinistra") << 0 << 15.0f << 195.0f;
        QTest::newRow("centrato") << 1 << 15.0f << 195.0f;
        QTest::newRow("destra") << 2 << 15.0f << 195.0f;
        QTest::newRow("centrato stretto") << 1 << 165.0f << 175.0f;
    }
    void allineamenti() {
        QFETCH(int, allineato);
        QFETCH(float, da);
        QFETCH(float, a);
        RecordingSurface s;
        SettaFontNamePrinter(s);
        const QString testo = QStringLiteral("Dom");
        StampaTesto(s, testo, 22.7f, da, a, true, false, 20, static_cast<int16_t>(allineato));
        const Op t = s.Texts().at(0);
        const float W = t.x2 - t.x1;
        const float atteso = allineato == 0 ? da : allineato == 1 ? (da + a) / 2 - W / 2 - 1 : a - W - 3;
        QVERIFY2(qAbs(t.x1 - atteso) < 1e-3, qPrintable(QString::number(t.x1)));
    }

    void centrato50mm() {
        // A text 50 mm wide centred between 15 and 195 starts at 105 - 25 - 1.
        RecordingSurface s;
        SettaFontNamePrinter(s);
        QString testo = QStringLiteral("M");
        while (Larghezza(s, testo, 10) < 50)
            testo += u'M';
        const float W = Larghezza(s, testo, 10);
        StampaTesto(s, testo, 100, 15, 195, false, false, 10, Centrato);
        QVERIFY(qAbs(s.Texts().at(0).x1 - (105 - W / 2 - 1)) < 1e-3);
    }

    void entraSenzaRiduzione() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        const float W = Larghezza(s, QStringLiteral("Carburante"), 8, true);
        StampaTesto(s, QStringLiteral("Carburante"), 241.2f, 10, 10 + W + 0.31f, true, false, 8, Centrato);
        QCOMPARE(s.Texts().at(0).fontSize, 8.0f);
    }

    // A text exactly as wide as the room minus 0.3 mm is shrunk once more.
    void ugualeAlLimiteRidotto() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        const float W = Larghezza(s, QStringLiteral("Carburante"), 8, true);
        StampaTesto(s, QStringLiteral("Carburante"), 241.2f, 10, 10 + W + 0.3f, true, false, 8, Centrato);
        const Op t = s.Texts().at(0);
        QVERIFY(t.fontSize < 8.0f);
        QVERIFY(t.fontSize >= 7.6f - 1e-4f);
        QVERIFY(t.x2 - t.x1 < W);
    }

    // Each 0.4 pt step really makes the text narrower, so the shrinking
    // converges on the room given.
    void ogniPassoRestringe() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        float precedente = Larghezza(s, QStringLiteral("Altre informazioni"), 12);
        for (float size = 11.6f; size > 1.5f; size -= 0.4f) {
            const float w = Larghezza(s, QStringLiteral("Altre informazioni"), size);
            QVERIFY2(w < precedente, qPrintable(QString::number(size)));
            precedente = w;
        }
    }

    // A text that does not fit even at the smallest size is printed there,
    // placed by its width at that size, whatever its alignment.
    void riduzioneFinoAlLimite_data() {
        QTest::addColumn<int>("allineato");
        QTest::addColumn<int>("lettere");
        QTest::newRow("sinistra") << 0 << 10000;
        QTest::newRow("centrato") << 1 << 10000;
        QTest::newRow("destra") << 2 << 10000;
        QTest::newRow("destra, 20000 lettere") << 2 << 20000;
    }
    void riduzioneFinoAlLimite() {
        QFETCH(int, allineato);
        QFETCH(int, lettere);
        RecordingSurface s;
        SettaFontNamePrinter(s);
        const QString lunghissimo(lettere, u'W');
        StampaTesto(s, lunghissimo, 50, 10, 20, true, false, 48, static_cast<int16_t>(allineato));
        const Op t = s.Texts().at(0);
        QVERIFY(t.fontSize >= kDimensioneMinima);
        QVERIFY2(t.fontSize < kDimensioneMinima + kPassoRiduzione, qPrintable(QString::number(t.fontSize)));
        const float W = t.x2 - t.x1;
        const float atteso = allineato == 0 ? 10 : allineato == 1 ? 15 - W / 2 - 1 : 20 - W - 3;
        QVERIFY2(qAbs(t.x1 - atteso) < 1e-2f * W / 1000, qPrintable(QString::number(t.x1)));
        // Room of less than nothing: printed once, at the smallest size.
        s.ops.clear();
        StampaTesto(s, QStringLiteral("Olio"), 50, 20, 10, false, false, 7, Sinistra);
        QCOMPARE(s.Texts().size(), 1);
    }

    // A right-aligned text that only just fits starts up to 2.7 mm left of
    // its room.
    void destraAlLimite() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        const float W = Larghezza(s, QStringLiteral("Partenza:"), 5.6f);
        StampaTesto(s, QStringLiteral("Partenza:"), 28, 141, 141 + W + 0.31f, false, false, 5.6f, Destra);
        QVERIFY(qAbs(s.Texts().at(0).x1 - (141 - 2.69f)) < 0.02f);
    }

    void carattereDiRipiego() {
        RecordingSurface s;
        SettaFontNamePrinter(s);
        const auto nomi = s.OfKind(Op::FontName);
        QCOMPARE(nomi.size(), 2);
        QCOMPARE(nomi[0].text, QStringLiteral("Agency FB"));
        QCOMPARE(nomi[1].text, QStringLiteral("Times new roman"));
        QVERIFY(s.FontName() != QStringLiteral("Agency FB"));
        QVERIFY2(s.FontName().contains(QStringLiteral("Serif")) ||
                     s.FontName().contains(QStringLiteral("Times")),
                 qPrintable(s.FontName()));
    }
};

QTEST_MAIN(TestStampaTesto)
#include "test_stampatesto.moc"
