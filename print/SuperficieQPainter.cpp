#include "print/SuperficieQPainter.h"

#include <QPainter>

#include <algorithm>

namespace vagolume {

SuperficieQPainter::SuperficieQPainter(QPainter* painter, double puntiPerMm, float altezzaStampabile)
    : painter_(painter), puntiPerMm_(puntiPerMm), altezza_(altezzaStampabile) {}

QPainter& SuperficieQPainter::Painter() {
    if (painter_ == nullptr) throw ErroreStampa("nessun dispositivo su cui disegnare");
    return *painter_;
}

QPen SuperficieQPainter::Penna() const {
    QPen penna(Qt::black);
    // Never thinner than one pixel of the device, as a printer draws a line
    // at least one dot wide: on a screen image the finest rules stay black.
    penna.setWidthF(std::max(LineWidth() * kMillimetresPerDot * puntiPerMm_, 1.0));
    penna.setCapStyle(Qt::SquareCap);
    penna.setJoinStyle(Qt::MiterJoin);
    return penna;
}

void SuperficieQPainter::PrintText(const QString& text) {
    QPainter& p = Painter();
    // The text is laid out at the resolution it was measured at and scaled
    // to the device: on a coarse device (a screen image) the glyphs keep the
    // advances of the printed page instead of whole-pixel ones, so that a line
    // of text ends where it ends on paper.
    const double risoluzione = Fonts().Resolution();
    double scala = puntiPerMm_ * 25.4 / risoluzione;
    if (scala > 0.999 && scala < 1.001) scala = 1;
    QFont font = Fonts().Font();
    // Points become pixels at the device's own resolution.
    font.setPointSizeF(font.pointSizeF() * risoluzione / p.device()->logicalDpiY());
    p.setFont(font);
    p.setPen(Qt::black);
    const QPointF punto(Px(CurrentX()) / scala, Px(CurrentY() + Fonts().Ascent()) / scala);
    if (scala == 1) {
        p.drawText(punto, text);
        return;
    }
    p.save();
    p.scale(scala, scala);
    p.drawText(punto, text);
    p.restore();
}

void SuperficieQPainter::DrawLine(float x1, float y1, float x2, float y2) {
    QPainter& p = Painter();
    p.setPen(Penna());
    p.drawLine(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2)));
}

void SuperficieQPainter::DrawBox(float x1, float y1, float x2, float y2) {
    QPainter& p = Painter();
    const QRectF r = QRectF(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2))).normalized();
    if (CurrentFillStyle() == FillStyle::Solid) p.fillRect(r, QColor::fromRgb(FillColour()));
    p.setPen(Penna());
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void SuperficieQPainter::DrawPicture(const Picture& picture, float x, float y, float width, float height) {
    Painter().drawImage(QRectF(Px(x), Px(y), Px(width), Px(height)), picture.image);
}

} // namespace vagolume
