// Pages drawn one at a time, as the preview draws them, against the same
// pages of a whole print run: every operation of page N drawn alone on a
// fresh surface must equal page N of the run, operation by operation, with
// the drawing state each one ran in.

#include "sheet/Pagine.h"
#include "support/CorsaFinta.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vagolume;

namespace {

bool Disegno(const Op& op) {
    return op.kind == Op::Text || op.kind == Op::Line || op.kind == Op::Box || op.kind == Op::Picture;
}

// The operations of page N, one line each: from its first drawing up to the
// page break (the document's opening left out).
QStringList Pagina(const QList<Op>& ops, int N) {
    QStringList righe;
    bool dentro = false;
    for (const Op& op : ops) {
        if (op.page != N) continue;
        if (op.kind == Op::NewPage) break;
        dentro = dentro || Disegno(op);
        if (!dentro || op.kind == Op::BeginDocument) continue;
        righe.append(Descrizione(op));
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
    pagine.PreparaSola(s, N);
    s.ops.clear();
    pagine.Disegna(s, N, PassoMuto);
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
            QVERIFY2(attesa.size() > (N == 0 ? 20 : 500),
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
        QVERIFY(p.DisegnaSola(s, 4, PassoMuto));
        QStringList testi;
        for (const Op& op : s.Texts())
            if (op.x1 > 165) testi.append(op.text); // the date cells and the day counter
        for (const char* atteso : {"Lun", "04", "Mar", "4", "5"})
            QVERIFY2(testi.contains(QLatin1String(atteso)), qPrintable(testi.join(u',')));
        QVERIFY(!testi.contains(QStringLiteral("1")));
    }

    // There is no page before the cover or after the last sheet.
    void fuoriDallaCorsa() {
        RecordingSurface finta;
        CorsaFinta c(finta, QString());
        c.InBianco(3);
        Pagine p = PagineDi(c.richiesta);
        RecordingSurface s;
        QVERIFY(!p.Disegna(s, -1, PassoMuto));
        QVERIFY(!p.Disegna(s, 4, PassoMuto));
        QVERIFY(s.OfKind(Op::Box).isEmpty() && s.Texts().isEmpty());
    }
};

QTEST_MAIN(TestPagine)
#include "test_pagine.moc"
