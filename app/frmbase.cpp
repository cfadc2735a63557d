#include "app/frmbase.h"

#include "app/Accessibilita.h"
#include "app/AnelloFuoco.h"
#include "app/ControlliFinestra.h"
#include "app/DisegnoControlli.h"
#include "print/Stampanti.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QShortcutEvent>
#include <QSpinBox>
#include <QStyleOptionComplex>
#include <QStyleOptionFrame>
#include <QValidator>

#include <memory>
#include <optional>

namespace vagolume {

namespace {

// The chosen entry in white on a blue dark enough to read it (6.9:1).
void ImpostaSelezioneLeggibile(QWidget* w) {
    QPalette p = w->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Highlight, QColor(0x1E, 0x5A, 0xA0));
        p.setColor(g, QPalette::HighlightedText, Colore(kBianco));
    }
    w->setPalette(p);
}

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
    // The value from its first digit: a narrow list cuts at most its right edge.
    combo->lineEdit()->setCursorPosition(0);
    combo->setEnabled(c.Abilitato);
    combo->setVisible(c.Visibile);
    ImpostaColoreTesto(combo, c.ColoreTesto);
    ImpostaColoreTesto(combo->lineEdit(), c.ColoreTesto);
}

} // namespace

frmbase::frmbase(Dialoghi& dialoghi, Piattaforma& piattaforma, FineProcesso processo, QWidget* parent)
    : QWidget(parent),
      modello_(std::make_unique<ModelloFinestra>(dialoghi, piattaforma, std::move(processo))) {
    modello_->Aggiornato = [this] { Mostra(); };
    Costruisci();
}

frmbase::~frmbase() {
    // Closing the window while it is destroyed moves the focus: the ring must
    // not follow it into controls that are going.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

int frmbase::Tw(int twips) const {
    const double dpi = screen() ? screen()->logicalDotsPerInchX() : 96.0;
    return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

QRect frmbase::Rett(const QRect& twips) const {
    return QRect(Tw(twips.left()), Tw(twips.top()), Tw(twips.width()), Tw(twips.height()));
}

template <typename W> W* frmbase::C(QAnyStringView nome) const {
    const DescrizioneControllo* d = RigaTabella(nome);
    const auto riga = d ? static_cast<size_t>(d - Controlli().data()) : controlli_.size();
    return riga < controlli_.size() ? qobject_cast<W*>(controlli_[riga]) : nullptr;
}

QString frmbase::NomeControllo(const QObject* oggetto) const {
    // A list's edit field, a list box's viewport: the control they are part of.
    for (; oggetto && oggetto != this; oggetto = oggetto->parent())
        if (RigaTabella(oggetto->objectName())) return oggetto->objectName();
    return {};
}

void frmbase::Costruisci() {
    setWindowTitle(kTitoloFinestra);
    setObjectName(QStringLiteral("frmbase"));
    setPalette(TavolozzaFinestra());
    setAutoFillBackground(true);
    setFont(Carattere(8.25, false));
    setFixedSize(Tw(kLarghezzaFinestra), Tw(kAltezzaFinestra));
    static const bool fabbrica = (QAccessible::installFactory(FabbricaAccessibile), true);
    Q_UNUSED(fabbrica);
    stileListe_ = new StileListe(Tw(150));
    stileListe_->setParent(this);

    for (const DescrizioneControllo& d : Controlli())
        controlli_.push_back(CreaControllo(d));
    for (const DescrizioneControllo& d : Controlli())
        if (*d.Compagno) C<QLabel>(QLatin1String(d.Nome))->setBuddy(C(QLatin1String(d.Compagno)));
    anello_ = new AnelloFuoco(this, Colore(kBianco), QColor(0x20, 0x20, 0x20));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* ora) {
        const QString nome = NomeControllo(ora);
        static_cast<AnelloFuoco*>(anello_)->Segui(nome.isEmpty() ? nullptr : C(nome));
    });
    Collega();
    Mostra();
}

