#pragma once
// A drawing surface that records every operation, with real font metrics, so
// that tests can check what a page would show.

#include "print/SurfaceBase.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace vagolume {

struct Op {
    enum Kind {
        LineWidth,
        FillStyle,
        FillColour,
        FontName,
        FontSize,
        Bold,
        Italic,
        Text,
        Line,
        Box,
        Picture,
        NewPage,
        EndDocument,
        AbortDocument,
        BeginDocument
    };
    Op() = default;
    explicit Op(Kind k, float ax1 = 0, float ay1 = 0, float ax2 = 0, float ay2 = 0)
        : kind(k), x1(ax1), y1(ay1), x2(ax2), y2(ay2) {}

    Kind kind = BeginDocument;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0; // geometry in mm (Text: x1,y1 = top-left, x2,y2 = bottom-right)
    QString text;                         // text, picture name, font name, document name
    double value = 0;                     // line width, colour, font size, flag
    // Drawing state when the operation ran.
    int16_t lineWidth = 0;
    vagolume::FillStyle fillStyle = vagolume::FillStyle::Transparent;
    Rgb fillColour = 0;
    float fontSize = 0;
    bool bold = false, italic = false;
    int page = 0; // 0 = cover page
};

// One operation as a line of text: kind, coordinates, [text], value, then the
// drawing state it was drawn in (line width, fill, colour, font size, b, i).
// Two recordings drew the same when their lines are equal.
QString TestoOperazione(const Op& op);

class RecordingSurface : public SurfaceBase {
public:
    explicit RecordingSurface(float printableHeight = 287.0f) : height_(printableHeight) {}

    float PrintableHeight() override { return height_; }
    void SetLineWidth(int16_t dots) override;
    void SetFillStyle(vagolume::FillStyle style) override;
    void SetFillColour(Rgb colour) override;
    void SetFontName(const QString& name) override;
    void SetFontSize(float points) override;
    void SetFontBold(bool bold) override;
    void SetFontItalic(bool italic) override;
    void PrintText(const QString& text) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void DrawBox(float x1, float y1, float x2, float y2) override;
    void DrawPicture(const vagolume::Picture& picture, float x, float y, float width, float height) override;
    void NewPage() override;
    void EndDocument() override;
    void AbortDocument() override;

    // Makes drawing operations fail from the n-th one on (0: never): each
    // one on its own, or the whole document, or for want of memory.
    enum class Guasto { Operazione, Documento, Memoria };
    void FailFrom(int n, Guasto guasto = Guasto::Operazione) {
        failFrom_ = n;
        guasto_ = guasto;
    }
    int DrawAttempts() const { return draws_; }

    QList<Op> ops;        // everything, in order
    QString documentName; // name taken when the document began
    QString Title;        // what the document takes as its name when it begins
    bool documentOpen = false;
    bool ended = false;
    bool aborted = false;
    int pages = 0; // pages output so far in the open document (cover included)

    // Convenience for tests.
    QList<Op> Texts(int page = -1) const;
    QList<Op> OfKind(Op::Kind kind, int page = -1) const;
    const Op* FindText(const QString& text, int page = -1) const;
    QList<Op> PageOps(int page) const;

private:
    void Record(Op op);
    void RecordState(Op::Kind kind, double value, const QString& text = {});
    void Draw(Op op);

    float height_;
    int failFrom_ = 0;
    Guasto guasto_ = Guasto::Operazione;
    int draws_ = 0;
    bool pageStarted_ = false;
    bool pendingPage_ = false;
    int currentPage_ = 0;
};

} // namespace vagolume
