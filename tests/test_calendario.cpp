// Dates: names and counts of the printed pages, day numbers and date texts.

#include "calendar/Calendario.h"

#include <QTest>

using namespace vagolume;

class TestCalendario : public QObject {
    Q_OBJECT
private slots:
    // The names printed on a sheet, from its date; every weekday once.
    void nomiDallaData_data() {
        QTest::addColumn<QDate>("data");
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("settimana");
        QTest::addColumn<QString>("giorno");
        QTest::addColumn<QString>("mese");
        QTest::newRow("sabato") << QDate(2024, 3, 2) << 0 << "Sab"
                                << "02"
                                << "Mar";
        QTest::newRow("domenica") << QDate(2024, 5, 12) << 1 << "Dom"
                                  << "12"
                                  << "Mag";
        QTest::newRow("lunedì, capodanno") << QDate(2024, 1, 1) << 2 << "Lun"
                                           << "01"
                                           << "Gen";
        QTest::newRow("martedì, 31 dicembre") << QDate(2024, 12, 31) << 3 << "Mar"
                                              << "31"
                                              << "Dic";
        QTest::newRow("mercoledì") << QDate(2024, 7, 17) << 4 << "Mer"
                                   << "17"
                                   << "Lug";
        QTest::newRow("giovedì, 29 febbraio") << QDate(2024, 2, 29) << 5 << "Gio"
                                              << "29"
                                              << "Feb";
        QTest::newRow("venerdì") << QDate(2024, 10, 11) << 6 << "Ven"
                                 << "11"
                                 << "Ott";
        QTest::newRow("data non valida") << QDate() << 0 << ""
                                         << ""
                                         << "";
    }
    void nomiDallaData() {
        QFETCH(QDate, data);
        QFETCH(int, indice);
        QFETCH(QString, settimana);
        QFETCH(QString, giorno);
        QFETCH(QString, mese);
        QCOMPARE(int(IndiceSettimana(data)), indice);
        QCOMPARE(NomeGiorno(data), settimana);
        QCOMPARE(TestoGiorno(data), giorno);
        QCOMPARE(NomeMese(data), mese);
        // The same weekday as the day numbers give, between 1901 and 2099.
        if (data.isValid())
            QCOMPARE(std::fmod(Data2Giul(data.toString(QStringLiteral("ddMMyyyy"))), 7.0), double(indice));
    }

    void numeroGiorni_data() {
        QTest::addColumn<QDate>("dal");
        QTest::addColumn<QDate>("al");
        QTest::addColumn<int>("giorni");
        QTest::newRow("un giorno") << QDate(2026, 12, 7) << QDate(2026, 12, 7) << 1;
        QTest::newRow("cinque giorni") << QDate(2026, 12, 7) << QDate(2026, 12, 11) << 5;
        QTest::newRow("a cavallo dell'anno") << QDate(2026, 12, 28) << QDate(2027, 1, 3) << 7;
        QTest::newRow("29 febbraio") << QDate(2024, 2, 28) << QDate(2024, 3, 1) << 3;
        QTest::newRow("al contrario") << QDate(2026, 12, 11) << QDate(2026, 12, 7) << 0;
        QTest::newRow("data non valida") << QDate() << QDate(2026, 12, 7) << 0;
    }
    void numeroGiorni() {
        QFETCH(QDate, dal);
        QFETCH(QDate, al);
        QFETCH(int, giorni);
        QCOMPARE(NumeroGiorni(dal, al), giorni);
    }

    void giorniMese_data() {
        QTest::addColumn<int>("anno");
        QTest::addColumn<int>("mese");
        QTest::addColumn<int>("giorni");
        QTest::newRow("feb 2010") << 2010 << 2 << 28;
        QTest::newRow("feb 2012") << 2012 << 2 << 29;
        QTest::newRow("feb 2000") << 2000 << 2 << 29;
        QTest::newRow("feb 2100") << 2100 << 2 << 28;
        QTest::newRow("feb 1900") << 1900 << 2 << 28;
        QTest::newRow("apr") << 2010 << 4 << 30;
        QTest::newRow("dic") << 2010 << 12 << 31;
        QTest::newRow("mese 0") << 2010 << 0 << 31;
        QTest::newRow("mese 13") << 2010 << 13 << 28;
        QTest::newRow("mese -1") << 2010 << -1 << 28;
    }
    void giorniMese() {
        QFETCH(int, anno);
        QFETCH(int, mese);
        QFETCH(int, giorni);
        QCOMPARE(GiorniMese(static_cast<int16_t>(anno), static_cast<int16_t>(mese)), giorni);
    }

