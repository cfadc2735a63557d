#include "app/frmbase.h"

#include "app/Anteprima.h"
#include "print/Stampanti.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QShortcutEvent>
#include <QStyleOptionComplex>
#include <QUrl>
#include <QValidator>

#include <optional>

namespace vagolume {

namespace {

QColor Colore(Rgb c) {
    return QColor::fromRgb(c);
}

// The captions' face, or the closest one installed.
QFont Carattere(double punti, bool grassetto) {
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    f.setPointSizeF(punti);
    f.setBold(grassetto);
    return f;
}

// Text colour in every state: white texts in blank mode must stay white on
// the white background of the disabled boxes.
void ImpostaColoreTesto(QWidget* w, Rgb colore) {
    QPalette p = w->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Text, Colore(colore));
        p.setColor(g, QPalette::Base, Colore(kBianco));
    }
    w->setPalette(p);
}

void ImpostaColoreDidascalia(QWidget* w, Rgb colore) {
    QPalette p = w->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, Colore(colore));
    p.setColor(QPalette::Inactive, QPalette::WindowText, Colore(colore));
    w->setPalette(p);
}

// The day, month and year lists are narrow: a slim drop-down arrow leaves
// room for their texts.
class StileListe : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* w) const override {
        if (cc == CC_ComboBox) {
            const QRect r = opt->rect;
            const int freccia = 13;
            if (sc == SC_ComboBoxArrow) return QRect(r.right() - freccia + 1, r.top(), freccia, r.height());
            if (sc == SC_ComboBoxEditField)
                return QRect(r.left() + 3, r.top() + 2, r.width() - freccia - 4, r.height() - 4);
        }
        return QProxyStyle::subControlRect(cc, opt, sc, w);
    }
};

// A frame as an etched rectangle whose caption interrupts its top edge.
class Cornice : public QGroupBox {
public:
    Cornice(QWidget* padre, int rientro) : QGroupBox(padre), rientro_(rientro) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QFontMetrics fm(font());
        const QRect bordo = rect().adjusted(0, fm.height() / 2, -1, -1);
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(bordo.adjusted(0, 0, -1, -1));
        p.setPen(Colore(kBianco));
        p.drawRect(bordo.adjusted(1, 1, 0, 0));
        if (title().isEmpty()) return;
        QString visibile = title();
        visibile.remove(u'&');
        const QRect didascalia(rientro_, 0, fm.horizontalAdvance(visibile) + 4, fm.height());
        p.fillRect(didascalia, palette().color(QPalette::Window));
        style()->drawItemText(&p, didascalia, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                              title(), QPalette::WindowText);
    }

private:
    int rientro_;
};

// Text that reaches the destination other than by a key press (pasted with
// Ctrl+V or the context menu, dropped, brought back by undo) is kept as
// typed text is: upper case, on one line. The window's own updates pass as
// they are.
class ValidatoreDestinazione : public QValidator {
public:
    ValidatoreDestinazione(QObject* padre, const bool& aggiornando)
        : QValidator(padre), aggiornando_(aggiornando) {}
    State validate(QString& testo, int& cursore) const override {
        if (aggiornando_) return Acceptable;
        const QString nuovo = TestoDestinazione(testo);
        if (nuovo != testo) {
            cursore = static_cast<int>(TestoDestinazione(testo.left(cursore)).size());
            testo = nuovo;
        }
        return Acceptable;
    }

private:
    const bool& aggiornando_;
};

void MostraLista(QComboBox* combo, const Controllo& c) {
    QStringList attuali;
    for (int i = 0; i < combo->count(); ++i)
        attuali.append(combo->itemText(i));
    if (attuali != c.Voci) {
        combo->clear();
        combo->addItems(c.Voci);
    }
    // The entry shown is the current one, so that the arrow keys move on
    // from it.
    const int indice = combo->findText(c.Testo, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (combo->currentIndex() != indice) combo->setCurrentIndex(indice);
    if (combo->currentText() != c.Testo) combo->setEditText(c.Testo);
    combo->setEnabled(c.Abilitato);
    combo->setVisible(c.Visibile);
    ImpostaColoreTesto(combo, c.ColoreTesto);
    ImpostaColoreTesto(combo->lineEdit(), c.ColoreTesto);
}

bool TastoInvio(const QKeyEvent* tasto) {
    return (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) &&
           !(tasto->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier));
}

