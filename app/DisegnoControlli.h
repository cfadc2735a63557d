#pragma once
// The window's own drawn controls: what no desktop style draws as the window
// needs it (narrow list arrows, the progress bar, the focus ring, the frames).

#include "app/AnelloFuoco.h"
#include "app/Controllo.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleOptionComplex>
#include <QStyleOptionFrame>
#include <QWidget>

namespace vagolume {

// The day, month and year lists are narrow: a slim drop-down arrow leaves
// room for their texts, at every font size and scale.
class StileListe : public QProxyStyle {
public:
    explicit StileListe(int freccia) : freccia_(freccia) {}
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* w) const override {
        if (cc == CC_ComboBox) {
            const QRect r = opt->rect;
            if (sc == SC_ComboBoxArrow) return QRect(r.right() - freccia_ + 1, r.top(), freccia_, r.height());
            if (sc == SC_ComboBoxEditField)
                return QRect(r.left() + 2, r.top() + 2, r.width() - freccia_ - 3, r.height() - 4);
        }
        return QProxyStyle::subControlRect(cc, opt, sc, w);
    }

private:
    int freccia_;
};

// The progress bar: the track (txtFondo) carries the text, and the blue fill
// (txtSopra) that grows over it shows the same text in its own colour where
// it covers it, so that the text stays readable from the first page to the
// last.
class Barra : public QLineEdit {
public:
    Barra(QWidget* padre, const QLineEdit* traccia) : QLineEdit(padre), traccia_(traccia) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QLineEdit* traccia = traccia_ ? traccia_ : this;
        if (traccia_) {
            p.fillRect(rect(), palette().color(QPalette::Base));
        } else {
            QStyleOptionFrame opzioni;
            initStyleOption(&opzioni);
            style()->drawPrimitive(QStyle::PE_PanelLineEdit, &opzioni, &p, this);
        }
        // The text where the track puts it, in both.
        QRect testo = traccia->rect().adjusted(5, 0, -5, 0);
        if (traccia_) testo.translate(traccia->geometry().topLeft() - geometry().topLeft());
        p.setFont(traccia->font());
        p.setPen(palette().color(QPalette::Text));
        p.drawText(testo, Qt::AlignLeft | Qt::AlignVCenter, traccia->text());
    }

private:
    const QLineEdit* traccia_; // nullptr: this is the track
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
        p.setPen(QColor::fromRgb(kBianco));
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

} // namespace vagolume
