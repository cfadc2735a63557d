#include "app/frmbase.h"

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

// Whether the printer panel covers a control: a screen reader then finds it
// off screen, as the eye does (and it takes no focus).
bool Coperto(const QWidget* w) {
    for (; w; w = w->parentWidget())
        if (w->property("vagolumeCoperto").toBool()) return true;
    return false;
}

// A control of the window's table as a screen reader sees it: Qt's own role,
// name and actions, and off screen while the printer panel covers it.
class ControlloAccessibile : public QAccessibleWidget {
public:
    ControlloAccessibile(QWidget* w, QAccessible::Role ruolo) : QAccessibleWidget(w, ruolo) {
        if (qobject_cast<QAbstractButton*>(w)) addControllingSignal(QStringLiteral("clicked(bool)"));
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (Coperto(widget())) s.offscreen = true;
        if (auto* b = qobject_cast<const QAbstractButton*>(widget())) {
            s.checkable = b->isCheckable();
            s.checked = b->isChecked();
            if (auto* p = qobject_cast<const QPushButton*>(b)) s.defaultButton = p->isDefault();
        }
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            // A label without a name of its own reads as it stands.
            if (auto* l = qobject_cast<const QLabel*>(widget()); l && widget()->accessibleName().isEmpty())
                return l->text().remove(u'&');
        }
        if (t == QAccessible::Accelerator)
            if (auto* b = qobject_cast<const QAbstractButton*>(widget())) {
                const qsizetype i = b->text().indexOf(u'&');
                if (i >= 0 && i + 1 < b->text().size())
                    return QStringLiteral("Alt+") + b->text().at(i + 1).toUpper();
            }
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        QStringList nomi = QAccessibleWidget::actionNames();
        if (auto* b = qobject_cast<const QAbstractButton*>(widget()); b && b->isEnabled())
            nomi.prepend(b->isCheckable() ? toggleAction() : pressAction());
        return nomi;
    }
    void doAction(const QString& azione) override {
        auto* b = qobject_cast<QAbstractButton*>(widget());
        if (b && b->isEnabled() && (azione == pressAction() || azione == toggleAction()))
            b->click();
        else
            QAccessibleWidget::doAction(azione);
    }
};

// A field whose value is chosen, never typed (the edit field of a date or
// count list): read-only text.
class CampoAccessibile : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CampoAccessibile(QWidget* w) : QAccessibleWidget(w, QAccessible::EditableText) {}
    const QLineEdit* Campo() const { return static_cast<const QLineEdit*>(widget()); }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = false;
        s.readOnly = true;
        if (Coperto(widget())) s.offscreen = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Campo()->text();
        return QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    // The text interface: the value, whole; nothing to select or edit.
    void selection(int, int* inizio, int* fine) const override { *inizio = *fine = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int inizio, int fine) const override {
        return Campo()->text().mid(inizio, fine < 0 ? -1 : fine - inizio);
    }
    int characterCount() const override { return static_cast<int>(Campo()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* inizio, int* fine) const override {
        *inizio = 0;
        *fine = characterCount();
        return {};
    }
};

// A date or page-count list as a screen reader sees it: its own name ("Dal
// mese") and its value ("04"). Qt's own gives such a list on Linux its value
// as its name, and leaves the name to a label, which only the day lists have.
class ListaAccessibile : public QAccessibleWidget {
public:
    explicit ListaAccessibile(QWidget* w) : QAccessibleWidget(w, QAccessible::ComboBox) {}
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (Coperto(widget())) s.offscreen = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return static_cast<const QComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(t);
    }
};

// The progress line as a screen reader sees it: a progress bar, no text
// field. Its value is the part printed, in per cent, and its description the
// text on the track ("Pagina 3 di 10"); the fill over the track is part of
// the bar, so it is left out of what is shown.
class BarraAccessibile : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit BarraAccessibile(QWidget* w) : QAccessibleWidget(w, QAccessible::ProgressBar) {}
    bool Traccia() const { return widget()->property("vagolumeBarra").toInt() == 1; }
    QString text(QAccessible::Text t) const override {
        const QString testo = static_cast<const QLineEdit*>(widget())->text();
        if (t == QAccessible::Value) return QStringLiteral("%1 %").arg(currentValue().toInt());
        if (t == QAccessible::Description && Traccia() && !testo.isEmpty()) return testo;
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = false;
        s.readOnly = true;
        if (!Traccia()) s.invisible = true;
        if (Coperto(widget())) s.offscreen = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return widget()->property("vagolumeValore").toInt(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

// The window itself: a frame with its title, as every top window.
class FinestraAccessibile : public QAccessibleWidget {
public:
    explicit FinestraAccessibile(QWidget* w) : QAccessibleWidget(w, QAccessible::Window) {}
};

QAccessibleInterface* FabbricaAccessibile(const QString& classe, QObject* oggetto) {
    if (classe == QLatin1String("QComboBox") && oggetto && oggetto->property("vagolumeLista").toBool())
        return new ListaAccessibile(static_cast<QWidget*>(oggetto));
    if (classe == QLatin1String("QLineEdit") && oggetto && oggetto->property("vagolumeBarra").toInt() > 0)
        return new BarraAccessibile(static_cast<QWidget*>(oggetto));
    if (classe == QLatin1String("vagolume::frmbase") && oggetto)
        return new FinestraAccessibile(static_cast<QWidget*>(oggetto));
    if (classe == QLatin1String("QLineEdit") && oggetto && oggetto->property("vagolumeScelto").toBool())
        return new CampoAccessibile(static_cast<QWidget*>(oggetto));
    const int ruolo = oggetto ? oggetto->property("vagolumeRuolo").toInt() : 0;
    if (ruolo > 0 && oggetto->metaObject()->className() == classe)
        return new ControlloAccessibile(static_cast<QWidget*>(oggetto),
                                        static_cast<QAccessible::Role>(ruolo));
    return nullptr;
}

// The window's own controls (not those of the printer panel, which nothing
// covers) are told to a screen reader through ControlloAccessibile.
QAccessible::Role RuoloAccessibile(const DescrizioneControllo& d) {
    if (QLatin1String(d.Contenitore) == QLatin1String("frmSelStampa") ||
        QLatin1String(d.Nome) == QLatin1String("frmSelStampa"))
        return QAccessible::NoRole;
    switch (d.Tipo) {
    case Genere::Cornice:
        return QAccessible::Grouping;
    case Genere::Bottone:
        return QAccessible::PushButton;
    case Genere::CasellaSpunta:
        return QAccessible::CheckBox;
    case Genere::Etichetta:
        return QAccessible::StaticText;
    case Genere::Immagine:
        return QAccessible::Graphic;
    default:
        return QAccessible::NoRole;
    }
}

// The chosen entry in white on a blue dark enough to read it (6.9:1).
void ImpostaSelezioneLeggibile(QWidget* w) {
    QPalette p = w->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Highlight, QColor(0x1E, 0x5A, 0xA0));
        p.setColor(g, QPalette::HighlightedText, Colore(kBianco));
    }
    w->setPalette(p);
}