QMessageBox::StandardButton Chiedi(QWidget* padre, QMessageBox::Icon icona, const QString& titolo,
                                   const QString& testo, QMessageBox::StandardButtons bottoni,
                                   const QString& daAprire = QString()) {
    QString visibile = testo;
    visibile.replace(u'\r', u'\n');
    QMessageBox box(icona, titolo, visibile, bottoni, padre);
    if (!daAprire.isEmpty()) {
        // "&Apri" opens the file with the desktop's viewer and closes the box.
        QPushButton* apri = box.addButton(QStringLiteral("&Apri"), QMessageBox::ActionRole);
        QObject::connect(apri, &QPushButton::clicked, &box,
                         [daAprire] { QDesktopServices::openUrl(QUrl::fromLocalFile(daAprire)); });
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    if (bottoni & QMessageBox::Yes) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sì"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    const auto risposta = static_cast<QMessageBox::StandardButton>(box.exec());
    // Back to the window, also where no window manager does it.
    if (padre && padre->isVisible()) padre->activateWindow();
    return risposta;
}

} // namespace

frmbase::frmbase(Servizi servizi, QWidget* parent) : QWidget(parent) {
    if (!servizi.DomandaSiNo)
        servizi.DomandaSiNo = [this](const QString& titolo, const QString& testo) {
            return Chiedi(this, QMessageBox::NoIcon, titolo, testo, QMessageBox::Yes | QMessageBox::No) ==
                   QMessageBox::Yes;
        };
    if (!servizi.Informazione)
        servizi.Informazione = [this](const QString& titolo, const QString& testo) {
            Chiedi(this, QMessageBox::Information, titolo, testo, QMessageBox::Ok);
        };
    if (!servizi.InformazioneFile)
        servizi.InformazioneFile = [this](const QString& titolo, const QString& testo, const QString& file) {
            Chiedi(this, QMessageBox::Information, titolo, testo, QMessageBox::Ok, file);
        };
    if (!servizi.Avvertimento)
        servizi.Avvertimento = [this](const QString& titolo, const QString& testo) {
            Chiedi(this, QMessageBox::Warning, titolo, testo, QMessageBox::Ok);
        };
    if (!servizi.SalvaFile)
        servizi.SalvaFile = [this](const QString& titolo, const QString& proposto) {
            // The platform's own dialog where there is one; it adds ".pdf" to
            // a name without an extension before asking about overwriting.
            QFileDialog dialogo(this, titolo, QFileInfo(proposto).absolutePath(), QStringLiteral("*.pdf"));
            dialogo.setAcceptMode(QFileDialog::AcceptSave);
            dialogo.setFileMode(QFileDialog::AnyFile);
            dialogo.setDefaultSuffix(QStringLiteral("pdf"));
            dialogo.selectFile(QFileInfo(proposto).fileName());
            const bool scelto = dialogo.exec() == QDialog::Accepted && !dialogo.selectedFiles().isEmpty();
            if (isVisible()) activateWindow();
            return scelto ? dialogo.selectedFiles().first() : QString();
        };
    if (!servizi.ElaboraEventi) servizi.ElaboraEventi = [] { QApplication::processEvents(); };
    if (!servizi.Impaginazione)
        servizi.Impaginazione = [](const QString& stampante) {
            return CreaStampante(stampante)->Impaginazione();
        };
    if (!servizi.Anteprima)
        servizi.Anteprima = [this](Pagine& pagine, const QPageLayout& layout) {
            Anteprima anteprima(pagine, layout, this);
            const bool stampa = anteprima.exec() == QDialog::Accepted;
            // Back to the printer panel, also where no window manager does it.
            if (isVisible()) activateWindow();
            return stampa;
        };
    if (!servizi.Occupato)
        servizi.Occupato = [](bool occupato) {
            if (occupato)
                QApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QApplication::restoreOverrideCursor();
        };
    servizi.Aggiornato = [this] { Mostra(); };
    modello_ = std::make_unique<ModelloFinestra>(std::move(servizi));
    Costruisci();
}

