#include "app/frmbase.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace vagolume {

namespace {
QString Colore(Rgb c) { return QColor::fromRgb(c).name(); }

QFont Carattere(double punti, bool grassetto, const QString& famiglia = QStringLiteral("MS Sans Serif")) {
    QFont f(famiglia);
    f.setPointSizeF(punti);
    f.setBold(grassetto);
    return f;
}

void ImpostaColoreTesto(QWidget* w, Rgb colore) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, QColor::fromRgb(colore));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor::fromRgb(colore));
    w->setPalette(p);
}

void MostraLista(QComboBox* combo, const Controllo& c) {
    QStringList attuali;
    for (int i = 0; i < combo->count(); ++i)
        attuali.append(combo->itemText(i));
    if (attuali != c.Voci) {
        combo->clear();
        combo->addItems(c.Voci);
    }
    if (combo->currentText() != c.Testo)
        combo->setEditText(c.Testo);
    combo->setEnabled(c.Abilitato);
    combo->setVisible(c.Visibile);
    ImpostaColoreTesto(combo, c.ColoreTesto);
    if (combo->lineEdit())
        ImpostaColoreTesto(combo->lineEdit(), c.ColoreTesto);
}
} // namespace

frmbase::frmbase(Servizi servizi, QWidget* parent) : QWidget(parent) {
    if (!servizi.DomandaSiNo)
        servizi.DomandaSiNo = [this](const QString& titolo, const QString& testo) {
            QString visibile = testo;
            visibile.replace(u'\r', u'\n');
            return QMessageBox::question(this, titolo, visibile, QMessageBox::Yes | QMessageBox::No) ==
                   QMessageBox::Yes;
        };
    if (!servizi.Informazione)
        servizi.Informazione = [this](const QString& titolo, const QString& testo) {
            QString visibile = testo;
            visibile.replace(u'\r', u'\n');
            QMessageBox::information(this, titolo, visibile);
        };
    if (!servizi.ElaboraEventi)
        servizi.ElaboraEventi = [] { QApplication::processEvents(); };
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
    const QString sfondo = Colore(kColoreSfondo);
    setStyleSheet(QStringLiteral("QWidget#frmbase { background-color: %1; }"
                                 "QGroupBox { background-color: %1; color: white; border: 1px solid #c0c0c0;"
                                 " margin-top: 0px; }"
                                 "QGroupBox::title { subcontrol-origin: padding; left: 6px; top: -1px; padding: 0 2px; }"
                                 "QLabel { color: white; background-color: %1; }"
                                 "QCheckBox { color: white; background-color: %1; }")
                      .arg(sfondo));
    setFixedSize(Tw(5400), Tw(3720));

    auto gruppo = [this](const QString& nome, QWidget* padre, QRect r, double punti) {
        auto* g = new QGroupBox(padre);
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
        c->setGeometry(r);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setToolTip(suggerimento);
        c->lineEdit()->installEventFilter(this);
        c->installEventFilter(this);
        return c;
    };
    auto bottone = [](const QString& nome, QWidget* padre, QRect r, const QString& suggerimento, QFont f) {
        auto* b = new QPushButton(padre);
        b->setObjectName(nome);
        b->setGeometry(r);
        b->setToolTip(suggerimento);
        b->setFont(f);
        return b;
    };

    frmLocalita = gruppo(QStringLiteral("frmLocalita"), this, Rett(120, 120, 5115, 735), 9.75);
    txtLocalita = new QLineEdit(frmLocalita);
    txtLocalita->setObjectName(QStringLiteral("txtLocalita"));
    txtLocalita->setGeometry(Rett(120, 240, 4845, 420));
    txtLocalita->setMaxLength(50);
    txtLocalita->setFont(Carattere(13.5, true));
    txtLocalita->installEventFilter(this);

    imgLogo1 = new QLabel(this);
    imgLogo1->setObjectName(QStringLiteral("imgLogo1"));
    imgLogo1->setGeometry(Rett(480, 900, 615, 735));
    imgLogo1->setScaledContents(true);
    imgLogo1->setPixmap(QPixmap::fromImage(modello_->Logo1().image));

    frmPeriodo = gruppo(QStringLiteral("frmPeriodo"), this, Rett(1482, 960, 2415, 1095), 9.75);
    Label1 = etichetta(QStringLiteral("Label1"), frmPeriodo, Rett(120, 480, 375, 200), Qt::AlignRight);
    const QString suggerimentoInizio = QStringLiteral("Indica giorno, mese ed anno di inizio dell'itinerario");
    const QString suggerimentoFine = QStringLiteral("Indica giorno, mese ed anno di fine dell'itinerario");
    cmbg1 = lista(QStringLiteral("cmbg1"), frmPeriodo, Rett(600, 360, 550, 315), suggerimentoInizio);
    cmbm1 = lista(QStringLiteral("cmbm1"), frmPeriodo, Rett(1080, 360, 550, 315), suggerimentoInizio);
    cmba1 = lista(QStringLiteral("cmba1"), frmPeriodo, Rett(1560, 360, 700, 315), suggerimentoInizio);
    Label2 = etichetta(QStringLiteral("Label2"), frmPeriodo, Rett(120, 840, 375, 200), Qt::AlignRight);
    cmbg2 = lista(QStringLiteral("cmbg2"), frmPeriodo, Rett(600, 720, 550, 315), suggerimentoFine);
    cmbm2 = lista(QStringLiteral("cmbm2"), frmPeriodo, Rett(1080, 720, 550, 315), suggerimentoFine);
    cmba2 = lista(QStringLiteral("cmba2"), frmPeriodo, Rett(1560, 720, 700, 315), suggerimentoFine);
    Label1->setBuddy(cmbg1);
    Label2->setBuddy(cmbg2);

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

    frmBianco = gruppo(QStringLiteral("frmBianco"), this, Rett(120, 2160, 5115, 615), 8.25);
    chkBianco = new QCheckBox(frmBianco);
    chkBianco->setObjectName(QStringLiteral("chkBianco"));
    chkBianco->setGeometry(Rett(120, 300, 1815, 255));
    chkBianco->setFont(Carattere(8.25, true));
    Label3 = etichetta(QStringLiteral("Label3"), frmBianco, Rett(2880, 315, 1335, 255), Qt::AlignRight);
    cmbCopie = lista(QStringLiteral("cmbCopie"), frmBianco, Rett(4320, 240, 615, 315), QString());
    Label3->setBuddy(cmbCopie);

    lblCopyright = new QLabel(this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright->setGeometry(Rett(120, 2880, 5115, 180));
    lblCopyright->setAlignment(Qt::AlignCenter);
    lblCopyright->setFont(Carattere(6.75, false, QStringLiteral("Verdana")));
    lblCopyright->setStyleSheet(QStringLiteral("color: %1;").arg(Colore(kVerdeChiaro)));

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
    txtSopra->setStyleSheet(QStringLiteral("background-color: %1; border: none;").arg(Colore(kBlu)));

    cmdHelp = bottone(QStringLiteral("cmdHelp"), this, Rett(4885, 3200, 375, 300), QString(), Carattere(9.75, true));

    frmSelStampa = gruppo(QStringLiteral("frmSelStampa"), this, Rett(1080, 1080, 3495, 2295), 9.75);
    frmSelStampa->setStyleSheet(QStringLiteral("QGroupBox { color: %1; }").arg(Colore(kCianoChiaro)));
    lstStampanti = new QListWidget(frmSelStampa);
    lstStampanti->setObjectName(QStringLiteral("lstStampanti"));
    lstStampanti->setGeometry(Rett(180, 300, 3015, 1425));
    cmdSelStampante[0] = bottone(QStringLiteral("cmdSelStampante0"), frmSelStampa, Rett(240, 1800, 1335, 375),
                                 QStringLiteral("Avvio della stampa"), Carattere(8.25, true));
    cmdSelStampante[1] = bottone(QStringLiteral("cmdSelStampante1"), frmSelStampa, Rett(1800, 1800, 1335, 375),
                                 QStringLiteral("Rinuncia alla stampa"), Carattere(8.25, true));

    // Captions come from the model; the rest only once.
    Label1->setText(QStringLiteral("&Dal"));
    Label2->setText(QStringLiteral("&Al"));
    Label3->setText(QStringLiteral("&Num. pagine:"));

    ModelloFinestra& m = *modello_;
    connect(txtLocalita, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!aggiornando_)
            modello_->txtLocalita.Testo = t;
    });
    auto scelta = [this](QComboBox* combo, Controllo& c, void (ModelloFinestra::*gestore)()) {
        connect(combo, &QComboBox::activated, this, [this, combo, &c, gestore](int indice) {
            if (aggiornando_)
                return;
            c.Testo = combo->itemText(indice);
            (modello_.get()->*gestore)();
        });
    };
    scelta(cmbg1, m.cmbg1, &ModelloFinestra::cmbData_Click);
    scelta(cmbg2, m.cmbg2, &ModelloFinestra::cmbData_Click);
    scelta(cmba1, m.cmba1, &ModelloFinestra::cmbData_Click);
    scelta(cmba2, m.cmba2, &ModelloFinestra::cmbData_Click);
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
    connect(lstStampanti, &QListWidget::currentRowChanged, this, [this](int riga) {
        if (!aggiornando_)
            modello_->lstStampanti.Selezionato = riga;
    });
    for (int16_t i = 0; i < 2; ++i)
        connect(cmdSelStampante[i], &QPushButton::clicked, this, [this, i] { modello_->cmdSelStampante_Click(i); });
    Mostra();
}

