#include "app/AnelloFuoco.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace vagolume {

AnelloFuoco::AnelloFuoco(QWidget* padre, QColor colore, QColor bordo)
    : QFocusFrame(padre), colore_(colore), bordo_(bordo) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void AnelloFuoco::Segui(QWidget* controllo) {
    if (!controllo || !controllo->parentWidget()) {
        hide();
        return;
    }
    if (parentWidget() != controllo->parentWidget()) setParent(controllo->parentWidget());
    const int m = kSpessore + kDistanza;
    setGeometry(controllo->geometry().adjusted(-m, -m, m, m));
    raise();
    show();
}

bool AnelloFuoco::event(QEvent* evento) {
    // The ring is placed by Segui, not by the frame's own tracking.
    return QWidget::event(evento);
}

void AnelloFuoco::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QPainterPath anello;
    anello.addRect(rect());
    anello.addRect(rect().adjusted(kSpessore, kSpessore, -kSpessore, -kSpessore));
    p.fillPath(anello, colore_);
    p.setPen(bordo_);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace vagolume
