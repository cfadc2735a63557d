// The window's state and handlers, driven without a display: start-up
// defaults, the period pickers, key filters, blank mode, the printer panel,
// cancelling a run and the help text. A few checks at the end look at the
// real widgets (offscreen) to make sure they show that state.

#include "app/ModelloFinestra.h"
#include "app/frmbase.h"
#include "calendar/Calendario.h"
#include "print/Stampanti.h"
#include "support/RecordingSurface.h"
#include "versione.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vagolume;

namespace {

// What a run left on its surface, kept after the window drops the surface.
struct EsitoSuperficie {
    QString stampante;
    bool ended = false, aborted = false;
    int drawings = 0;
};

class SuperficieOsservata : public RecordingSurface {
public:
    explicit SuperficieOsservata(EsitoSuperficie& esito) : esito_(esito) {}
    ~SuperficieOsservata() override {
        esito_.ended = ended;
        esito_.aborted =
            aborted || !OfKind(Op::AbortDocument).isEmpty(); // a document of the run was discarded
        esito_.drawings =
            static_cast<int>(OfKind(Op::Box).size() + OfKind(Op::Line).size() + OfKind(Op::Text).size());
    }

private:
    EsitoSuperficie& esito_;
};

// A window model with scripted services.
struct Banco {
    QTemporaryDir cartella; // working folder and program folder (no Commandline.txt)
    QStringList installate{QStringLiteral("Laser"), QStringLiteral("laser")};
    QList<bool> risposte; // answers to the Yes/No questions, in order
    QStringList domande;  // "title|text" of every question
    QString titoloInfo, testoInfo;
    std::function<void(ModelloFinestra&, int)> eventi; // each pass of event processing
    int passi = 0;
    int termina = -1;
    QList<EsitoSuperficie> superfici;
    std::unique_ptr<ModelloFinestra> m;

    Banco() {
        superfici.reserve(16);
        Servizi s;
        s.DomandaSiNo = [this](const QString& titolo, const QString& testo) {
            domande.append(titolo + u'|' + testo);
            return risposte.isEmpty() ? false : risposte.takeFirst();
        };
        s.Informazione = [this](const QString& titolo, const QString& testo) {
            titoloInfo = titolo;
            testoInfo = testo;
        };
        s.ElaboraEventi = [this] {
            ++passi;
            if (eventi) eventi(*m, passi);
        };
        s.StampantiInstallate = [this] { return installate; };
        s.CreaSuperficie = [this](const QString& nome,
                                  std::function<QString()>) -> std::unique_ptr<PrinterSurface> {
            superfici.append(EsitoSuperficie{nome});
            return std::make_unique<SuperficieOsservata>(superfici.last());
        };
        s.Termina = [this](int codice) { termina = codice; };
        s.CartellaLavoro = cartella.path();
        m = std::make_unique<ModelloFinestra>(std::move(s));
        m->ImpostaStampanteCorrente(QStringLiteral("Predefinita"));
    }
    void Avvia(const QDate& oggi = QDate(2026, 4, 7), const QString& riga = QString()) {
        m->Form_Load(oggi, riga, cartella.path());
    }
    bool FileFine() const { return QFile::exists(cartella.filePath(kFileFineStampa)); }
    // A complete itinerary of three days.
    void Itinerario() {
        m->txtLocalita.Testo = QStringLiteral("ROMA");
        m->cmbg1.Testo = QStringLiteral("01");
        m->cmbg2.Testo = QStringLiteral("03");
        m->cmbData_Click();
    }
    // "&Stampa", a printer chosen by row (-1: none), "S&tampa".
    void Stampa(int riga) {
        m->cmdStampa_Click();
        m->lstStampanti.Selezionato = riga;
        m->cmdSelStampante_Click(0);
    }
};

QStringList Numeri(int da, int a) {
    QStringList r;
    for (int i = da; da <= a ? i <= a : i >= a; i += da <= a ? 1 : -1)
        r.append(Zero(i, 2));
    return r;
}

} // namespace

