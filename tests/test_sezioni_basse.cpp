// The lower part of the logbook sheet: visited places, vehicle checks, tanks,
// fuel, expense coding with its legend and the footer. Sections are drawn on
// a recording surface one by one, and in whole print runs.

#include "print/StampaTesto.h"
#include "print/SuperficieSorvegliata.h"
#include "sheet/CodificaSpese.h"
#include "sheet/Contesto.h"
#include "sheet/Sezioni.h"
#include "support/CorsaFinta.h"
#include "support/RecordingSurface.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

using namespace vagolume;

namespace {

const QString kCopyright = QStringLiteral("Vagolume 1.0.0 © by Vagolume developers 2026");

ContestoStampa Contesto(float altezzaStampabile) {
    ContestoStampa c;
    c.ImpostaColonne();
    c.ImpostaGeometria(altezzaStampabile);
    c.AltezzaFascia = c.FondoPagina - c.InizioControlli;
    c.PassoRiga = static_cast<float>(c.AltezzaFascia / std::floor(c.AltezzaFascia / 5.0 + 0.5));
    c.Interlinea = 5.5f;
    c.Copyright = kCopyright;
    return c;
}

// The printer font, and a drawing state the upper sections might leave; the
// lower sections set their own.
void StatoSuperiore(PrinterSurface& s) {
    SettaFontNamePrinter(s);
    s.SetLineWidth(5);
    s.SetFillStyle(FillStyle::Solid);
    s.SetFillColour(0xFFFFFF);
}

using Sezione = QString (*)(PrinterSurface&, ContestoStampa&);

// The lower sections, by name. Each sets the drawing state it uses, so they
// may be drawn here in any order.
const std::pair<const char*, Sezione> kSezioniBasse[] = {
    {"carburante", StampaCarburante},
    {"controlli", StampaControlliMezzo},
    {"divisori", StampaLocalitaVisitateDivisori},
    {"righe", StampaLocalitaVisitateRighe},
    {"serbatoi", StampaSerbatoi},
    {"sfondo", StampaCarburanteSfondo},
    {"spese", StampaCodificaSpese},
    {"titolo", StampaLocalitaVisitateTitolo},
};

Sezione SezioneBassa(const QString& nome) {
    for (const auto& [n, sezione] : kSezioniBasse)
        if (nome == QLatin1String(n)) return sezione;
    return nullptr;
}

// Runs one section and returns what it recorded.
QList<Op> Disegna(RecordingSurface& s, ContestoStampa& c, Sezione sezione) {
    const qsizetype da = s.ops.size();
    sezione(s, c);
    return s.ops.mid(da);
}

QList<Op> DiTipo(const QList<Op>& ops, Op::Kind kind) {
    QList<Op> r;
    for (const Op& op : ops)
        if (op.kind == kind) r.append(op);
    return r;
}

const Op* Testo(const QList<Op>& ops, const QString& testo) {
    for (const Op& op : ops)
        if (op.kind == Op::Text && op.text == testo) return &op;
    return nullptr;
}

bool Orizzontale(const Op& l) {
    return l.kind == Op::Line && l.y1 == l.y2;
}
bool Verticale(const Op& l) {
    return l.kind == Op::Line && l.x1 == l.x2;
}

// Ops of a page from the heading band of the visited places to the end of
// the page: the part of the sheet these sections draw.
QList<Op> ParteInferiore(const RecordingSurface& s, int pagina) {
    // State changes are recorded with the page they follow until the first
    // drawing of the next page, so the fill colour set just before the
    // heading band may still carry the previous page's number.
    const QList<Op>& ops = s.ops;
    qsizetype inizio = -1;
    for (qsizetype i = 1; i < ops.size() && inizio < 0; ++i)
        if (ops[i].page == pagina && ops[i].kind == Op::Box && ops[i].x1 == 10 && ops[i].y1 == 42 &&
            ops[i].y2 == 49)
            inizio = i - 1;
    if (inizio < 0) return {};
    QList<Op> r;
    for (qsizetype i = inizio; i < ops.size() && ops[i].kind != Op::NewPage; ++i)
        r.append(ops[i]);
    return r;
}

// Same operation, same place, same state; font state matters for text only.
bool Uguali(const Op& a, const Op& b, bool conStato = true) {
    if (a.kind != b.kind || a.x1 != b.x1 || a.y1 != b.y1 || a.x2 != b.x2 || a.y2 != b.y2 ||
        a.text != b.text || a.value != b.value)
        return false;
    if (conStato &&
        (a.lineWidth != b.lineWidth || a.fillStyle != b.fillStyle || a.fillColour != b.fillColour))
        return false;
    if (a.kind == Op::Text) return a.fontSize == b.fontSize && a.bold == b.bold && a.italic == b.italic;
    return true;
}

QString Descrivi(const Op& op) {
    return QStringLiteral("kind %1 (%2, %3)-(%4, %5) '%6' lw %7 fill %8")
        .arg(op.kind)
        .arg(op.x1)
        .arg(op.y1)
        .arg(op.x2)
        .arg(op.y2)
        .arg(op.text)
        .arg(op.lineWidth)
        .arg(op.fillColour, 6, 16, QLatin1Char('0'));
}

// Where the ink of a text line lies: its line box without the leading above
// the capitals and without most of the descent.
struct Area {
    float x1, y1, x2, y2;
};
Area Inchiostro(const Op& t) {
    const float h = t.y2 - t.y1;
    return {t.x1 + 0.1f, t.y1 + 0.25f * h, t.x2 - 0.1f, t.y2 - 0.05f * h};
}

bool Attraversa(const Area& a, float x1, float y1, float x2, float y2) {
    if (y1 == y2) // horizontal
        return y1 > a.y1 && y1 < a.y2 && std::max(x1, x2) > a.x1 && std::min(x1, x2) < a.x2;
    if (x1 == x2) // vertical
        return x1 > a.x1 && x1 < a.x2 && std::max(y1, y2) > a.y1 && std::min(y1, y2) < a.y2;
    return false;
}

bool Sovrapposte(const Area& a, const Area& b) {
    return a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
}

// Fails one chosen drawing operation (counted from 1 across lines, boxes and
// texts) and draws the others.
class SuperficieGuastaUnaVolta : public RecordingSurface {
public:
    int guasta = 0;
    int disegni = 0;
    void DrawLine(float x1, float y1, float x2, float y2) override {
        Forse();
        RecordingSurface::DrawLine(x1, y1, x2, y2);
    }
    void DrawBox(float x1, float y1, float x2, float y2) override {
        Forse();
        RecordingSurface::DrawBox(x1, y1, x2, y2);
    }
    void PrintText(const QString& text) override {
        Forse();
        RecordingSurface::PrintText(text);
    }

private:
    void Forse() {
        if (++disegni == guasta) throw ErroreStampa("rifiutata (prova)");
    }
};

// Text as wide as asked for whatever the size, and a surface that stops
// applying sizes below a floor: the legend must still come to an end.
class SuperficieOstinata : public RecordingSurface {
public:
    float minima = 0;
    float larghezza = 1000;
    void SetFontSize(float points) override { RecordingSurface::SetFontSize(std::max(points, minima)); }
    float MeasureTextWidth(const QString&) override { return larghezza; }
};

} // namespace