frmbase::~frmbase() = default;

int frmbase::Tw(int twips) const {
    const double dpi = screen() ? screen()->logicalDotsPerInchX() : 96.0;
    return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

QRect frmbase::Rett(int left, int top, int width, int height) const {
    return QRect(Tw(left), Tw(top), Tw(width), Tw(height));
}

void frmbase::Costruisci() {
    setWindowTitle(QStringLiteral("Stampa moduli per  'Vagolume'"));
    setObjectName(QStringLiteral("frmbase"));
    // Teal window, frames and labels with white captions.
    QPalette tavolozza = palette();
    tavolozza.setColor(QPalette::Window, Colore(kColoreSfondo));
    tavolozza.setColor(QPalette::Active, QPalette::WindowText, Colore(kBianco));
    tavolozza.setColor(QPalette::Inactive, QPalette::WindowText, Colore(kBianco));
    tavolozza.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xA0, 0xC8, 0xC8));
    tavolozza.setColor(QPalette::Base, Colore(kBianco));
    setPalette(tavolozza);
    setAutoFillBackground(true);
    setFont(Carattere(8.25, false));
    setFixedSize(Tw(5400), Tw(3720));
    stileListe_ = new StileListe();
    stileListe_->setParent(this);

    auto gruppo = [this](const QString& nome, QWidget* padre, QRect r, double punti) {
        auto* g = new Cornice(padre, Tw(90));
        g->setObjectName(nome);
        g->setGeometry(r);
        g->setFont(Carattere(punti, true));
        return g;
    };
    auto etichetta = [](const QString& nome, QWidget* padre, QRect r, Qt::Alignment a) {
        auto* l = new QLabel(padre);
        l->setObjectName(nome);
        l->setGeometry(r);
        l->setAlignment(a | Qt::AlignVCenter);
        l->setFont(Carattere(8.25, true));
        return l;
    };
    auto lista = [this](const QString& nome, QWidget* padre, QRect r, const QString& suggerimento) {
        auto* c = new QComboBox(padre);
        c->setObjectName(nome);
        c->setStyle(stileListe_);
        c->setGeometry(r);
        c->setFont(Carattere(8.25, false));
        c->setEditable(true);
        // Values are chosen from the list, never typed.
        c->lineEdit()->setReadOnly(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setCompleter(nullptr);
        c->setMaxVisibleItems(kVociPerPagina);
        c->setToolTip(suggerimento);
        c->view()->setMinimumWidth(c->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 30);
        c->lineEdit()->installEventFilter(this);
        c->installEventFilter(this);
        return c;
    };
    auto bottone = [this](const QString& nome, QWidget* padre, QRect r, const QString& suggerimento,
                          QFont f) {
        auto* b = new QPushButton(padre);
        b->setObjectName(nome);
        b->setGeometry(r);
        b->setToolTip(suggerimento);
        b->setFont(f);
        b->setAutoDefault(true); // Enter presses the button that has the focus
        b->installEventFilter(this);
        return b;
    };

    frmLocalita = gruppo(QStringLiteral("frmLocalita"), this, Rett(120, 120, 5115, 735), 9.75);
    txtLocalita = new QLineEdit(frmLocalita);
    txtLocalita->setObjectName(QStringLiteral("txtLocalita"));
    txtLocalita->setGeometry(Rett(120, 240, 4845, 420));
    txtLocalita->setMaxLength(50);
    txtLocalita->setFont(Carattere(13.5, true));
    txtLocalita->setValidator(new ValidatoreDestinazione(txtLocalita, aggiornando_));
    txtLocalita->installEventFilter(this);

    imgLogo1 = new QLabel(this);
    imgLogo1->setObjectName(QStringLiteral("imgLogo1"));
    imgLogo1->setGeometry(Rett(480, 900, 615, 735));
    imgLogo1->setScaledContents(true);
    imgLogo1->setPixmap(QPixmap::fromImage(modello_->Logo1().image));

    frmPeriodo = gruppo(QStringLiteral("frmPeriodo"), this, Rett(1482, 960, 2415, 1095), 9.75);
    Label1 = etichetta(QStringLiteral("Label1"), frmPeriodo, Rett(120, 480, 375, 200), Qt::AlignRight);
    const QString suggerimentoInizio =
        QStringLiteral("Indica giorno, mese ed anno di inizio dell'itinerario");
    const QString suggerimentoFine = QStringLiteral("Indica giorno, mese ed anno di fine dell'itinerario");
    // The day and month lists stop short of their neighbours instead of
    // overlapping them by 70 twips, so that no arrow is covered.
    cmbg1 = lista(QStringLiteral("cmbg1"), frmPeriodo, Rett(600, 360, 470, 315), suggerimentoInizio);
    cmbm1 = lista(QStringLiteral("cmbm1"), frmPeriodo, Rett(1080, 360, 470, 315), suggerimentoInizio);
    cmba1 = lista(QStringLiteral("cmba1"), frmPeriodo, Rett(1560, 360, 700, 315), suggerimentoInizio);
    Label2 = etichetta(QStringLiteral("Label2"), frmPeriodo, Rett(120, 840, 375, 200), Qt::AlignRight);
    cmbg2 = lista(QStringLiteral("cmbg2"), frmPeriodo, Rett(600, 720, 470, 315), suggerimentoFine);
    cmbm2 = lista(QStringLiteral("cmbm2"), frmPeriodo, Rett(1080, 720, 470, 315), suggerimentoFine);
    cmba2 = lista(QStringLiteral("cmba2"), frmPeriodo, Rett(1560, 720, 700, 315), suggerimentoFine);
    Label1->setBuddy(cmbg1);
    Label2->setBuddy(cmbg2);
    Label2->installEventFilter(this);

    imgLogo2 = new QLabel(this);
    imgLogo2->setObjectName(QStringLiteral("imgLogo2"));
    imgLogo2->setGeometry(Rett(4320, 960, 735, 615));
    imgLogo2->setScaledContents(true);
    imgLogo2->setPixmap(QPixmap::fromImage(modello_->Logo2().image));

    cmdStampa = bottone(QStringLiteral("cmdStampa"), this, Rett(120, 1680, 1300, 400),
                        QStringLiteral("Stampa i moduli per il Vagolume"), Carattere(12, true));
    cmdAnnulla = bottone(QStringLiteral("cmdAnnulla"), this, Rett(120, 1680, 1300, 400),
                         QStringLiteral("Annulla la stampa in corso"), Carattere(12, true));
    cmdFine = bottone(QStringLiteral("cmdFine"), this, Rett(3960, 1655, 1300, 400),
                      QStringLiteral("Fine dell'esecuzione del programma"), Carattere(12, true));
    // Enter never ends the program nor opens the help by surprise: with the
    // focus on them it goes to "&Stampa"; Space still presses them.
    cmdFine->setAutoDefault(false);

    frmBianco = gruppo(QStringLiteral("frmBianco"), this, Rett(120, 2160, 5115, 615), 8.25);
    chkBianco = new QCheckBox(frmBianco);
    chkBianco->setObjectName(QStringLiteral("chkBianco"));
    chkBianco->setGeometry(Rett(120, 300, 1815, 255));
    chkBianco->setFont(Carattere(8.25, true));
    chkBianco->installEventFilter(this);
    Label3 = etichetta(QStringLiteral("Label3"), frmBianco, Rett(2880, 315, 1335, 255), Qt::AlignRight);
    cmbCopie = lista(QStringLiteral("cmbCopie"), frmBianco, Rett(4320, 240, 615, 315), QString());
    Label3->setBuddy(cmbCopie);

    lblCopyright = new QLabel(this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright->setGeometry(Rett(120, 2880, 5115, 180));
    lblCopyright->setAlignment(Qt::AlignCenter);
    QFont verdana;
    verdana.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    verdana.setPointSizeF(6.75);
    lblCopyright->setFont(verdana);
    ImpostaColoreDidascalia(lblCopyright, kVerdeChiaro);

    txtFondo = new QLineEdit(this);
    txtFondo->setObjectName(QStringLiteral("txtFondo"));
    txtFondo->setGeometry(Rett(120, 3200, 4635, 285));
    txtFondo->setReadOnly(true);
    txtFondo->setFocusPolicy(Qt::NoFocus);
    txtSopra = new QLineEdit(this);
    txtSopra->setObjectName(QStringLiteral("txtSopra"));
    txtSopra->setGeometry(Rett(120, 3200, 255, 285));
    txtSopra->setReadOnly(true);
    txtSopra->setFocusPolicy(Qt::NoFocus);
    txtSopra->setFrame(false);
    {
        QPalette p = txtSopra->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(g, QPalette::Base, Colore(kBlu));
        txtSopra->setPalette(p);
        txtSopra->setAutoFillBackground(true);
    }

    cmdHelp = bottone(QStringLiteral("cmdHelp"), this, Rett(4885, 3200, 375, 300), QString(),
                      Carattere(9.75, true));
    cmdHelp->setAutoDefault(false);

    frmSelStampa = gruppo(QStringLiteral("frmSelStampa"), this, Rett(1080, 1080, 3495, 2295), 9.75);
    frmSelStampa->setAutoFillBackground(true); // covers the controls beneath it
    ImpostaColoreDidascalia(frmSelStampa, kCianoChiaro);
    lstStampanti = new QListWidget(frmSelStampa);
    lstStampanti->setObjectName(QStringLiteral("lstStampanti"));
    lstStampanti->setGeometry(Rett(180, 300, 3015, 1425));
    lstStampanti->setFont(Carattere(8.25, false));
    lstStampanti->setSelectionMode(QAbstractItemView::SingleSelection);
    lstStampanti->installEventFilter(this);
    // Three buttons under the list, as wide as the list together.
    cmdSelStampante[0] = bottone(QStringLiteral("cmdSelStampante0"), frmSelStampa, Rett(180, 1800, 975, 375),
                                 QStringLiteral("Avvio della stampa"), Carattere(8.25, true));
    cmdSelStampante[1] = bottone(QStringLiteral("cmdSelStampante1"), frmSelStampa, Rett(2220, 1800, 975, 375),
                                 QStringLiteral("Rinuncia alla stampa"), Carattere(8.25, true));
    cmdAnteprima = bottone(QStringLiteral("cmdAnteprima"), frmSelStampa, Rett(1200, 1800, 975, 375),
                           QStringLiteral("Anteprima di stampa"), Carattere(8.25, true));
    cmdAnteprima->setText(QStringLiteral("Ante&prima"));
    QWidget::setTabOrder(cmdSelStampante[0], cmdAnteprima);
    QWidget::setTabOrder(cmdAnteprima, cmdSelStampante[1]);

    Label1->setText(QStringLiteral("&Dal"));
    Label2->setText(QStringLiteral("&Al"));
    Label3->setText(QStringLiteral("&Num. pagine:"));
    cmdSelStampante[0]->setText(QStringLiteral("S&tampa"));
    cmdSelStampante[1]->setText(QStringLiteral("&Rinuncia"));

    ModelloFinestra& m = *modello_;
    connect(txtLocalita, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!aggiornando_) modello_->txtLocalita_Change(t);
    });
    auto scelta = [this](QComboBox* combo, Controllo& c, void (ModelloFinestra::*gestore)()) {
        connect(combo, &QComboBox::activated, this, [this, combo, &c, gestore](int indice) {
            if (aggiornando_ || indice < 0) return;
            c.Testo = combo->itemText(indice);
            (modello_.get()->*gestore)();
        });
    };
    scelta(cmbg1, m.cmbg1, &ModelloFinestra::cmbData_Click);
    scelta(cmbg2, m.cmbg2, &ModelloFinestra::cmbData_Click);
    scelta(cmba1, m.cmba1, &ModelloFinestra::cmbA1_Click);
    scelta(cmba2, m.cmba2, &ModelloFinestra::cmbA2_Click);
    scelta(cmbm1, m.cmbm1, &ModelloFinestra::cmbM1_Click);
    scelta(cmbm2, m.cmbm2, &ModelloFinestra::cmbM2_Click);
    scelta(cmbCopie, m.cmbCopie, &ModelloFinestra::Ridisegna);
    connect(chkBianco, &QCheckBox::clicked, this, [this](bool spuntato) {
        modello_->chkBianco.Spuntato = spuntato;
        modello_->chkBianco_Click();
    });
    connect(cmdStampa, &QPushButton::clicked, this, [this] { modello_->cmdStampa_Click(); });
    connect(cmdAnnulla, &QPushButton::clicked, this, [this] { modello_->cmdAnnulla_Click(); });
    connect(cmdFine, &QPushButton::clicked, this, [this] { modello_->cmdFine_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { modello_->cmdHelp_Click(); });
    connect(lstStampanti, &QListWidget::itemSelectionChanged, this, [this] {
        if (aggiornando_) return;
        const QList<QListWidgetItem*> scelti = lstStampanti->selectedItems();
        modello_->lstStampanti.Selezionato = scelti.isEmpty() ? -1 : lstStampanti->row(scelti.first());
    });
    for (int16_t i = 0; i < 2; ++i)
        connect(cmdSelStampante[i], &QPushButton::clicked, this,
                [this, i] { modello_->cmdSelStampante_Click(i); });
    connect(cmdAnteprima, &QPushButton::clicked, this, [this] { modello_->cmdAnteprima_Click(); });
    Mostra();
}

