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
#include <QClipboard>
#include <QComboBox>
#include <QDir>
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
    QString filePdf; // the chosen file as the surface saw it at its first drawing
};

// A surface that behaves, at the end of the document, as the PDF writer does
// (the document saved as the chosen file, or a fixed one) or fails as a
// printer that refuses the job.
class SuperficieOsservata : public RecordingSurface {
public:
    SuperficieOsservata(EsitoSuperficie& esito, std::function<QString()> filePdf, QString salvato,
                        QString guasto)
        : esito_(esito), filePdf_(std::move(filePdf)), salvato_(std::move(salvato)),
          guasto_(std::move(guasto)) {}
    void DrawBox(float x1, float y1, float x2, float y2) override {
        if (!iniziato_ && filePdf_) esito_.filePdf = filePdf_();
        iniziato_ = true;
        RecordingSurface::DrawBox(x1, y1, x2, y2);
    }
    void EndDocument() override {
        if (!guasto_.isEmpty()) throw ErroreDocumento(guasto_.toStdString());
        RecordingSurface::EndDocument();
    }
    QString DocumentoSalvato() const override {
        if (!guasto_.isEmpty()) return salvato_; // kept after the failure, or nothing
        if (!ended) return {};
        return esito_.stampante == kNomeScrittorePdf ? esito_.filePdf : QString();
    }
    ~SuperficieOsservata() override {
        esito_.ended = ended;
        esito_.aborted =
            aborted || !OfKind(Op::AbortDocument).isEmpty(); // a document of the run was discarded
        esito_.drawings =
            static_cast<int>(OfKind(Op::Box).size() + OfKind(Op::Line).size() + OfKind(Op::Text).size());
    }

private:
    EsitoSuperficie& esito_;
    std::function<QString()> filePdf_;
    QString salvato_, guasto_;
    bool iniziato_ = false;
};