void frmbase::Form_Load(const QDate& oggi, const QString& argomenti, const QString& cartellaProgramma) {
    modello_->Form_Load(oggi, argomenti, cartellaProgramma);
    // Centre the window on the screen.
    if (screen()) {
        const QRect schermo = screen()->geometry();
        move(static_cast<int>(schermo.width() / 2.0 - width() / 2.0),
             static_cast<int>(schermo.height() / 2.0 - height() / 2.0));
    }
}

void frmbase::Mostra() {
    if (aggiornando_)
        return;
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
    if (txtLocalita->text() != m.txtLocalita.Testo)
        txtLocalita->setText(m.txtLocalita.Testo);
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
    cmdStampa->setAutoDefault(m.StampaPredefinito);

    txtFondo->setText(m.txtFondo.Testo);
    txtSopra->setVisible(m.txtSopra.Visibile);
    txtSopra->setGeometry(Tw(120), Tw(3200), Tw(m.txtSopra.Larghezza), Tw(285));
    lblCopyright->setText(m.lblCopyright.Testo);

    frmSelStampa->setVisible(m.frmSelStampa.Visibile);
    if (m.frmSelStampa.Visibile)
        frmSelStampa->raise();
    QStringList attuali;
    for (int i = 0; i < lstStampanti->count(); ++i)
        attuali.append(lstStampanti->item(i)->text());
    if (attuali != m.lstStampanti.Voci) {
        lstStampanti->clear();
        lstStampanti->addItems(m.lstStampanti.Voci);
    }
    if (lstStampanti->currentRow() != m.lstStampanti.Selezionato)
        lstStampanti->setCurrentRow(m.lstStampanti.Selezionato);
    cmdSelStampante[0]->setText(QStringLiteral("S&tampa"));
    cmdSelStampante[1]->setText(QStringLiteral("&Rinuncia"));

    if (m.FinestraVisibile && !isVisible() && !testAttribute(Qt::WA_DontShowOnScreen))
        show();
    aggiornando_ = false;
}

bool frmbase::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() != QEvent::KeyPress)
        return QWidget::eventFilter(oggetto, evento);
    auto* tasto = static_cast<QKeyEvent*>(evento);
    const QString testo = tasto->text();
    if (testo.isEmpty() || tasto->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return QWidget::eventFilter(oggetto, evento);
    char16_t carattere = testo.at(0).unicode();
    if (oggetto == txtLocalita) {
        if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter)
            return false;
        const char16_t originale = carattere;
        modello_->txtLocalita_KeyPress(carattere);
        if (carattere == 0)
            return true;
        if (carattere != originale) {
            txtLocalita->insert(QString(QChar(carattere)));
            return true;
        }
        return false;
    }
    // The date and page-count lists take choices only: typed characters are
    // discarded (navigation keys still work).
    if (testo.at(0).isPrint()) {
        modello_->cmbData_KeyPress(carattere);
        return carattere == 0;
    }
    return QWidget::eventFilter(oggetto, evento);
}

void frmbase::closeEvent(QCloseEvent* evento) {
    evento->accept();
    modello_->cmdFine_Click();
}

} // namespace vagolume