QWidget* frmbase::CreaControllo(const DescrizioneControllo& d) {
    QWidget* padre = *d.Contenitore ? C(QLatin1String(d.Contenitore)) : this;
    QWidget* w = nullptr;
    switch (d.Tipo) {
    case Genere::Cornice:
        w = new Cornice(padre, Tw(90));
        break;
    case Genere::CasellaTesto:
        if (d.Opzioni & SoloLettura) {
            w = new Barra(padre, d.Opzioni & Coprente ? C<QLineEdit>(u"txtFondo") : nullptr);
            w->setProperty("vagolumeBarra", d.Opzioni & Coprente ? 2 : 1);
        } else {
            w = new QLineEdit(padre);
        }
        break;
    case Genere::Immagine:
    case Genere::Etichetta:
        w = new QLabel(padre);
        break;
    case Genere::Tendina:
        w = new QComboBox(padre);
        w->setProperty("vagolumeLista", true);
        w->setStyle(stileListe_);
        break;
    case Genere::Bottone:
        w = new QPushButton(padre);
        break;
    case Genere::CasellaSpunta:
        w = new QCheckBox(padre);
        break;
    case Genere::Elenco:
        w = new QListWidget(padre);
        break;
    case Genere::Numero:
        w = new QSpinBox(padre);
        break;
    }
    w->setObjectName(QLatin1String(d.Nome));
    if (const QAccessible::Role ruolo = RuoloAccessibile(d); ruolo != QAccessible::NoRole)
        w->setProperty("vagolumeRuolo", static_cast<int>(ruolo));
    w->setGeometry(Rett(d.Rettangolo));
    if (*d.Suggerimento) w->setToolTip(QString::fromUtf8(d.Suggerimento));
    w->setAccessibleName(QString::fromUtf8(d.NomeAccessibile));
    w->setAccessibleDescription(
        QString::fromUtf8(d.DescrizioneAccessibile ? d.DescrizioneAccessibile : d.Suggerimento));
    if (d.Punti > 0) w->setFont(Carattere(d.Punti, d.Grassetto, d.Famiglia));
    if (d.ColoreDidascalia) ImpostaColoreDidascalia(w, *d.ColoreDidascalia);
    if (d.Sfondo) {
        QPalette p = w->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            p.setColor(g, w->backgroundRole(), Colore(*d.Sfondo));
            p.setColor(g, w->foregroundRole(), Colore(kBianco)); // on the progress fill
        }
        w->setPalette(p);
    }
    if (d.Opzioni & Coprente) w->setAutoFillBackground(true);
    // The model decides what every key does (see eventFilter).
    w->installEventFilter(this);
    Completa(w, d);
    // Its own focus policy, kept for when the printer panel no longer covers it.
    fuoco_.push_back(w->focusPolicy());
    return w;
}