class TestSezioniBasse : public QObject {
    Q_OBJECT
private slots:
    // Ruled lines of the visited places: every 5.5 mm from 56.5, the last
    // more than 0.5 mm above the notes bar.
    void righeTabella_data() {
        QTest::addColumn<float>("altezza");
        QTest::addColumn<int>("righe");
        QTest::addColumn<float>("ultima");
        QTest::newRow("287") << 287.f << 27 << 199.5f;
        QTest::newRow("280") << 280.f << 26 << 194.f;
        QTest::newRow("297") << 297.f << 29 << 210.5f;
        QTest::newRow("notes bar at 62: no line") << 142.f << 0 << 0.f;
        QTest::newRow("notes bar at 62.5: one line") << 142.5f << 1 << 56.5f;
    }
    void righeTabella() {
        QFETCH(float, altezza);
        QFETCH(int, righe);
        QFETCH(float, ultima);
        RecordingSurface s;
        StatoSuperiore(s);
        ContestoStampa c = Contesto(altezza);
        const QList<Op> linee = DiTipo(Disegna(s, c, StampaLocalitaVisitateRighe), Op::Line);
        QCOMPARE(linee.size(), 3 * righe);
        std::set<float> quote;
        for (qsizetype i = 0; i < linee.size(); ++i) {
            const Op& l = linee[i];
            QVERIFY(Orizzontale(l));
            QCOMPARE(l.lineWidth, int16_t(1));
            static const float kDa[] = {12, 62, 177}, kA[] = {58, 173, 193};
            QCOMPARE(l.x1, kDa[i % 3]);
            QCOMPARE(l.x2, kA[i % 3]);
            QCOMPARE(l.y1, 56.5f + 5.5f * float(i / 3));
            quote.insert(l.y1);
        }
        if (righe > 0) {
            QCOMPARE(*quote.rbegin(), ultima);
            const float barra = c.InizioControlli - 5;
            QVERIFY(ultima < barra - 0.5f);
            QVERIFY(ultima >= barra - 6.0f);
        }
    }

