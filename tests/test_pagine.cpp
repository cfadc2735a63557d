// Pages drawn one at a time, as the preview draws them, against the same
// pages of a whole print run: every drawing of page N drawn alone on a fresh
// surface must equal page N of the run, drawing by drawing, with the drawing
// state it uses (line width and fill for rules and boxes, the font for text).

#include "print/StampaTesto.h"
#include "sheet/Pagine.h"
#include "sheet/Sezioni.h"
#include "support/CorsaFinta.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vagolume;

namespace {

// One drawing as a line of text, with the part of the drawing state it is
// drawn with; a picture uses none.
QString Disegno(const Op& op) {
    QString riga = QStringLiteral("%1 %2,%3-%4,%5 [%6]")
                       .arg(op.kind)
                       .arg(op.x1, 0, 'f', 3)
                       .arg(op.y1, 0, 'f', 3)
                       .arg(op.x2, 0, 'f', 3)
                       .arg(op.y2, 0, 'f', 3)
                       .arg(op.text);
    if (op.kind == Op::Line || op.kind == Op::Box) riga += QStringLiteral(" lw %1").arg(op.lineWidth);
    if (op.kind == Op::Box)
        riga += QStringLiteral(" %1 %2").arg(op.fillStyle == FillStyle::Solid).arg(op.fillColour, 6, 16);
    if (op.kind == Op::Text)
        riga += QStringLiteral(" %1 pt %2%3").arg(op.fontSize, 0, 'f', 2).arg(op.bold).arg(op.italic);
    return riga;
}

// The drawings of page N, one line each, up to the page break.
QStringList Pagina(const QList<Op>& ops, int N) {
    QStringList righe;
    for (const Op& op : ops) {
        if (op.page != N) continue;
        if (op.kind == Op::NewPage) break;
        if (op.kind == Op::Text || op.kind == Op::Line || op.kind == Op::Box || op.kind == Op::Picture)
            righe.append(Disegno(op));
    }
    return righe;
}

// The run's values as a run of the same request has them.
Pagine PagineDi(const RichiestaStampa& r) {
    RecordingSurface s;
    return Pagine(ValoriCorsa(r, s.PrintableHeight()));
}

QList<Op> DaSola(Pagine& pagine, int N) {
    RecordingSurface s;
    pagine.DisegnaSola(s, N);
    return s.ops;
}

} // namespace

class TestPagine : public QObject {
    Q_OBJECT
private slots:
    void sola_data() {
        QTest::addColumn<bool>("bianco");
        QTest::addColumn<int>("pagine"); // cover included
        QTest::newRow("periodo di 5 giorni") << false << 6;
        QTest::newRow("3 moduli in bianco") << true << 4;
    }
    // Every page drawn alone equals the same page of the whole run.
    void sola() {
        QFETCH(bool, bianco);
        QFETCH(int, pagine);
        QTemporaryDir dir;
        RecordingSurface corsa;
        CorsaFinta c(corsa, dir.path());
        if (bianco) c.InBianco(3);
        const EsitoCorsa e = c.Esegui();
        QVERIFY(e.Cosa == EsitoCorsa::Stampato && e.Errori == 0);

        Pagine p = PagineDi(c.richiesta);
        QCOMPARE(p.Totale(), pagine);
        // Backwards, so that no page follows the one before it.
        for (int N = pagine - 1; N >= 0; --N) {
            const QStringList attesa = Pagina(corsa.ops, N);
            QVERIFY2(attesa.size() > (N == 0 ? 5 : 200),
                     qPrintable(QStringLiteral("page %1 of the run is empty").arg(N)));
            const QStringList sola = Pagina(DaSola(p, N), 0);
            for (int i = 0; i < std::min(attesa.size(), sola.size()); ++i)
                if (attesa[i] != sola[i])
                    QFAIL(qPrintable(QStringLiteral("page %1, operation %2:\n  run:   %3\n  alone: %4")
                                         .arg(N)
                                         .arg(i + 1)
                                         .arg(attesa[i], sola[i])));
            QCOMPARE(sola.size(), attesa.size());
        }
    }