class TestFinestra : public QObject {
    Q_OBJECT
private slots:
    void formLoad_valoriIniziali() {
        Banco b;
        b.Avvia(QDate(2026, 4, 7));
        const ModelloFinestra& m = *b.m;
        QCOMPARE(m.cmbg1.Testo, QStringLiteral("07"));
        QCOMPARE(m.cmbm1.Testo, QStringLiteral("04"));
        QCOMPARE(m.cmba1.Testo, QStringLiteral("2026"));
        QCOMPARE(m.cmbg2.Testo, QStringLiteral("31")); // in a 30-day month too
        QCOMPARE(m.cmbm2.Testo, QStringLiteral("04"));
        QCOMPARE(m.cmba2.Testo, QStringLiteral("2026"));
        QCOMPARE(m.cmbg1.Voci, Numeri(1, 31)); // upwards at start-up
        QCOMPARE(m.cmbg2.Voci, Numeri(1, 31));
        QCOMPARE(m.cmbm1.Voci, Numeri(1, 12));
        const QStringList anni{QStringLiteral("2025"), QStringLiteral("2026"), QStringLiteral("2027"),
                               QStringLiteral("2028")};
        QCOMPARE(m.cmba1.Voci, anni);
        QCOMPARE(m.cmba2.Voci, anni);
        QCOMPARE(m.cmbCopie.Testo, QStringLiteral("01"));
        QCOMPARE(m.cmbCopie.Voci, Numeri(1, 99));
        // Idle, data mode.
        QVERIFY(!m.cmdStampa.Abilitato); // empty destination
        QVERIFY(m.cmdStampa.Visibile);
        QVERIFY(m.StampaPredefinito);
        QVERIFY(!m.cmdAnnulla.Visibile);
        QVERIFY(!m.cmbCopie.Abilitato);
        QVERIFY(m.frmLocalita.Abilitato && m.frmPeriodo.Abilitato && m.txtLocalita.Abilitato);
        QCOMPARE(m.txtLocalita.ColoreTesto, kNero);
        QVERIFY(!m.txtSopra.Visibile);
        QVERIFY(m.cmdHelp.Visibile);
        QVERIFY(m.cmdFine.Abilitato);
        QVERIFY(!m.frmSelStampa.Visibile);
        QVERIFY(m.FinestraVisibile);
        QCOMPARE(m.AltezzaFinestra, 4000);
        QVERIFY(b.superfici.isEmpty()); // no run
        QVERIFY(!b.FileFine());
    }

    void rifacimentoGiorni_data() {
        QTest::addColumn<QString>("giorno");
        QTest::addColumn<QString>("mese");
        QTest::addColumn<QString>("anno");
        QTest::addColumn<QStringList>("voci");
        QTest::addColumn<QString>("risultato");
        QTest::newRow("31 -> febbraio 2023") << "31"
                                             << "02"
                                             << "2023" << Numeri(28, 1) << "28";
        QTest::newRow("31 -> febbraio 2024") << "31"
                                             << "02"
                                             << "2024" << Numeri(29, 1) << "29";
        QTest::newRow("15 -> aprile") << "15"
                                      << "04"
                                      << "2026" << Numeri(30, 1) << "15";
        QTest::newRow("30 -> dicembre") << "30"
                                        << "12"
                                        << "2026" << Numeri(31, 1) << "30";
        QTest::newRow("31 -> novembre") << "31"
                                        << "11"
                                        << "2026" << Numeri(30, 1) << "30";
    }
    void rifacimentoGiorni() {
        QFETCH(QString, giorno);
        QFETCH(QString, mese);
        QFETCH(QString, anno);
        QFETCH(QStringList, voci);
        QFETCH(QString, risultato);
        for (int quale = 1; quale <= 2; ++quale) {
            Banco b;
            b.Avvia();
            ModelloFinestra& m = *b.m;
            Controllo& g = quale == 1 ? m.cmbg1 : m.cmbg2;
            Controllo& altro = quale == 1 ? m.cmbg2 : m.cmbg1;
            const QStringList altroPrima = altro.Voci;
            g.Testo = giorno;
            (quale == 1 ? m.cmba1 : m.cmba2).Testo = anno;
            (quale == 1 ? m.cmbm1 : m.cmbm2).Testo = mese;
            quale == 1 ? m.cmbM1_Click() : m.cmbM2_Click();
            QCOMPARE(g.Voci, voci);
            QCOMPARE(g.Testo, risultato);
            QCOMPARE(altro.Voci, altroPrima); // the other date's list is untouched
        }
    }

    void annoNonRifaGiorni() {
        // Choosing a year keeps the day list: February of a leap year keeps 29.
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        m.cmba1.Testo = QStringLiteral("2028");
        m.cmbm1.Testo = QStringLiteral("02");
        m.cmbM1_Click();
        m.cmba1.Testo = QStringLiteral("2027");
        m.cmbData_Click();
        QCOMPARE(m.cmbg1.Voci.size(), 29);
    }

