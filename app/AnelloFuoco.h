#pragma once
// The ring round the control with the keyboard focus, drawn by the program
// itself so that it shows under every style and palette. It is a focus frame
// to the accessibility tree, which leaves such frames out: a screen reader
// meets the control, not the ring.

#include <QColor>
#include <QFocusFrame>

namespace vagolume {

class AnelloFuoco : public QFocusFrame {
public:
    // colore: the ring; bordo: a thin line round it, so that it shows on a
    // background of the ring's own colour too.
    AnelloFuoco(QWidget* padre, QColor colore, QColor bordo);
    static constexpr int kSpessore = 2, kDistanza = 1;
    // Round controllo (hidden for nullptr), in controllo's parent.
    void Segui(QWidget* controllo);

protected:
    bool event(QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;

private:
    QColor colore_, bordo_;
};

} // namespace vagolume
