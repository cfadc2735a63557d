// The invocation line of the itinerary program and Commandline.txt.

#include "app/Invocazione.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vagolume;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {
QString Data(const std::optional<DataInvocazione>& d) {
    return d ? QStringLiteral("%1/%2/%3").arg(d->Giorno).arg(d->Mese).arg(d->Anno) : QStringLiteral("-");
}

void Scrivi(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(dati);
}
} // namespace

class TestInvocazione : public QObject {
    Q_OBJECT
private slots:
    void riga_data() {
        QTest::addColumn<QString>("riga");
        QTest::addColumn<QString>("destinazione"); // "<nessuna>" when not set
        QTest::addColumn<QString>("inizio");
        QTest::addColumn<QString>("fine");
        QTest::newRow("con percorso .exe")
            << "C:\\Programmi\\Percorsario\\Vagolume.exe  ROMA ,01/08/2010, 05/08/2010"
            << "ROMA "
            << "1/8/2010"
            << "5/8/2010";
        QTest::newRow("senza .exe") << "ROMA,15/07/2010,30/07/2010"
                                    << "ROMA"
                                    << "15/7/2010"
                                    << "30/7/2010";
        QTest::newRow("senza .exe non tagliata") << "  LAGO DI COMO,01/08/2026,05/08/2026"
                                                 << "  LAGO DI COMO"
                                                 << "1/8/2026"
                                                 << "5/8/2026";
        QTest::newRow("senza virgole") << "ROMA 01/08/2010 05/08/2010"
                                       << "<nessuna>"
                                       << "-"
                                       << "-";
        QTest::newRow("una virgola") << "ROMA,01/08/2010"
                                     << "ROMA"
                                     << "-"
                                     << "-";
        QTest::newRow("blank ovunque") << "  x.exe   ROMA  ,  01/08/2010  ,  05/08/2010  "
                                       << "ROMA  "
                                       << "1/8/2010"
                                       << "5/8/2010";
        QTest::newRow("data non valida") << "ROMA,31/04/2010,05/08/2010"
                                         << "ROMA"
                                         << "-"
                                         << "5/8/2010";
        QTest::newRow("vuota") << ""
                               << "<nessuna>"
                               << "-"
                               << "-";
        QTest::newRow("solo virgole") << ",,"
                                      << ""
                                      << "-"
                                      << "-";
    }
    void riga() {
        QFETCH(QString, riga);
        QFETCH(QString, destinazione);
        QFETCH(QString, inizio);
        QFETCH(QString, fine);
        const Invocazione inv = AnalizzaRigaComando(riga);
        QCOMPARE(inv.Destinazione.value_or(QStringLiteral("<nessuna>")), destinazione);
        QCOMPARE(Data(inv.Inizio), inizio);
        QCOMPARE(Data(inv.Fine), fine);
    }

    void date_data() {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("data");
        QTest::newRow("gg/mm/aaaa") << "15/07/2010"
                                    << "15/7/2010";
        QTest::newRow("g/m/aa") << "5/8/10"
                                << "5/8/2010";
        QTest::newRow("aa 99") << "5/8/99"
                               << "5/8/1999";
        QTest::newRow("iso") << "2026-08-01"
                             << "1/8/2026";
        QTest::newRow("trattini") << "01-08-2026"
                                  << "1/8/2026";
        QTest::newRow("punti") << "01.08.2026"
                               << "1/8/2026";
        QTest::newRow("29 febbraio bisestile") << "29/02/2024"
                                               << "29/2/2024";
        QTest::newRow("29 febbraio non bisestile") << "29/02/2023"
                                                   << "-";
        QTest::newRow("31 di un mese di 30") << "31/06/2026"
                                             << "-";
        QTest::newRow("mese 0") << "01/00/2026"
                                << "-";
        QTest::newRow("mese 13") << "01/13/2026"
                                 << "-";
        QTest::newRow("anno 0") << "01/01/0"
                                << "1/1/2000";
        QTest::newRow("anno 0000") << "01/01/0000"
                                   << "-";
        QTest::newRow("anno 1") << "01/01/0001"
                                << "1/1/1";
        QTest::newRow("anno 32767") << "01/01/32767"
                                    << "-";
        QTest::newRow("anno 99999") << "01/01/99999"
                                    << "-";
        QTest::newRow("testo") << "domani"
                               << "-";
        QTest::newRow("vuoto") << ""
                               << "-";
        QTest::newRow("ora in coda") << "01/08/2026 10:00"
                                     << "-";
    }
    void date() {
        QFETCH(QString, testo);
        QFETCH(QString, data);
        QCOMPARE(Data(LeggiDataInvocazione(testo)), data);
    }