void frmbase::Form_Load(const QDate& oggi, const QString& argomenti, const QString& cartellaProgramma) {
    // Centred on the screen before it is first shown.
    if (screen()) {
        const QRect schermo = screen()->availableGeometry();
        move(schermo.left() + static_cast<int>(schermo.width() / 2.0 - width() / 2.0),
             schermo.top() + static_cast<int>(schermo.height() / 2.0 - height() / 2.0));
    }
    modello_->Form_Load(oggi, argomenti, cartellaProgramma);
}

void frmbase::Mostra() {
    if (aggiornando_) return;
    aggiornando_ = true;
    const ModelloFinestra& m = *modello_;
    auto stato = [](QWidget* w, const Controllo& c) {
        w->setEnabled(c.Abilitato);
        w->setVisible(c.Visibile);
    };
    frmLocalita->setTitle(m.frmLocalita.Testo);
    stato(frmLocalita, m.frmLocalita);
    frmPeriodo->setTitle(m.frmPeriodo.Testo);
    stato(frmPeriodo, m.frmPeriodo);
    frmBianco->setTitle(m.frmBianco.Testo);
    frmSelStampa->setTitle(m.frmSelStampa.Testo);

    if (txtLocalita->maxLength() < m.txtLocalita.Testo.size())
        txtLocalita->setMaxLength(static_cast<int>(m.txtLocalita.Testo.size()));
    if (txtLocalita->text() != m.txtLocalita.Testo) txtLocalita->setText(m.txtLocalita.Testo);
    stato(txtLocalita, m.txtLocalita);
    ImpostaColoreTesto(txtLocalita, m.txtLocalita.ColoreTesto);

    MostraLista(cmbg1, m.cmbg1);
    MostraLista(cmbm1, m.cmbm1);
    MostraLista(cmba1, m.cmba1);
    MostraLista(cmbg2, m.cmbg2);
    MostraLista(cmbm2, m.cmbm2);
    MostraLista(cmba2, m.cmba2);
    MostraLista(cmbCopie, m.cmbCopie);

    chkBianco->setText(m.chkBianco.Testo);
    chkBianco->setChecked(m.chkBianco.Spuntato);
    stato(chkBianco, m.chkBianco);

    for (auto [b, c] : {std::pair{cmdStampa, &m.cmdStampa}, std::pair{cmdAnnulla, &m.cmdAnnulla},
                        std::pair{cmdFine, &m.cmdFine}, std::pair{cmdHelp, &m.cmdHelp}}) {
        b->setText(c->Testo);
        stato(b, *c);
    }
    cmdStampa->setDefault(m.StampaPredefinito);

    txtFondo->setText(m.txtFondo.Testo);
    txtSopra->setVisible(m.txtSopra.Visibile && m.txtSopra.Larghezza > 0);
    txtSopra->setGeometry(Tw(120), Tw(3200), Tw(m.txtSopra.Larghezza), Tw(285));
    lblCopyright->setText(m.lblCopyright.Testo);

    QStringList attuali;
    for (int i = 0; i < lstStampanti->count(); ++i)
        attuali.append(lstStampanti->item(i)->text());
    if (attuali != m.lstStampanti.Voci) {
        lstStampanti->clear();
        lstStampanti->addItems(m.lstStampanti.Voci);
    }
    const int scelto = m.lstStampanti.Selezionato;
    if (scelto < 0 || scelto >= lstStampanti->count()) {
        lstStampanti->clearSelection();
        lstStampanti->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    } else if (lstStampanti->currentRow() != scelto || !lstStampanti->item(scelto)->isSelected()) {
        lstStampanti->setCurrentRow(scelto, QItemSelectionModel::ClearAndSelect);
        lstStampanti->scrollToItem(lstStampanti->item(scelto));
    }
    const bool pannelloAperto = frmSelStampa->isVisible();
    frmSelStampa->setVisible(m.frmSelStampa.Visibile);
    if (m.frmSelStampa.Visibile) {
        frmSelStampa->raise();
        if (!pannelloAperto) lstStampanti->setFocus(Qt::OtherFocusReason);
    }

    if (m.FinestraVisibile && !isVisible() && !testAttribute(Qt::WA_DontShowOnScreen)) show();
    if (m.FuocoRichiesto) {
        QWidget* fuoco = m.FuocoRichiesto == &m.chkBianco ? static_cast<QWidget*>(chkBianco) : txtLocalita;
        modello_->FuocoRichiesto = nullptr;
        if (fuoco->isEnabled()) fuoco->setFocus(Qt::OtherFocusReason);
    }
    aggiornando_ = false;
}