void frmbase::Completa(QWidget* w, const DescrizioneControllo& d) {
    const bool conStato = d.Stato || d.StatoPannello;
    // What the model does not show: the fixed captions, the pictures.
    const QString didascalia = QString::fromUtf8(d.Didascalia);
    if (auto* l = qobject_cast<QLabel*>(w); l && d.Tipo == Genere::Etichetta) {
        l->setAlignment(d.Allineamento | Qt::AlignVCenter);
        l->setWordWrap(d.Rettangolo.height() == 0); // as tall as its text
        if (!conStato) l->setText(didascalia);
    } else if (l && d.Tipo == Genere::Immagine) {
        l->setScaledContents(true);
        for (const Picture& logo : {Logo1(), Logo2()})
            if (logo.name == w->objectName()) l->setPixmap(QPixmap::fromImage(logo.image));
    } else if (auto* b = qobject_cast<QPushButton*>(w)) {
        // Enter presses the button that has the focus.
        b->setAutoDefault(!(d.Opzioni & InvioEscluso));
        if (!conStato) b->setText(didascalia);
    } else if (auto* t = qobject_cast<QLineEdit*>(w)) {
        if (d.LunghezzaMassima > 0) t->setMaxLength(d.LunghezzaMassima);
        if (d.Opzioni & SoloLettura) {
            t->setReadOnly(true);
            t->setFocusPolicy(Qt::NoFocus);
        } else if (w->objectName() == QLatin1String("txtLocalita")) {
            t->setValidator(new ValidatoreDestinazione(t, aggiornando_));
        }
        if (d.Opzioni & SenzaBordo) t->setFrame(false);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        // Values are chosen from the list, never typed: a read-only field,
        // told so to a screen reader before one can ask about it.
        auto* campo = new QLineEdit;
        campo->setProperty("vagolumeScelto", true);
        campo->setReadOnly(true);
        c->setLineEdit(campo);
        campo->setReadOnly(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setCompleter(nullptr);
        c->setMaxVisibleItems(kVociPerPagina);
        c->view()->setMinimumWidth(c->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 30);
        c->lineEdit()->installEventFilter(this);
        c->lineEdit()->setAccessibleName(w->accessibleName());
    } else if (auto* e = qobject_cast<QListWidget*>(w)) {
        e->setSelectionMode(QAbstractItemView::SingleSelection);
        ImpostaSelezioneLeggibile(e);
        e->setTextElideMode(Qt::ElideMiddle);
        e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else if (auto* n = qobject_cast<QSpinBox*>(w)) {
        n->setRange(1, 99);
        n->setAccelerated(true);
    }
}

void frmbase::Collega() {
    connect(C<QLineEdit>(u"txtLocalita"), &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!aggiornando_) modello_->txtLocalita_Change(t);
    });
    for (const DescrizioneControllo& d : Controlli()) {
        auto* combo = C<QComboBox>(QLatin1String(d.Nome));
        Controllo* stato = StatoDi(*modello_, d);
        if (!combo || !stato) continue;
        Controllo& lista = *stato;
        connect(combo, &QComboBox::activated, this, [this, combo, &lista](int indice) {
            if (!aggiornando_ && indice >= 0) modello_->ListaScelta(lista, combo->itemText(indice));
        });
    }
    connect(C<QCheckBox>(u"chkBianco"), &QCheckBox::clicked, this, [this](bool spuntato) {
        modello_->chkBianco.Spuntato = spuntato;
        modello_->chkBianco_Click();
    });
    connect(C<QLineEdit>(u"txtPagine"), &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!aggiornando_) modello_->Dialogo.txtPagine_Change(t);
    });
    connect(C<QSpinBox>(u"spnCopie"), &QSpinBox::valueChanged, this, [this](int copie) {
        if (!aggiornando_) modello_->Dialogo.spnCopie_Change(copie);
    });
    connect(C<QCheckBox>(u"chkFronteRetro"), &QCheckBox::clicked, this,
            [this](bool spuntato) { modello_->Dialogo.chkFronteRetro_Click(spuntato); });
    ModelloFinestra* m = modello_.get();
    const std::pair<const char16_t*, std::function<void()>> bottoni[] = {
        {u"cmdStampa", [m] { m->cmdStampa_Click(); }},
        {u"cmdAnnulla", [m] { m->cmdAnnulla_Click(); }},
        {u"cmdFine", [m] { m->cmdFine_Click(); }},
        {u"cmdHelp", [m] { m->cmdHelp_Click(); }},
        {u"cmdSelStampante0", [m] { m->Dialogo.cmdSelStampante_Click(0); }},
        {u"cmdSelStampante1", [m] { m->Dialogo.cmdSelStampante_Click(1); }},
        {u"cmdAnteprima", [m] { m->Dialogo.cmdAnteprima_Click(); }},
    };
    for (const auto& [nome, gestore] : bottoni)
        connect(C<QPushButton>(nome), &QPushButton::clicked, this, gestore);
    auto* elenco = C<QListWidget>(u"lstStampanti");
    // A double-click on a printer prints on it, as "S&tampa" does.
    connect(elenco, &QListWidget::itemDoubleClicked, this, [this] {
        if (!aggiornando_) modello_->Dialogo.cmdSelStampante_Click(0);
    });
    connect(elenco, &QListWidget::itemSelectionChanged, this, [this, elenco] {
        if (aggiornando_) return;
        const QList<QListWidgetItem*> scelti = elenco->selectedItems();
        modello_->Dialogo.SceltaStampante(scelti.isEmpty() ? -1 : elenco->row(scelti.first()));
    });
}

