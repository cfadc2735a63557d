// The printed pages at the limits a real trip reaches: the last sheets of the
// longest runs (up to the 3660-sheet cap) and long destinations on the cover
// and in the title bar. On every page composed here no letter runs into a
// rule or a box outline, and no two texts overlap.
//
// Where the letters are is worked out from the font the surface printed each
// text in (its ink, not its line box): the recording gives the line box of a
// text, and a label standing on its writing line has a line box that reaches
// below the line, by design.

#include "print/StampaTesto.h"
#include "run/Corsa.h"
#include "sheet/Copertina.h"
#include "sheet/Pagine.h"
#include "support/RecordingSurface.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QRectF>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace vagolume;

namespace {

// Paper the eye needs to see a gap between a letter and a line or another
// text beside it: a quarter of a millimetre, three dots at 300 dpi.
constexpr double kSpazioMinimo = 0.25;

const QString kCopyright = QStringLiteral("Vagolume 1.0.0 © by Vagolume developers 2026");

// A text as it shows on paper, millimetres: the extent of its ink, and the
// baseline its letters stand on.
struct Scritta {
    QString testo;
    QRectF inchiostro;
    double base;
    // The letters without what hangs below the baseline (the tail of a "g"
    // through the writing line it stands on).
    QRectF Corpo() const {
        return QRectF(QPointF(inchiostro.left(), inchiostro.top()),
                      QPointF(inchiostro.right(), std::min(base, inchiostro.bottom())));
    }
};

// A rule or a side of a box as it shows on paper: widened by its line width.
struct Tratto {
    QRectF r;
    QString descrizione;
};

// Glyph metrics as the surfaces measure them: a 1200 dpi PDF device.
class Misura {
public:
    Misura() { writer_.setResolution(1200); }