    void righeTabellaSenzaPasso() {
        RecordingSurface s;
        ContestoStampa c = Contesto(287);
        c.Interlinea = 0;
        QVERIFY(!StampaLocalitaVisitateRighe(s, c).isEmpty());
        QVERIFY(DiTipo(s.ops, Op::Line).isEmpty());
    }

    // The saved listing pins the lower part of a sheet 287 mm high. On any
    // other height it is the same drawing, moved with the page's bottom below
    // the visited places' heading (whose ruled lines righeTabella counts).
    void parteBassaSegueIlFondo_data() {
        QTest::addColumn<float>("altezza");
        QTest::newRow("280") << 280.f;
        QTest::newRow("297") << 297.f;
    }
    void parteBassaSegueIlFondo() {
        QFETCH(float, altezza);
        RecordingSurface a, b;
        StatoSuperiore(a);
        StatoSuperiore(b);
        ContestoStampa ca = Contesto(287), cb = Contesto(altezza);
        auto sposta = [&](float y) { return y > 100 ? y + altezza - 287 : y; };
        for (const auto& [nome, sezione] : kSezioniBasse) {
            if (sezione == StampaLocalitaVisitateRighe) continue;
            const QList<Op> attese = Disegna(a, ca, sezione), fatte = Disegna(b, cb, sezione);
            QVERIFY(!attese.isEmpty());
            QCOMPARE(fatte.size(), attese.size());
            for (qsizetype i = 0; i < fatte.size(); ++i) {
                Op atteso = attese[i];
                atteso.y1 = sposta(atteso.y1);
                atteso.y2 = sposta(atteso.y2);
                const Op& op = fatte[i];
                const bool uguali =
                    op.kind == atteso.kind && op.text == atteso.text && std::abs(op.x1 - atteso.x1) < 1e-3f &&
                    std::abs(op.x2 - atteso.x2) < 1e-3f && std::abs(op.y1 - atteso.y1) < 1e-3f &&
                    std::abs(op.y2 - atteso.y2) < 1e-3f;
                QVERIFY2(uguali, qPrintable(QStringLiteral("%1: %2, expected %3")
                                                .arg(QLatin1String(nome), Descrivi(op), Descrivi(atteso))));
            }
        }
    }

    // Row rules of the block on whole millimetres, halves to the even one.
    void righeSpese_data() {
        QTest::addColumn<float>("altezza");
        QTest::addColumn<float>("prima");
        QTest::addColumn<float>("ultima");
        QTest::newRow("F+5 = 242") << 287.f << 242.f << 272.f;
        QTest::newRow("F+5 = 242.5 -> 242") << 287.5f << 242.f << 272.f;
        QTest::newRow("F+5 = 243.5 -> 244") << 288.5f << 244.f << 274.f;
        QTest::newRow("280") << 280.f << 235.f << 265.f;
    }
    void righeSpese() {
        QFETCH(float, altezza);
        QFETCH(float, prima);
        QFETCH(float, ultima);
        RecordingSurface s;
        StatoSuperiore(s);
        ContestoStampa c = Contesto(altezza);
        QCOMPARE(c.PassoRiga, 5.f);
        QList<float> righe;
        for (const Op& l : DiTipo(Disegna(s, c, StampaCodificaSpese), Op::Line))
            if (Orizzontale(l)) {
                QCOMPARE(l.x1, 10.f);
                QCOMPARE(l.x2, 195.f);
                QCOMPARE(l.lineWidth, int16_t(1));
                righe.append(l.y1);
            }
        QList<float> attese;
        for (float r = prima; r <= ultima; r += 5)
            attese.append(r);
        QCOMPARE(attese.size(), 7);
        QCOMPARE(righe, attese);
    }

