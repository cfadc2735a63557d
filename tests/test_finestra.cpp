// The window's state and handlers, driven without a display: start-up
// defaults, the period pickers, key filters, blank mode, the printer panel,
// cancelling a run and the help text. A few checks at the end look at the
// real widgets (offscreen) to make sure they show that state.

#include "app/Avvio.h"
#include "app/ControlliFinestra.h"
#include "app/ModelloFinestra.h"
#include "app/ServiziQt.h"
#include "app/frmbase.h"
#include "calendar/Calendario.h"
#include "print/Stampanti.h"
#include "support/RecordingSurface.h"
#include "support/ServiziFinti.h"
#include "versione.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vagolume;

namespace {

// What a run left on its surface, kept after the window drops the surface.
struct EsitoSuperficie {
    QString stampante;
    bool ended = false, aborted = false;
    int drawings = 0;
    QString filePdf;     // the chosen file as the surface saw it at its first drawing
    QSet<QString> testi; // every text drawn
    QString riserva;     // where the run keeps the document if its printer fails
};

// A surface that behaves, at the end of the document, as the PDF writer does
// (the document saved as the chosen file, or a fixed one) or fails as a
// printer that refuses the job.
class SuperficieOsservata : public RecordingSurface {
public:
    SuperficieOsservata(EsitoSuperficie& esito, QString filePdf, QString salvato, QString guasto)
        : esito_(esito), filePdf_(std::move(filePdf)), salvato_(std::move(salvato)),
          guasto_(std::move(guasto)) {}
    void DrawBox(float x1, float y1, float x2, float y2) override {
        if (!iniziato_) esito_.filePdf = filePdf_;
        iniziato_ = true;
        RecordingSurface::DrawBox(x1, y1, x2, y2);
    }
    // What the real document records of itself: the file it was saved as,
    // or kept as after the failure.
    void EndDocument() override {
        if (!guasto_.isEmpty()) {
            if (!salvato_.isEmpty()) RegistraFileSalvato(salvato_);
            if (guasto_.contains(QStringLiteral("potrebbe stamparlo")))
                RegistraFatto(FattoConsegna::UltimoByteInviato);
            throw ErroreDocumento(guasto_.toStdString());
        }
        RecordingSurface::EndDocument();
        if (esito_.stampante == kScrittorePdf) {
            RegistraFileSalvato(esito_.filePdf);
            RegistraFatto(FattoConsegna::Salvato);
        }
    }
    ~SuperficieOsservata() override {
        esito_.ended = ended;
        esito_.aborted =
            aborted || !OfKind(Op::AbortDocument).isEmpty(); // a document of the run was discarded
        esito_.drawings =
            static_cast<int>(OfKind(Op::Box).size() + OfKind(Op::Line).size() + OfKind(Op::Text).size());
        for (const Op& op : Texts())
            esito_.testi.insert(op.text);
    }

private:
    EsitoSuperficie& esito_;
    QString filePdf_;
    QString salvato_, guasto_;
    bool iniziato_ = false;
};

// A window model with the fake dialogs and system.
struct Banco {
    QTemporaryDir cartella; // working folder and program folder (no Commandline.txt)
    DialoghiFinti d;
    PiattaformaFinta p;
    QStringList& installate = p.installate;
    QList<bool>& risposte = d.risposte;
    QStringList& domande = d.domande;
    QString &titoloInfo = d.titoloInfo, &testoInfo = d.testoInfo;
    QStringList &proposti = d.proposti, &sceltePdf = d.sceltePdf, &riquadri = d.riquadri, &aperti = d.aperti;
    bool &apri = d.apri, &visore = d.visore;
    QString salvato, guasto; // how the next surfaces end (see SuperficieOsservata)
    QString& attese = p.attese;
    std::function<void(ModelloFinestra&, int)> eventi; // each pass of event processing
    int& passi = p.passi;
    int termina = -1;
    QList<EsitoSuperficie> superfici;
    QList<RichiestaStampa> richieste; // of the runs that drew
    std::unique_ptr<ModelloFinestra> m;