    Scritta Di(const Op& t, const QString& carattere) {
        QFont f;
        f.setFamily(carattere);
        f.setPointSizeF(t.fontSize);
        f.setBold(t.bold);
        f.setItalic(t.italic);
        const QFontMetricsF m(f, &writer_);
        const double mm = 25.4 / writer_.logicalDpiY();
        const QRectF g = m.tightBoundingRect(t.text);
        const double base = t.y1 + m.ascent() * mm;
        return {t.text,
                QRectF(QPointF(t.x1 + g.left() * mm, base + g.top() * mm),
                       QPointF(t.x1 + g.right() * mm, base + g.bottom() * mm)),
                base};
    }

private:
    QBuffer buffer_;
    QPdfWriter writer_{&buffer_};
};

// The rules and outlines of a page that are still visible: a line or a side
// of a box lying inside a solid box painted later is covered by it.
QList<Tratto> Tratti(const QList<Op>& ops) {
    QList<Tratto> tratti;
    for (int i = 0; i < ops.size(); ++i) {
        const Op& o = ops[i];
        if (o.kind != Op::Line && o.kind != Op::Box) continue;
        const double mezzo = o.lineWidth * kMillimetresPerDot / 2;
        const QString nome =
            QStringLiteral("%1 %2,%3-%4,%5")
                .arg(o.kind == Op::Line ? QStringLiteral("la riga") : QStringLiteral("il riquadro"))
                .arg(o.x1)
                .arg(o.y1)
                .arg(o.x2)
                .arg(o.y2);
        auto tratto = [&](double x1, double y1, double x2, double y2) {
            for (int j = i + 1; j < ops.size(); ++j) {
                const Op& b = ops[j];
                if (b.kind == Op::Box && b.fillStyle == FillStyle::Solid && std::min(x1, x2) >= b.x1 &&
                    std::max(x1, x2) <= b.x2 && std::min(y1, y2) >= b.y1 && std::max(y1, y2) <= b.y2)
                    return;
            }
            tratti.append({QRectF(QPointF(std::min(x1, x2) - mezzo, std::min(y1, y2) - mezzo),
                                  QPointF(std::max(x1, x2) + mezzo, std::max(y1, y2) + mezzo)),
                           nome});
        };
        if (o.kind == Op::Line) {
            tratto(o.x1, o.y1, o.x2, o.y2);
        } else { // its four sides
            tratto(o.x1, o.y1, o.x2, o.y1);
            tratto(o.x1, o.y2, o.x2, o.y2);
            tratto(o.x1, o.y1, o.x1, o.y2);
            tratto(o.x2, o.y1, o.x2, o.y2);
        }
    }
    return tratti;
}

// How two things on the page stand to each other. Side by side (they share
// some height) they need a visible gap; one above the other they only must
// not meet, since a label stands on its writing line.
QString Scontro(const QRectF& a, const QRectF& b) {
    const double dx = std::max(a.left() - b.right(), b.left() - a.right());
    const double dy = std::max(a.top() - b.bottom(), b.top() - a.bottom());
    if (dx < 0 && dy < 0) return QStringLiteral("si sovrappone a");
    if (dy < 0 && dx < kSpazioMinimo) return QStringLiteral("a %1 mm da").arg(dx, 0, 'f', 2);
    return {};
}

// Every clash on one page of a recording.
QStringList Scontri(const RecordingSurface& s, int pagina) {
    QString carattere;
    for (const Op& op : s.ops)
        if (op.kind == Op::FontName) carattere = op.text;
    Misura misura;
    QList<Scritta> scritte;
    const QList<Op> ops = s.PageOps(pagina);
    for (const Op& op : ops)
        if (op.kind == Op::Text) scritte.append(misura.Di(op, carattere));
    const QList<Tratto> tratti = Tratti(ops);

    QStringList trovati;
    for (int i = 0; i < scritte.size(); ++i) {
        const Scritta& t = scritte[i];
        for (const Tratto& r : tratti) {
            const QString come = Scontro(t.Corpo(), r.r);
            const QString scontro = QStringLiteral("\"%1\" %2 %3").arg(t.testo, come, r.descrizione);
            if (!come.isEmpty() && !trovati.contains(scontro)) trovati << scontro;
        }
        for (int j = i + 1; j < scritte.size(); ++j) {
            const QString come = Scontro(t.inchiostro, scritte[j].inchiostro);
            if (!come.isEmpty())
                trovati << QStringLiteral("\"%1\" %2 \"%3\"").arg(t.testo, come, scritte[j].testo);
        }
    }
    return trovati;
}

ContestoStampa Contesto(float altezza, bool compilato, int pagine, const QString& destinazione) {
    ContestoStampa c;
    c.ImpostaColonne();
    c.ImpostaGeometria(altezza);
    c.AltezzaFascia = c.FondoPagina - c.InizioControlli;
    c.PassoRiga = static_cast<float>(c.AltezzaFascia / std::floor(c.AltezzaFascia / 5.0 + 0.5));
    c.DatiInseriti = compilato;
    c.DataInizio = QDate(1999, 12, 15);
    c.DataFine = c.DataInizio.addDays(pagine - 1);
    c.NumeroPagine = pagine;
    c.TestoPeriodo = compilato ? QStringLiteral("15/12/1999 - 31/12/2009") : QString();
    c.TestoDestinazione = destinazione;
    c.Copyright = kCopyright;
    c.Logo1 = {QStringLiteral("imgLogo1"), QImage(32, 32, QImage::Format_RGB32)};
    c.Logo2 = {QStringLiteral("imgLogo2"), QImage(48, 48, QImage::Format_RGB32)};
    return c;
}

// Page N (0: the cover) as the print run draws it.
void Pagina(RecordingSurface& s, const ContestoStampa& c, int N) {
    Pagine pagine(c);
    SuperficieSorvegliata sorvegliata(s);
    Pagine::ImpostaPagina(sorvegliata);
    QVERIFY(pagine.Disegna(sorvegliata, N));
    QCOMPARE(sorvegliata.Errori(), 0);
}

} // namespace

