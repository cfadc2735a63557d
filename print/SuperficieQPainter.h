#pragma once
// The pages drawn with a QPainter, in millimetres from the top-left corner of
// the printable area, on any paint device: the PDF a run is drawn into, an
// image on the screen, a QPicture. Fonts are measured on the shared 1200 dpi
// device, so a text takes the same room whatever it is drawn on.

#include "print/SurfaceBase.h"

#include <QPen>

class QPainter;

namespace vagolume {

class SuperficieQPainter : public SurfaceBase {
public:
    // painter: already begun on its device (or given later by Painter());
    // puntiPerMm: device pixels per millimetre; altezza: printable height, mm.
    SuperficieQPainter(QPainter* painter, double puntiPerMm, float altezzaStampabile);

    float PrintableHeight() override { return altezza_; }
    void PrintText(const QString& text) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void DrawBox(float x1, float y1, float x2, float y2) override;
    void DrawPicture(const Picture& picture, float x, float y, float width, float height) override;
    // One page on its own device: nothing to start, end or throw away.
    void NewPage() override {}
    void EndDocument() override {}
    void AbortDocument() override {}

protected:
    // The painter of the next drawing; a document begins here at its first
    // drawing.
    virtual QPainter& Painter();
    void ImpostaAltezza(float mm) { altezza_ = mm; }
    void ImpostaPuntiPerMm(double puntiPerMm) { puntiPerMm_ = puntiPerMm; }

private:
    double Px(float mm) const { return mm * puntiPerMm_; }
    QPen Penna() const;

    QPainter* painter_;
    double puntiPerMm_;
    float altezza_;
};

} // namespace vagolume