// A window model with scripted services.
struct Banco {
    QTemporaryDir cartella; // working folder and program folder (no Commandline.txt)
    QStringList installate{QStringLiteral("Laser"), QStringLiteral("laser")};
    QList<bool> risposte; // answers to the Yes/No questions, in order
    QStringList domande;  // "title|text" of every question
    QString titoloInfo, testoInfo;
    QStringList proposti;    // paths proposed by the save dialog
    QStringList sceltePdf;   // what the save dialog gives back, in order (empty: cancelled)
    QStringList riquadri;    // "title|text|file" of the boxes after a run
    QString salvato, guasto; // how the next surfaces end (see SuperficieOsservata)
    QString attese;          // "[" busy cursor on, "?" printers asked, "]" off
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
        s.StampantiInstallate = [this] {
            attese += u'?';
            return installate;
        };
        s.Occupato = [this](bool occupato) { attese += occupato ? u'[' : u']'; };
        s.CreaSuperficie = [this](const QString& nome, std::function<QString()>,
                                  std::function<QString()> filePdf) -> std::unique_ptr<PrinterSurface> {
            superfici.append(EsitoSuperficie{nome, false, false, 0, {}});
            return std::make_unique<SuperficieOsservata>(superfici.last(), std::move(filePdf), salvato,
                                                         guasto);
        };
        s.SalvaFile = [this](const QString& titolo, const QString& proposto) {
            domande.append(titolo + QStringLiteral("|dialogo"));
            proposti.append(proposto);
            return sceltePdf.isEmpty() ? QString() : sceltePdf.takeFirst();
        };
        s.InformazioneFile = [this](const QString& titolo, const QString& testo, const QString& file) {
            riquadri.append(titolo + u'|' + testo + u'|' + file);
        };
        s.Avvertimento = [this](const QString& titolo, const QString& testo) {
            riquadri.append(titolo + u'|' + testo + u'|');
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
        QTest::addColumn<bool>("perAnno"); // the year is chosen, not the month
        QTest::newRow("31 -> febbraio 2023") << "31"
                                             << "02"
                                             << "2023" << Numeri(28, 1) << "28" << false;
        QTest::newRow("31 -> febbraio 2024") << "31"
                                             << "02"
                                             << "2024" << Numeri(29, 1) << "29" << false;
        QTest::newRow("15 -> aprile") << "15"
                                      << "04"
                                      << "2026" << Numeri(30, 1) << "15" << false;
        QTest::newRow("30 -> dicembre") << "30"
                                        << "12"
                                        << "2026" << Numeri(31, 1) << "30" << false;
        QTest::newRow("31 -> novembre") << "31"
                                        << "11"
                                        << "2026" << Numeri(30, 1) << "30" << false;
        // A year refills the list too: 29 February cannot stay in a common year.
        QTest::newRow("29/02 -> 2027") << "29"
                                       << "02"
                                       << "2027" << Numeri(28, 1) << "28" << true;
    }
    void rifacimentoGiorni() {
        QFETCH(QString, giorno);
        QFETCH(QString, mese);
        QFETCH(QString, anno);
        QFETCH(QStringList, voci);
        QFETCH(QString, risultato);
        QFETCH(bool, perAnno);
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
            if (perAnno)
                quale == 1 ? m.cmbA1_Click() : m.cmbA2_Click();
            else
                quale == 1 ? m.cmbM1_Click() : m.cmbM2_Click();
            QCOMPARE(g.Voci, voci);
            QCOMPARE(g.Testo, risultato);
            QCOMPARE(altro.Voci, altroPrima); // the other date's list is untouched
        }
    }

    void scorriListe_comeUnaScelta() {
        // The entry reached is a choice: in a month or year list it refills
        // the day list, in a day list it judges "&Stampa".
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        m.txtLocalita.Testo = QStringLiteral("ROMA");
        m.cmbg1.Testo = QStringLiteral("31");
        m.cmbm1.Testo = QStringLiteral("12");
        m.ScorriLista(m.cmbm1, TastoLista::PaginaSu); // February 2026
        QCOMPARE(m.cmbm1.Testo, QStringLiteral("02"));
        QCOMPARE(m.cmbg1.Voci, Numeri(28, 1));
        QCOMPARE(m.cmbg1.Testo, QStringLiteral("28"));
        m.ScorriLista(m.cmba1, TastoLista::Fine); // 2028, a leap year
        QCOMPARE(m.cmbg1.Voci, Numeri(29, 1));
        m.ScorriLista(m.cmbg1, TastoLista::Inizio); // the list runs downwards now
        QCOMPARE(m.cmbg1.Testo, QStringLiteral("29"));
        m.ScorriLista(m.cmbg2, TastoLista::Inizio); // 01/04/2026: before 29/02/2028
        QCOMPARE(m.cmbg2.Testo, QStringLiteral("01"));
        QVERIFY(!m.cmdStampa.Abilitato);
        m.ScorriLista(m.cmba2, TastoLista::Fine); // 01/04/2028
        QCOMPARE(m.cmbg2.Voci, Numeri(30, 1));
        QVERIFY(m.cmdStampa.Abilitato);
        // Page keys stop at the ends; a disabled list does not move.
        m.cmbCopie.Testo = QStringLiteral("95");
        m.ScorriLista(m.cmbCopie, TastoLista::PaginaGiu);
        QCOMPARE(m.cmbCopie.Testo, QStringLiteral("95"));
        m.cmbCopie.Abilitato = true;
        m.ScorriLista(m.cmbCopie, TastoLista::PaginaGiu);
        QCOMPARE(m.cmbCopie.Testo, QStringLiteral("99"));
        m.ScorriLista(m.cmbCopie, TastoLista::PaginaSu);
        QCOMPARE(m.cmbCopie.Testo, QStringLiteral("89"));
    }

    void testoIncollato_data() {
        QTest::addColumn<QString>("incollato");
        QTest::addColumn<QString>("tenuto");
        QTest::newRow("minuscole") << "venezia"
                                   << "VENEZIA";
        QTest::newRow("accentate") << "forlì e cefalù"
                                   << "FORLÌ E CEFALÙ";
        QTest::newRow("a capo: CR LF, CR, LF, U+2028")
            << QString::fromUtf8("lido\r\ndi\rvenezia\nx\u2028y") << "LIDO DI VENEZIA X Y";
        QTest::newRow("fuori dal piano base") << QString::fromUtf8("\U00010428x") // Deseret small letter
                                              << QString::fromUtf8("\U00010400X");
    }
    void testoIncollato() {
        QFETCH(QString, incollato);
        QFETCH(QString, tenuto);
        QCOMPARE(TestoDestinazione(incollato), tenuto);
        QCOMPARE(TestoDestinazione(tenuto), tenuto); // typed text passes unchanged
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
        QCOMPARE(m.lstStampanti.Voci, attese);    // system order, then the PDF writer
        QCOMPARE(m.lstStampanti.Selezionato, -1); // the current printer is not installed
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
        // Opening again rebuilds the list with the current printer chosen,
        // by its exact name; none when it has gone.
        const std::tuple<QString, QStringList, int> casi[] = {
            {QStringLiteral("laser"), attese, 1},
            {QStringLiteral("Laser"), attese, 0},
            {kNomeScrittorePdf, attese, 2},
            {QStringLiteral("LASER"), attese, -1},
            {QStringLiteral("laser"), {QStringLiteral("Nuova"), kNomeScrittorePdf}, -1},
        };
        for (const auto& [corrente, voci, scelta] : casi) {
            b.installate = voci.mid(0, voci.size() - 1);
            m.ImpostaStampanteCorrente(corrente);
            m.lstStampanti.Selezionato = 0;
            m.cmdStampa_Click();
            QCOMPARE(m.lstStampanti.Voci, voci);
            QCOMPARE(m.lstStampanti.Selezionato, scelta);
            QVERIFY(m.TastoEsc()); // Escape: "&Rinuncia"
            QVERIFY(!m.frmSelStampa.Visibile);
            QVERIFY(b.superfici.isEmpty());
            QCOMPARE(m.StampanteCorrente(), corrente);
        }
        QVERIFY(!m.TastoEsc()); // no panel: Escape does nothing
    }

    void attesaStampanti() {
        // The busy cursor is on ("[") exactly while the printing system is
        // asked ("?"): when the panel opens and when "S&tampa" checks the choice.
        Banco b;
        b.Avvia();
        b.Itinerario();
        QCOMPARE(b.attese, QString());
        b.Stampa(0);
        QCOMPARE(b.attese, QStringLiteral("[?][?]"));
    }

    void fuocoDopoLaStampa() {
        // After a run (see salvataggio) or when the panel closes, typing goes
        // on in the destination, or at "Moduli in bianco" in blank mode: never
        // at "&Fine", where an Enter would end the program.
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        m.chkBianco.Spuntato = true;
        m.chkBianco_Click();
        b.risposte = {true};
        b.Stampa(0);
        QCOMPARE(b.superfici.size(), 1);
        QCOMPARE(m.FuocoRichiesto, &m.chkBianco);
        m.FuocoRichiesto = nullptr;
        m.cmdStampa_Click();
        QCOMPARE(m.FuocoRichiesto, nullptr);
        QVERIFY(m.TastoEsc());
        QCOMPARE(m.FuocoRichiesto, &m.chkBianco);
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
        b.sceltePdf = {b.cartella.filePath(QStringLiteral("1.pdf")),
                       b.cartella.filePath(QStringLiteral("2.pdf"))};
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
        b.Stampa(0);
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
        b.Stampa(0);
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
        b.Stampa(0);
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
        b.Stampa(0);
        QCOMPARE(b.termina, 1);
        QVERIFY(b.superfici[0].aborted); // nothing half-drawn reaches the printer
        QVERIFY(b.FileFine());
    }

    void salvataggio_data() {
        // %D: the test's folder. A chosen file is what the surface is told at
        // its first drawing; the boxes are "title|text|file to open".
        QTest::addColumn<QString>("stampante");
        QTest::addColumn<QList<bool>>("risposte"); // confirmation, then any overwrite question
        QTest::addColumn<QStringList>("scelte");   // save dialog answers
        QTest::addColumn<bool>("esiste");          // %D/viaggio.pdf exists before the run
        QTest::addColumn<QString>("guasto");       // the document fails at its end with this
        QTest::addColumn<QString>("tenuto");       // ...and was kept there
        QTest::addColumn<int>("dialoghi");
        QTest::addColumn<QString>("file"); // chosen file seen at the first drawing; "-": nothing drawn
        QTest::addColumn<QString>("riquadro");
        const QString pdf = kNomeScrittorePdf;
        const QString salvato = QStringLiteral("Documento salvato|Il documento è stato salvato come file PDF "
                                               "in:\r%D/viaggio.pdf|%D/viaggio.pdf");
        QTest::newRow("scelto") << pdf << QList<bool>{true} << QStringList{"%D/viaggio.pdf"} << false << ""
                                << "" << 1 << "%D/viaggio.pdf" << salvato;
        QTest::newRow(".pdf aggiunto") << pdf << QList<bool>{true} << QStringList{"%D/viaggio"} << false << ""
                                       << "" << 1 << "%D/viaggio.pdf" << salvato;
        QTest::newRow(".pdf aggiunto, esiste, Sì")
            << pdf << QList<bool>{true, true} << QStringList{"%D/viaggio"} << true << ""
            << "" << 1 << "%D/viaggio.pdf" << salvato;
        QTest::newRow(".pdf aggiunto, esiste, No, annullato")
            << pdf << QList<bool>{true, false} << QStringList{"%D/viaggio", ""} << true << ""
            << "" << 2 << "-"
            << "";
        QTest::newRow("dialogo annullato") << pdf << QList<bool>{true} << QStringList{""} << false << ""
                                           << "" << 1 << "-"
                                           << "";
        QTest::newRow("conferma No") << pdf << QList<bool>{false} << QStringList{} << false << ""
                                     << "" << 0 << "-"
                                     << "";
        QTest::newRow("cartella di sola lettura")
            << pdf << QList<bool>{true} << QStringList{"/ro/viaggio.pdf"} << false
            << "impossibile creare il file temporaneo in /ro"
            << "" << 1 << "/ro/viaggio.pdf"
            << "Stampa non riuscita|Il documento non è stato salvato in /ro/viaggio.pdf: impossibile creare "
               "il "
               "file temporaneo in /ro.|";
        QTest::newRow("stampante: nessun dialogo, nessun riquadro")
            << "Laser" << QList<bool>{true} << QStringList{} << false << ""
            << "" << 0 << ""
            << "";
        QTest::newRow("stampante guasta, percorso nel motivo")
            << "Laser" << QList<bool>{true} << QStringList{} << false
            << "la stampante non risponde; documento salvato in %D/ROMA_Vagolume.pdf"
            << "%D/ROMA_Vagolume.pdf" << 0 << ""
            << "Stampa non riuscita|La stampante non risponde.\rIl documento è stato salvato in "
               "%D/ROMA_Vagolume.pdf.|";
    }
    void salvataggio() {
        QFETCH(QString, stampante);
        QFETCH(QList<bool>, risposte);
        QFETCH(QStringList, scelte);
        QFETCH(bool, esiste);
        QFETCH(QString, guasto);
        QFETCH(QString, tenuto);
        QFETCH(int, dialoghi);
        QFETCH(QString, file);
        QFETCH(QString, riquadro);
        Banco b;
        const QString d = b.cartella.path();
        auto in = [&d](QString t) { return t.replace(QStringLiteral("%D"), d); };
        b.Avvia();
        b.Itinerario();
        b.m->ImpostaStampanteCorrente(stampante);
        b.risposte = risposte;
        for (const QString& scelta : scelte)
            b.sceltePdf.append(in(scelta));
        b.guasto = in(guasto);
        b.salvato = in(tenuto);
        if (esiste) {
            QFile f(in(QStringLiteral("%D/viaggio.pdf")));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        b.Stampa(-1);
        QCOMPARE(b.proposti.size(), dialoghi);
        QCOMPARE(b.superfici.size(), 1);
        if (file == QLatin1String("-")) {
            QCOMPARE(b.superfici[0].drawings, 0); // cancelled: nothing printed
        } else {
            QVERIFY(b.superfici[0].drawings > 0);
            QCOMPARE(b.superfici[0].filePdf, in(file));
        }
        QCOMPARE(b.riquadri.join(u'\n'), in(riquadro));
        QVERIFY(b.FileFine()); // written after every run, also a cancelled one
        QCOMPARE(b.m->FuocoRichiesto, &b.m->txtLocalita);
    }

    void cartellaDelDialogo() {
        // The dialog proposes "<document name>.pdf" in the folder chosen last,
        // else in Documents, else at home.
        Banco b;
        const QByteArray casaPrima = qgetenv("HOME"), configPrima = qgetenv("XDG_CONFIG_HOME");
        const QString casa = b.cartella.filePath(QStringLiteral("casa"));
        QVERIFY(QDir().mkpath(casa + QStringLiteral("/altra")));
        qputenv("HOME", QFile::encodeName(casa));
        qunsetenv("XDG_CONFIG_HOME");
        b.Avvia();
        b.m->ImpostaStampanteCorrente(kNomeScrittorePdf);
        auto proposto = [&b](const QString& destinazione, bool bianco = false) {
            b.m->chkBianco.Spuntato = bianco;
            b.m->chkBianco_Click();
            b.m->txtLocalita_Change(destinazione);
            b.m->cmbg2.Testo = QStringLiteral("10");
            b.m->cmbData_Click();
            b.risposte = {true};
            b.Stampa(-1); // the dialog is cancelled
            return b.proposti.isEmpty() ? QString() : b.proposti.takeLast();
        };
        QCOMPARE(proposto(QStringLiteral("ROMA")), casa + QStringLiteral("/ROMA_Vagolume.pdf"));
        QVERIFY(QDir().mkpath(casa + QStringLiteral("/Documents")));
        QCOMPARE(proposto(QStringLiteral("LIDO DI VENEZIA")),
                 casa + QStringLiteral("/Documents/LIDO_DI_VENEZIA_Vagolume.pdf"));
        QCOMPARE(proposto(QString(), true), casa + QStringLiteral("/Documents/Vagolume.pdf"));
        b.sceltePdf = {casa + QStringLiteral("/altra/x.pdf")};
        b.risposte = {true};
        b.Stampa(-1);
        QCOMPARE(b.superfici.last().filePdf, casa + QStringLiteral("/altra/x.pdf"));
        QCOMPARE(proposto(QStringLiteral("ROMA")), casa + QStringLiteral("/altra/ROMA_Vagolume.pdf"));
        QVERIFY(QDir(casa + QStringLiteral("/altra")).removeRecursively());
        QCOMPARE(proposto(QStringLiteral("ROMA")), casa + QStringLiteral("/Documents/ROMA_Vagolume.pdf"));
        qputenv("HOME", casaPrima);
        if (!configPrima.isEmpty()) qputenv("XDG_CONFIG_HOME", configPrima);
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

        // On the PDF writer: no dialog and no box, nobody is watching.
        Banco pdf;
        pdf.m->ImpostaStampanteCorrente(kNomeScrittorePdf);
        pdf.Avvia(QDate(2026, 4, 7), QStringLiteral("ROMA,01/03/2024,03/03/2024"));
        QVERIFY(pdf.superfici[0].drawings > 0);
        QCOMPARE(pdf.superfici[0].filePdf, QString());
        QVERIFY(pdf.proposti.isEmpty());
        QVERIFY(pdf.riquadri.isEmpty());
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

    void widget_tastiera() {
        QTemporaryDir dir;
        Servizi s;
        s.CartellaLavoro = dir.path();
        frmbase f(s);
        f.Form_Load(QDate(2026, 4, 7), QString(), dir.path());
        QVERIFY(f.cmdStampa->autoDefault());
        QVERIFY(!f.cmdFine->autoDefault());
        QVERIFY(!f.cmdHelp->autoDefault());

        // Pasted text is kept as typed text is; "&Stampa" follows every change.
        QApplication::clipboard()->setText(QStringLiteral("lido\ndi venezia"));
        QTest::keyClick(f.txtLocalita, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.txtLocalita->text(), QStringLiteral("LIDO DI VENEZIA"));
        QCOMPARE(f.Modello().txtLocalita.Testo, QStringLiteral("LIDO DI VENEZIA"));
        QVERIFY(f.cmdStampa->isEnabled());
        QTest::keyClick(f.txtLocalita, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(f.txtLocalita, Qt::Key_Backspace);
        QCOMPARE(f.Modello().txtLocalita.Testo, QString());
        QVERIFY(!f.cmdStampa->isEnabled());
        QTest::keyClick(f.txtLocalita, Qt::Key_Return);
        QVERIFY(f.frmSelStampa->isHidden());
        QTest::keyClick(f.txtLocalita, Qt::Key_Z, Qt::ControlModifier); // undo
        QCOMPARE(f.Modello().txtLocalita.Testo, QStringLiteral("LIDO DI VENEZIA"));
        QVERIFY(f.cmdStampa->isEnabled());
        QTest::keyClick(f.txtLocalita, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(f.txtLocalita, Qt::Key_X, Qt::ControlModifier); // cut
        QVERIFY(!f.cmdStampa->isEnabled());
        QTest::keyClicks(f.txtLocalita, QStringLiteral("x"));
        QVERIFY(f.cmdStampa->isEnabled()); // one letter is enough

        // Home, End, Page Up and Page Down in the lists.
        QLineEdit* giorno = f.cmbg1->lineEdit();
        const std::pair<Qt::Key, const char*> tasti[] = {
            {Qt::Key_End, "31"}, {Qt::Key_PageUp, "21"}, {Qt::Key_Home, "01"}, {Qt::Key_PageDown, "11"}};
        for (const auto& [tasto, atteso] : tasti) {
            QTest::keyClick(giorno, tasto);
            QCOMPARE(f.Modello().cmbg1.Testo, QLatin1String(atteso));
            QCOMPARE(f.cmbg1->currentText(), QLatin1String(atteso));
        }
    }

    void widget_scorciatoie() {
        QTemporaryDir dir;
        Servizi s;
        s.CartellaLavoro = dir.path();
        int termina = -1;
        s.Termina = [&termina](int codice) { termina = codice; };
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
        QCOMPARE(QApplication::focusWidget(), f.chkBianco); // not "&Fine"
        // Enter with the focus on "&Fine" does not end the program: it goes
        // to "&Stampa"; Escape closes the panel.
        f.cmdFine->setFocus();
        QTest::keyClick(f.cmdFine, Qt::Key_Return);
        QCOMPARE(termina, -1);
        QVERIFY(!f.frmSelStampa->isHidden());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(f.frmSelStampa->isHidden());
        QCOMPARE(QApplication::focusWidget(), f.chkBianco);
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