Invocata frmbase::Form_Load(const QDate& oggi, const QString& argomenti,
                            const QByteArray& cartellaProgramma) {
    // Centred on the screen before it is first shown.
    if (screen()) {
        const QRect schermo = screen()->availableGeometry();
        move(schermo.left() + static_cast<int>(schermo.width() / 2.0 - width() / 2.0),
             schermo.top() + static_cast<int>(schermo.height() / 2.0 - height() / 2.0));
    }
    return modello_->Form_Load(oggi, argomenti, cartellaProgramma);
}

namespace {
void MostraStato(QWidget* w, const Controllo& c) {
    w->setEnabled(c.Abilitato);
    w->setVisible(c.Visibile);
}
} // namespace

void frmbase::Mostra() {
    if (aggiornando_) return;
    aggiornando_ = true;
    const ModelloFinestra& m = *modello_;
    MostraForm();
    MostraPannello();
    // What lies under the open printer panel takes no focus: Tab passes it
    // by, and a screen reader finds it off screen.
    for (size_t i = 0; i < controlli_.size(); ++i) {
        const bool coperto = m.Coperto(QLatin1String(Controlli()[i].Nome));
        controlli_[i]->setFocusPolicy(coperto ? Qt::NoFocus : fuoco_[i]);
        SegnaCoperto(controlli_[i], coperto);
    }
    if (m.FinestraVisibile && !isVisible() && !testAttribute(Qt::WA_DontShowOnScreen)) show();
    if (m.FuocoRichiesto) {
        QWidget* fuoco = m.FuocoRichiesto == &m.chkBianco           ? C(u"chkBianco")
                         : m.FuocoRichiesto == &m.Dialogo.txtPagine ? C(u"txtPagine")
                                                                    : C(u"txtLocalita");
        modello_->FuocoRichiesto = nullptr;
        if (fuoco->isEnabled()) fuoco->setFocus(Qt::OtherFocusReason);
    }
    aggiornando_ = false;
}

void frmbase::MostraForm() {
    const ModelloFinestra& m = *modello_;
    auto* frmLocalita = C<QGroupBox>(u"frmLocalita");
    auto* frmPeriodo = C<QGroupBox>(u"frmPeriodo");
    frmLocalita->setTitle(m.frmLocalita.Testo);
    MostraStato(frmLocalita, m.frmLocalita);
    frmPeriodo->setTitle(m.frmPeriodo.Testo);
    MostraStato(frmPeriodo, m.frmPeriodo);
    C<QGroupBox>(u"frmBianco")->setTitle(m.frmBianco.Testo);

    auto* txtLocalita = C<QLineEdit>(u"txtLocalita");
    if (txtLocalita->maxLength() < m.txtLocalita.Testo.size())
        txtLocalita->setMaxLength(static_cast<int>(m.txtLocalita.Testo.size()));
    if (txtLocalita->text() != m.txtLocalita.Testo) txtLocalita->setText(m.txtLocalita.Testo);
    MostraStato(txtLocalita, m.txtLocalita);
    ImpostaColoreTesto(txtLocalita, m.txtLocalita.ColoreTesto);

    for (const DescrizioneControllo& d : Controlli())
        if (d.Tipo == Genere::Tendina) MostraLista(C<QComboBox>(QLatin1String(d.Nome)), *StatoDi(m, d));

    auto* chkBianco = C<QCheckBox>(u"chkBianco");
    chkBianco->setText(m.chkBianco.Testo);
    chkBianco->setChecked(m.chkBianco.Spuntato);
    MostraStato(chkBianco, m.chkBianco);

    for (auto [nome, c] : {std::pair{u"cmdStampa", &m.cmdStampa}, std::pair{u"cmdAnnulla", &m.cmdAnnulla},
                           std::pair{u"cmdFine", &m.cmdFine}, std::pair{u"cmdHelp", &m.cmdHelp}}) {
        auto* b = C<QPushButton>(nome);
        b->setText(c->Testo);
        MostraStato(b, *c);
    }
    C<QPushButton>(u"cmdStampa")->setDefault(m.StampaPredefinito);

    C<QLineEdit>(u"txtFondo")->setText(m.txtFondo.Testo);
    auto* txtSopra = C<QLineEdit>(u"txtSopra");
    txtSopra->setVisible(m.txtSopra.Visibile && m.txtSopra.Larghezza > 0);
    QRect sopra = RigaTabella(u"txtSopra")->Rettangolo;
    sopra.setWidth(m.txtSopra.Larghezza);
    txtSopra->setGeometry(Rett(sopra));
    txtSopra->update(); // it shows the track's text
    AnnunciaAvanzamento(C<QLineEdit>(u"txtFondo"), m);
    C<QLabel>(u"lblCopyright")->setText(m.lblCopyright.Testo);
}

