#include "print/SuperficieQPainter.h"

#include <QPainter>

namespace vagolume {

SuperficieQPainter::SuperficieQPainter(QPainter* painter, double puntiPerMm, float altezzaStampabile)
    : painter_(painter), puntiPerMm_(puntiPerMm), altezza_(altezzaStampabile) {}

QPainter& SuperficieQPainter::Painter() {
    if (painter_ == nullptr) throw ErroreStampa("nessun dispositivo su cui disegnare");
    return *painter_;
}

QPen SuperficieQPainter::Penna() const {
    QPen penna(Qt::black);
    penna.setWidthF(LineWidth() * kMillimetresPerDot * puntiPerMm_);
    penna.setCapStyle(Qt::SquareCap);
    penna.setJoinStyle(Qt::MiterJoin);
    return penna;
}

void SuperficieQPainter::PrintText(const QString& text) {
    QPainter& p = Painter();
    // Points become pixels at the device's own resolution; scale them so that
    // the text has the size it was measured at, whatever the device.
    QFont font = Fonts().Font();
    const double dpi = p.device()->logicalDpiY();
    const double fattore = puntiPerMm_ * 25.4 / dpi;
    if (fattore < 0.999 || fattore > 1.001) font.setPointSizeF(font.pointSizeF() * fattore);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(Px(CurrentX()), Px(CurrentY() + Fonts().Ascent())), text);
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