    void filtroListe_data() {
        QTest::addColumn<int>("tasto");
        QTest::newRow("cifra") << int('5');
        QTest::newRow("lettera") << int('a');
        QTest::newRow("spazio") << int(' ');
        QTest::newRow("backspace") << 8;
        QTest::newRow("accentata") << int(u'è');
    }
    void filtroListe() {
        QFETCH(int, tasto);
        Banco b;
        b.Avvia();
        char16_t k = static_cast<char16_t>(tasto);
        b.m->cmbData_KeyPress(k);
        QCOMPARE(int(k), 0);
        QCOMPARE(b.m->cmbg1.Testo, QStringLiteral("07"));
    }

    void maiuscole_data() {
        QTest::addColumn<int>("tasto");
        QTest::addColumn<int>("atteso");
        QTest::newRow("r") << int('r') << int('R');
        QTest::newRow("R") << int('R') << int('R');
        QTest::newRow("è") << int(u'è') << int(u'È');
        QTest::newRow("à") << int(u'à') << int(u'À');
        QTest::newRow("ù") << int(u'ù') << int(u'Ù');
        QTest::newRow("cifra") << int('7') << int('7');
        QTest::newRow("spazio") << int(' ') << int(' ');
        QTest::newRow("backspace") << 8 << 8;
    }
    void maiuscole() {
        QFETCH(int, tasto);
        QFETCH(int, atteso);
        Banco b;
        b.Avvia();
        char16_t k = static_cast<char16_t>(tasto);
        b.m->txtLocalita_KeyPress(k);
        QCOMPARE(int(k), atteso);
    }

    void ritardoDiUnTasto() {
        // The check runs before the key reaches the box: the first letter
        // does not enable "&Stampa", the second one (or a list choice) does.
        auto digita = [](ModelloFinestra& m, char16_t c) {
            m.txtLocalita_KeyPress(c);
            m.txtLocalita.Testo.append(QChar(c)); // the box takes the key afterwards
        };
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        digita(m, u'r');
        QCOMPARE(m.txtLocalita.Testo, QStringLiteral("R"));
        QVERIFY(!m.cmdStampa.Abilitato);
        digita(m, u'o');
        QVERIFY(m.cmdStampa.Abilitato);

        Banco b2;
        b2.Avvia();
        digita(*b2.m, u'x');
        QVERIFY(!b2.m->cmdStampa.Abilitato);
        b2.m->cmbData_Click();
        QVERIFY(b2.m->cmdStampa.Abilitato);
    }

    void stampaVisibile_data() {
        QTest::addColumn<QString>("destinazione");
        QTest::addColumn<QString>("inizio");
        QTest::addColumn<QString>("fine");
        QTest::addColumn<bool>("abilitato");
        QTest::newRow("un giorno") << "ROMA"
                                   << "05032024"
                                   << "05032024" << true;
        QTest::newRow("tre giorni") << "ROMA"
                                    << "01032024"
                                    << "03032024" << true;
        QTest::newRow("fine prima dell'inizio") << "ROMA"
                                                << "05032024"
                                                << "04032024" << false;
        QTest::newRow("31 aprile = 1 maggio") << "ROMA"
                                              << "31042024"
                                              << "01052024" << true;
        QTest::newRow("a cavallo d'anno") << "ROMA"
                                          << "30122025"
                                          << "02012026" << true;
        QTest::newRow("senza destinazione") << ""
                                            << "01032024"
                                            << "03032024" << false;
    }
    void stampaVisibile() {
        QFETCH(QString, destinazione);
        QFETCH(QString, inizio);
        QFETCH(QString, fine);
        QFETCH(bool, abilitato);
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        m.txtLocalita.Testo = destinazione;
        m.cmbg1.Testo = inizio.mid(0, 2);
        m.cmbm1.Testo = inizio.mid(2, 2);
        m.cmba1.Testo = inizio.mid(4);
        m.cmbg2.Testo = fine.mid(0, 2);
        m.cmbm2.Testo = fine.mid(2, 2);
        m.cmba2.Testo = fine.mid(4);
        m.StampaPredefinito = false;
        m.StampaVisibile();
        QCOMPARE(m.cmdStampa.Abilitato, abilitato);
        QVERIFY(m.StampaPredefinito);
    }

