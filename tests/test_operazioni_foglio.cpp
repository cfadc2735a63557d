// Every operation of a short run (cover page, a filled first and second
// sheet, a blank sheet) compared with a saved listing, so that a change that
// alters the printed page, however slightly, is seen. To accept a deliberate
// change, run with VAGOLUME_AGGIORNA_ELENCO=1 and review the difference.

#include "support/CorsaFinta.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vagolume;

namespace {
QString Elenco(const RecordingSurface& s) {
    QString testo;
    for (const Op& op : s.ops)
        testo += QString::number(op.page) + u' ' + TestoOperazione(op) + u'\n';
    return testo;
}

QString Corsa(bool bianco) {
    QTemporaryDir dir;
    RecordingSurface s;
    CorsaFinta c(s, dir.path());
    c.richiesta.Fine = QDate(2024, 3, 2);
    if (bianco) c.InBianco(1);
    c.Esegui();
    return Elenco(s);
}
} // namespace

class TestOperazioniFoglio : public QObject {
    Q_OBJECT
private slots:
    void comeLElencoSalvato() {
        const QString attuale = Corsa(false) + QStringLiteral("--- bianco\n") + Corsa(true);
        const QString percorso = QStringLiteral(VAGOLUME_DATI_TEST "/operazioni_foglio.txt");
        if (qEnvironmentVariableIsSet("VAGOLUME_AGGIORNA_ELENCO")) {
            QFile f(percorso);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(attuale.toUtf8());
            QSKIP("listing written");
        }
        QFile f(percorso);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(percorso));
        const QStringList atteso = QString::fromUtf8(f.readAll()).split(u'\n');
        const QStringList righe = attuale.split(u'\n');
        for (int i = 0; i < std::min(atteso.size(), righe.size()); ++i)
            if (atteso[i] != righe[i])
                QFAIL(qPrintable(QStringLiteral("line %1:\n  saved:  %2\n  now:    %3")
                                     .arg(i + 1)
                                     .arg(atteso[i], righe[i])));
        QCOMPARE(righe.size(), atteso.size());
    }
};

QTEST_MAIN(TestOperazioniFoglio)
#include "test_operazioni_foglio.moc"