void frmbase::MostraAltezze() {
    const DialogoStampa& m = modello_->Dialogo;
    auto* lstStampanti = C<QListWidget>(u"lstStampanti");
    auto* lblAvviso = C<QLabel>(u"lblAvviso");
    auto* frmSelStampa = C<QGroupBox>(u"frmSelStampa");
    lblAvviso->setText(m.lblAvviso.Testo);
    lblAvviso->setVisible(m.lblAvviso.Visibile);
    // Every entry in view, up to five printers and the PDF writer: the list
    // grows, and what lies below it in the panel moves down.
    const DescrizioneControllo* lista = RigaTabella(u"lstStampanti");
    const int righe = std::min(lstStampanti->count(), 6);
    const int riga = righe > 0 ? lstStampanti->sizeHintForRow(0) : 0;
    const int sposta =
        std::max(0, righe * riga + 2 * lstStampanti->frameWidth() - Rett(lista->Rettangolo).height());
    lstStampanti->setGeometry(Rett(lista->Rettangolo).adjusted(0, 0, 0, sposta));
    for (const DescrizioneControllo& d : Controlli())
        if (QLatin1String(d.Contenitore) == QLatin1String("frmSelStampa") &&
            d.Rettangolo.top() > lista->Rettangolo.bottom())
            C(QLatin1String(d.Nome))->move(Rett(d.Rettangolo).topLeft() + QPoint(0, sposta));
    // The panel grows to hold the line at its foot too.
    QRect pannello = Rett(RigaTabella(u"frmSelStampa")->Rettangolo).adjusted(0, 0, 0, sposta);
    if (m.lblAvviso.Visibile) {
        const QRect r = Rett(RigaTabella(u"lblAvviso")->Rettangolo).translated(0, sposta);
        const int alto = lblAvviso->heightForWidth(r.width());
        lblAvviso->setGeometry(r.x(), r.y(), r.width(), alto);
        pannello.setHeight(std::max(pannello.height(), r.y() + alto + Tw(90)));
    }
    if (frmSelStampa->geometry() != pannello) frmSelStampa->setGeometry(pannello);
    // The window grows with the open panel where needed, and shrinks back
    // once it closes.
    const int altezza = m.frmSelStampa.Visibile
                            ? std::max(Tw(kAltezzaFinestra), pannello.bottom() + 1 + Tw(60))
                            : Tw(kAltezzaFinestra);
    if (height() != altezza) setFixedSize(Tw(kLarghezzaFinestra), altezza);
}