    void moduliInBianco() {
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        QVERIFY(!m.cmdStampa.Abilitato);
        m.chkBianco.Spuntato = true;
        m.chkBianco_Click();
        QVERIFY(m.cmdStampa.Abilitato); // empty destination, still printable
        QVERIFY(m.StampaPredefinito);
        QVERIFY(!m.frmLocalita.Abilitato);
        QVERIFY(!m.frmPeriodo.Abilitato);
        QVERIFY(m.cmbCopie.Abilitato);
        for (const Controllo* c :
             {&m.txtLocalita, &m.cmbg1, &m.cmbm1, &m.cmba1, &m.cmbg2, &m.cmbm2, &m.cmba2})
            QCOMPARE(c->ColoreTesto, kBianco);
        QVERIFY(m.TastoInvio()); // Enter presses "&Stampa"
        QVERIFY(m.frmSelStampa.Visibile);
        m.cmdSelStampante_Click(1);

        m.chkBianco.Spuntato = false;
        m.chkBianco_Click();
        QVERIFY(!m.cmdStampa.Abilitato);
        QVERIFY(m.frmLocalita.Abilitato && m.frmPeriodo.Abilitato);
        QVERIFY(!m.cmbCopie.Abilitato);
        for (const Controllo* c :
             {&m.txtLocalita, &m.cmbg1, &m.cmbm1, &m.cmba1, &m.cmbg2, &m.cmbm2, &m.cmba2})
            QCOMPARE(c->ColoreTesto, kNero);
        QVERIFY(!m.TastoInvio());
        QVERIFY(!m.frmSelStampa.Visibile);
    }

    void pannelloStampanti() {
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        b.Itinerario();
        QVERIFY(m.TastoInvio());
        QVERIFY(m.frmSelStampa.Visibile);
        const QStringList attese{QStringLiteral("Laser"), QStringLiteral("laser"), kNomeScrittorePdf};
        QCOMPARE(m.lstStampanti.Voci, attese); // system order, then the PDF writer
        QCOMPARE(m.lstStampanti.Selezionato, -1);
        // "&Rinuncia": panel closed, nothing printed, printer unchanged.
        m.lstStampanti.Selezionato = 0;
        m.cmdSelStampante_Click(1);
        QVERIFY(!m.frmSelStampa.Visibile);
        QVERIFY(b.superfici.isEmpty());
        QCOMPARE(m.StampanteCorrente(), QStringLiteral("Predefinita"));
        // Any other index does nothing.
        m.cmdStampa_Click();
        m.cmdSelStampante_Click(2);
        QVERIFY(m.frmSelStampa.Visibile);
        QVERIFY(b.superfici.isEmpty());
        // Opening again rebuilds the list without a preselection.
        b.installate = QStringList{QStringLiteral("Nuova")};
        m.lstStampanti.Selezionato = 1;
        m.cmdStampa_Click();
        QCOMPARE(m.lstStampanti.Voci, (QStringList{QStringLiteral("Nuova"), kNomeScrittorePdf}));
        QCOMPARE(m.lstStampanti.Selezionato, -1);
    }

    void sceltaStampante_data() {
        QTest::addColumn<int>("riga");
        QTest::addColumn<QStringList>("installateAlClic");
        QTest::addColumn<QString>("usata");
        const QStringList due{QStringLiteral("Laser"), QStringLiteral("laser")};
        QTest::newRow("maiuscola") << 0 << due << "Laser";
        QTest::newRow("minuscola") << 1 << due << "laser";
        QTest::newRow("scrittore PDF") << 2 << due << kNomeScrittorePdf;
        QTest::newRow("nessuna scelta") << -1 << due << "Predefinita";
        QTest::newRow("stampante tolta nel frattempo")
            << 1 << QStringList{QStringLiteral("Laser")} << "Predefinita";
    }
    void sceltaStampante() {
        QFETCH(int, riga);
        QFETCH(QStringList, installateAlClic);
        QFETCH(QString, usata);
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        b.Itinerario();
        b.risposte = {true};
        m.cmdStampa_Click();
        b.installate = installateAlClic;
        m.lstStampanti.Selezionato = riga;
        m.cmdSelStampante_Click(0);
        QVERIFY(!m.frmSelStampa.Visibile);
        QCOMPARE(b.superfici.size(), 1);
        QCOMPARE(b.superfici[0].stampante, usata);
        QVERIFY(b.superfici[0].ended);
        QCOMPARE(m.StampanteCorrente(), usata);
        // The chosen printer stays current: the next run without a choice uses it.
        b.risposte = {true};
        b.Stampa(-1);
        QCOMPARE(b.superfici.size(), 2);
        QCOMPARE(b.superfici[1].stampante, usata);
    }

