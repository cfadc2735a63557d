#pragma once
// The printed page as a drawing surface: millimetres from the top-left corner
// of the printable area, line widths in printer dots, font sizes in points.
// An operation may throw ErroreStampa: the operation is skipped and the run
// goes on. ErroreDocumento is a failure of the document itself (it cannot be
// written, it was discarded, its printer is gone): nothing more can be drawn,
// and the run ends at once.

#include <QImage>
#include <QString>
#include <cstdint>
#include <stdexcept>

namespace vagolume {

struct ErroreStampa : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ErroreDocumento : ErroreStampa {
    using ErroreStampa::ErroreStampa;
};

enum class FillStyle { Solid, Transparent };
enum class PaperSize { A4 };
enum class Orientation { Portrait };

// Colours as 0xRRGGBB.
using Rgb = uint32_t;

// The colours of the printed sheet; text, lines and outlines are black.
inline constexpr Rgb kBianco = 0xFFFFFF;
inline constexpr Rgb kVerdeChiaro = 0xC0FFC0;
inline constexpr Rgb kCianoChiaro = 0xC0FFFF;
inline constexpr Rgb kGiallo = 0xFFFF00;
inline constexpr Rgb kArancioChiaro = 0xFFE0C0;
inline constexpr Rgb kGialloChiaro = 0xFFFFC0;
inline constexpr Rgb kNero = 0x000000;

// A picture drawn on the pages, with a name so that a recording can tell which.
struct Picture {
    QString name;
    QImage image;
};

// Size of one printer dot: line widths are given in dots of a 300 dpi printer
// (8, 5 and 1 dots are 0.677, 0.423 and 0.085 mm).
inline constexpr double kDotsPerInch = 300.0;
inline constexpr double kMillimetresPerDot = 25.4 / kDotsPerInch;

class PrinterSurface {
public:
    virtual ~PrinterSurface() = default;

    virtual void SetScaleMillimetres() = 0;
    virtual void SetPaperSize(PaperSize size) = 0;
    virtual void SetOrientation(Orientation orientation) = 0;
    virtual float PrintableHeight() = 0;

    virtual void SetLineWidth(int16_t dots) = 0;
    virtual void SetFillStyle(FillStyle style) = 0;
    virtual void SetFillColour(Rgb colour) = 0;

    virtual void SetFontName(const QString& name) = 0;
    virtual QString FontName() = 0;
    virtual void SetFontSize(float points) = 0;
    virtual float FontSize() = 0;
    virtual void SetFontBold(bool bold) = 0;
    virtual void SetFontItalic(bool italic) = 0;

    virtual void SetCurrentX(float x) = 0;
    virtual void SetCurrentY(float y) = 0;
    virtual void PrintText(const QString& text) = 0;
    virtual float MeasureTextWidth(const QString& text) = 0;
    virtual float MeasureTextHeight(const QString& text) = 0;

    virtual void DrawLine(float x1, float y1, float x2, float y2) = 0;
    virtual void DrawBox(float x1, float y1, float x2, float y2) = 0;
    virtual void DrawPicture(const Picture& picture, float x, float y, float width, float height) = 0;

    virtual void NewPage() = 0;
    virtual void EndDocument() = 0;
    virtual void AbortDocument() = 0;
};

} // namespace vagolume
