// The invocation line of the itinerary program and Commandline.txt.

#include "app/Invocazione.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

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
        QTest::addColumn<QString>("errore"); // what the refusal says; empty: the line prints
        QTest::addColumn<bool>("daFile");    // the line came from Commandline.txt
        const QString date = QStringLiteral(",01/08/2026,02/08/2026");
        auto riga = [](const char* nome, const QString& r, const QString& dest, const QString& inizio,
                       const QString& fine, const QString& errore = QString(), bool daFile = false) {
            QTest::newRow(nome) << r << dest << inizio << fine << errore << daFile;
        };
        riga("con percorso .exe", "C:\\Programmi\\Percorsario\\Vagolume.exe  ROMA ,01/08/2010, 05/08/2010",
             "ROMA ", "1/8/2010", "5/8/2010");
        riga("senza .exe", "ROMA,15/07/2010,30/07/2010", "ROMA", "15/7/2010", "30/7/2010");
        riga("senza .exe non tagliata", "  LAGO DI COMO,01/08/2026,05/08/2026", "  LAGO DI COMO", "1/8/2026",
             "5/8/2026");
        // Each refusal names what is wrong, and where the line was.
        riga("senza virgole", "ROMA 01/08/2010 05/08/2010", "<nessuna>", "-", "-",
             "date non separate da virgole nella riga di comando: il separatore è la virgola");
        riga("punti e virgola", "ROMA;01/08/2026;05/08/2026", "<nessuna>", "-", "-",
             "date non separate da virgole nella riga di comando");
        riga("una virgola, date con blank", "ROMA,01/08/2026 05/08/2026", "ROMA", "-", "-",
             "date non separate da virgole");
        riga("solo la destinazione", "ROMA", "<nessuna>", "-", "-",
             "date mancanti nella riga di comando: \"ROMA\"");
        riga("destinazione e virgola", "ROMA,", "ROMA", "-", "-", "date mancanti nella riga di comando");
        riga("una virgola", "ROMA,01/08/2010", "ROMA", "-", "-",
             "data finale mancante nella riga di comando dopo \"01/08/2010\"");
        riga("una virgola, da Commandline.txt", "ROMA,01/08/2010", "ROMA", "-", "-",
             "data finale mancante in Commandline.txt", true);
        riga("non leggibile, da Commandline.txt", "ROMA,01/08/2010,32/08/2010", "ROMA", "1/8/2010", "-",
             "data finale non leggibile in Commandline.txt: \"32/08/2010\"", true);
        // Options of other programs are no line.
        riga("-h", "-h", "<nessuna>", "-", "-",
             "\"-h\" non è una riga di comando (l'uso è descritto da vagolume --help)");
        riga("--versione", "--versione", "<nessuna>", "-", "-", "\"--versione\" non è una riga di comando");
        riga("opzione e riga", "-x ROMA,01/08/2026", "-x ROMA", "-", "-", "\"-x\" non è una riga di comando");
        riga("opzione da Commandline.txt", "--help", "<nessuna>", "-", "-",
             "\"--help\" in Commandline.txt non è una riga di comando", true);
        riga("trattino in una riga buona", "-ROMA-" + date, "-ROMA-", "1/8/2026", "2/8/2026");
        riga("trattino in una riga a metà", "-ROMA,01/08/2026", "-ROMA", "-", "-", "data finale mancante");
        riga("blank ovunque", "  x.exe   ROMA  ,  01/08/2010  ,  05/08/2010  ", "ROMA  ", "1/8/2010",
             "5/8/2010");
        riga("data non valida", "ROMA,31/04/2010,05/08/2010", "ROMA", "-", "5/8/2010",
             "data iniziale non leggibile nella riga di comando: \"31/04/2010\"");
        riga("vuota", "", "<nessuna>", "-", "-", "destinazione mancante");
        riga("solo virgole", ",,", "", "-", "-", "destinazione mancante");
        // A program path as Windows writes it.
        riga("nomi 8.3 in maiuscolo", "C:\\PROGRA~1\\PERCOR~1\\VAGOLUME.EXE ROMA" + date, "ROMA", "1/8/2026",
             "2/8/2026");
        riga("percorso tra virgolette", "\"C:\\Program Files\\Percorsario\\Vagolume.exe\" ROMA" + date,
             "ROMA", "1/8/2026", "2/8/2026");
        riga("tra virgolette, senza blank", "\"C:\\Vagolume.Exe\"ROMA" + date, "ROMA", "1/8/2026",
             "2/8/2026");
        riga(".exe dentro la destinazione", "hotel.executive" + date, "hotel.executive", "1/8/2026",
             "2/8/2026");
        riga(".exe dentro e in fondo al percorso", "C:\\a.exec\\Vagolume.exe ROMA" + date, "ROMA", "1/8/2026",
             "2/8/2026");
        riga("solo il percorso", "C:\\Vagolume.exe", "<nessuna>", "-", "-", "destinazione mancante");
        // A destination with nothing visible in it.
        for (const auto& [nome, invisibile] :
             {std::pair{"tab", u"\t"}, std::pair{"no-break space", u"\u00A0"},
              std::pair{"spazio ideografico", u"\u3000"}, std::pair{"spazio di cifra", u"\u2007"},
              std::pair{"separatore di riga", u"\u2028"}, std::pair{"spazio di larghezza zero", u"\u200B"},
              std::pair{"fine file DOS", u"\u001A"},
              std::pair{"tutti", u"\t\u00A0\u3000\u2007\u2028\u200B\u001A"}})
            riga(nome, QString::fromUtf16(invisibile) + date, QString::fromUtf16(invisibile), "1/8/2026",
                 "2/8/2026", "destinazione mancante");
        riga("invisibile davanti a una lettera", QStringLiteral("\u200BA") + date, QStringLiteral("\u200BA"),
             "1/8/2026", "2/8/2026");
        // Control characters in a quoted text are shown, not cut at.
        riga("byte nul", QStringLiteral("ROMA,01/08/") + QChar(0) + QStringLiteral("2026,05/08/2026"), "ROMA",
             "-", "5/8/2026", "data iniziale non leggibile nella riga di comando: \"01/08/\\x002026\"");
        riga("carattere di controllo", QStringLiteral("ROMA,01/08/2026,05/08/2026\u0007X"), "ROMA",
             "1/8/2026", "-", "data finale non leggibile nella riga di comando: \"05/08/2026\\x07X\"");
        // The first and the last year a trip may fall in, and one beyond each.
        riga("anni 1901 e 2099", "ROMA,01/01/1901,31/12/2099", "ROMA", "1/1/1901", "31/12/2099");
        riga("anno 1900", "ROMA,31/12/1900,01/01/1901", "ROMA", "31/12/1900", "1/1/1901",
             "data iniziale fuori dagli anni 1901-2099");
        riga("anno 2100", "ROMA,31/12/2099,01/01/2100", "ROMA", "31/12/2099", "1/1/2100",
             "data finale fuori dagli anni 1901-2099");
        riga("riga di 1 MB", QString(1024 * 1024, u'A'), "<nessuna>", "-", "-",
             "riga troppo lunga (1048576 caratteri)");
        // The longest line taken, and one character more.
        const QString lunga(65536 - int(date.size()), u'A');
        riga("riga di 65536 caratteri", lunga + date, lunga, "1/8/2026", "2/8/2026");
        riga("riga di 65537 caratteri", u'A' + lunga + date, "<nessuna>", "-", "-",
             "riga troppo lunga (65537 caratteri)");
    }
    void riga() {
        QFETCH(QString, riga);
        QFETCH(QString, destinazione);
        QFETCH(QString, inizio);
        QFETCH(QString, fine);
        QFETCH(QString, errore);
        QFETCH(bool, daFile);
        const Invocazione inv = AnalizzaRigaComando(riga, daFile);
        QCOMPARE(inv.Destinazione.value_or(QStringLiteral("<nessuna>")), destinazione);
        QCOMPARE(Data(inv.Inizio), inizio);
        QCOMPARE(Data(inv.Fine), fine);
        if (errore.isEmpty())
            QCOMPARE(inv.Errore, QString());
        else
            QVERIFY2(inv.Errore.contains(errore), qPrintable(inv.Errore));
    }

    void date_data() {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("locale"); // whose short date rules read it
        QTest::addColumn<QString>("data");
        auto data = [](const char* nome, const char* testo, const char* data, const char* locale = "it_IT") {
            QTest::newRow(nome) << testo << locale << data;
        };
        data("gg/mm/aaaa", "15/07/2010", "15/7/2010");
        data("g/m/aa", "5/8/10", "5/8/2010");
        data("aa 99", "5/8/99", "5/8/1999");
        data("aa 29: ultimo del 2000", "5/8/29", "5/8/2029");
        data("aa 30: primo del 1900", "5/8/30", "5/8/1930");
        data("iso", "2026-08-01", "1/8/2026");
        data("trattini", "01-08-2026", "1/8/2026");
        data("punti", "01.08.2026", "1/8/2026");
        data("29 febbraio bisestile", "29/02/2024", "29/2/2024");
        data("29 febbraio non bisestile", "29/02/2023", "-");
        data("31 di un mese di 30", "31/06/2026", "-");
        data("mese 0", "01/00/2026", "-");
        data("mese 13", "01/13/2026", "-");
        data("anno 0", "01/01/0", "1/1/2000");
        data("anno 0000", "01/01/0000", "-");
        data("anno 1", "01/01/0001", "1/1/1");
        data("anno 32767", "01/01/32767", "-");
        data("anno 99999", "01/01/99999", "-");
        data("testo", "domani", "-");
        data("vuoto", "", "-");
        data("ora in coda", "01/08/2026 10:00", "-");
        // Year-first locales write their year-last dates day first; only a
        // month/day/year locale reads them month first.
        for (const char* locale : {"ja_JP", "hu_HU", "en_CA", "zh_CN", "it_IT", "de_DE"}) {
            QTest::newRow(locale) << "01/08/2026" << locale << "1/8/2026";
            QTest::newRow(QByteArray(locale) + " anno prima") << "2026/08/01" << locale << "1/8/2026";
        }
        data("en_US", "01/08/2026", "8/1/2026", "en_US");
        data("en_US anno prima", "2026/08/01", "1/8/2026", "en_US");
        data("en_US 13/08", "13/08/2026", "-", "en_US");
        data("hu_HU con i punti", "2026. 08. 01.", "1/8/2026", "hu_HU");
    }
    void date() {
        QFETCH(QString, testo);
        QFETCH(QString, locale);
        QFETCH(QString, data);
        QCOMPARE(Data(LeggiDataInvocazione(testo, QLocale(locale))), data);
    }

    // Where Commandline.txt is looked for: the program's own folder, known
    // also without /proc.
    void cartellaProgramma_data() {
        QTest::addColumn<QByteArray>("argv0"); // "%D" is the test's folder
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("conProc");        // the link proc names exists
        QTest::addColumn<QByteArray>("cartella"); // empty: not known, and said
        QTest::newRow("da /proc") << QByteArray("vagolume") << QByteArray() << true << QByteArray("%D/vera");
        QTest::newRow("senza /proc, percorso assoluto")
            << QByteArray("%D/prog/vagolume") << QByteArray() << false << QByteArray("%D/prog");
        QTest::newRow("senza /proc, attraverso un link")
            << QByteArray("%D/link/vagolume") << QByteArray() << false << QByteArray("%D/prog");
        QTest::newRow("senza /proc, dal PATH")
            << QByteArray("vagolume") << QByteArray("%D/vuota::%D/prog:%D/link") << false
            << QByteArray("%D/prog");
        QTest::newRow("senza /proc, nel PATH non eseguibile")
            << QByteArray("vagolume") << QByteArray("%D/testo:%D/link") << false << QByteArray("%D/prog");
        QTest::newRow("senza /proc, assente dal PATH")
            << QByteArray("vagolume") << QByteArray("%D/vuota") << false << QByteArray();
        QTest::newRow("senza /proc, file sparito")
            << QByteArray("%D/vuota/vagolume") << QByteArray() << false << QByteArray();
        QTest::newRow("senza /proc, argv[0] vuoto")
            << QByteArray() << QByteArray("%D/prog") << false << QByteArray();
    }
    void cartellaProgramma() {
        QFETCH(QByteArray, argv0);
        QFETCH(QByteArray, path);
        QFETCH(bool, conProc);
        QFETCH(QByteArray, cartella);
        QTemporaryDir dir;
        const QByteArray d = QFile::encodeName(QFileInfo(dir.path()).canonicalFilePath());
        for (const char* sotto : {"prog", "vuota", "testo", "vera"})
            QVERIFY(QDir(dir.path()).mkdir(QString::fromLatin1(sotto)));
        Scrivi(dir.filePath("prog/vagolume"), "#!/bin/sh\n");
        QVERIFY(QFile::setPermissions(dir.filePath("prog/vagolume"), QFile::ReadOwner | QFile::ExeOwner));
        Scrivi(dir.filePath("testo/vagolume"), "non eseguibile\n");
        QVERIFY(QFile::link(dir.filePath("prog"), dir.filePath("link")));
        QVERIFY(QFile::link(dir.filePath("vera/vagolume"), dir.filePath("proc-exe")));
        const QByteArray proc = d + (conProc ? "/proc-exe" : "/manca/exe");
        const CartellaProgramma c =
            TrovaCartellaProgramma(argv0.replace("%D", d), path.replace("%D", d), proc);
        QCOMPARE(c.Cartella, cartella.replace("%D", d));
        QCOMPARE(c.Avviso.isEmpty(), !cartella.isEmpty());
    }

    // An unattended run does not start on a platform that draws on a device
    // of its own (or on none): it prints offscreen, and says so.
    void piattaforma_data() {
        QTest::addColumn<QByteArray>("scelta");
        QTest::addColumn<bool>("incustodita");
        QTest::addColumn<QByteArray>("usata");
        QTest::newRow("eglfs") << QByteArray("eglfs") << true << QByteArray("offscreen");
        QTest::newRow("linuxfb con opzioni")
            << QByteArray("linuxfb:fb=/dev/fb1") << true << QByteArray("offscreen");
        QTest::newRow("minimal") << QByteArray("minimal") << true << QByteArray("offscreen");
        QTest::newRow("minimal prima di xcb") << QByteArray("minimal;xcb") << true << QByteArray("offscreen");
        QTest::newRow("xcb") << QByteArray("xcb") << true << QByteArray("xcb");
        QTest::newRow("offscreen") << QByteArray("offscreen") << true << QByteArray("offscreen");
        QTest::newRow("nessuna") << QByteArray() << true << QByteArray();
        QTest::newRow("eglfs con la finestra") << QByteArray("eglfs") << false << QByteArray("eglfs");
    }
    void piattaforma() {
        QFETCH(QByteArray, scelta);
        QFETCH(bool, incustodita);
        QFETCH(QByteArray, usata);
        QCOMPARE(PiattaformaDellaCorsa(scelta, incustodita), usata);
    }

    void fileMancante() {
        QTemporaryDir dir;
        const LetturaFileComando l = LeggiFileComando(QFile::encodeName(dir.path()));
        QVERIFY(!l.Trovato && l.Riga.isEmpty() && l.Avviso.isEmpty());
    }

    void fileLettoUnaVoltaECancellato_data() {
        QTest::addColumn<QByteArray>("cartella"); // where Commandline.txt is, inside the test's folder
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<QString>("riga");
        QTest::newRow("lf") << QByteArray() << QByteArray("ROMA,01/08/2026,05/08/2026\nseconda\n")
                            << "ROMA,01/08/2026,05/08/2026";
        QTest::newRow("cr lf") << QByteArray() << QByteArray("ROMA,01/08/2026,05/08/2026\r\n")
                               << "ROMA,01/08/2026,05/08/2026";
        QTest::newRow("senza a capo")
            << QByteArray() << QByteArray("ROMA,01/08/2026,05/08/2026") << "ROMA,01/08/2026,05/08/2026";
        QTest::newRow("vuoto") << QByteArray() << QByteArray() << "";
        QTest::newRow("accenti") << QByteArray() << QByteArray("FORLÌ,01/08/2026,05/08/2026")
                                 << "FORLÌ,01/08/2026,05/08/2026";
        QTest::newRow("latin-1") << QByteArray() << QByteArray("FORL\xcc,01/08/2026,05/08/2026")
                                 << "FORLÌ,01/08/2026,05/08/2026";
        QTest::newRow("cartella in latin-1")
            << QByteArray("citt\xe0") << QByteArray("ROMA,01/08/2026,05/08/2026")
            << "ROMA,01/08/2026,05/08/2026";
    }
    void fileLettoUnaVoltaECancellato() {
        QFETCH(QByteArray, cartella);
        QFETCH(QByteArray, contenuto);
        QFETCH(QString, riga);
        QTemporaryDir dir;
        QByteArray percorso = QFile::encodeName(dir.path());
        if (!cartella.isEmpty()) {
            percorso += "/" + cartella;
            QCOMPARE(::mkdir(percorso.constData(), 0700), 0);
        }
        const QByteArray file = percorso + "/Commandline.txt";
        FILE* f = std::fopen(file.constData(), "wb");
        QVERIFY(f != nullptr);
        QCOMPARE(std::fwrite(contenuto.constData(), 1, size_t(contenuto.size()), f),
                 size_t(contenuto.size()));
        std::fclose(f);
        const LetturaFileComando l = LeggiFileComando(percorso);
        QVERIFY(l.Trovato);
        QCOMPARE(l.Riga, riga);
        QCOMPARE(::access(file.constData(), F_OK), -1);
        QVERIFY(!LeggiFileComando(percorso).Trovato); // a second start finds nothing
    }

    // A first line too long to be an invocation is counted, not kept.
    void fileLunghissimo_data() {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<qint64>("caratteri");
        QTest::addColumn<bool>("intera");
        const QByteArray mega(1024 * 1024, 'A');
        QTest::newRow("1 MB") << mega << qint64(1024 * 1024) << true;
        QTest::newRow("1 MB e una seconda riga")
            << mega + "\r\nROMA,01/08/2026,05/08/2026" << qint64(1024 * 1024) << true;
        QTest::newRow("utf-8") << QByteArray("\xc3\xa8").repeated(300000) << qint64(300000) << true;
        QTest::newRow("latin-1") << QByteArray("\xe8").repeated(300000) << qint64(300000) << true;
        QTest::newRow("utf-16") << "\xff\xfe" + QByteArray("A\0", 2).repeated(100000) +
                                       QByteArray("\n\0B\0", 4)
                                << qint64(100000) << true;
        QTest::newRow("100 MB senza fine")
            << QByteArray(100 * 1024 * 1024, 'A') << qint64(64 * 1024 * 1024) << false;
        QTest::newRow("proprio al limite") << QByteArray(kMaxRiga, 'A') << kMaxRiga << true;
    }
    void fileLunghissimo() {
        QFETCH(QByteArray, contenuto);
        QFETCH(qint64, caratteri);
        QFETCH(bool, intera);
        QTemporaryDir dir;
        Scrivi(dir.filePath("Commandline.txt"), contenuto);
        const LetturaFileComando l = LeggiFileComando(QFile::encodeName(dir.path()));
        QVERIFY(l.Trovato);
        QCOMPARE(l.Caratteri, caratteri);
        QCOMPARE(l.Intera, intera);
        QCOMPARE(l.Riga.size(), caratteri > kMaxRiga ? 0 : caratteri);
        QVERIFY(!QFile::exists(dir.filePath("Commandline.txt")));
    }

    void cartellaAlPostoDelFile() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Commandline.txt"));
        const LetturaFileComando l = LeggiFileComando(QFile::encodeName(dir.path()));
        QVERIFY(!l.Trovato && !l.Avviso.isEmpty());
        QVERIFY(QFileInfo(dir.filePath("Commandline.txt")).isDir());
    }

    // A link is neither read nor followed; what it points to stays.
    void link() {
        QTemporaryDir dir;
        Scrivi(dir.filePath("segreto.txt"), "ROMA,01/08/2026,05/08/2026\n");
        QVERIFY(QFile::link(dir.filePath("segreto.txt"), dir.filePath("Commandline.txt")));
        const LetturaFileComando l = LeggiFileComando(QFile::encodeName(dir.path()));
        QVERIFY(!l.Trovato && l.Riga.isEmpty() && !l.Avviso.isEmpty());
        QVERIFY(QFile::exists(dir.filePath("segreto.txt")));
    }
};

QTEST_GUILESS_MAIN(TestInvocazione)
#include "test_invocazione.moc"