    void fileMancante() {
        QTemporaryDir dir;
        const LetturaFileComando l = LeggiFileComando(dir.path());
        QVERIFY(!l.Trovato && l.Riga.isEmpty() && l.Avviso.isEmpty());
    }

    void fileLettoUnaVoltaECancellato_data() {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<QString>("riga");
        QTest::newRow("lf") << QByteArray("ROMA,01/08/2026,05/08/2026\nseconda\n")
                            << "ROMA,01/08/2026,05/08/2026";
        QTest::newRow("cr lf") << QByteArray("ROMA,01/08/2026,05/08/2026\r\n")
                               << "ROMA,01/08/2026,05/08/2026";
        QTest::newRow("senza a capo")
            << QByteArray("ROMA,01/08/2026,05/08/2026") << "ROMA,01/08/2026,05/08/2026";
        QTest::newRow("vuoto") << QByteArray() << "";
        QTest::newRow("accenti") << QByteArray("FORLÌ,01/08/2026,05/08/2026")
                                 << "FORLÌ,01/08/2026,05/08/2026";
        QTest::newRow("latin-1") << QByteArray("FORL\xcc,01/08/2026,05/08/2026")
                                 << "FORLÌ,01/08/2026,05/08/2026";
    }
    void fileLettoUnaVoltaECancellato() {
        QFETCH(QByteArray, contenuto);
        QFETCH(QString, riga);
        QTemporaryDir dir;
        Scrivi(dir.filePath("Commandline.txt"), contenuto);
        const LetturaFileComando l = LeggiFileComando(dir.path());
        QVERIFY(l.Trovato);
        QCOMPARE(l.Riga, riga);
        QVERIFY(!QFile::exists(dir.filePath("Commandline.txt")));
        QVERIFY(!LeggiFileComando(dir.path()).Trovato); // a second start finds nothing
    }

    void fileLunghissimo() {
        QTemporaryDir dir;
        Scrivi(dir.filePath("Commandline.txt"), QByteArray(10 * 1024 * 1024, 'A'));
        const LetturaFileComando l = LeggiFileComando(dir.path());
        QVERIFY(l.Trovato);
        QCOMPARE(l.Riga.size(), 64 * 1024);
        QVERIFY(!QFile::exists(dir.filePath("Commandline.txt")));
    }

    void cartellaAlPostoDelFile() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Commandline.txt"));
        const LetturaFileComando l = LeggiFileComando(dir.path());
        QVERIFY(!l.Trovato && !l.Avviso.isEmpty());
        QVERIFY(QFileInfo(dir.filePath("Commandline.txt")).isDir());
    }

    // A link is neither read nor followed; what it points to stays.
    void link() {
        QTemporaryDir dir;
        Scrivi(dir.filePath("segreto.txt"), "ROMA,01/08/2026,05/08/2026\n");
        QVERIFY(QFile::link(dir.filePath("segreto.txt"), dir.filePath("Commandline.txt")));
        const LetturaFileComando l = LeggiFileComando(dir.path());
        QVERIFY(!l.Trovato && l.Riga.isEmpty() && !l.Avviso.isEmpty());
        QVERIFY(QFile::exists(dir.filePath("segreto.txt")));
    }
};

QTEST_GUILESS_MAIN(TestInvocazione)
#include "test_invocazione.moc"