    // A step that rounds to zero draws no rule instead of looping, and the
    // rest of the section (legend, footer) is still drawn.
    void righeSpesePassoNullo() {
        RecordingSurface s;
        StatoSuperiore(s);
        ContestoStampa c = Contesto(287);
        c.PassoRiga = 0.4f;
        QVERIFY(!StampaCodificaSpese(s, c).isEmpty());
        for (const Op& l : DiTipo(s.ops, Op::Line))
            QVERIFY(!Orizzontale(l));
        QVERIFY(s.FindText(QStringLiteral("V=Varie")));
        QVERIFY(s.FindText(QStringLiteral("Vagolume 1.0.0")));
    }

    void legenda_data() {
        QTest::addColumn<float>("altezza");
        QTest::newRow("287") << 287.f;
        QTest::newRow("280") << 280.f;
    }
    void legenda() {
        QFETCH(float, altezza);
        RecordingSurface s;
        StatoSuperiore(s);
        ContestoStampa c = Contesto(altezza);
        const float B = c.FondoPagina;
        const QList<Op> ops = Disegna(s, c, StampaCodificaSpese);
        const QStringList voci = {"Div=Divisa",     "AA=Autostrada", "AS=Altre strade", "TR=Traghetti",
                                  "TU=Tunnel",      "PT=Ponti",      "P=Parcheggi",     "M=Musei",
                                  "C=Luoghi culto", "E=Escursioni",  "V=Varie"};
        QList<Op> testi, separatori;
        for (const Op& op : ops) {
            if (op.kind == Op::Text && op.y2 > B - c.PassoRiga && voci.contains(op.text)) testi.append(op);
            if (Verticale(op) && op.y1 == B - c.PassoRiga && op.y2 == B) separatori.append(op);
        }
        QCOMPARE(testi.size(), 11);
        QCOMPARE(separatori.size(), 11);
        float precedente = 10;
        for (int i = 0; i < 11; ++i) {
            QCOMPARE(testi[i].text, voci[i]);
            QCOMPARE(testi[i].y2, B - 0.5f);
            QCOMPARE(testi[i].fontSize, static_cast<float>(c.SizeLegenda));
            QVERIFY(testi[i].x1 > precedente);       // after the previous rule
            QVERIFY(testi[i].x2 < separatori[i].x1); // before its own rule
            precedente = separatori[i].x1;
        }
        QCOMPARE(separatori.last().x1, c.XLegenda);

        // The first size of 8, 7.67, 7.34, ... at which the whole legend
        // is at most 160 mm wide.
        const QString tutta = QStringLiteral("Div=Divisa, AA=Autostrada, AS=Altre strade, TR=Traghetti, "
                                             "TU=Tunnel, PT=Ponti, P=Parcheggi, M=Musei, C=Luoghi culto, "
                                             "E=Escursioni, V=Varie,");
        const double passi = (8.0 - c.SizeLegenda) / 0.33;
        QVERIFY(std::abs(passi - std::round(passi)) < 1e-6);
        s.SetFontBold(false);
        s.SetFontItalic(false);
        s.SetFontSize(static_cast<float>(c.SizeLegenda));
        QVERIFY(s.MeasureTextWidth(tutta) <= 160.f);
        if (c.SizeLegenda < 8) {
            s.SetFontSize(static_cast<float>(c.SizeLegenda + 0.33));
            QVERIFY(s.MeasureTextWidth(tutta) > 160.f);
        }

        // The footer: two lines in the room the legend leaves, after its
        // last rule and inside the frame.
        const Op* riga1 = Testo(ops, QStringLiteral("Vagolume 1.0.0"));
        const Op* riga2 = Testo(ops, QStringLiteral("© by Vagolume developers 2026"));
        QVERIFY(riga1 && riga2);
        QCOMPARE(riga1->y2, B - 2.5f);
        QCOMPARE(riga2->y2, B - 0.3f);
        for (const Op* r : {riga1, riga2}) {
            QVERIFY2(r->x1 > c.XLegenda, qPrintable(Descrivi(*r)));
            QVERIFY(r->x2 < 195);
            QVERIFY(r->fontSize <= 5);
            QVERIFY(r->y1 > B - c.PassoRiga);
        }
        QCOMPARE(s.LineWidth(), int16_t(1));
    }

