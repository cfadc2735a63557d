#pragma once
// Drawing state common to every surface: line width, fill, font, current
// position. Subclasses draw.

#include "print/FontState.h"
#include "print/PrinterSurface.h"

namespace vagolume {

class SurfaceBase : public PrinterSurface {
public:
    explicit SurfaceBase(QPaintDevice* measureDevice = nullptr) : font_(measureDevice) {}

    void SetScaleMillimetres() override {}
    void SetPaperSize(PaperSize) override {}
    void SetOrientation(Orientation) override {}

    void SetLineWidth(int16_t dots) override { lineWidth_ = dots; }
    void SetFillStyle(FillStyle style) override { fillStyle_ = style; }
    void SetFillColour(Rgb colour) override { fillColour_ = colour; }

    void SetFontName(const QString& name) override { font_.SetName(name); }
    QString FontName() override { return font_.Name(); }
    void SetFontSize(float points) override { font_.SetSize(points); }
    float FontSize() override { return font_.Size(); }
    void SetFontBold(bool bold) override { font_.SetBold(bold); }
    void SetFontItalic(bool italic) override { font_.SetItalic(italic); }

    void SetCurrentX(float x) override { currentX_ = x; }
    void SetCurrentY(float y) override { currentY_ = y; }
    float MeasureTextWidth(const QString& text) override { return font_.Width(text); }
    float MeasureTextHeight(const QString& text) override { return font_.Height(text); }

    int16_t LineWidth() const { return lineWidth_; }
    FillStyle CurrentFillStyle() const { return fillStyle_; }
    Rgb FillColour() const { return fillColour_; }
    float CurrentX() const { return currentX_; }
    float CurrentY() const { return currentY_; }

protected:
    FontState& Fonts() { return font_; }

private:
    FontState font_;
    int16_t lineWidth_ = 1;
    FillStyle fillStyle_ = FillStyle::Transparent;
    Rgb fillColour_ = kBianco;
    float currentX_ = 0;
    float currentY_ = 0;
};

} // namespace vagolume