void frmbase::MostraPannello() {
    const DialogoStampa& m = modello_->Dialogo;
    auto* frmSelStampa = C<QGroupBox>(u"frmSelStampa");
    frmSelStampa->setTitle(m.frmSelStampa.Testo);
    // The pages, copies and sides of the panel; pages that do not fit the
    // document are red, and the panel's line says why. What the selected
    // printer cannot do shows as it would print, unavailable.
    auto* txtPagine = C<QLineEdit>(u"txtPagine");
    if (txtPagine->text() != m.txtPagine.Testo) txtPagine->setText(m.txtPagine.Testo);
    ImpostaColoreTesto(txtPagine, m.txtPagine.ColoreTesto);
    const QString motivo = m.MotivoPagine();
    txtPagine->setAccessibleDescription(motivo.isEmpty()
                                            ? QString::fromUtf8(RigaTabella(u"txtPagine")->Suggerimento)
                                            : QStringLiteral("Pagine: %1").arg(motivo));
    auto* spnCopie = C<QSpinBox>(u"spnCopie");
    spnCopie->setValue(m.spnCopie.Abilitato ? m.spnCopie.Testo.toInt() : 1);
    MostraStato(spnCopie, m.spnCopie);
    auto* chkFronteRetro = C<QCheckBox>(u"chkFronteRetro");
    chkFronteRetro->setText(m.chkFronteRetro.Testo);
    chkFronteRetro->setChecked(m.chkFronteRetro.Spuntato && m.chkFronteRetro.Abilitato);
    MostraStato(chkFronteRetro, m.chkFronteRetro);

    auto* lstStampanti = C<QListWidget>(u"lstStampanti");
    QStringList attuali, voci;
    for (int i = 0; i < lstStampanti->count(); ++i)
        attuali.append(lstStampanti->item(i)->text());
    for (const QString& stampante : m.lstStampanti.Voci)
        voci.append(NomeDaMostrare(stampante));
    if (attuali != voci) {
        lstStampanti->clear();
        lstStampanti->addItems(voci);
        // A long name is cut in the middle; the whole of it on hovering.
        const int riga = lstStampanti->count() > 0 ? lstStampanti->sizeHintForRow(0) : 0;
        for (int i = 0; i < lstStampanti->count(); ++i) {
            QListWidgetItem* voce = lstStampanti->item(i);
            voce->setToolTip(voce->text());
            voce->setSizeHint(QSize(1, riga)); // as wide as the list, never wider
        }
    }
    MostraAltezze();
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
}

namespace {
Tasto TastoDi(const QKeyEvent* evento) {
    return Tasto{evento->key(), evento->modifiers(), evento->text()};
}
} // namespace

// Every key, mnemonic and composed text that reaches a control goes to the
// model first; the window only carries out what it answers.
bool frmbase::eventFilter(QObject* oggetto, QEvent* evento) {
    const QString nome = NomeControllo(oggetto);
    switch (evento->type()) {
    case QEvent::Shortcut: {
        const auto esito = modello_->Scorciatoia(nome, static_cast<QShortcutEvent*>(evento)->isAmbiguous());
        if (esito.Cosa == EsitoTasto::Preso) return true;
        auto* bottone = qobject_cast<QAbstractButton*>(oggetto);
        if (esito.Cosa == EsitoTasto::Premi && bottone && bottone->isEnabled()) {
            if (bottone->focusPolicy() & Qt::TabFocus) bottone->setFocus(Qt::ShortcutFocusReason);
            bottone->click();
            return true;
        }
        break;
    }
    case QEvent::InputMethod: {
        auto* im = static_cast<QInputMethodEvent*>(evento);
        if (im->commitString().isEmpty()) break;
        if (const auto testo = modello_->TestoComposto(nome, im->commitString()))
            im->setCommitString(*testo, im->replacementStart(), im->replacementLength());
        break;
    }
    case QEvent::FocusOut:
        // The pages typed are judged once the keyboard leaves them; after
        // this event, as the focus may be moving inside an update.
        if (oggetto == C(u"txtPagine"))
            QMetaObject::invokeMethod(
                this, [this] { modello_->Dialogo.txtPagine_LostFocus(); }, Qt::QueuedConnection);
        break;
    case QEvent::KeyPress: {
        const auto esito = modello_->TastoSu(nome, TastoDi(static_cast<QKeyEvent*>(evento)));
        if (esito.Cosa == EsitoTasto::Inserisci)
            if (auto* campo = qobject_cast<QLineEdit*>(oggetto)) campo->insert(esito.Testo);
        if (esito.Cosa != EsitoTasto::Passa) return true;
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(oggetto, evento);
}

void frmbase::keyPressEvent(QKeyEvent* evento) {
    if (modello_->TastoNonPreso(NomeControllo(QApplication::focusWidget()), TastoDi(evento))) return;
    QWidget::keyPressEvent(evento);
}

void frmbase::closeEvent(QCloseEvent* evento) {
    // During a run closing is a request to cancel it: the window stays.
    evento->setAccepted(modello_->Chiusura());
}

} // namespace vagolume