    // The legend stops shrinking at its lower bound, or as soon as the
    // surface no longer applies smaller sizes.
    void legendaCheNonRientra_data() {
        QTest::addColumn<float>("minima");
        QTest::addColumn<double>("daMin");
        QTest::addColumn<double>("daMax");
        QTest::newRow("never fits") << 0.f << kDimensioneMinimaLegenda << kDimensioneMinimaLegenda + 0.33;
        QTest::newRow("surface stops at 6 pt") << 6.f << 5.0 << 6.0;
    }
    void legendaCheNonRientra() {
        QFETCH(float, minima);
        QFETCH(double, daMin);
        QFETCH(double, daMax);
        SuperficieOstinata s;
        s.minima = minima;
        StatoSuperiore(s);
        ContestoStampa c = Contesto(287);
        StampaCodificaSpese(s, c);
        QVERIFY2(c.SizeLegenda >= daMin && c.SizeLegenda < daMax, qPrintable(QString::number(c.SizeLegenda)));
        QCOMPARE(s.OfKind(Op::Text).size(), 1 + 2 * 4 + 11 + 2);
    }

    void righeCopyright_data() {
        QTest::addColumn<QString>("credito");
        QTest::addColumn<QString>("prima");
        QTest::addColumn<QString>("seconda");
        QTest::newRow("program") << kCopyright << "Vagolume 1.0.0"
                                 << "© by Vagolume developers 2026";
        QTest::newRow("blanks") << "  Prog 2.10.3  ©  by  Qualcuno 2030 "
                                << "Prog 2.10.3"
                                << "©  by  Qualcuno 2030";
        QTest::newRow("no by") << "Vagolume 1.0.0 (c) 2026"
                               << "Vagolume 1.0.0 (c) 2026"
                               << "";
        QTest::newRow("by at the start") << "by me"
                                         << ""
                                         << "by me";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }
    void righeCopyright() {
        QFETCH(QString, credito);
        QFETCH(QString, prima);
        QFETCH(QString, seconda);
        const auto righe = RigheCopyright(credito);
        QCOMPARE(righe.first, prima);
        QCOMPARE(righe.second, seconda);
    }

    // Every box and rule of a page's lower part at its own width and fill.
    void statoAlleGiunture() {
        RecordingSurface s;
        StatoSuperiore(s);
        ContestoStampa c = Contesto(287);
        QMap<QString, QList<Op>> per;
        for (const auto& [nome, sezione] : kSezioniBasse)
            per[QString::fromLatin1(nome)] = Disegna(s, c, sezione);
        for (const Op& op : s.ops)
            if (op.kind == Op::Box) QVERIFY2(op.fillStyle == FillStyle::Solid, qPrintable(Descrivi(op)));
        // Vehicle checks: title cell and rule with the frame's width 5.
        const QList<Op> controlli = DiTipo(per[QStringLiteral("controlli")], Op::Box);
        QCOMPARE(controlli[0].lineWidth, int16_t(5));
        QCOMPARE(controlli[1].lineWidth, int16_t(5));
        // Fuel background: the legend row thin.
        const QList<Op> sfondo = DiTipo(per[QStringLiteral("sfondo")], Op::Box);
        QCOMPARE(sfondo[0].lineWidth, int16_t(1));
        QCOMPARE(sfondo[0].fillColour, Rgb(0xC0FFFF));
        // Column dividers and ruled lines thin, whatever came before.
        for (const char* n : {"righe", "divisori"})
            for (const Op& l : DiTipo(per[QString::fromLatin1(n)], Op::Line))
                QCOMPARE(l.lineWidth, int16_t(1));
        // The gas band with the thick outline, in its own colour.
        const QList<Op> gas = DiTipo(per[QStringLiteral("carburante")], Op::Box);
        QCOMPARE(gas.size(), 1);
        QCOMPARE(gas[0].lineWidth, int16_t(5));
        QCOMPARE(gas[0].fillColour, Rgb(0xFFFFC0));
        // Expense coding: the thick rules of the two groups, thin others.
        const QList<Op> spese = DiTipo(per[QStringLiteral("spese")], Op::Line);
        for (const Op& l : spese)
            QCOMPARE(l.lineWidth, int16_t((l.x1 == 70 || l.x1 == 132.5f) && Verticale(l) ? 5 : 1));
    }

