#include "support/RecordingSurface.h"

namespace vagolume {

QString TestoOperazione(const Op& op) {
    // Joined rather than filled in with arg(), so that a "%" in a text stays as it is.
    auto n = [](double v, int cifre) { return QString::number(v, 'f', cifre); };
    QStringList parti = {QString::number(static_cast<int>(op.kind)),
                         n(op.x1, 3),
                         n(op.y1, 3),
                         n(op.x2, 3),
                         n(op.y2, 3),
                         u'[' + op.text + u']',
                         n(op.value, 3),
                         QString::number(op.lineWidth),
                         QString::number(static_cast<int>(op.fillStyle)),
                         QStringLiteral("%1").arg(op.fillColour, 6, 16, QLatin1Char('0')),
                         n(op.fontSize, 2)};
    return parti.join(u' ') + (op.bold ? QStringLiteral(" b") : QString()) +
           (op.italic ? QStringLiteral(" i") : QString());
}

void RecordingSurface::Record(Op op) {
    op.lineWidth = LineWidth();
    op.fillStyle = CurrentFillStyle();
    op.fillColour = FillColour();
    op.fontSize = FontSize();
    op.bold = Fonts().Font().bold();
    op.italic = Fonts().Font().italic();
    op.page = currentPage_;
    ops.append(op);
}

void RecordingSurface::Draw(Op op) {
    ++draws_;
    if (failFrom_ > 0 && draws_ >= failFrom_) {
        if (guasto_ == Guasto::Documento) throw ErroreDocumento("documento perso (prova)");
        if (guasto_ == Guasto::Memoria) throw std::bad_alloc();
        throw ErroreStampa("superficie guasta (prova)");
    }
    if (!documentOpen) {
        documentOpen = true;
        ended = aborted = false;
        documentName = Title;
        pages = 0;
        currentPage_ = 0;
        pageStarted_ = false;
        pendingPage_ = false;
        Op begin{Op::BeginDocument};
        begin.text = Title;
        Record(begin);
    }
    if (pendingPage_) {
        pendingPage_ = false;
        ++currentPage_;
    }
    if (!pageStarted_) {
        pageStarted_ = true;
        ++pages;
    }
    Record(op);
}

void RecordingSurface::RecordState(Op::Kind kind, double value, const QString& text) {
    Op op{kind};
    op.value = value;
    op.text = text;
    Record(op);
}

void RecordingSurface::SetLineWidth(int16_t dots) {
    SurfaceBase::SetLineWidth(dots);
    RecordState(Op::LineWidth, dots);
}

void RecordingSurface::SetFillStyle(vagolume::FillStyle style) {
    SurfaceBase::SetFillStyle(style);
    RecordState(Op::FillStyle, style == vagolume::FillStyle::Solid ? 1 : 0);
}

void RecordingSurface::SetFillColour(Rgb colour) {
    SurfaceBase::SetFillColour(colour);
    RecordState(Op::FillColour, colour);
}

void RecordingSurface::SetFontName(const QString& name) {
    SurfaceBase::SetFontName(name);
    RecordState(Op::FontName, 0, name);
}

void RecordingSurface::SetFontSize(float points) {
    SurfaceBase::SetFontSize(points);
    RecordState(Op::FontSize, points);
}

void RecordingSurface::SetFontBold(bool bold) {
    SurfaceBase::SetFontBold(bold);
    RecordState(Op::Bold, bold);
}

void RecordingSurface::SetFontItalic(bool italic) {
    SurfaceBase::SetFontItalic(italic);
    RecordState(Op::Italic, italic);
}

void RecordingSurface::PrintText(const QString& text) {
    Op op{Op::Text};
    op.text = text;
    op.x1 = CurrentX();
    op.y1 = CurrentY();
    op.x2 = CurrentX() + MeasureTextWidth(text);
    op.y2 = CurrentY() + MeasureTextHeight(text);
    Draw(op);
}

void RecordingSurface::DrawLine(float x1, float y1, float x2, float y2) {
    Draw(Op{Op::Line, x1, y1, x2, y2});
}

void RecordingSurface::DrawBox(float x1, float y1, float x2, float y2) {
    Draw(Op{Op::Box, x1, y1, x2, y2});
}

void RecordingSurface::DrawPicture(const vagolume::Picture& picture, float x, float y, float width,
                                   float height) {
    Op op{Op::Picture, x, y, x + width, y + height};
    op.text = picture.name;
    Draw(op);
}

void RecordingSurface::NewPage() {
    if (!documentOpen) return;
    Record(Op{Op::NewPage});
    if (pageStarted_) {
        pageStarted_ = false;
        pendingPage_ = true;
    }
}

void RecordingSurface::EndDocument() {
    if (!documentOpen) return;
    Record(Op{Op::EndDocument});
    documentOpen = false;
    ended = true;
}

void RecordingSurface::AbortDocument() {
    if (!documentOpen) return;
    Record(Op{Op::AbortDocument});
    documentOpen = false;
    aborted = true;
}

QList<Op> RecordingSurface::OfKind(Op::Kind kind, int page) const {
    QList<Op> r;
    for (const Op& op : ops)
        if (op.kind == kind && (page < 0 || op.page == page)) r.append(op);
    return r;
}

QList<Op> RecordingSurface::Texts(int page) const {
    return OfKind(Op::Text, page);
}

const Op* RecordingSurface::FindText(const QString& text, int page) const {
    for (const Op& op : ops)
        if (op.kind == Op::Text && op.text == text && (page < 0 || op.page == page)) return &op;
    return nullptr;
}

QList<Op> RecordingSurface::PageOps(int page) const {
    QList<Op> r;
    for (const Op& op : ops)
        if (op.page == page) r.append(op);
    return r;
}

} // namespace vagolume