    // Sheet 4 of a trip from Friday 1 March 2024, drawn alone, is day 4:
    // Monday 4 March, "4" of "5".
    void giornoDallaPagina() {
        RecordingSurface finta;
        Pagine p = PagineDi(CorsaFinta(finta, QString()).richiesta);
        RecordingSurface s;
        QVERIFY(p.DisegnaSola(s, 4));
        QStringList testi;
        for (const Op& op : s.Texts())
            if (op.x1 > 165) testi.append(op.text); // the date cells and the day counter
        for (const char* atteso : {"Lun", "04", "Mar", "4", "5"})
            QVERIFY2(testi.contains(QLatin1String(atteso)), qPrintable(testi.join(u',')));
        QVERIFY(!testi.contains(QStringLiteral("1")));
    }

    // Every section draws the same whatever state the drawing before it left
    // on the surface: line width, fill style and colour, font size, bold and
    // italic.
    void sezioneIndipendente_data() {
        using Sezione = QString (*)(PrinterSurface&, ContestoStampa&);
        QTest::addColumn<void*>("sezione");
        QTest::addColumn<bool>("bianco");
        // By name: the order of a page plays no part here.
        const std::pair<const char*, Sezione> sezioni[] = {
            {"carburante", StampaCarburante},
            {"codifica delle spese", StampaCodificaSpese},
            {"contachilometri", StampaContachilometri},
            {"controlli del mezzo", StampaControlliMezzo},
            {"copertina", StampaCopertina},
            {"divisori delle località", StampaLocalitaVisitateDivisori},
            {"giorno e GPS", StampaGiornoGps},
            {"intestazione", StampaIntestazione},
            {"pernottamento", StampaPernottamento},
            {"righe delle località", StampaLocalitaVisitateRighe},
            {"serbatoi", StampaSerbatoi},
            {"sfondo del carburante", StampaCarburanteSfondo},
            {"titolo delle località", StampaLocalitaVisitateTitolo},
        };
        for (const auto& [nome, sezione] : sezioni)
            for (bool bianco : {false, true})
                QTest::addRow("%s%s", nome, bianco ? ", in bianco" : "")
                    << reinterpret_cast<void*>(sezione) << bianco;
    }
    void sezioneIndipendente() {
        QFETCH(void*, sezione);
        QFETCH(bool, bianco);
        const auto disegna = reinterpret_cast<QString (*)(PrinterSurface&, ContestoStampa&)>(sezione);
        RecordingSurface finta;
        CorsaFinta corsa(finta, QString());
        if (bianco) corsa.InBianco(3);
        const ContestoStampa valori = ValoriCorsa(corsa.richiesta, finta.PrintableHeight());
        auto disegni = [&](int16_t linea, FillStyle riempimento, Rgb colore, float size, bool stile) {
            RecordingSurface s;
            Pagine::ImpostaPagina(s);
            s.SetLineWidth(linea);
            s.SetFillStyle(riempimento);
            s.SetFillColour(colore);
            s.SetFontSize(size);
            s.SetFontBold(stile);
            s.SetFontItalic(stile);
            ContestoStampa c = valori;
            c.PaginaCorrente = 2;
            disegna(s, c);
            return Pagina(s.ops, 0);
        };
        const QStringList attese = disegni(8, FillStyle::Transparent, kBianco, 12, false);
        QVERIFY(!attese.isEmpty());
        QCOMPARE(disegni(1, FillStyle::Solid, 0x123456, 5, true), attese);
        QCOMPARE(disegni(5, FillStyle::Solid, kCianoChiaro, 48, false), attese);
    }

    // There is no page before the cover or after the last sheet.
    void fuoriDallaCorsa() {
        RecordingSurface finta;
        CorsaFinta c(finta, QString());
        c.InBianco(3);
        Pagine p = PagineDi(c.richiesta);
        RecordingSurface s;
        QVERIFY(!p.DisegnaSola(s, -1));
        QVERIFY(!p.DisegnaSola(s, 4));
        QVERIFY(s.OfKind(Op::Box).isEmpty() && s.Texts().isEmpty());
    }
};

QTEST_MAIN(TestPagine)
#include "test_pagine.moc"