    Banco() {
        superfici.reserve(16);
        installate = {QStringLiteral("Laser"), QStringLiteral("laser")};
        p.fronteRetro = {QStringLiteral("Laser")}; // only "Laser" prints on both sides
        p.messaggi.insert(QStringLiteral("Laser"),
                          QStringLiteral("Toner esaurito")); // its administrator's note
        p.eventi = [this](int passo) {
            if (eventi) eventi(*m, passo);
        };
        p.superficie = [this](const RichiestaStampa& r) -> std::shared_ptr<PrinterSurface> {
            superfici.append(EsitoSuperficie{r.Stampante, false, false, 0, {}, {}, r.CartellaRiserva});
            richieste.append(r);
            return std::make_shared<SuperficieOsservata>(superfici.last(), r.PdfScelto, salvato, guasto);
        };
        FineProcesso fine;
        fine.Termina = [this](const EsitoCorsa* e) { termina = e ? CodiceUscita(*e) : 0; };
        fine.CartellaLavoro = cartella.path();
        m = std::make_unique<ModelloFinestra>(d, p, fine);
        m->ImpostaStampanteCorrente(QStringLiteral("Predefinita"));
    }
    // Start-up: the window loaded, and what the invocation line asks done
    // as the program does it (termina: the status it would end with).
    void Avvia(const QDate& oggi = QDate(2026, 4, 7), const QString& riga = QString()) {
        const Invocata invocata = m->Form_Load(oggi, riga, QFile::encodeName(cartella.path()));
        if (invocata.Richiesta || !invocata.Rifiuto.isEmpty())
            termina = CodiceUscita(EseguiInvocazione(*m, p, invocata));
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
        m->Dialogo.lstStampanti.Selezionato = riga;
        m->Dialogo.cmdSelStampante_Click(0);
    }
};

// How the process ends for a window of a test: nothing ends, the end-of-run
// file goes into dir.
FineProcesso FineIn(const QTemporaryDir& dir) {
    FineProcesso fine;
    fine.CartellaLavoro = dir.path();
    return fine;
}

// A control of the real window, by its name.
template <typename W> W* C(const QWidget& finestra, const char* nome) {
    W* w = finestra.findChild<W*>(QLatin1String(nome));
    if (!w) qFatal("the window has no control %s", nome);
    return w;
}

// WCAG contrast ratio of two colours.
double Contrasto(QColor a, QColor b) {
    auto luce = [](QColor c) {
        auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double la = luce(a), lb = luce(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a part of the screen shows: its commonest colour (the background) and
// the contrast of the pixel that stands out most from it (the text).
double ContrastoTesto(const QImage& immagine, const QRect& zona) {
    QHash<QRgb, int> conti;
    for (int y = zona.top(); y <= zona.bottom(); ++y)
        for (int x = zona.left(); x <= zona.right(); ++x)
            ++conti[immagine.pixel(x, y)];
    QRgb sfondo = 0;
    for (auto i = conti.cbegin(); i != conti.cend(); ++i)
        if (i.value() > conti.value(sfondo)) sfondo = i.key();
    double massimo = 1;
    for (auto i = conti.cbegin(); i != conti.cend(); ++i)
        massimo = std::max(massimo, Contrasto(QColor(sfondo), QColor(i.key())));
    return massimo;
}

// A dark desktop palette: light texts on dark boxes and buttons.
QPalette TavolozzaScura() {
    QPalette p(QColor(0x35, 0x35, 0x35));
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Window, QColor(0x2B, 0x2B, 0x2B));
        p.setColor(g, QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
        p.setColor(g, QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    }
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(r, QColor(0xEE, 0xEE, 0xEE));
    return p;
}

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
        QVERIFY(!m.Dialogo.frmSelStampa.Visibile);
        QVERIFY(m.FinestraVisibile);
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

    // The keyboard policy: what a key does where it arrives. "finestra:X": a
    // key that no control took, with the focus on X. dopo: printer panel,
    // chosen printer row, start day, runs asked for (confirmation questions).
    void tastiera_data() {
        QTest::addColumn<QString>("prima"); // "vuota": no destination; "pannello"; "scelta": row 1 chosen
        QTest::addColumn<QString>("dove");
        QTest::addColumn<int>("tasto");
        QTest::addColumn<int>("mod");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("esito");
        QTest::addColumn<QString>("inserito");
        QTest::addColumn<QString>("dopo");
        const int no = Qt::NoModifier, maiusc = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
        const int passa = EsitoTasto::Passa, preso = EsitoTasto::Preso, inserisci = EsitoTasto::Inserisci;
        const QString riposo = QStringLiteral("- -1 01 0"), aperto = QStringLiteral("pannello -1 01 0");
        auto riga = [](const char* nome, const char* prima, const char* dove, int tasto, int mod,
                       const QString& testo, int esito, const QString& inserito, const QString& dopo) {
            QTest::newRow(nome) << prima << dove << tasto << mod << testo << esito << inserito << dopo;
        };
        // The destination is typed in upper case; an Alt key that is no
        // shortcut types nothing.
        riga("minuscola", "", "txtLocalita", Qt::Key_A, no, "a", inserisci, "A", riposo);
        riga("maiuscola", "", "txtLocalita", Qt::Key_A, maiusc, "A", passa, "", riposo);
        riga("accentata", "", "txtLocalita", Qt::Key_Igrave, no, "ì", inserisci, "Ì", riposo);
        riga("Backspace", "", "txtLocalita", Qt::Key_Backspace, no, "\b", passa, "", riposo);
        riga("Ctrl+V", "", "txtLocalita", Qt::Key_V, ctrl, "\x16", passa, "", riposo);
        // Ctrl+P presses "&Stampa", Ctrl+Q "&Fine" (which ends the program).
        riga("Ctrl+P", "", "cmbg1", Qt::Key_P, ctrl, "\x10", preso, "", aperto);
        riga("Ctrl+P, Stampa spento", "vuota", "txtLocalita", Qt::Key_P, ctrl, "\x10", passa, "",
             "- -1 07 0");
        riga("finestra: Ctrl+P", "", "finestra:", Qt::Key_P, ctrl, "\x10", preso, "", aperto);
        riga("Ctrl+Q", "", "txtLocalita", Qt::Key_Q, ctrl, "\x11", preso, "",
             riposo + QStringLiteral(" fine"));
        riga("finestra: Ctrl+Q", "pannello", "finestra:", Qt::Key_Q, ctrl, "\x11", preso, "",
             aperto + QStringLiteral(" fine"));
        riga("Alt+Q", "", "txtLocalita", Qt::Key_Q, Qt::AltModifier, "q", preso, "", riposo);
        // The lists take choices only.
        riga("cifra in una lista", "", "cmbg1", Qt::Key_1, no, "1", preso, "", riposo);
        riga("Fine in una lista", "", "cmbg1", Qt::Key_End, no, "", preso, "", "- -1 31 0");
        riga("Pagina giù", "", "cmbg1", Qt::Key_PageDown, no, "", preso, "", "- -1 11 0");
        riga("Maiusc+Fine", "", "cmbg1", Qt::Key_End, maiusc, "", passa, "", riposo);
        riga("freccia in una lista", "", "cmbg1", Qt::Key_Down, no, "", passa, "", riposo);
        // Enter presses "&Stampa" unless a button has the focus.
        riga("Invio nella destinazione", "", "txtLocalita", Qt::Key_Return, no, "\r", preso, "", aperto);
        riga("Invio del tastierino", "", "cmbm1", Qt::Key_Enter, Qt::KeypadModifier, "\r", preso, "", aperto);
        riga("Maiusc+Invio", "", "txtLocalita", Qt::Key_Return, maiusc, "\r", preso, "", aperto);
        riga("Ctrl+Invio", "", "txtLocalita", Qt::Key_Return, ctrl, "\r", passa, "", riposo);
        riga("Invio, Stampa spento", "vuota", "txtLocalita", Qt::Key_Return, no, "\r", preso, "",
             "- -1 07 0");
        riga("Invio su un bottone", "", "cmdStampa", Qt::Key_Return, no, "\r", passa, "", riposo);
        // ...whatever a desktop theme would make of it: never "&Fine", "&?"
        // nor the check box.
        riga("Invio sulla casella", "", "chkBianco", Qt::Key_Return, no, "\r", preso, "", aperto);
        riga("Invio su Fine", "", "cmdFine", Qt::Key_Return, no, "\r", preso, "", aperto);
        riga("Invio su ?", "", "cmdHelp", Qt::Key_Enter, Qt::KeypadModifier, "\r", preso, "", aperto);
        riga("Invio su Rinuncia", "pannello", "cmdSelStampante1", Qt::Key_Return, no, "\r", passa, "",
             aperto);
        // F1 shows the help, wherever the focus is.
        riga("F1", "", "cmbg1", Qt::Key_F1, no, "", preso, "", riposo + QStringLiteral(" aiuto"));
        riga("F1 nell'elenco", "pannello", "lstStampanti", Qt::Key_F1, no, "", preso, "",
             aperto + QStringLiteral(" aiuto"));
        riga("finestra: F1", "", "finestra:", Qt::Key_F1, no, "", preso, "",
             riposo + QStringLiteral(" aiuto"));
        riga("Maiusc+F1", "", "txtLocalita", Qt::Key_F1, maiusc, "", passa, "", riposo);
        riga("Invio nell'elenco", "scelta", "lstStampanti", Qt::Key_Return, no, "\r", preso, "", "- 1 01 1");
        // Escape closes the printer panel.
        riga("Esc", "pannello", "lstStampanti", Qt::Key_Escape, no, "\x1b", preso, "", riposo);
        riga("Esc senza pannello", "", "cmbg1", Qt::Key_Escape, no, "\x1b", passa, "", riposo);
        riga("Maiusc+Esc", "pannello", "lstStampanti", Qt::Key_Escape, maiusc, "\x1b", passa, "", aperto);
        // Nothing chosen in the printer list: the first arrow chooses.
        riga("prima freccia", "pannello", "lstStampanti", Qt::Key_Down, no, "", preso, "", "pannello 0 01 0");
        riga("Fine nell'elenco", "pannello", "lstStampanti", Qt::Key_End, no, "", preso, "",
             "pannello 2 01 0");
        riga("freccia, già scelta", "scelta", "lstStampanti", Qt::Key_Down, no, "", passa, "",
             "pannello 1 01 0");
        riga("Maiusc+freccia", "pannello", "lstStampanti", Qt::Key_Down, maiusc, "", passa, "", aperto);
        // Keys that reached the window.
        riga("finestra: Invio", "", "finestra:chkBianco", Qt::Key_Return, no, "\r", preso, "", aperto);
        riga("finestra: Invio, Stampa spento", "vuota", "finestra:cmdFine", Qt::Key_Return, no, "\r", passa,
             "", "- -1 07 0");
        riga("finestra: Invio nel pannello", "scelta", "finestra:lstStampanti", Qt::Key_Return, no, "\r",
             preso, "", "- 1 01 1");
        riga("finestra: Esc", "pannello", "finestra:", Qt::Key_Escape, no, "\x1b", preso, "", riposo);
        riga("finestra: Maiusc+Esc", "pannello", "finestra:", Qt::Key_Escape, maiusc, "\x1b", passa, "",
             aperto);
    }
    void tastiera() {
        QFETCH(QString, prima);
        QFETCH(QString, dove);
        QFETCH(int, tasto);
        QFETCH(int, mod);
        QFETCH(QString, testo);
        QFETCH(int, esito);
        QFETCH(QString, inserito);
        QFETCH(QString, dopo);
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        if (prima != QLatin1String("vuota")) b.Itinerario();
        if (prima == QLatin1String("pannello") || prima == QLatin1String("scelta")) m.cmdStampa_Click();
        if (prima == QLatin1String("scelta")) m.Dialogo.lstStampanti.Selezionato = 1;
        const Tasto t{tasto, Qt::KeyboardModifiers(mod), testo};
        EsitoTasto e;
        if (dove.startsWith(QLatin1String("finestra:")))
            e = m.TastoNonPreso(dove.mid(9), t) ? EsitoTasto::Preso : EsitoTasto::Passa;
        else
            e = m.TastoSu(dove, t);
        QCOMPARE(e.Cosa, esito);
        QCOMPARE(e.Testo, inserito);
        QCOMPARE(
            QStringLiteral("%1 %2 %3 %4%5")
                    .arg(m.Dialogo.frmSelStampa.Visibile ? QStringLiteral("pannello") : QStringLiteral("-"))
                    .arg(m.Dialogo.lstStampanti.Selezionato)
                    .arg(m.cmbg1.Testo)
                    .arg(b.domande.size())
                    .arg(b.titoloInfo.isEmpty() ? QString() : QStringLiteral(" aiuto")) +
                (b.termina >= 0 ? QStringLiteral(" fine") : QString()),
            dopo);
    }

    // Alt+letter: "&Al" and "&Annulla" share Alt+A, which cancels while a
    // run shows "&Annulla"; a button's mnemonic presses it at once.
    void scorciatoie_data() {
        QTest::addColumn<QString>("dove");
        QTest::addColumn<bool>("ambigua");
        QTest::addColumn<bool>("inStampa");
        QTest::addColumn<int>("esito");
        QTest::addColumn<bool>("pannello"); // the printer panel is open
        QTest::newRow("Al, a riposo") << "Label2" << false << false << int(EsitoTasto::Passa) << false;
        QTest::newRow("Al, in stampa") << "Label2" << false << true << int(EsitoTasto::Preso) << false;
        QTest::newRow("Annulla, in stampa")
            << "cmdAnnulla" << false << true << int(EsitoTasto::Preso) << false;
        QTest::newRow("Dal, in stampa") << "Label1" << false << true << int(EsitoTasto::Passa) << false;
        QTest::newRow("Fine") << "cmdFine" << false << false << int(EsitoTasto::Premi) << false;
        QTest::newRow("Fine, ambigua") << "cmdFine" << true << false << int(EsitoTasto::Passa) << false;
        QTest::newRow("Moduli in bianco") << "chkBianco" << false << false << int(EsitoTasto::Premi) << false;
        QTest::newRow("Anteprima") << "cmdAnteprima" << false << true << int(EsitoTasto::Premi) << false;
        QTest::newRow("Destinazione") << "frmLocalita" << false << false << int(EsitoTasto::Passa) << false;
        // A label does not lead the focus under the open printer panel; a
        // button or the check box there is pressed by its letter as usual.
        QTest::newRow("Dal, sotto il pannello")
            << "Label1" << false << false << int(EsitoTasto::Preso) << true;
        QTest::newRow("Num. pagine, sotto il pannello")
            << "Label3" << false << false << int(EsitoTasto::Preso) << true;
        QTest::newRow("Moduli in bianco, in parte sotto il pannello")
            << "chkBianco" << false << false << int(EsitoTasto::Premi) << true;
        QTest::newRow("Fine, in parte sotto il pannello")
            << "cmdFine" << false << false << int(EsitoTasto::Premi) << true;
        QTest::newRow("Destinazione, sopra il pannello")
            << "frmLocalita" << false << false << int(EsitoTasto::Passa) << true;
        QTest::newRow("?, accanto al pannello")
            << "cmdHelp" << false << false << int(EsitoTasto::Premi) << true;
        QTest::newRow("Rinuncia, nel pannello")
            << "cmdSelStampante1" << false << false << int(EsitoTasto::Premi) << true;
    }
    void scorciatoie() {
        QFETCH(QString, dove);
        QFETCH(bool, ambigua);
        QFETCH(bool, inStampa);
        QFETCH(int, esito);
        QFETCH(bool, pannello);
        Banco b;
        b.Avvia();
        b.Itinerario();
        if (pannello) b.m->cmdStampa_Click();
        b.m->MostraAnnulla(inStampa);
        b.risposte = {true};
        QCOMPARE(b.m->Scorciatoia(dove, ambigua).Cosa, esito);
        const bool annullata = esito == EsitoTasto::Preso && inStampa;
        QCOMPARE(b.m->Form.AnnullaStampa, annullata);
        QCOMPARE(b.domande.size(), annullata ? 1 : 0);
    }

    void testoComposto() {
        // Dead keys and input methods reach the destination upper-cased;
        // other controls take their text as it is.
        Banco b;
        b.Avvia();
        QCOMPARE(b.m->TestoComposto(u"txtLocalita", QStringLiteral("àb\x01")).value_or(QString()),
                 QStringLiteral("ÀB\x01"));
        QVERIFY(!b.m->TestoComposto(u"cmbg1", QStringLiteral("à")));
    }

    // The window's table: every control inside its container, which comes
    // first; controls of one container overlap only where one paints over
    // the other (the printer panel, the progress fill) and where "&Annulla"
    // takes the place of "&Stampa".
    void tabellaControlli() {
        const auto controlli = Controlli();
        for (const DescrizioneControllo& d : controlli) {
            QCOMPARE(RigaTabella(QLatin1String(d.Nome)), &d); // names are unique
            QRect spazio(0, 0, kLarghezzaFinestra, kAltezzaFinestra);
            if (*d.Contenitore) {
                const DescrizioneControllo* c = RigaTabella(QLatin1String(d.Contenitore));
                QVERIFY2(c && c < &d && c->Tipo == Genere::Cornice, d.Nome);
                spazio = QRect(QPoint(0, 0), c->Rettangolo.size());
            }
            QVERIFY2(spazio.contains(d.Rettangolo), d.Nome);
            if (*d.Compagno) QVERIFY2(RigaTabella(QLatin1String(d.Compagno)), d.Compagno);
            for (const DescrizioneControllo& e : controlli) {
                if (&e <= &d || qstrcmp(e.Contenitore, d.Contenitore) != 0) continue;
                const bool voluto = (e.Opzioni & Coprente) ||
                                    (qstrcmp(d.Nome, "cmdStampa") == 0 && qstrcmp(e.Nome, "cmdAnnulla") == 0);
                QVERIFY2(voluto || !d.Rettangolo.intersects(e.Rettangolo),
                         qPrintable(QStringLiteral("%1 overlaps %2").arg(d.Nome, e.Nome)));
            }
        }
        QCOMPARE(Mnemonico(u"&Al"), QChar(u'A'));
        QCOMPARE(Mnemonico(u"Ante&prima"), QChar(u'P'));
        QCOMPARE(Mnemonico(u"A&&B"), QChar());
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
        QTest::newRow("solo blank") << "   "
                                    << "01032024"
                                    << "03032024" << false;
        QTest::newRow("nulla di visibile")
            << QStringLiteral("\t\u00A0\u3000\u2007\u2028\u200B\u001A") << "01032024"
            << "03032024" << false;
        QTest::newRow("una lettera tra gli invisibili") << QStringLiteral("\u200B A\u00A0") << "01032024"
                                                        << "03032024" << true;
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
        QVERIFY(m.Dialogo.frmSelStampa.Visibile);
        m.Dialogo.cmdSelStampante_Click(1);

        m.chkBianco.Spuntato = false;
        m.chkBianco_Click();
        QVERIFY(!m.cmdStampa.Abilitato);
        QVERIFY(m.frmLocalita.Abilitato && m.frmPeriodo.Abilitato);
        QVERIFY(!m.cmbCopie.Abilitato);
        for (const Controllo* c :
             {&m.txtLocalita, &m.cmbg1, &m.cmbm1, &m.cmba1, &m.cmbg2, &m.cmbm2, &m.cmba2})
            QCOMPARE(c->ColoreTesto, kNero);
        QVERIFY(!m.TastoInvio());
        QVERIFY(!m.Dialogo.frmSelStampa.Visibile);
    }

    void pannelloStampanti() {
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        b.Itinerario();
        QVERIFY(m.TastoInvio());
        QVERIFY(m.Dialogo.frmSelStampa.Visibile);
        const QStringList attese{QStringLiteral("Laser"), QStringLiteral("laser"), kScrittorePdf};
        QCOMPARE(m.Dialogo.lstStampanti.Voci, attese);    // system order, then the PDF writer
        QCOMPARE(m.Dialogo.lstStampanti.Selezionato, -1); // the current printer is not installed
        // "&Rinuncia": panel closed, nothing printed, printer unchanged.
        m.Dialogo.lstStampanti.Selezionato = 0;
        m.Dialogo.cmdSelStampante_Click(1);
        QVERIFY(!m.Dialogo.frmSelStampa.Visibile);
        QVERIFY(b.superfici.isEmpty());
        QCOMPARE(m.Dialogo.StampanteCorrente(), QStringLiteral("Predefinita"));
        // Any other index does nothing.
        m.cmdStampa_Click();
        m.Dialogo.cmdSelStampante_Click(2);
        QVERIFY(m.Dialogo.frmSelStampa.Visibile);
        QVERIFY(b.superfici.isEmpty());
        // Opening again rebuilds the list with the current printer chosen,
        // by its exact name; none when it has gone, and the panel says so
        // until a printer is chosen.
        const QString via = QStringLiteral("La stampante attuale, %1, non è più installata: sceglierne una");
        const std::tuple<QString, QStringList, int, bool, QString> casi[] = {
            {QStringLiteral("laser"), attese, 1, true, QString()},
            {QStringLiteral("Laser"), attese, 0, true, QString()},
            {kScrittorePdf, attese, 2, true, QString()},
            {QStringLiteral("LASER"), attese, -1, true, via.arg(QStringLiteral("LASER"))},
            {QStringLiteral("laser"),
             {QStringLiteral("Nuova"), kScrittorePdf},
             -1,
             true,
             via.arg(QStringLiteral("laser"))},
            {QStringLiteral("Ufficio"),
             {kScrittorePdf},
             -1,
             false,
             QStringLiteral("La stampante attuale, Ufficio, non risponde: sceglierne una")},
            {kScrittorePdf,
             {kScrittorePdf},
             0,
             false,
             QStringLiteral("Il sistema di stampa non risponde: si può solo salvare come file PDF")},
        };
        for (const auto& [corrente, voci, scelta, risponde, avviso] : casi) {
            b.installate = voci.mid(0, voci.size() - 1);
            b.p.risponde = risponde;
            m.ImpostaStampanteCorrente(corrente);
            m.Dialogo.lstStampanti.Selezionato = 0;
            m.cmdStampa_Click();
            QCOMPARE(m.Dialogo.lstStampanti.Voci, voci);
            QCOMPARE(m.Dialogo.lstStampanti.Selezionato, scelta);
            QCOMPARE(m.Dialogo.lblAvviso.Testo, avviso);
            QCOMPARE(m.Dialogo.lblAvviso.Visibile, !avviso.isEmpty());
            if (scelta < 0) {
                m.Dialogo.SceltaStampante(0); // chosen knowingly: nothing more to say
                QVERIFY(!m.Dialogo.lblAvviso.Visibile);
            }
            QVERIFY(m.TastoEsc()); // Escape: "&Rinuncia"
            QVERIFY(!m.Dialogo.frmSelStampa.Visibile);
            QVERIFY(b.superfici.isEmpty());
            QCOMPARE(m.Dialogo.StampanteCorrente(), corrente);
        }
        QVERIFY(!m.TastoEsc()); // no panel: Escape does nothing
        b.p.risponde = true;

        // Pages are judged once the keyboard leaves them, not while they are
        // typed; beyond the document they are red and the panel's line says
        // why. "S&tampa" then prints nothing: it says why, and the keyboard
        // goes back to them.
        m.cmdStampa_Click();
        m.Dialogo.txtPagine_Change(QStringLiteral("2-"));
        m.Dialogo.txtPagine_Change(QStringLiteral("2,9"));
        QCOMPARE(m.Dialogo.MotivoPagine(), QString());
        QCOMPARE(m.Dialogo.txtPagine.ColoreTesto, kNero);
        m.Dialogo.txtPagine_LostFocus();
        QCOMPARE(m.Dialogo.MotivoPagine(),
                 QStringLiteral("il documento ha solo 4 pagine: la pagina 9 non c'è"));
        QCOMPARE(m.Dialogo.txtPagine.ColoreTesto, kRosso);
        QCOMPARE(m.Dialogo.lblAvviso.Testo, QStringLiteral("Pagine: ") + m.Dialogo.MotivoPagine() + u'.');
        b.risposte = {true};
        m.Dialogo.cmdSelStampante_Click(0);
        QVERIFY(m.Dialogo.frmSelStampa.Visibile);
        QVERIFY(b.superfici.isEmpty());
        QCOMPARE(b.riquadri.value(0).section(u'|', 1, 1),
                 QStringLiteral("Pagine: ") + m.Dialogo.MotivoPagine() + u'.');
        QCOMPARE(m.FuocoRichiesto, &m.Dialogo.txtPagine);
        m.Dialogo.txtPagine_Change(QStringLiteral("2,4"));
        QCOMPARE(m.Dialogo.txtPagine.ColoreTesto, kNero);
        QVERIFY(!m.Dialogo.lblAvviso.Visibile);
        // Once judged, the panel says the day each page carries; a day typed
        // is the page that carries it.
        m.Dialogo.txtPagine_LostFocus();
        QCOMPARE(m.Dialogo.lblAvviso.Testo, QStringLiteral("pagina 2: Mer 1 Apr; pagina 4: Ven 3 Apr"));
        m.Dialogo.txtPagine_Change(QStringLiteral("3/4"));
        m.Dialogo.txtPagine_LostFocus();
        QCOMPARE(m.Dialogo.lblAvviso.Testo, QStringLiteral("pagina 4: Ven 3 Apr"));
        QCOMPARE(m.Dialogo.RichiestaDallaFinestra(QStringLiteral("Laser")).Pagine, QList<int>{4});
    }

    void attesaStampanti() {
        // The busy cursor is on ("[") exactly while the printing system is
        // asked ("?" the printers, "f" two-sided printing): when the panel
        // opens and when "S&tampa" checks the choice.
        Banco b;
        b.Avvia();
        b.Itinerario();
        QCOMPARE(b.attese, QString());
        // Meanwhile the status line says what the window waits for.
        QStringList detti;
        b.p.interrogata = [&] { detti.append(b.m->txtFondo.Testo); };
        b.risposte = {true};
        b.Stampa(0);
        QCOMPARE(b.attese, QStringLiteral("[?][f][?]"));
        QCOMPARE(detti, QStringList(2, QStringLiteral("Ricerca delle stampanti...")));
        b.m->cmdStampa_Click();
        QCOMPARE(b.m->txtFondo.Testo, QStringLiteral("Documento inviato a Laser")); // back as it was
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

    // Selecting a queue shows in "Fronte-retro" what the queue does unless
    // told, and what the box says is what the run asks for, one side
    // included: a queue printing on both sides by default then prints one.
    void latiDellaCoda_data() {
        QTest::addColumn<bool>("predefinito"); // "Laser" prints on both sides unless told
        QTest::addColumn<int>("tocco");        // the user: -1 leaves the box, 0 clears it, 1 ticks it
        QTest::addColumn<bool>("fronteRetro"); // shown, and asked for
        QTest::newRow("fronte-retro predefinito") << true << -1 << true;
        QTest::newRow("un lato predefinito") << false << -1 << false;
        QTest::newRow("fronte-retro tolto") << true << 0 << false;
        QTest::newRow("fronte-retro scelto") << false << 1 << true;
    }
    void latiDellaCoda() {
        QFETCH(bool, predefinito);
        QFETCH(int, tocco);
        QFETCH(bool, fronteRetro);
        Banco b;
        if (predefinito) b.p.fronteRetroPredefinito = {QStringLiteral("Laser")};
        b.Avvia();
        b.Itinerario();
        b.m->cmdStampa_Click();
        if (tocco >= 0) b.m->Dialogo.chkFronteRetro_Click(tocco == 1);
        b.m->Dialogo.SceltaStampante(0);
        QCOMPARE(b.m->Dialogo.chkFronteRetro.Spuntato, fronteRetro);
        b.risposte = {true};
        b.m->Dialogo.cmdSelStampante_Click(0);
        QCOMPARE(b.richieste.value(0).FronteRetro, fronteRetro);
        QVERIFY(b.richieste.value(0).LatiScelti);
    }

    // The printer a run from the panel goes to, and what it asks of it: the
    // pages typed (of 4: the cover and three days), the copies (one file on
    // the PDF writer), both sides (only "Laser" has them).
    void sceltaStampante_data() {
        QTest::addColumn<int>("riga");
        QTest::addColumn<QStringList>("installateAlClic");
        QTest::addColumn<QString>("usata");
        QTest::addColumn<QString>("pagine");
        QTest::addColumn<QString>("opzioni"); // "pages|copies|two-sided" the run asked for
        const QStringList due{QStringLiteral("Laser"), QStringLiteral("laser")};
        QTest::newRow("maiuscola, pagina 4, 2 copie, fronte-retro") << 0 << due << "Laser"
                                                                    << "4"
                                                                    << "4|2|1";
        QTest::newRow("minuscola, senza fronte-retro") << 1 << due << "laser"
                                                       << "tutte"
                                                       << "|2|0";
        QTest::newRow("scrittore PDF, una copia") << 2 << due << kScrittorePdf << "1,3"
                                                  << "1, 3|1|0";
        QTest::newRow("nessuna scelta") << -1 << due << "Predefinita"
                                        << ""
                                        << "|2|0";
        QTest::newRow("stampante tolta nel frattempo")
            << 1 << QStringList{QStringLiteral("Laser")} << "Predefinita"
            << "2-4"
            << "2-4|2|0";
    }
    void sceltaStampante() {
        QFETCH(int, riga);
        QFETCH(QStringList, installateAlClic);
        QFETCH(QString, usata);
        QFETCH(QString, pagine);
        QFETCH(QString, opzioni);
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        b.Itinerario();
        b.risposte = {true};
        b.sceltePdf = {b.cartella.filePath(QStringLiteral("1.pdf")),
                       b.cartella.filePath(QStringLiteral("2.pdf"))};
        m.cmdStampa_Click();
        b.installate = installateAlClic;
        m.Dialogo.SceltaStampante(riga);
        m.Dialogo.txtPagine_Change(pagine);
        m.Dialogo.spnCopie_Change(2);
        m.Dialogo.chkFronteRetro_Click(true);
        QCOMPARE(m.Dialogo.spnCopie.Abilitato, usata != kScrittorePdf);
        QCOMPARE(m.Dialogo.chkFronteRetro.Abilitato, usata == QStringLiteral("Laser"));
        m.Dialogo.cmdSelStampante_Click(0);
        const RichiestaStampa& r = b.richieste.value(0);
        QCOMPARE(QStringLiteral("%1|%2|%3").arg(TestoPagine(r.Pagine)).arg(r.Copie).arg(int(r.FronteRetro)),
                 opzioni);
        // Saved: the box says which pages.
        if (usata == kScrittorePdf)
            QVERIFY(b.riquadri.value(0).contains(QStringLiteral("Pagine salvate: 1, 3.")));
        QVERIFY(!m.Dialogo.frmSelStampa.Visibile);
        QCOMPARE(b.superfici.size(), 1);
        QCOMPARE(b.superfici[0].stampante, usata);
        QVERIFY(b.superfici[0].ended);
        QCOMPARE(m.Dialogo.StampanteCorrente(), usata);
        // The chosen printer stays current: the next run without a choice uses it.
        b.risposte = {true};
        b.Stampa(-1);
        QCOMPARE(b.superfici.size(), 2);
        QCOMPARE(b.superfici[1].stampante, usata);
    }

    // A choice of pages belongs to its document: it clears when the
    // destination, the period or blank sheets change; the printer and the
    // copies stay.
    void pagineDelDocumento_data() {
        QTest::addColumn<QString>("cambio");
        QTest::addColumn<bool>("restano");
        for (const char* c : {"destinazione", "giorno", "mese", "anno", "in bianco", "numero di fogli"})
            QTest::newRow(c) << QString::fromLatin1(c) << false;
        QTest::newRow("la stessa voce") << "stessa voce" << true;
        QTest::newRow("un'altra stampante") << "stampante" << true;
    }
    void pagineDelDocumento() {
        QFETCH(QString, cambio);
        QFETCH(bool, restano);
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        b.Itinerario();
        m.cmdStampa_Click();
        m.Dialogo.SceltaStampante(0);
        m.Dialogo.txtPagine_Change(QStringLiteral("2"));
        m.Dialogo.spnCopie_Change(3);
        if (cambio == QLatin1String("destinazione")) m.txtLocalita_Change(QStringLiteral("NAPOLI"));
        if (cambio == QLatin1String("giorno")) m.ListaScelta(m.cmbg2, QStringLiteral("02"));
        if (cambio == QLatin1String("mese")) m.ListaScelta(m.cmbm2, QStringLiteral("05"));
        if (cambio == QLatin1String("anno")) m.ListaScelta(m.cmba2, QStringLiteral("2027"));
        if (cambio == QLatin1String("numero di fogli")) m.ListaScelta(m.cmbCopie, QStringLiteral("05"));
        if (cambio == QLatin1String("stessa voce")) m.ListaScelta(m.cmbg2, QStringLiteral("03"));
        if (cambio == QLatin1String("stampante")) m.Dialogo.SceltaStampante(1);
        if (cambio == QLatin1String("in bianco")) {
            m.chkBianco.Spuntato = true;
            m.chkBianco_Click();
        }
        QCOMPARE(m.Dialogo.txtPagine.Testo, restano ? QStringLiteral("2") : QString());
        b.risposte = {true};
        m.Dialogo.cmdSelStampante_Click(0);
        QCOMPARE(b.richieste.size(), 1);
        QCOMPARE(b.richieste[0].Pagine, restano ? QList<int>{2} : QList<int>{});
        QCOMPARE(b.richieste[0].Copie, 3);
    }

    // What a printer cannot do is unavailable while it is selected, never
    // cleared: three copies on both sides come back with "Laser", also after
    // a run on the PDF writer.
    void opzioniNonPerse_data() {
        QTest::addColumn<QList<int>>("righe"); // rows selected after "Laser" (0; 1 "laser", 2 the PDF writer)
        QTest::addColumn<int>("copie");        // of the run on the last one
        QTest::addColumn<bool>("fronteRetro");
        QTest::newRow("sullo scrittore PDF") << QList<int>{2} << 1 << false;
        QTest::newRow("sulla coda a un lato") << QList<int>{1} << 3 << false;
        QTest::newRow("di ritorno dallo scrittore PDF") << QList<int>{2, 0} << 3 << true;
        QTest::newRow("di ritorno dalla coda a un lato") << QList<int>{1, 0} << 3 << true;
    }
    void opzioniNonPerse() {
        QFETCH(QList<int>, righe);
        QFETCH(int, copie);
        QFETCH(bool, fronteRetro);
        Banco b;
        b.Avvia();
        ModelloFinestra& m = *b.m;
        b.Itinerario();
        b.sceltePdf = {b.cartella.filePath(QStringLiteral("1.pdf"))};
        m.cmdStampa_Click();
        m.Dialogo.SceltaStampante(0);
        m.Dialogo.spnCopie_Change(3);
        m.Dialogo.chkFronteRetro_Click(true);
        for (int riga : righe)
            m.Dialogo.SceltaStampante(riga);
        b.risposte = {true};
        m.Dialogo.cmdSelStampante_Click(0);
        QCOMPARE(b.richieste.value(0).Copie, copie);
        QCOMPARE(b.richieste.value(0).FronteRetro, fronteRetro);
        // The next run, on "Laser" again.
        m.cmdStampa_Click();
        m.Dialogo.SceltaStampante(0);
        b.risposte = {true};
        m.Dialogo.cmdSelStampante_Click(0);
        QCOMPARE(b.richieste.value(1).Copie, 3);
        QVERIFY(b.richieste.value(1).FronteRetro);
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
            f.txtLocalita_Change(f.txtLocalita.Testo + QStringLiteral("X")); // typed meanwhile
        };
        b.Stampa(0);
        // Page set-up, then one pass per page: the fill grows to the full track.
        QCOMPARE(b.passi, 4);
        QCOMPARE(larghezze.mid(1), (QList<int>{1545, 3090, 4635}));
        QVERIFY(b.superfici[0].ended);
        // Every page carries the destination that was confirmed.
        QVERIFY(b.superfici[0].testi.contains(QStringLiteral("ROMA")));
        for (const QString& t : b.superfici[0].testi)
            QVERIFY2(!t.startsWith(QStringLiteral("ROMAX")), qPrintable(t));
        QCOMPARE(b.domande.size(), 1);
        QVERIFY(b.domande[0].startsWith(QStringLiteral("Stampa dei moduli|Predisposizione per la stampa\r")));
        QVERIFY(b.domande[0].contains(QStringLiteral("Pagine: . . . . . . . . 3\r")));
        // Back to idle.
        QVERIFY(!m.cmdAnnulla.Visibile);
        QVERIFY(m.cmdStampa.Visibile && m.cmdStampa.Abilitato);
        QVERIFY(!m.txtSopra.Visibile);
        QCOMPARE(m.txtFondo.Testo, QStringLiteral("Documento inviato a Laser")); // said where the bar was
        QVERIFY(b.FileFine());
    }

    void confermaNo() {
        Banco b;
        b.Avvia();
        b.Itinerario();
        b.risposte = {false};
        b.Stampa(0);
        QVERIFY(b.superfici.isEmpty()); // no run
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
        QCOMPARE(m.txtFondo.Testo,
                 risposta ? QStringLiteral("Stampa annullata") : QStringLiteral("Documento inviato a Laser"));
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

    void chiusura() {
        // Closing the window during a run asks as "&Annulla" does, and the
        // window stays; once idle, closing ends the program.
        Banco b;
        b.Avvia();
        b.Itinerario();
        b.risposte = {true, true};
        bool resta = false;
        b.eventi = [&resta](ModelloFinestra& f, int passo) {
            if (passo == 2) resta = !f.Chiusura();
        };
        b.Stampa(0);
        QVERIFY(resta);
        QCOMPARE(b.domande.size(), 2);
        QCOMPARE(b.domande[1], QStringLiteral("Stampa dei moduli|Vuoi annullare la stampa?"));
        QVERIFY(b.superfici[0].aborted);
        QCOMPARE(b.termina, -1);
        QVERIFY(b.m->Chiusura());
        QCOMPARE(b.termina, 0);
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
        const QString pdf = kScrittorePdf;
        const QString salvato = QStringLiteral("Documento salvato|Il documento è stato salvato come file PDF "
                                               "in:\r%D/viaggio.pdf|%D/viaggio.pdf");
        QTest::newRow("scelto") << pdf << QList<bool>{true} << QStringList{"%D/viaggio.pdf"} << false << ""
                                << "" << 1 << "%D/viaggio.pdf" << salvato;
        QTest::newRow(".pdf aggiunto") << pdf << QList<bool>{true} << QStringList{"%D/viaggio"} << false << ""
                                       << "" << 1 << "%D/viaggio.pdf" << salvato;
        QTest::newRow(".PDF in maiuscolo")
            << pdf << QList<bool>{true} << QStringList{"%D/VIAGGIO.PDF"} << false << ""
            << "" << 1 << "%D/VIAGGIO.PDF"
            << QString(salvato).replace(QStringLiteral("viaggio.pdf"), QStringLiteral("VIAGGIO.PDF"));
        QTest::newRow(".Pdf misto") << pdf << QList<bool>{true} << QStringList{"%D/viaggio.Pdf"} << false
                                    << ""
                                    << "" << 1 << "%D/viaggio.Pdf"
                                    << QString(salvato).replace(QStringLiteral("viaggio.pdf"),
                                                                QStringLiteral("viaggio.Pdf"));
        // Any other ending gets ".pdf" too.
        for (const char* nome : {"viaggio.pdf.2024", "viaggiopdf"})
            QTest::addRow("%s: .pdf aggiunto", nome)
                << pdf << QList<bool>{true} << QStringList{"%D/" + QString::fromLatin1(nome)} << false << ""
                << "" << 1 << "%D/" + QString::fromLatin1(nome) + ".pdf"
                << QString(salvato).replace(QStringLiteral("viaggio.pdf"),
                                            QString::fromLatin1(nome) + ".pdf");
        QTest::newRow(".pdf aggiunto, esiste, Sì")
            << pdf << QList<bool>{true, true} << QStringList{"%D/viaggio"} << true << ""
            << "" << 1 << "%D/viaggio.pdf" << salvato;
        QTest::newRow(".pdf aggiunto, esiste, No, annullato")
            << pdf << QList<bool>{true, false} << QStringList{"%D/viaggio", ""} << true << ""
            << "" << 2 << "-"
            << "";
        // A file in a folder named in Latin-1 bytes (%D/caf\xe9/viaggio.pdf
        // is always there), which the dialog could not see: asked here.
        QTest::newRow("cartella non UTF-8, file esistente, No, annullato")
            << pdf << QList<bool>{true, false} << QStringList{"%D/caf\u00e9/viaggio.pdf", ""} << false << ""
            << "" << 2 << "-"
            << "";
        QTest::newRow("cartella non UTF-8, file esistente, Sì")
            << pdf << QList<bool>{true, true} << QStringList{"%D/caf\u00e9/viaggio.pdf"} << false << ""
            << "" << 1 << "%D/caf\u00e9/viaggio.pdf"
            << QString(salvato).replace(QStringLiteral("/viaggio.pdf"),
                                        QStringLiteral("/caf\u00e9/viaggio.pdf"));
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
            << "Stampa non riuscita|Il documento non è stato salvato in /ro/viaggio.pdf.\rScegliere un'altra "
               "cartella e riprovare.|";
        QTest::newRow("cartella di sola lettura, detta")
            << pdf << QList<bool>{true} << QStringList{"/ro/viaggio.pdf"} << false
            << "impossibile creare il file temporaneo in /ro: File system in sola lettura"
            << "" << 1 << "/ro/viaggio.pdf"
            << "Stampa non riuscita|Il documento non è stato salvato in /ro/viaggio.pdf: la cartella non "
               "permette di scrivere.\rScegliere un'altra cartella e riprovare.|";
        QTest::newRow("disco pieno")
            << pdf << QList<bool>{true} << QStringList{"%D/viaggio.pdf"} << false
            << "il documento \"x\" non è stato scritto per intero (disco pieno?)"
            << "" << 1 << "%D/viaggio.pdf"
            << "Stampa non riuscita|Il documento non è stato salvato in %D/viaggio.pdf: il disco è pieno.\r"
               "Liberare spazio o scegliere un'altra cartella, poi riprovare.|";
        QTest::newRow("coda che non accetta lavori")
            << "Laser" << QList<bool>{true} << QStringList{} << false
            << "stampa su \"Laser\" non riuscita: la stampante non accetta lavori (La destinazione \"Laser\" "
               "non sta accettando le stampe.)"
            << "" << 0 << ""
            << "Stampa non riuscita|Il documento non è arrivato alla stampante Laser: la stampante non "
               "accetta lavori.\rControllare la stampante o sceglierne un'altra, poi riprovare.\rLa "
               "stampante dice: «Toner esaurito».|";
        QTest::newRow("stampante: nessun dialogo, nessun riquadro")
            << "Laser" << QList<bool>{true} << QStringList{} << false << ""
            << "" << 0 << ""
            << "";
        QTest::newRow("stampante guasta, percorso nel motivo")
            << "Laser" << QList<bool>{true} << QStringList{} << false << "la stampante non risponde"
            << "%D/ROMA_Vagolume.pdf" << 0 << ""
            << "Stampa non riuscita|Il documento non è arrivato alla stampante Laser: il sistema di stampa "
               "non risponde.\rRiprovare tra poco o scegliere un'altra stampante.\rLa stampante dice: "
               "«Toner esaurito».\rIl documento è stato salvato in "
               "%D/ROMA_Vagolume.pdf.|%D/ROMA_Vagolume.pdf";
        // Sent whole, no answer: no "riprovare", which could print it twice.
        QTest::newRow("stampante muta dopo l'ultimo byte")
            << "Laser" << QList<bool>{true} << QStringList{} << false
            << "il sistema di stampa non ha confermato il lavoro entro 30 secondi: la stampante potrebbe "
               "stamparlo comunque"
            << "%D/ROMA_Vagolume.pdf" << 0 << ""
            << "Stampa non riuscita|Il documento è arrivato per intero al sistema di stampa, che non ha "
               "risposto: la stampante potrebbe stamparlo comunque.\rControllare la stampante Laser prima di "
               "stamparlo di nuovo.\rLa stampante dice: «Toner esaurito».\rIl documento è stato salvato in "
               "%D/ROMA_Vagolume.pdf.|%D/ROMA_Vagolume.pdf";
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
        const QByteArray latino = QFile::encodeName(d) + "/caf\xe9";
        QVERIFY(::mkdir(latino.constData(), 0700) == 0);
        QVERIFY(::close(::open((latino + "/viaggio.pdf").constData(), O_CREAT | O_WRONLY, 0600)) == 0);
        const auto pulizia = qScopeGuard([&latino] { // QTemporaryDir skips what Qt cannot list
            ::unlink((latino + "/viaggio.pdf").constData());
            ::rmdir(latino.constData());
        });
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
        if (file == QLatin1String("-")) {
            QVERIFY(b.superfici.isEmpty()); // cancelled: no run
        } else {
            QCOMPARE(b.superfici.size(), 1);
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
        b.m->ImpostaStampanteCorrente(kScrittorePdf);
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
        // A folder where saving failed is not proposed again.
        QVERIFY(QDir().mkpath(casa + QStringLiteral("/rotta")));
        b.sceltePdf = {casa + QStringLiteral("/rotta/y.pdf")};
        b.guasto = QStringLiteral("impossibile scrivere in ") + casa + QStringLiteral("/rotta");
        b.risposte = {true};
        b.Stampa(-1);
        b.guasto.clear();
        QCOMPARE(proposto(QStringLiteral("ROMA")), casa + QStringLiteral("/altra/ROMA_Vagolume.pdf"));
        // A printer that fails later keeps its document there too.
        b.m->ImpostaStampanteCorrente(QStringLiteral("Laser"));
        b.risposte = {true};
        b.Stampa(-1);
        QCOMPARE(b.superfici.last().riserva, casa + QStringLiteral("/altra"));
        b.m->ImpostaStampanteCorrente(kScrittorePdf);
        QCOMPARE(proposto(QStringLiteral("ROMA")), casa + QStringLiteral("/altra/ROMA_Vagolume.pdf"));
        QVERIFY(QDir(casa + QStringLiteral("/altra")).removeRecursively());
        QCOMPARE(proposto(QStringLiteral("ROMA")), casa + QStringLiteral("/Documents/ROMA_Vagolume.pdf"));
        // Some pages only: a name that says which, never the whole trip's.
        for (const auto& [pagine, nome] : {std::pair{"4", "ROMA_Vagolume_pagina_4.pdf"},
                                           std::pair{"1,3-5", "ROMA_Vagolume_pagine_1_3-5.pdf"}}) {
            b.m->cmdStampa_Click();
            b.m->Dialogo.txtPagine_Change(QString::fromLatin1(pagine));
            b.risposte = {true};
            b.m->Dialogo.cmdSelStampante_Click(0);
            QCOMPARE(b.proposti.value(b.proposti.size() - 1),
                     casa + QStringLiteral("/Documents/") + QLatin1String(nome));
        }
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
        pdf.m->ImpostaStampanteCorrente(kScrittorePdf);
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
        QCOMPARE(righe.size(), 19);
        QCOMPARE(righe[0], QStringLiteral("Stampa con dati inseriti ('Moduli in bianco' non settato)"));
        QCOMPARE(righe[2], QStringLiteral("   * località;"));
        QCOMPARE(righe[8],
                 QStringLiteral("influisce nella stampa dei moduli compilati dove è sempre pari ad 1."));
        for (int vuota : {5, 9, 12, 16})
            QVERIFY(righe[vuota].isEmpty());
        // The printer list's controls and the preview, after the design's lines.
        const QString lista = righe.mid(13, 3).join(u' ');
        for (const char* parola : {"'Pagine'", "'Copie'", "'Fronte-retro'", "'Anteprima'", "3-5"})
            QVERIFY2(lista.contains(QLatin1String(parola)), parola);
        QCOMPARE(righe[17], b.m->CreditLine() + QStringLiteral(" - freeware"));
        QVERIFY(b.m->CreditLine().startsWith(QStringLiteral(VAGOLUME_PRODUCT_NAME " ")));
        QCOMPARE(righe[18], QStringLiteral("Per contattarmi: " VAGOLUME_CONTACT));
        QVERIFY(QStringLiteral(VAGOLUME_CONTACT).contains(u'@'));
    }

    // "&Apri" in the box after a run: the document goes to the desktop's
    // viewer; when no program can open it, the window says where it is.
    void apri_data() {
        QTest::addColumn<QString>("stampante");
        QTest::addColumn<QString>("guasto");
        QTest::addColumn<bool>("apri");
        QTest::addColumn<bool>("visore");
        QTest::addColumn<QString>("aperto");     // the file given to the viewer
        QTest::addColumn<QStringList>("titoli"); // the boxes, in order
        const QString pdf = kScrittorePdf, salvato = kTitoloSalvato, guasta = kTitoloNonRiuscita;
        QTest::newRow("salvato, OK") << pdf << "" << false << true << "" << QStringList{salvato};
        QTest::newRow("salvato, Apri") << pdf << "" << true << true << "%D/v.pdf" << QStringList{salvato};
        QTest::newRow("salvato, Apri, nessun visore")
            << pdf << "" << true << false << "%D/v.pdf" << QStringList{salvato, kTitoloNonAperto};
        QTest::newRow("stampante guasta, Apri, nessun visore")
            << "Laser"
            << "la stampante non risponde" << true << false << "%D/ROMA_Vagolume.pdf"
            << QStringList{guasta, kTitoloNonAperto};
    }
    void apri() {
        QFETCH(QString, stampante);
        QFETCH(QString, guasto);
        QFETCH(bool, apri);
        QFETCH(bool, visore);
        QFETCH(QString, aperto);
        QFETCH(QStringList, titoli);
        Banco b;
        b.Avvia();
        b.Itinerario();
        const QString cartella = b.cartella.path();
        b.guasto = guasto;
        b.salvato = cartella + QStringLiteral("/ROMA_Vagolume.pdf");
        b.sceltePdf = {cartella + QStringLiteral("/v.pdf")};
        b.risposte = {true};
        b.apri = apri;
        b.visore = visore;
        b.m->ImpostaStampanteCorrente(stampante);
        b.m->cmdStampa_Click();
        b.m->Dialogo.lstStampanti.Selezionato = -1;
        b.m->Dialogo.cmdSelStampante_Click(0);
        QStringList visti;
        for (const QString& r : b.riquadri)
            visti.append(r.section(u'|', 0, 0));
        QCOMPARE(visti, titoli);
        aperto.replace(QStringLiteral("%D"), cartella);
        QCOMPARE(b.aperti, aperto.isEmpty() ? QStringList() : QStringList{aperto});
        if (!visore) QCOMPARE(b.riquadri.last(), kTitoloNonAperto + u'|' + TestoNonAperto(aperto) + u'|');
    }

    // "&?" or F1 during a run shows the help without holding the run up;
    // at rest, the help is a box the window waits for.
    void aiutoDuranteLaStampa() {
        Banco b;
        b.Avvia();
        b.Itinerario();
        b.risposte = {true};
        QString titoloInStampa;
        b.eventi = [&](ModelloFinestra& m, int passo) {
            if (passo != 2) return;
            m.TastoNonPreso(u"", Tasto{Qt::Key_F1, Qt::NoModifier, {}});
            titoloInStampa = b.titoloInfo;
        };
        b.Stampa(1);
        QCOMPARE(titoloInStampa, kTitoloHelp + QStringLiteral(" (senza attesa)"));
        QCOMPARE(b.superfici.size(), 1);
        QVERIFY(b.superfici[0].ended);
        b.m->cmdHelp_Click();
        QCOMPARE(b.titoloInfo, kTitoloHelp);
    }

    // The progress text names the page being printed; the cover is page 1.
    void testoAvanzamento() {
        QCOMPARE(TestoAvanzamento(0, 3), QStringLiteral("Stampa dei Moduli in corso... Pagina 1 di 4"));
        QCOMPARE(TestoAvanzamento(3, 3), QStringLiteral("Stampa dei Moduli in corso... Pagina 4 di 4"));
    }

    // Qt's own texts (box buttons, the save dialog and its replace question)
    // are Italian, as the program's are.
    void traduzioniQt_data() {
        QTest::addColumn<QString>("contesto");
        QTest::addColumn<QString>("inglese");
        QTest::addColumn<QString>("italiano");
        QTest::newRow("Sì") << "QPlatformTheme"
                            << "&Yes"
                            << "&Sì";
        QTest::newRow("Annulla") << "QPlatformTheme"
                                 << "Cancel"
                                 << "Annulla";
        QTest::newRow("Salva") << "QPlatformTheme"
                               << "Save"
                               << "Salva";
        QTest::newRow("sostituire") << "QFileDialog"
                                    << "%1 already exists.\nDo you want to replace it?"
                                    << "%1 esiste già.\nVuoi sostituirlo?";
    }
    void traduzioniQt() {
        QFETCH(QString, contesto);
        QFETCH(QString, inglese);
        QFETCH(QString, italiano);
        QVERIFY2(CaricaTraduzioniQt(), "Qt's Italian translations (qt6-translations-l10n) are not installed");
        QCOMPARE(QCoreApplication::translate(qPrintable(contesto), qPrintable(inglese)), italiano);
    }

    // The real widgets, offscreen.
    void widget_mostraLoStato() {
        QTemporaryDir dir;
        DialoghiQt d;
        PiattaformaFinta p;
        frmbase f(d, p, FineIn(dir));
        d.ImpostaFinestra(&f);
        f.Form_Load(QDate(2026, 4, 7), QString(), QFile::encodeName(dir.path()));
        auto* Label1 = C<QLabel>(f, "Label1");
        auto* Label2 = C<QLabel>(f, "Label2");
        auto* Label3 = C<QLabel>(f, "Label3");
        auto* chkBianco = C<QCheckBox>(f, "chkBianco");
        auto* cmbCopie = C<QComboBox>(f, "cmbCopie");
        auto* cmbg1 = C<QComboBox>(f, "cmbg1");
        auto* cmbg2 = C<QComboBox>(f, "cmbg2");
        auto* cmbm2 = C<QComboBox>(f, "cmbm2");
        auto* cmdAnnulla = C<QPushButton>(f, "cmdAnnulla");
        auto* cmdSelStampante0 = C<QPushButton>(f, "cmdSelStampante0");
        auto* cmdSelStampante1 = C<QPushButton>(f, "cmdSelStampante1");
        auto* cmdStampa = C<QPushButton>(f, "cmdStampa");
        auto* frmLocalita = C<QGroupBox>(f, "frmLocalita");
        auto* frmPeriodo = C<QGroupBox>(f, "frmPeriodo");
        auto* frmSelStampa = C<QGroupBox>(f, "frmSelStampa");
        auto* lblCopyright = C<QLabel>(f, "lblCopyright");
        auto* lstStampanti = C<QListWidget>(f, "lstStampanti");
        auto* txtLocalita = C<QLineEdit>(f, "txtLocalita");
        auto* txtSopra = C<QLineEdit>(f, "txtSopra");
        QCOMPARE(f.windowTitle(), QStringLiteral("Stampa moduli per  'Vagolume'"));
        QCOMPARE(frmLocalita->title(), QStringLiteral("D&estinazione:"));
        QCOMPARE(Label1->buddy(), cmbg1);
        QCOMPARE(Label2->buddy(), cmbg2);
        QCOMPARE(Label3->buddy(), cmbCopie);
        QCOMPARE(cmdSelStampante0->text(), QStringLiteral("S&tampa"));
        QCOMPARE(f.palette().color(QPalette::Window), QColor(0x008080));
        QCOMPARE(frmSelStampa->palette().color(QPalette::WindowText), QColor(0xC0FFFF));
        QCOMPARE(lblCopyright->palette().color(QPalette::WindowText), QColor(0xC0FFC0));
        QCOMPARE(txtSopra->palette().color(QPalette::Base), QColor(0x0000FF));
        QCOMPARE(cmbg1->currentText(), QStringLiteral("07"));
        QCOMPARE(cmbg1->currentIndex(), 6); // the arrow keys move on from the day shown
        QVERIFY(!cmdStampa->isEnabled());
        QVERIFY(cmdStampa->isDefault());
        QVERIFY(cmdAnnulla->isHidden());
        QVERIFY(frmSelStampa->isHidden());
        // Each control of the table: in its container, where the table puts
        // it (within a pixel), with its tooltip; Tab follows the table.
        const double px = f.screen()->logicalDotsPerInchX() / 1440.0;
        QStringList ordine, catena;
        for (const DescrizioneControllo& d : Controlli()) {
            const auto* w = C<QWidget>(f, d.Nome);
            QCOMPARE(w->parentWidget()->objectName(),
                     *d.Contenitore ? QLatin1String(d.Contenitore) : QLatin1String("frmbase"));
            const QRect g = w->geometry(), t = d.Rettangolo;
            for (const auto& [pixel, twip] :
                 {std::pair{g.left(), t.left()}, std::pair{g.top(), t.top()}, std::pair{g.width(), t.width()},
                  std::pair{g.height(), t.height()}})
                QVERIFY2(std::abs(pixel - twip * px) <= 1.0, d.Nome);
            QCOMPARE(w->toolTip(), QString::fromUtf8(d.Suggerimento));
            ordine.append(QLatin1String(d.Nome));
        }
        for (QWidget* w = f.nextInFocusChain(); w != &f; w = w->nextInFocusChain())
            if (ordine.contains(w->objectName())) catena.append(w->objectName());
        QCOMPARE(catena, ordine);
        QCOMPARE(cmdSelStampante0->nextInFocusChain(), C<QWidget>(f, "cmdAnteprima"));
        QCOMPARE(C<QWidget>(f, "cmdAnteprima")->nextInFocusChain(), cmdSelStampante1);

        // Typing: upper case, accented letters too; nothing typed into the lists.
        QTest::keyClicks(txtLocalita, QStringLiteral("forl"));
        QKeyEvent accentata(QEvent::KeyPress, Qt::Key_Igrave, Qt::NoModifier, QStringLiteral("ì"));
        QApplication::sendEvent(txtLocalita, &accentata);
        QCOMPARE(txtLocalita->text(), QStringLiteral("FORLÌ"));
        QVERIFY(cmdStampa->isEnabled());
        QTest::keyClicks(cmbg1->lineEdit(), QStringLiteral("12a"));
        QTest::keyClick(cmbg1->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(cmbg1->currentText(), QStringLiteral("07"));
        QCOMPARE(f.Modello().cmbg1.Testo, QStringLiteral("07"));
        QTest::keyClick(cmbg1->lineEdit(), Qt::Key_Down);
        QCOMPARE(f.Modello().cmbg1.Testo, QStringLiteral("08"));

        // Enter in the destination opens the printer panel in front.
        QTest::keyClick(txtLocalita, Qt::Key_Return);
        QVERIFY(!frmSelStampa->isHidden());
        QCOMPARE(lstStampanti->item(lstStampanti->count() - 1)->text(), kNomeScrittorePdf);
        QVERIFY(lstStampanti->selectedItems().isEmpty());
        QCOMPARE(f.children().last(), frmSelStampa); // on top of the other controls
        QTest::keyClick(lstStampanti, Qt::Key_End);
        QCOMPARE(f.Modello().Dialogo.lstStampanti.Selezionato, lstStampanti->count() - 1);
        cmdSelStampante1->click();
        QVERIFY(frmSelStampa->isHidden());

        // Blank mode: greyed out, white texts.
        chkBianco->click();
        QVERIFY(!frmLocalita->isEnabled());
        QVERIFY(!cmbm2->isEnabled());
        QVERIFY(cmbCopie->isEnabled());
        QCOMPARE(txtLocalita->palette().color(QPalette::Disabled, QPalette::Text), QColor(Qt::white));
        QCOMPARE(cmbg2->lineEdit()->palette().color(QPalette::Disabled, QPalette::Text), QColor(Qt::white));
        QTest::keyClick(cmbCopie->lineEdit(), Qt::Key_Down);
        QCOMPARE(f.Modello().cmbCopie.Testo, QStringLiteral("02"));
        chkBianco->click();
        QVERIFY(frmPeriodo->isEnabled());
        QCOMPARE(txtLocalita->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    }

    void widget_tastiera() {
        QTemporaryDir dir;
        DialoghiQt d;
        PiattaformaFinta p;
        frmbase f(d, p, FineIn(dir));
        d.ImpostaFinestra(&f);
        f.Form_Load(QDate(2026, 4, 7), QString(), QFile::encodeName(dir.path()));
        auto* cmbg1 = C<QComboBox>(f, "cmbg1");
        auto* cmdFine = C<QPushButton>(f, "cmdFine");
        auto* cmdHelp = C<QPushButton>(f, "cmdHelp");
        auto* cmdStampa = C<QPushButton>(f, "cmdStampa");
        auto* frmSelStampa = C<QGroupBox>(f, "frmSelStampa");
        auto* txtLocalita = C<QLineEdit>(f, "txtLocalita");
        QVERIFY(cmdStampa->autoDefault());
        QVERIFY(!cmdFine->autoDefault());
        QVERIFY(!cmdHelp->autoDefault());

        // Pasted text is kept as typed text is; "&Stampa" follows every change.
        QApplication::clipboard()->setText(QStringLiteral("lido\ndi venezia"));
        QTest::keyClick(txtLocalita, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(txtLocalita->text(), QStringLiteral("LIDO DI VENEZIA"));
        QCOMPARE(f.Modello().txtLocalita.Testo, QStringLiteral("LIDO DI VENEZIA"));
        QVERIFY(cmdStampa->isEnabled());
        QTest::keyClick(txtLocalita, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(txtLocalita, Qt::Key_Backspace);
        QCOMPARE(f.Modello().txtLocalita.Testo, QString());
        QVERIFY(!cmdStampa->isEnabled());
        QTest::keyClick(txtLocalita, Qt::Key_Return);
        QVERIFY(frmSelStampa->isHidden());
        QTest::keyClick(txtLocalita, Qt::Key_Z, Qt::ControlModifier); // undo
        QCOMPARE(f.Modello().txtLocalita.Testo, QStringLiteral("LIDO DI VENEZIA"));
        QVERIFY(cmdStampa->isEnabled());
        QTest::keyClick(txtLocalita, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(txtLocalita, Qt::Key_X, Qt::ControlModifier); // cut
        QVERIFY(!cmdStampa->isEnabled());
        QTest::keyClicks(txtLocalita, QStringLiteral("x"));
        QVERIFY(cmdStampa->isEnabled()); // one letter is enough

        // Home, End, Page Up and Page Down in the lists.
        QLineEdit* giorno = cmbg1->lineEdit();
        const std::pair<Qt::Key, const char*> tasti[] = {
            {Qt::Key_End, "31"}, {Qt::Key_PageUp, "21"}, {Qt::Key_Home, "01"}, {Qt::Key_PageDown, "11"}};
        for (const auto& [tasto, atteso] : tasti) {
            QTest::keyClick(giorno, tasto);
            QCOMPARE(f.Modello().cmbg1.Testo, QLatin1String(atteso));
            QCOMPARE(cmbg1->currentText(), QLatin1String(atteso));
        }
    }

    void widget_scorciatoie() {
        QTemporaryDir dir;
        int termina = -1;
        FineProcesso fine = FineIn(dir);
        fine.Termina = [&termina](const EsitoCorsa* e) { termina = e ? CodiceUscita(*e) : 0; };
        DialoghiFinti d;
        d.rispostaFinale = true;
        PiattaformaFinta p;
        frmbase f(d, p, fine);
        f.Form_Load(QDate(2026, 4, 7), QString(), QFile::encodeName(dir.path()));
        auto* chkBianco = C<QCheckBox>(f, "chkBianco");
        auto* cmbCopie = C<QComboBox>(f, "cmbCopie");
        auto* cmbg1 = C<QComboBox>(f, "cmbg1");
        auto* cmbg2 = C<QComboBox>(f, "cmbg2");
        auto* cmdFine = C<QPushButton>(f, "cmdFine");
        auto* frmSelStampa = C<QGroupBox>(f, "frmSelStampa");
        auto* txtLocalita = C<QLineEdit>(f, "txtLocalita");
        f.show();
        f.activateWindow();
        if (!QTest::qWaitForWindowActive(&f)) QSKIP("the window cannot be made active on this platform");
        auto alt = [&f](Qt::Key k) { QTest::keyClick(&f, k, Qt::AltModifier); };
        cmdFine->setFocus();
        alt(Qt::Key_E);
        QCOMPARE(QApplication::focusWidget(), txtLocalita);
        alt(Qt::Key_D);
        QVERIFY(cmbg1->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == cmbg1);
        alt(Qt::Key_A);
        QVERIFY(cmbg2->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == cmbg2);
        alt(Qt::Key_S); // disabled: nothing
        QVERIFY(frmSelStampa->isHidden());
        alt(Qt::Key_M);
        QVERIFY(chkBianco->isChecked());
        QVERIFY(f.Modello().chkBianco.Spuntato);
        alt(Qt::Key_N);
        QVERIFY(cmbCopie->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == cmbCopie);
        alt(Qt::Key_S);
        QVERIFY(!frmSelStampa->isHidden());
        alt(Qt::Key_R);
        QVERIFY(frmSelStampa->isHidden());
        QCOMPARE(QApplication::focusWidget(), chkBianco); // not "&Fine"
        // Enter with the focus on "&Fine" does not end the program: it goes
        // to "&Stampa"; Escape closes the panel.
        cmdFine->setFocus();
        QTest::keyClick(cmdFine, Qt::Key_Return);
        QCOMPARE(termina, -1);
        QVERIFY(!frmSelStampa->isHidden());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(frmSelStampa->isHidden());
        QCOMPARE(QApplication::focusWidget(), chkBianco);
        QVERIFY(d.domande.isEmpty());
        // "&Annulla" takes Alt+A from "&Al" while a run shows it.
        f.Modello().MostraAnnulla(true);
        alt(Qt::Key_A);
        QVERIFY(!d.domande.isEmpty());
        QVERIFY(f.Modello().Form.AnnullaStampa);
        f.Modello().MostraAnnulla(false);

        // With the printer panel open, Tab goes round what can be seen and
        // used: never a control under the panel, even in part.
        f.Modello().chkBianco.Spuntato = false;
        f.Modello().chkBianco_Click();
        f.Modello().cmdStampa_Click();
        auto* elenco = C<QListWidget>(f, "lstStampanti");
        QCOMPARE(QApplication::focusWidget(), elenco);
        QStringList giro;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            giro.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(giro, QStringList({"txtPagine", "spnCopie", "cmdSelStampante0", "cmdAnteprima",
                                    "cmdSelStampante1", "txtLocalita", "cmdHelp", "lstStampanti"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget()->objectName().startsWith(QLatin1String("cmb"))); // back after it
    }

    // What a screen reader says of each control: a name of its own (never
    // its value: "08", "2026", "?"), and a description.
    void nomiAccessibili_data() {
        QTest::addColumn<QString>("controllo");
        QTest::addColumn<QString>("nome");
        const std::pair<const char*, const char*> righe[] = {
            {"frmLocalita", "Destinazione"},
            {"txtLocalita", "Destinazione"},
            {"imgLogo1", "Primo logo"},
            {"frmPeriodo", "Periodo"},
            {"Label1", "Dal"},
            {"cmbg1", "Dal giorno"},
            {"cmbm1", "Dal mese"},
            {"cmba1", "Dall'anno"},
            {"Label2", "Al"},
            {"cmbg2", "Al giorno"},
            {"cmbm2", "Al mese"},
            {"cmba2", "All'anno"},
            {"imgLogo2", "Secondo logo"},
            {"cmdStampa", "Stampa"},
            {"cmdAnnulla", "Annulla"},
            {"cmdFine", "Fine"},
            {"frmBianco", "Stampa dei fogli in bianco"},
            {"chkBianco", "Moduli in bianco"},
            {"Label3", "Numero di pagine"},
            {"cmbCopie", "Numero di pagine"},
            {"lblCopyright", "Crediti"},
            {"txtFondo", "Avanzamento della stampa"},
            {"txtSopra", "Parte stampata"},
            {"cmdHelp", "Aiuto"},
            {"frmSelStampa", "Selezione stampante"},
            {"lstStampanti", "Elenco stampanti"},
            {"Label4", "Pagine"},
            {"txtPagine", "Pagine da stampare"},
            {"Label5", "Copie"},
            {"spnCopie", "Numero di copie"},
            {"chkFronteRetro", "Fronte-retro"},
            {"cmdSelStampante0", "Stampa"},
            {"cmdAnteprima", "Anteprima"},
            {"cmdSelStampante1", "Rinuncia"},
            {"lblAvviso", "Avviso"},
        };
        QCOMPARE(std::size(righe), Controlli().size()); // every control has its row
        for (const auto& [controllo, nome] : righe)
            QTest::newRow(controllo) << QString::fromUtf8(controllo) << QString::fromUtf8(nome);
    }
    void nomiAccessibili() {
        QFETCH(QString, controllo);
        QFETCH(QString, nome);
        QTemporaryDir dir;
        DialoghiQt d;
        PiattaformaFinta p;
        frmbase f(d, p, FineIn(dir));
        d.ImpostaFinestra(&f);
        f.Form_Load(QDate(2026, 4, 7), QString(), QFile::encodeName(dir.path()));
        QWidget* w = f.findChild<QWidget*>(controllo);
        QVERIFY(w);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), nome);
        QVERIFY(!a->text(QAccessible::Description).isEmpty());
        if (auto* lista = qobject_cast<QComboBox*>(w)) {
            // Its edit field, which has the keyboard, says the same.
            QAccessibleInterface* campo = QAccessible::queryAccessibleInterface(lista->lineEdit());
            QCOMPARE(campo->text(QAccessible::Name), nome);
        }
    }

    // Under a dark desktop palette every control's text stands out from its
    // background, as it does under a light one: the window takes all the
    // colours of its controls from one side.
    void contrasto_data() {
        QTest::addColumn<QString>("controllo");
        QTest::addColumn<bool>("scura");
        for (const char* c :
             {"txtLocalita", "cmbg1", "cmba2", "cmdStampa", "cmdFine", "chkBianco", "Label1", "frmPeriodo",
              "lblCopyright", "txtFondo", "lstStampanti", "cmdSelStampante1", "lstStampanti:scelta"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, chiara").arg(QLatin1String(c)))) << c << false;
            QTest::newRow(qPrintable(QStringLiteral("%1, scura").arg(QLatin1String(c)))) << c << true;
        }
    }
    void contrasto() {
        QFETCH(QString, controllo);
        QFETCH(bool, scura);
        const QPalette prima = QApplication::palette();
        if (scura) QApplication::setPalette(TavolozzaScura());
        QTemporaryDir dir;
        DialoghiQt d;
        PiattaformaFinta p;
        p.installate = {QStringLiteral("Laser"), QStringLiteral("Ufficio")};
        auto f = std::make_unique<frmbase>(d, p, FineIn(dir));
        d.ImpostaFinestra(f.get());
        f->Form_Load(QDate(2026, 4, 7), QString(), QFile::encodeName(dir.path()));
        QApplication::setPalette(prima);
        ModelloFinestra& m = f->Modello();
        m.txtLocalita_Change(QStringLiteral("ROMA"));
        m.ImpostaStampanteCorrente(QStringLiteral("Laser"));
        m.ImpostaTestoFondo(TestoAvanzamento(0, 3));
        // The chosen printer's row (white on the selection) reads as body text does: 4.5:1.
        const bool scelta = controllo.endsWith(QLatin1String(":scelta"));
        controllo = controllo.section(u':', 0, 0);
        if (controllo == QLatin1String("lstStampanti") || controllo == QLatin1String("cmdSelStampante1"))
            m.cmdStampa_Click();
        QWidget* w = f->findChild<QWidget*>(controllo);
        QVERIFY(w && w->isVisibleTo(f.get()));
        const QImage immagine = w->grab().toImage();
        QRect zona = immagine.rect().adjusted(3, 3, -3, -3); // inside its border
        if (auto* elenco = qobject_cast<QListWidget*>(w)) // a row not chosen ("Ufficio"), or the chosen one
            zona = elenco->visualItemRect(elenco->item(scelta ? 0 : 1)).translated(elenco->viewport()->pos());
        else if (qobject_cast<QGroupBox*>(w))
            zona = QRect(0, 0, immagine.width(), w->fontMetrics().height()); // its caption
        else if (qobject_cast<QLabel*>(w))
            zona = immagine.rect();
        const double c = ContrastoTesto(immagine, zona);
        QVERIFY2(c >= (scelta ? 4.5 : 3.0), qPrintable(QStringLiteral("contrast %1").arg(c)));
    }

    // The real panel, offscreen, from the keyboard: copies typed and
    // stepped; pages judged when the keyboard leaves them, with the reason in
    // the panel's line, clear of every control.
    void widget_pannello() {
        QTemporaryDir dir;
        DialoghiFinti d;
        PiattaformaFinta p;
        p.installate = {QStringLiteral("Laser")};
        frmbase f(d, p, FineIn(dir));
        f.Modello().ImpostaStampanteCorrente(QStringLiteral("Laser"));
        f.Form_Load(QDate(2026, 4, 7), QString(), QFile::encodeName(dir.path()));
        ModelloFinestra& m = f.Modello();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        m.txtLocalita_Change(QStringLiteral("ROMA"));
        m.cmdStampa_Click();
        auto* spnCopie = C<QSpinBox>(f, "spnCopie");
        QVERIFY(spnCopie->isEnabled());
        spnCopie->setFocus();
        QTest::keyClick(spnCopie, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(spnCopie, QStringLiteral("5"));
        QCOMPARE(m.Dialogo.spnCopie.Testo, QStringLiteral("5"));
        QTest::keyClick(spnCopie, Qt::Key_Up);
        QCOMPARE(m.Dialogo.spnCopie.Testo, QStringLiteral("6"));
        QTest::keyClick(spnCopie, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(spnCopie, QStringLiteral("120"));
        QCOMPARE(m.Dialogo.spnCopie.Testo, QStringLiteral("12")); // 120 is beyond 99: not taken

        auto* txtPagine = C<QLineEdit>(f, "txtPagine");
        auto* lblAvviso = C<QLabel>(f, "lblAvviso");
        txtPagine->setFocus();
        QTest::keyClicks(txtPagine, QStringLiteral("2,30"));
        QCOMPARE(m.Dialogo.MotivoPagine(), QString());
        QVERIFY(lblAvviso->isHidden());
        QTest::keyClick(txtPagine, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QVERIFY(!m.Dialogo.MotivoPagine().isEmpty());
        QVERIFY(lblAvviso->isVisible());
        QCOMPARE(lblAvviso->text(), QStringLiteral("Pagine: ") + m.Dialogo.MotivoPagine() + u'.');
        const QRect avviso = lblAvviso->geometry();
        for (const char* nome : {"lstStampanti", "txtPagine", "spnCopie", "chkFronteRetro",
                                 "cmdSelStampante0", "cmdAnteprima", "cmdSelStampante1"})
            QVERIFY2(!avviso.intersects(C<QWidget>(f, nome)->geometry()), nome);
        const QRect nellaFinestra(lblAvviso->mapTo(&f, QPoint(0, 0)), avviso.size());
        QVERIFY(f.rect().contains(nellaFinestra));
        QVERIFY(C<QGroupBox>(f, "frmSelStampa")->geometry().contains(lblAvviso->mapTo(&f, QPoint(0, 0))));

        // Five printers and the PDF writer: every entry in view, in a panel
        // (and a window) grown to hold them, long names cut in the middle
        // with the whole name on hovering; the window is as before once the
        // panel closes. A double-click prints as "S&tampa" does.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        const int altezza = f.height();
        const QString lungo = QStringLiteral("Stampante_del_piano_terra_accanto_alla_reception_HP_LaserJet");
        p.installate = {QStringLiteral("Laser"), QStringLiteral("Ufficio"), QStringLiteral("Casa"),
                        QStringLiteral("Garage"), lungo};
        m.Dialogo.txtPagine_Change(QString());
        m.cmdStampa_Click();
        auto* elenco = C<QListWidget>(f, "lstStampanti");
        QCOMPARE(elenco->count(), 6);
        for (int i = 0; i < elenco->count(); ++i)
            QVERIFY2(elenco->viewport()->rect().contains(elenco->visualItemRect(elenco->item(i))),
                     qPrintable(elenco->item(i)->text()));
        QVERIFY(!elenco->horizontalScrollBar()->isVisible());
        QCOMPARE(elenco->item(4)->toolTip(), lungo);
        QVERIFY(f.height() > altezza);
        const QRect sotto = C<QWidget>(f, "cmdSelStampante0")->geometry();
        QVERIFY(!sotto.intersects(elenco->geometry()));
        QVERIFY(f.rect().contains(
            QRect(C<QWidget>(f, "cmdSelStampante0")->mapTo(&f, QPoint(0, 0)), sotto.size())));
        d.domande.clear();
        const QPoint ufficio = elenco->visualItemRect(elenco->item(1)).center();
        QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, ufficio); // a screen's first click
        QTest::mouseDClick(elenco->viewport(), Qt::LeftButton, {}, ufficio);
        QCOMPARE(d.domande.size(), 1); // the confirmation, of a run on "Ufficio"
        QVERIFY(d.domande[0].contains(QStringLiteral("Stampante: . . . Ufficio")));
        QCOMPARE(f.height(), altezza);
    }

    // The save dialog offers PDF documents by name.
    void dialogoSalva() {
        QTemporaryDir dir;
        DialoghiQt d;
        QStringList filtri;
        QTimer::singleShot(0, [&filtri] {
            auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialogo) return;
            filtri = dialogo->nameFilters();
            dialogo->reject();
        });
        QCOMPARE(d.SalvaFile(kTitoloSalvaPdf, dir.filePath(QStringLiteral("ROMA_Vagolume.pdf"))), QString());
        QCOMPARE(filtri, QStringList{QStringLiteral("Documenti PDF (*.pdf)")});
    }

    // "Apri" hands the saved file to xdg-open in a form it finds the file
    // by, also in a folder named in Latin-1 bytes (the file URL of its
    // bytes: xdg-open decodes "%E0" back to the byte).
    void apriFile_data() {
        QTest::addColumn<QByteArray>("cartella"); // made in the test's folder
        QTest::addColumn<QString>("file");        // as the window names it
        QTest::addColumn<bool>("aperto");
        QTest::newRow("UTF-8") << QByteArray("citt\xc3\xa0") << QStringLiteral("citt\u00e0/a.pdf") << true;
        QTest::newRow("Latin-1") << QByteArray("citt\xe0") << QStringLiteral("citt\u00e0/a.pdf") << true;
        QTest::newRow("nessun file") << QByteArray("citt\xe0") << QStringLiteral("citt\u00e0/b.pdf") << false;
    }
    void apriFile() {
        QFETCH(QByteArray, cartella);
        QFETCH(QString, file);
        QFETCH(bool, aperto);
        QTemporaryDir dir;
        const QByteArray d = QFile::encodeName(dir.path()) + '/';
        QVERIFY(::mkdir((d + cartella).constData(), 0700) == 0);
        QVERIFY(::close(::open((d + cartella + "/a.pdf").constData(), O_CREAT | O_WRONLY, 0600)) == 0);
        const auto pulizia = qScopeGuard([&] {
            ::unlink((d + cartella + "/a.pdf").constData());
            ::rmdir((d + cartella).constData());
        });
        // An xdg-open that opens nothing: it says whether its argument
        // names a file, reading a file URL as xdg-open does.
        QFile xdg(dir.filePath(QStringLiteral("xdg-open")));
        QVERIFY(xdg.open(QIODevice::WriteOnly));
        xdg.write("#!/bin/bash\n"
                  "p=$1\n"
                  "if [[ $p == file://* ]]; then p=${p#file://}; printf -v p '%b' \"${p//%/\\\\x}\"; fi\n"
                  "[ -e \"$p\" ] && touch \"$0.aperto\"\n");
        xdg.close();
        QVERIFY(xdg.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QByteArray percorso = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + percorso);
        const auto ripristino = qScopeGuard([&percorso] { qputenv("PATH", percorso); });
        bool nonAperto = false;
        DialoghiQt().ApriFile(dir.filePath(file), [&nonAperto] { nonAperto = true; });
        const QString segno = dir.filePath(QStringLiteral("xdg-open.aperto"));
        QTRY_VERIFY(nonAperto || QFile::exists(segno));
        QCOMPARE(QFile::exists(segno), aperto);
        QCOMPARE(nonAperto, !aperto);
    }

    // A question is wide enough for its title in a title bar.
    void larghezzaDomanda() {
        QTemporaryDir dir;
        DialoghiQt d;
        PiattaformaFinta p;
        frmbase f(d, p, FineIn(dir));
        d.ImpostaFinestra(&f);
        f.Form_Load(QDate(2026, 4, 7), QString(), QFile::encodeName(dir.path()));
        int larghezza = 0;
        QString titolo;
        QTimer::singleShot(0, &f, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            larghezza = box->width();
            titolo = box->windowTitle();
            box->reject();
        });
        f.Modello().cmdAnnulla_Click();
        QCOMPARE(titolo, QStringLiteral("Stampa dei moduli"));
        QFont grassetto = f.font();
        grassetto.setBold(true);
        QVERIFY2(larghezza >= QFontMetrics(grassetto).horizontalAdvance(titolo) + 150,
                 qPrintable(QString::number(larghezza)));
    }
};

QTEST_MAIN(TestFinestra)
#include "test_finestra.moc"