    void statiDurantelaStampa() {
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        b.Itinerario();
        b.risposte = {true};
        QList<int> larghezze;
        b.eventi = [&](ModelloFinestra& f, int) {
            QVERIFY(f.cmdAnnulla.Visibile);
            QVERIFY(!f.cmdStampa.Visibile);
            QVERIFY(f.txtSopra.Visibile);
            QVERIFY(f.cmdFine.Abilitato); // a run from the window leaves "&Fine" alone
            QVERIFY(!f.TastoInvio());     // no second run from Enter
            larghezze.append(f.txtSopra.Larghezza);
        };
        b.Stampa(2);
        // Page set-up, then one pass per page: the fill grows to the full track.
        QCOMPARE(b.passi, 4);
        QCOMPARE(larghezze.mid(1), (QList<int>{1545, 3090, 4635}));
        QVERIFY(b.superfici[0].ended);
        QCOMPARE(b.domande.size(), 1);
        QVERIFY(b.domande[0].startsWith(QStringLiteral("Stampa dei moduli|Predisposizione per la stampa\r")));
        QVERIFY(b.domande[0].contains(QStringLiteral("Pagine: . . . . . . . . 3\r")));
        // Back to idle.
        QVERIFY(!m.cmdAnnulla.Visibile);
        QVERIFY(m.cmdStampa.Visibile && m.cmdStampa.Abilitato);
        QVERIFY(!m.txtSopra.Visibile);
        QVERIFY(m.txtFondo.Testo.isEmpty());
        QVERIFY(b.FileFine());
    }

    void confermaNo() {
        Banco b;
        b.Avvia();
        b.Itinerario();
        b.risposte = {false};
        b.Stampa(2);
        QCOMPARE(b.superfici.size(), 1);
        QCOMPARE(b.superfici[0].drawings, 0);
        QVERIFY(!b.superfici[0].ended);
        QCOMPARE(b.passi, 0);
        QVERIFY(b.FileFine()); // the caller still learns that printing is over
    }

    void annulla_data() {
        QTest::addColumn<bool>("risposta");
        QTest::addColumn<bool>("bianco");
        QTest::newRow("No") << false << false;
        QTest::newRow("Sì") << true << false;
        QTest::newRow("Sì, in bianco") << true << true;
    }
    void annulla() {
        QFETCH(bool, risposta);
        QFETCH(bool, bianco);
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        if (bianco) {
            m.chkBianco.Spuntato = true;
            m.chkBianco_Click();
            m.cmbCopie.Testo = QStringLiteral("99");
        } else {
            b.Itinerario();
        }
        b.risposte = {true, risposta};
        int ultimaPagina = 0;
        b.eventi = [&](ModelloFinestra& f, int passo) {
            ultimaPagina = passo - 1;
            if (passo == 3) // while page 2 is being composed
                f.cmdAnnulla_Click();
        };
        b.Stampa(2);
        QCOMPARE(b.domande.size(), 2);
        QCOMPARE(b.domande[1], QStringLiteral("Stampa dei moduli|Vuoi annullare la stampa?"));
        QCOMPARE(m.Form.AnnullaStampa, risposta);
        QCOMPARE(b.superfici[0].aborted, risposta); // nothing of the run printed
        QCOMPARE(b.superfici[0].ended, !risposta);
        QCOMPARE(ultimaPagina, risposta ? 2 : (bianco ? 99 : 3));
        QVERIFY(b.FileFine());
        QVERIFY(!m.cmdAnnulla.Visibile);
        QVERIFY(m.cmdStampa.Visibile);
    }

    void fineDuranteLaStampa() {
        Banco b;
        b.Avvia();
        b.Itinerario();
        b.risposte = {true};
        b.eventi = [](ModelloFinestra& f, int passo) {
            if (passo == 2) f.cmdFine_Click();
        };
        b.Stampa(2);
        QCOMPARE(b.termina, 1);
        QVERIFY(b.superfici[0].aborted); // nothing half-drawn reaches the printer
        QVERIFY(b.FileFine());
    }

