#include "app/Accessibilita.h"

#include "app/ControlliFinestra.h"
#include "app/ModelloFinestra.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

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

} // namespace

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

// What a screen reader hears of a run: the part printed, in per cent, and
// the text on the track.
void AnnunciaAvanzamento(QLineEdit* traccia, const ModelloFinestra& m) {
    const int larghezza = std::max(1, RigaTabella(u"txtFondo")->Rettangolo.width());
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

} // namespace vagolume