// What a screen reader hears of a run: the part printed, in per cent, and
// the text on the track.
void AnnunciaAvanzamento(QLineEdit* traccia, const ModelloFinestra& m) {
    const int larghezza = std::max(1, Descrizione(u"txtFondo")->Rettangolo.width());
    const int valore = m.txtSopra.Visibile ? std::clamp(m.txtSopra.Larghezza * 100 / larghezza, 0, 100) : 0;
    if (traccia->property("vagolumeValore").toInt() != valore) {
        traccia->setProperty("vagolumeValore", valore);
        QAccessibleValueChangeEvent evento(traccia, valore);
        QAccessible::updateAccessibility(&evento);
    }
    if (traccia->property("vagolumeTesto").toString() != m.txtFondo.Testo) {
        traccia->setProperty("vagolumeTesto", m.txtFondo.Testo);
        QAccessibleEvent evento(traccia, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&evento);
    }
}

void SegnaCoperto(QWidget* w, bool coperto) {
    if (w->property("vagolumeCoperto").toBool() == coperto) return;
    w->setProperty("vagolumeCoperto", coperto);
    QAccessible::State cambiato;
    cambiato.offscreen = true;
    QAccessibleStateChangeEvent evento(w, cambiato);
    QAccessible::updateAccessibility(&evento);
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
    const DescrizioneControllo* d = Descrizione(nome);
    const auto riga = d ? static_cast<size_t>(d - Controlli().data()) : controlli_.size();
    return riga < controlli_.size() ? qobject_cast<W*>(controlli_[riga]) : nullptr;
}

QString frmbase::NomeControllo(const QObject* oggetto) const {
    // A list's edit field, a list box's viewport: the control they are part of.
    for (; oggetto && oggetto != this; oggetto = oggetto->parent())
        if (Descrizione(oggetto->objectName())) return oggetto->objectName();
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
            [this](bool spuntato) { modello_->Dialogo.chkFronteRetro.Spuntato = spuntato; });
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
    QRect sopra = Descrizione(u"txtSopra")->Rettangolo;
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
    const DescrizioneControllo* lista = Descrizione(u"lstStampanti");
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
    QRect pannello = Rett(Descrizione(u"frmSelStampa")->Rettangolo).adjusted(0, 0, 0, sposta);
    if (m.lblAvviso.Visibile) {
        const QRect r = Rett(Descrizione(u"lblAvviso")->Rettangolo).translated(0, sposta);
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
                                            ? QString::fromUtf8(Descrizione(u"txtPagine")->Suggerimento)
                                            : QStringLiteral("Pagine: %1").arg(motivo));
    auto* spnCopie = C<QSpinBox>(u"spnCopie");
    spnCopie->setValue(m.spnCopie.Abilitato ? m.spnCopie.Testo.toInt() : 1);
    MostraStato(spnCopie, m.spnCopie);
    auto* chkFronteRetro = C<QCheckBox>(u"chkFronteRetro");
    chkFronteRetro->setText(m.chkFronteRetro.Testo);
    chkFronteRetro->setChecked(m.chkFronteRetro.Spuntato && m.chkFronteRetro.Abilitato);
    MostraStato(chkFronteRetro, m.chkFronteRetro);

    auto* lstStampanti = C<QListWidget>(u"lstStampanti");
    QStringList attuali;
    for (int i = 0; i < lstStampanti->count(); ++i)
        attuali.append(lstStampanti->item(i)->text());
    if (attuali != m.lstStampanti.Voci) {
        lstStampanti->clear();
        lstStampanti->addItems(m.lstStampanti.Voci);
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