    void invocazione() {
        Banco b;
        bool fineDisabilitata = false, bloccato = false;
        b.eventi = [&](ModelloFinestra& f, int) {
            fineDisabilitata = !f.cmdFine.Abilitato;
            bloccato = !f.cmdHelp.Visibile && !f.txtLocalita.Abilitato && !f.cmbg1.Abilitato &&
                       !f.cmbm2.Abilitato && !f.cmba2.Abilitato && !f.chkBianco.Abilitato;
        };
        b.Avvia(QDate(2026, 4, 7), QStringLiteral("ROMA,01/03/2024,03/03/2024"));
        QVERIFY(fineDisabilitata);
        QVERIFY(bloccato);
        QVERIFY(b.domande.isEmpty()); // no confirmation
        QCOMPARE(b.superfici.size(), 1);
        QCOMPARE(b.superfici[0].stampante, QStringLiteral("Predefinita"));
        QVERIFY(b.FileFine());
        QCOMPARE(b.termina, 0);
    }

    void help() {
        Banco b;
        b.Avvia();
        b.m->cmdHelp_Click();
        QCOMPARE(b.titoloInfo, QStringLiteral("Help - istruzioni per l'uso"));
        const QString& t = b.testoInfo;
        QVERIFY(!t.contains(u'\n'));
        QVERIFY(!t.endsWith(u'\r'));
        const QStringList righe = t.split(u'\r');
        QCOMPARE(righe.size(), 15);
        QCOMPARE(righe[0], QStringLiteral("Stampa con dati inseriti ('Moduli in bianco' non settato)"));
        QCOMPARE(righe[2], QStringLiteral("   * località;"));
        QCOMPARE(righe[8],
                 QStringLiteral("influisce nella stampa dei moduli compilati dove è sempre pari ad 1."));
        for (int vuota : {5, 9, 12})
            QVERIFY(righe[vuota].isEmpty());
        QCOMPARE(righe[13], b.m->CreditLine() + QStringLiteral(" - freeware"));
        QVERIFY(b.m->CreditLine().startsWith(QStringLiteral(VAGOLUME_PRODUCT_NAME " ")));
        QCOMPARE(righe[14], QStringLiteral("Per contattarmi: " VAGOLUME_CONTACT));
        QVERIFY(QStringLiteral(VAGOLUME_CONTACT).contains(u'@'));
    }