    // On the guarded surface of a run, a drawing operation the surface
    // refuses is skipped; the rest of the section is still drawn and the
    // surface counts one failure.
    void operazioneRifiutata_data() {
        QTest::addColumn<QString>("sezione");
        QTest::addColumn<int>("guasta");
        QTest::newRow("vehicle checks, title cell") << "controlli" << 1;
        QTest::newRow("tanks, title band") << "serbatoi" << 1;
        QTest::newRow("tanks, a label") << "serbatoi" << 7;
        QTest::newRow("fuel background, legend row") << "sfondo" << 1;
        QTest::newRow("fuel, first heading") << "carburante" << 1;
        QTest::newRow("expenses, title") << "spese" << 1;
        QTest::newRow("expenses, a row rule") << "spese" << 20;
        QTest::newRow("expenses, a legend entry") << "spese" << 29;
    }
    void operazioneRifiutata() {
        QFETCH(QString, sezione);
        QFETCH(int, guasta);
        const Sezione disegna = SezioneBassa(sezione);
        QVERIFY(disegna);
        ContestoStampa c = Contesto(287);
        RecordingSurface sano;
        StatoSuperiore(sano);
        sano.SetLineWidth(1);
        const QList<Op> attese = Disegna(sano, c, disegna);

        SuperficieGuastaUnaVolta s;
        StatoSuperiore(s);
        s.SetLineWidth(1);
        s.guasta = guasta;
        const qsizetype da = s.ops.size();
        SuperficieSorvegliata sorvegliata(s);
        QVERIFY(disegna(sorvegliata, c).isEmpty());
        QCOMPARE(sorvegliata.Errori(), 1);
        const QList<Op> fatte = s.ops.mid(da);
        auto disegni = [](const QList<Op>& ops) {
            QList<Op> r;
            for (const Op& op : ops)
                if (op.kind == Op::Line || op.kind == Op::Box || op.kind == Op::Text) r.append(op);
            return r;
        };
        QList<Op> previsti = disegni(attese);
        previsti.removeAt(guasta - 1);
        const QList<Op> ottenuti = disegni(fatte);
        QCOMPARE(ottenuti.size(), previsti.size());
        for (qsizetype i = 0; i < ottenuti.size(); ++i)
            QVERIFY2(Uguali(ottenuti[i], previsti[i]), qPrintable(Descrivi(ottenuti[i])));
        QCOMPARE(s.LineWidth(), sano.LineWidth());
        QCOMPARE(s.FillColour(), sano.FillColour());
    }