bool frmbase::Invio() {
    if (frmSelStampa->isVisible() && frmSelStampa->isAncestorOf(QApplication::focusWidget())) {
        // In the printer panel Enter starts the run on the chosen printer.
        cmdSelStampante[0]->click();
        return true;
    }
    return modello_->TastoInvio();
}

bool frmbase::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() == QEvent::Shortcut) {
        // "&Al" and "&Annulla" share Alt+A: while a run shows "&Annulla", the
        // shortcut cancels.
        if ((oggetto == Label2 || oggetto == cmdAnnulla) && cmdAnnulla->isVisible() &&
            cmdAnnulla->isEnabled()) {
            cmdAnnulla->click();
            return true;
        }
        // A button's mnemonic presses it at once: during a run events are
        // taken only between pages, too seldom for a delayed click.
        auto* bottone = qobject_cast<QAbstractButton*>(oggetto);
        if (bottone && !static_cast<QShortcutEvent*>(evento)->isAmbiguous() && bottone->isEnabled()) {
            if (bottone->focusPolicy() & Qt::TabFocus) bottone->setFocus(Qt::ShortcutFocusReason);
            bottone->click();
            return true;
        }
        return QWidget::eventFilter(oggetto, evento);
    }
    if (evento->type() == QEvent::InputMethod && oggetto == txtLocalita) {
        // Composed characters (dead keys, input methods) are upper-cased too.
        auto* im = static_cast<QInputMethodEvent*>(evento);
        if (!im->commitString().isEmpty()) {
            QString testo;
            for (QChar c : im->commitString()) {
                char16_t codice = c.unicode();
                modello_->txtLocalita_KeyPress(codice);
                if (codice != 0) testo.append(QChar(codice));
            }
            im->setCommitString(testo, im->replacementStart(), im->replacementLength());
        }
        return QWidget::eventFilter(oggetto, evento);
    }
    if (evento->type() != QEvent::KeyPress) return QWidget::eventFilter(oggetto, evento);
    auto* tasto = static_cast<QKeyEvent*>(evento);
    const bool senzaModificatori = !(
        tasto->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier));
    if (tasto->key() == Qt::Key_Escape && senzaModificatori && modello_->TastoEsc()) return true;
    if (senzaModificatori) {
        // Home, End, Page Up and Page Down choose in the date and page lists
        // as the arrow keys do.
        QComboBox* combo = qobject_cast<QComboBox*>(oggetto);
        if (!combo) combo = qobject_cast<QComboBox*>(oggetto->parent());
        Controllo* lista = combo ? ControlloDi(combo) : nullptr;
        std::optional<TastoLista> scorri;
        switch (tasto->key()) {
        case Qt::Key_Home:
            scorri = TastoLista::Inizio;
            break;
        case Qt::Key_End:
            scorri = TastoLista::Fine;
            break;
        case Qt::Key_PageUp:
            scorri = TastoLista::PaginaSu;
            break;
        case Qt::Key_PageDown:
            scorri = TastoLista::PaginaGiu;
            break;
        default:
            break;
        }
        if (lista && scorri) {
            modello_->ScorriLista(*lista, *scorri);
            return true;
        }
    }
    if (TastoInvio(tasto)) {
        if (qobject_cast<QAbstractButton*>(oggetto))
            return QWidget::eventFilter(oggetto, evento); // the focused button takes it
        Invio();
        return true;
    }
    if (oggetto == lstStampanti && lstStampanti->selectedItems().isEmpty() && lstStampanti->count() > 0 &&
        !(tasto->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))) {
        // Nothing chosen yet: the first arrow key chooses the first entry
        // (End and Page Down the last), whatever entry has the focus frame.
        int riga = -1;
        switch (tasto->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_PageUp:
            riga = 0;
            break;
        case Qt::Key_End:
        case Qt::Key_PageDown:
            riga = lstStampanti->count() - 1;
            break;
        default:
            break;
        }
        if (riga >= 0) {
            lstStampanti->setCurrentRow(riga, QItemSelectionModel::ClearAndSelect);
            return true;
        }
    }
    const QString testo = tasto->text();
    if (!testo.isEmpty() && testo.at(0).isPrint() &&
        (tasto->modifiers() & (Qt::AltModifier | Qt::MetaModifier)))
        return true; // an Alt key that is no shortcut types nothing
    if (testo.isEmpty() || tasto->modifiers() & Qt::ControlModifier)
        return QWidget::eventFilter(oggetto, evento);
    char16_t carattere = testo.at(0).unicode();
    if (oggetto == txtLocalita) {
        const char16_t originale = carattere;
        modello_->txtLocalita_KeyPress(carattere);
        if (carattere == 0) return true;
        if (carattere != originale) {
            txtLocalita->insert(QString(QChar(carattere)));
            return true;
        }
        return false;
    }
    // The date and page-count lists take choices only: typed characters are
    // discarded (the arrow keys still move through the entries).
    if (qobject_cast<QComboBox*>(oggetto) || qobject_cast<QComboBox*>(oggetto->parent())) {
        if (testo.at(0).isPrint()) {
            modello_->cmbData_KeyPress(carattere);
            return carattere == 0;
        }
    }
    return QWidget::eventFilter(oggetto, evento);
}

Controllo* frmbase::ControlloDi(const QComboBox* combo) {
    ModelloFinestra& m = *modello_;
    const std::pair<const QComboBox*, Controllo*> liste[] = {
        {cmbg1, &m.cmbg1}, {cmbm1, &m.cmbm1}, {cmba1, &m.cmba1},       {cmbg2, &m.cmbg2},
        {cmbm2, &m.cmbm2}, {cmba2, &m.cmba2}, {cmbCopie, &m.cmbCopie},
    };
    for (const auto& [widget, controllo] : liste)
        if (widget == combo) return controllo;
    return nullptr;
}

void frmbase::keyPressEvent(QKeyEvent* evento) {
    if (TastoInvio(evento) && Invio()) return;
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier && modello_->TastoEsc())
        return;
    QWidget::keyPressEvent(evento);
}

void frmbase::closeEvent(QCloseEvent* evento) {
    evento->setAccepted(modello_->Chiusura());
}

} // namespace vagolume