    // The real widgets, offscreen.
    void widget_mostraLoStato() {
        QTemporaryDir dir;
        Servizi s;
        s.CartellaLavoro = dir.path();
        frmbase f(s);
        f.Form_Load(QDate(2026, 4, 7), QString(), dir.path());
        QCOMPARE(f.windowTitle(), QStringLiteral("Stampa moduli per  'Vagolume'"));
        QCOMPARE(f.frmLocalita->title(), QStringLiteral("D&estinazione:"));
        QCOMPARE(f.Label1->buddy(), f.cmbg1);
        QCOMPARE(f.Label2->buddy(), f.cmbg2);
        QCOMPARE(f.Label3->buddy(), f.cmbCopie);
        QCOMPARE(f.cmdSelStampante[0]->text(), QStringLiteral("S&tampa"));
        QCOMPARE(f.palette().color(QPalette::Window), QColor(0x008080));
        QCOMPARE(f.frmSelStampa->palette().color(QPalette::WindowText), QColor(0xC0FFFF));
        QCOMPARE(f.lblCopyright->palette().color(QPalette::WindowText), QColor(0xC0FFC0));
        QCOMPARE(f.txtSopra->palette().color(QPalette::Base), QColor(0x0000FF));
        QCOMPARE(f.cmbg1->currentText(), QStringLiteral("07"));
        QCOMPARE(f.cmbg1->currentIndex(), 6); // the arrow keys move on from the day shown
        QVERIFY(!f.cmdStampa->isEnabled());
        QVERIFY(f.cmdStampa->isDefault());
        QVERIFY(f.cmdAnnulla->isHidden());
        QVERIFY(f.frmSelStampa->isHidden());

        // Typing: upper case, accented letters too; nothing typed into the lists.
        QTest::keyClicks(f.txtLocalita, QStringLiteral("forl"));
        QKeyEvent accentata(QEvent::KeyPress, Qt::Key_Igrave, Qt::NoModifier, QStringLiteral("ì"));
        QApplication::sendEvent(f.txtLocalita, &accentata);
        QCOMPARE(f.txtLocalita->text(), QStringLiteral("FORLÌ"));
        QVERIFY(f.cmdStampa->isEnabled());
        QTest::keyClicks(f.cmbg1->lineEdit(), QStringLiteral("12a"));
        QTest::keyClick(f.cmbg1->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(f.cmbg1->currentText(), QStringLiteral("07"));
        QCOMPARE(f.Modello().cmbg1.Testo, QStringLiteral("07"));
        QTest::keyClick(f.cmbg1->lineEdit(), Qt::Key_Down);
        QCOMPARE(f.Modello().cmbg1.Testo, QStringLiteral("08"));

        // Enter in the destination opens the printer panel in front.
        QTest::keyClick(f.txtLocalita, Qt::Key_Return);
        QVERIFY(!f.frmSelStampa->isHidden());
        QCOMPARE(f.lstStampanti->item(f.lstStampanti->count() - 1)->text(), kNomeScrittorePdf);
        QVERIFY(f.lstStampanti->selectedItems().isEmpty());
        QCOMPARE(f.children().last(), f.frmSelStampa); // on top of the other controls
        QTest::keyClick(f.lstStampanti, Qt::Key_End);
        QCOMPARE(f.Modello().lstStampanti.Selezionato, f.lstStampanti->count() - 1);
        f.cmdSelStampante[1]->click();
        QVERIFY(f.frmSelStampa->isHidden());

        // Blank mode: greyed out, white texts.
        f.chkBianco->click();
        QVERIFY(!f.frmLocalita->isEnabled());
        QVERIFY(!f.cmbm2->isEnabled());
        QVERIFY(f.cmbCopie->isEnabled());
        QCOMPARE(f.txtLocalita->palette().color(QPalette::Disabled, QPalette::Text), QColor(Qt::white));
        QCOMPARE(f.cmbg2->lineEdit()->palette().color(QPalette::Disabled, QPalette::Text), QColor(Qt::white));
        QTest::keyClick(f.cmbCopie->lineEdit(), Qt::Key_Down);
        QCOMPARE(f.Modello().cmbCopie.Testo, QStringLiteral("02"));
        f.chkBianco->click();
        QVERIFY(f.frmPeriodo->isEnabled());
        QCOMPARE(f.txtLocalita->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    }

    void widget_scorciatoie() {
        QTemporaryDir dir;
        Servizi s;
        s.CartellaLavoro = dir.path();
        bool domandato = false;
        s.DomandaSiNo = [&domandato](const QString&, const QString&) {
            domandato = true;
            return true;
        };
        frmbase f(s);
        f.Form_Load(QDate(2026, 4, 7), QString(), dir.path());
        f.show();
        f.activateWindow();
        if (!QTest::qWaitForWindowActive(&f)) QSKIP("the window cannot be made active on this platform");
        auto alt = [&f](Qt::Key k) { QTest::keyClick(&f, k, Qt::AltModifier); };
        f.cmdFine->setFocus();
        alt(Qt::Key_E);
        QCOMPARE(QApplication::focusWidget(), f.txtLocalita);
        alt(Qt::Key_D);
        QVERIFY(f.cmbg1->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == f.cmbg1);
        alt(Qt::Key_A);
        QVERIFY(f.cmbg2->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == f.cmbg2);
        alt(Qt::Key_S); // disabled: nothing
        QVERIFY(f.frmSelStampa->isHidden());
        alt(Qt::Key_M);
        QVERIFY(f.chkBianco->isChecked());
        QVERIFY(f.Modello().chkBianco.Spuntato);
        alt(Qt::Key_N);
        QVERIFY(f.cmbCopie->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == f.cmbCopie);
        alt(Qt::Key_S);
        QVERIFY(!f.frmSelStampa->isHidden());
        alt(Qt::Key_R);
        QVERIFY(f.frmSelStampa->isHidden());
        QVERIFY(!domandato);
        // "&Annulla" takes Alt+A from "&Al" while a run shows it.
        f.Modello().MostraAnnulla(true);
        alt(Qt::Key_A);
        QVERIFY(domandato);
        QVERIFY(f.Modello().Form.AnnullaStampa);
        f.Modello().MostraAnnulla(false);
    }
};

QTEST_MAIN(TestFinestra)
#include "test_finestra.moc"