    // Whole runs: every sheet carries the same lower part, blank or filled.
    // The line width and fill the part starts with are the upper sections'
    // business; from its own first line width on, the state is compared too.
    void pagineUguali() {
        QTemporaryDir cartella;
        RecordingSurface s;
        const EsitoCorsa esito = CorsaFinta(s, cartella.path()).Esegui();
        QCOMPARE(esito.Cosa, EsitoCorsa::Stampato);
        QCOMPARE(esito.Errori, 0);
        const QList<Op> prima = ParteInferiore(s, 1);
        qsizetype propria = 0;
        while (propria < prima.size() && prima[propria].kind != Op::LineWidth)
            ++propria;
        QVERIFY(propria < 20);
        QCOMPARE(DiTipo(prima, Op::Text).size(), 53);
        auto confronta = [&](const RecordingSurface& r, int pagina) {
            const QList<Op> altra = ParteInferiore(r, pagina);
            QCOMPARE(altra.size(), prima.size());
            for (qsizetype i = 0; i < prima.size(); ++i)
                QVERIFY2(Uguali(prima[i], altra[i], i >= propria),
                         qPrintable(QStringLiteral("page %1: %2").arg(pagina).arg(Descrivi(altra[i]))));
        };
        for (int p = 2; p <= 5; ++p) {
            confronta(s, p);
            if (QTest::currentTestFailed()) return;
        }

        RecordingSurface bianco;
        CorsaFinta wb(bianco, cartella.path());
        wb.InBianco(2);
        QCOMPARE(wb.Esegui().Errori, 0);
        for (int p = 1; p <= 2; ++p) {
            confronta(bianco, p);
            if (QTest::currentTestFailed()) return;
        }
    }

    // On real page heights the bands do not run into each other: no rule
    // through a text, no filled box over a text drawn before it, no two
    // texts on top of each other, everything inside the frame.
    void bandeSenzaSovrapposizioni_data() {
        QTest::addColumn<float>("altezza");
        QTest::newRow("287") << 287.f;
        QTest::newRow("280") << 280.f;
        QTest::newRow("297") << 297.f;
    }
    void bandeSenzaSovrapposizioni() {
        QFETCH(float, altezza);
        QTemporaryDir cartella;
        RecordingSurface s(altezza);
        CorsaFinta w(s, cartella.path());
        w.richiesta.Fine = w.richiesta.Inizio;
        QCOMPARE(w.Esegui().Errori, 0);
        const QList<Op> ops = ParteInferiore(s, 1);
        QVERIFY(!ops.isEmpty());
        const float B = altezza - 10, Y = B - 70;

        // The last ruled line above the notes bar, the bar above the checks.
        float ultima = 0;
        for (const Op& l : ops)
            if (Orizzontale(l) && l.x1 == 12 && l.x2 == 58) ultima = std::max(ultima, l.y1);
        QVERIFY(ultima > 49.5f && ultima < Y - 5);

        for (qsizetype i = 0; i < ops.size(); ++i) {
            const Op& t = ops[i];
            if (t.kind != Op::Text) continue;
            const Area a = Inchiostro(t);
            QVERIFY2(t.x1 >= 10 && t.x2 <= 195 && t.y1 >= 42 && t.y2 <= B, qPrintable(Descrivi(t)));
            for (qsizetype j = 0; j < ops.size(); ++j) {
                const Op& o = ops[j];
                if (o.kind == Op::Line)
                    QVERIFY2(!Attraversa(a, o.x1, o.y1, o.x2, o.y2),
                             qPrintable(Descrivi(t) + QStringLiteral(" crossed by ") + Descrivi(o)));
                if (o.kind == Op::Box) {
                    const bool bordo =
                        Attraversa(a, o.x1, o.y1, o.x2, o.y1) || Attraversa(a, o.x1, o.y2, o.x2, o.y2) ||
                        Attraversa(a, o.x1, o.y1, o.x1, o.y2) || Attraversa(a, o.x2, o.y1, o.x2, o.y2);
                    QVERIFY2(!bordo, qPrintable(Descrivi(t) + QStringLiteral(" crossed by ") + Descrivi(o)));
                    const Area box{std::min(o.x1, o.x2), std::min(o.y1, o.y2), std::max(o.x1, o.x2),
                                   std::max(o.y1, o.y2)};
                    QVERIFY2(j < i || !Sovrapposte(a, box),
                             qPrintable(Descrivi(t) + QStringLiteral(" covered by ") + Descrivi(o)));
                }
                if (o.kind == Op::Text && j > i)
                    QVERIFY2(!Sovrapposte(a, Inchiostro(o)),
                             qPrintable(Descrivi(t) + QStringLiteral(" on ") + Descrivi(o)));
            }
        }
    }
};

QTEST_MAIN(TestSezioniBasse)
#include "test_sezioni_basse.moc"