    void data2Giul_data() {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<double>("numero");
        QTest::newRow("01012010") << "01012010" << 733788.0;
        QTest::newRow("15072010") << "15072010" << 733983.0;
        QTest::newRow("31122010") << "31122010" << 734152.0;
        QTest::newRow("29022024") << "29022024" << 738960.0;
        QTest::newRow("01032000") << "01032000" << 730195.0;
    }
    void data2Giul() {
        QFETCH(QString, testo);
        QFETCH(double, numero);
        QCOMPARE(Data2Giul(testo), numero);
        QCOMPARE(Giu2Datas(numero), testo);
    }

    void giorniOltreLaFineDelMese() {
        QCOMPARE(Data2Giul("31042010"), Data2Giul("01052010"));
        QCOMPARE(Data2Giul("29022011"), Data2Giul("01032011"));
    }

    void febbraio() {
        QCOMPARE(Data2Giul("01032011") - Data2Giul("28022011"), 1.0);
        QCOMPARE(Data2Giul("01032012") - Data2Giul("28022012"), 2.0);
        // Every fourth year is a leap year for the day numbers.
        QCOMPARE(Data2Giul("01031900") - Data2Giul("28021900"), 2.0);
    }

    void sabatoResto0() {
        QCOMPARE(std::fmod(Data2Giul("02032024"), 7.0), 0.0); // a Saturday
        QCOMPARE(std::fmod(Data2Giul("01032024"), 7.0), 6.0); // a Friday
        QCOMPARE(std::fmod(Data2Giul("07122026"), 7.0), 2.0); // a Monday
    }

    // The inverse gives every date back for years 1 to 3027, and first fails
    // on 31 January 3028.
    void andataERitorno() {
        int16_t g = 0, m = 0, a = 0;
        for (int anno = 1; anno <= 3027; ++anno)
            for (int mese = 1; mese <= 12; ++mese)
                for (int giorno = 1; giorno <= GiorniMese(anno, mese); ++giorno) {
                    if (mese == 2 && giorno == 29 && anno % 4 != 0) continue;
                    const QString testo = Gma2Data(giorno, mese, anno);
                    Giul2Data(Data2Giul(testo), g, m, a);
                    if (g != giorno || m != mese || a != anno)
                        QFAIL(qPrintable(QStringLiteral("%1 -> %2/%3/%4").arg(testo).arg(g).arg(m).arg(a)));
                }
        for (int giorno = 1; giorno <= 30; ++giorno) {
            Giul2Data(Data2Giul(Gma2Data(giorno, 1, 3028)), g, m, a);
            QCOMPARE(Gma2Data(g, m, a), Gma2Data(giorno, 1, 3028));
        }
        Giul2Data(Data2Giul("31013028"), g, m, a);
        QVERIFY(Gma2Data(g, m, a) != QStringLiteral("31013028"));
    }

    void testi() {
        QCOMPARE(Zero(7, 2), QStringLiteral("07"));
        QCOMPARE(Zero(99, 2), QStringLiteral("99"));
        QCOMPARE(Zero(5, 2), QStringLiteral("05"));
        QCOMPARE(Zero(2010, 4), QStringLiteral("2010"));
        QCOMPARE(Zero(123, 2), QStringLiteral("23"));
        QCOMPARE(Data2Data("15072010"), QStringLiteral("15/07/2010"));
        QCOMPARE(Gma2Data(1, 3, 2024), QStringLiteral("01032024"));
    }

    void testoNonNumerico() {
        int16_t g = -1, m = -1, a = -1;
        Data2Gma("ab0x2010", g, m, a);
        QCOMPARE(g, int16_t(0));
        QCOMPARE(m, int16_t(0));
        QCOMPARE(a, int16_t(2010));
        QCOMPARE(ValoreNumerico(""), int16_t(0));
        QCOMPARE(ValoreNumerico("12abc"), int16_t(12));
    }

    // Numbers beyond 16 bits are a failed step, never undefined behaviour.
    void fuoriIntervallo() {
        QCOMPARE(ValoreNumerico("32767"), int16_t(32767));
        QVERIFY_THROWS_EXCEPTION(ErroreCalcolo, ValoreNumerico("32768"));
        QVERIFY_THROWS_EXCEPTION(ErroreCalcolo, Data2Giul("010199999"));
        QVERIFY_THROWS_EXCEPTION(ErroreCalcolo, Giu2Datas(1e12));
        QVERIFY_THROWS_EXCEPTION(ErroreCalcolo, Giu2Datas(std::numeric_limits<double>::quiet_NaN()));
    }
};

QTEST_GUILESS_MAIN(TestCalendario)
#include "test_calendario.moc"
