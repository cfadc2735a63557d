// The print dialog's texts and its reading of typed pages: the confirmation
// question, and "Pagine:" as the user may type it.

#include "app/DialogoStampa.h"
#include "print/Stampanti.h"
#include "support/CorsaFinta.h"

#include <QTest>

using namespace vagolume;

class TestDialogo : public QObject {
    Q_OBJECT
private slots:
    // The confirmation: the design's lines, then the printer and what
    // differs from one copy of the whole document.
    void conferma_data() {
        QTest::addColumn<QString>("stampante");
        QTest::addColumn<int>("bianchi");
        QTest::addColumn<QList<int>>("pagine");
        QTest::addColumn<int>("copie");
        QTest::addColumn<bool>("fronteRetro");
        QTest::addColumn<QString>("testo");
        const QString domanda = QStringLiteral("\rVuoi stampare i moduli per il vagolume?");
        QTest::newRow("periodo su una stampante")
            << "Vagolume_Laser" << 0 << QList<int>{} << 1 << false
            << "Predisposizione per la stampa\r\rDestinazione: . . ROMA\rPeriodo: . . . . . . . 01/03 - "
               "05/03/2024\rPagine: . . . . . . . . 5\rStampante: . . . Vagolume_Laser\r" +
                   domanda;
        QTest::newRow("in bianco, come PDF")
            << kScrittorePdf << 3 << QList<int>{} << 1 << false
            << "Predisposizione per la stampa\r\rDestinazione: . . in bianco\rPeriodo: . . . . . . . in "
               "bianco\rPagine: . . . . . . . . 3\rStampante: . . . Salva come file PDF\r" +
                   domanda;
        QTest::newRow("pagine, copie, fronte-retro")
            << "Ufficio" << 3 << QList<int>{1, 3} << 2 << true
            << "Predisposizione per la stampa\r\rDestinazione: . . in bianco\rPeriodo: . . . . . . . in "
               "bianco\rPagine: . . . . . . . . 3\rStampante: . . . Ufficio\rSolo le pagine: . . . 1, 3 (di "
               "4, copertina compresa)\rCopie: . . . . . . . . . 2\rFronte-retro: . . . . . sì\r" +
                   domanda;
    }
    void conferma() {
        QFETCH(QString, stampante);
        QFETCH(int, bianchi);
        QFETCH(QList<int>, pagine);
        QFETCH(int, copie);
        QFETCH(bool, fronteRetro);
        QFETCH(QString, testo);
        RecordingSurface s;
        CorsaFinta c(s, QString());
        c.richiesta.Stampante = stampante;
        c.InBianco(bianchi);
        c.richiesta.Pagine = pagine;
        c.richiesta.Copie = copie;
        c.richiesta.FronteRetro = fronteRetro;
        QCOMPARE(TestoConferma(c.richiesta), testo);
    }

    // What the panel says of the pages chosen: the day each one carries.
    void datePagine_data() {
        QTest::addColumn<QList<int>>("pagine");
        QTest::addColumn<QString>("testo");
        QTest::newRow("una") << QList<int>{4} << "pagina 4: Gio 10 Dic";
        QTest::newRow("copertina e di seguito")
            << QList<int>{1, 4, 5, 6} << "pagina 1: copertina; pagine 4-6: Gio 10 Dic - Sab 12 Dic";
        QTest::newRow("nessuna") << QList<int>{} << "";
    }
    void datePagine() {
        QFETCH(QList<int>, pagine);
        QFETCH(QString, testo);
        QCOMPARE(TestoDatePagine(pagine, QDate(2026, 12, 8)), testo);
    }

    // Pages typed in the panel, against a document of 25 pages (a cover and
    // 24 sheets from 8 December 2026), as numbers or as the days they carry:
    // the pages chosen, or why the text does not fit.
    void leggiPagine_data() {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("pagine"); // as TestoPagine writes them; empty: all
        QTest::addColumn<QString>("motivo"); // a part of the reason; empty: none
        QTest::newRow("vuoto") << ""
                               << ""
                               << "";
        QTest::newRow("tutte") << " Tutte "
                               << ""
                               << "";
        QTest::newRow("una") << "4"
                             << "4"
                             << "";
        QTest::newRow("intervallo") << "3-5"
                                    << "3-5"
                                    << "";
        QTest::newRow("elenco") << "1,4-6"
                                << "1, 4-6"
                                << "";
        QTest::newRow("disordinate, ripetute, con blank") << " 6 , 1 ,4 - 5,5, "
                                                          << "1, 4-6"
                                                          << "";
        QTest::newRow("trattino lungo") << "4\u20136"
                                        << "4-6"
                                        << "";
        QTest::newRow("ultima") << "25"
                                << "25"
                                << "";
        QTest::newRow("tutte per numero") << "1-25"
                                          << ""
                                          << "";
        QTest::newRow("oltre la fine") << "3,26"
                                       << ""
                                       << "solo 25 pagine: la pagina 26";
        QTest::newRow("numero enorme") << "99999999999"
                                       << ""
                                       << "solo 25 pagine";
        QTest::newRow("al contrario") << "5-3"
                                      << ""
                                      << "scrivere 3-5";
        QTest::newRow("zero") << "0-2"
                              << ""
                              << "da 1";
        QTest::newRow("parola") << "quattro"
                                << ""
                                << "\"quattro\" non è un numero";
        QTest::newRow("fino alla fine") << "23-"
                                        << "23-25"
                                        << "";
        QTest::newRow("dall'inizio") << " - 3"
                                     << "1-3"
                                     << "";
        QTest::newRow("solo il trattino") << "-"
                                          << ""
                                          << "\"-\" non è un numero";
        QTest::newRow("zeri davanti") << "0000003"
                                      << "3"
                                      << "";
        // Days of the trip from 8 to 31 December 2026: sheet N is page N + 1.
        QTest::newRow("un giorno") << "11/12"
                                   << "5"
                                   << "";
        QTest::newRow("giorni di seguito") << "11/12-13/12"
                                           << "5-7"
                                           << "";
        QTest::newRow("copertina e un giorno con l'anno") << "1, 31/12/2026"
                                                          << "1, 25"
                                                          << "";
        QTest::newRow("giorno fuori dal viaggio") << "7/12"
                                                  << ""
                                                  << "il 7/12 non è un giorno del viaggio";
        QTest::newRow("data che non c'è") << "31/11"
                                          << ""
                                          << "\"31/11\" non è un numero";
        QTest::newRow("numero enorme, citato") << "12345678"
                                               << ""
                                               << "solo 25 pagine: la pagina 12345678 non c'è";
    }
    void leggiPagine() {
        QFETCH(QString, testo);
        QFETCH(QString, pagine);
        QFETCH(QString, motivo);
        const SceltaPagine scelta = LeggiPagine(testo, 25, QDate(2026, 12, 8));
        QCOMPARE(TestoPagine(scelta.Pagine), pagine);
        QVERIFY2(motivo.isEmpty() ? scelta.Motivo.isEmpty() : scelta.Motivo.contains(motivo),
                 qPrintable(scelta.Motivo));
    }
};

QTEST_MAIN(TestDialogo)
#include "test_dialogo.moc"