class TestLimitiFoglio : public QObject {
    Q_OBJECT
private slots:
    void nessunoScontro_data() {
        QTest::addColumn<bool>("copertina");
        QTest::addColumn<float>("altezza");
        QTest::addColumn<bool>("compilato");
        QTest::addColumn<int>("pagine");
        QTest::addColumn<int>("pagina");
        QTest::addColumn<QString>("destinazione");

        // The day counter and the total: first, a middle and the last sheet of
        // short, long and the longest runs.
        const QString roma = QStringLiteral("ROMA");
        for (const int pagine : {5, 383, 3660})
            for (const int pagina : {1, 100, 1000, pagine})
                if (pagina <= pagine)
                    QTest::addRow("foglio %d di %d", pagina, pagine)
                        << false << 287.0f << true << pagine << pagina << roma;
        QTest::addRow("foglio 99 di 99 in bianco") << false << 287.0f << false << 99 << 99 << QString();
        QTest::addRow("foglio 1000 di 3660, altezza 250") << false << 250.0f << true << 3660 << 1000 << roma;

        // Destinations short and long, with and without blanks, in the widest
        // capital letter too, on the cover and in the title bar.
        const QString M9 = QString(9, u'M');
        const QList<std::pair<const char*, QString>> destinazioni = {
            {"4 lettere", roma},
            {"40 con spazi", QStringLiteral("LAGO DI COMO BELLAGIO VARENNA E MENAGGIO")},
            {"49 con spazi", QStringLiteral("MONTEPULCIANO MONTALCINO SAN QUIRICO ORCIA PIENZA")},
            {"40 M con spazi", QStringList{M9, M9, M9, M9 + u'M'}.join(u' ')},
            {"50 M con spazi", QStringList{M9, M9, M9, M9, M9 + u'M'}.join(u' ')},
            {"40 M senza spazi", QString(40, u'M')},
            {"50 M senza spazi", QString(50, u'M')},
        };
        for (const auto& [nome, testo] : destinazioni) {
            QTest::addRow("copertina, %s", nome) << true << 287.0f << true << 5 << 0 << testo;
            QTest::addRow("intestazione, %s", nome) << false << 287.0f << true << 5 << 1 << testo;
        }
        QTest::addRow("copertina, 50 M con spazi, altezza 250")
            << true << 250.0f << true << 5 << 0 << destinazioni[4].second;
    }

    void nessunoScontro() {
        QFETCH(bool, copertina);
        QFETCH(float, altezza);
        QFETCH(bool, compilato);
        QFETCH(int, pagine);
        QFETCH(int, pagina);
        QFETCH(QString, destinazione);
        RecordingSurface s(altezza);
        ContestoStampa c = Contesto(altezza, compilato, pagine, destinazione);
        Pagina(s, c, copertina ? 0 : pagina);
        if (QTest::currentTestFailed()) return;

        // The page really carries what is checked.
        QVERIFY(s.Texts(0).size() >= (copertina ? 4 : 100));
        const QString numero = QString::number(pagina), totale = QString::number(pagine);
        if (!copertina) {
            QVERIFY(s.FindText(numero) != nullptr);
            QVERIFY(s.FindText(totale) != nullptr);
            QVERIFY(s.FindText(QStringLiteral("di:")) != nullptr);
        }
        if (compilato) {
            // The whole destination is printed, in words or lines.
            const QStringList altri = {QStringLiteral("Vagolume"), c.TestoPeriodo, kCopyright};
            QString stampato;
            QList<float> righe; // the bottoms of the lines
            for (const Op& t : s.Texts(0))
                if (copertina ? !altri.contains(t.text) : t.bold && t.y2 < 14 && t.x2 <= 120) {
                    stampato += t.text + u' ';
                    righe << t.y2;
                }
            QCOMPARE(stampato.simplified(), destinazione);
            if (copertina) {
                // At most three lines on the cover, at 48 pt or at the largest
                // size in 0.4 pt steps below it that gives three. The lines
                // stand 0.55 times their size apart.
                QVERIFY(righe.size() <= 3);
                float f = 48;
                if (righe.size() > 1)
                    f = 48 -
                        kPassoRiduzione * std::round((48 - (righe[1] - righe[0]) / 0.55) / kPassoRiduzione);
                RecordingSurface prova;
                SettaFontNamePrinter(prova);
                QVERIFY2(f == 48 || !RigheLocalita(prova, destinazione, f + kPassoRiduzione) ||
                             RigheLocalita(prova, destinazione, f + kPassoRiduzione)->size() > 3,
                         qPrintable(QString::number(f)));
            }
        }

        const QStringList scontri = Scontri(s, 0);
        QVERIFY2(scontri.isEmpty(), qPrintable(scontri.join(QStringLiteral("\n   "))));
    }
};

QTEST_MAIN(TestLimitiFoglio)
#include "test_limiti_foglio.moc"
