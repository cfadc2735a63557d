#include "print/SuperficieSorvegliata.h"

namespace vagolume {

void SuperficieSorvegliata::SegnalaFatale(const QString& motivo) {
    if (fatale_.isEmpty()) fatale_ = motivo.isEmpty() ? QStringLiteral("errore del documento") : motivo;
}

void SuperficieSorvegliata::Segnala(const QString& testo) {
    ++errori_;
    for (auto& tipo : tipi_) {
        if (tipo.first == testo) {
            ++tipo.second;
            return;
        }
    }
    tipi_.append({testo, 1});
}

QStringList SuperficieSorvegliata::Riepilogo() const {
    QStringList righe;
    for (const auto& [testo, volte] : tipi_)
        righe.append(volte == 1 ? testo : QStringLiteral("%1 (%2 volte)").arg(testo).arg(volte));
    return righe;
}

// Settings and measurements go through the policy too: a refused one leaves
// the value it would have changed, or measures nothing.
void SuperficieSorvegliata::SetScaleMillimetres() {
    Esegui({}, [&] { s_.SetScaleMillimetres(); });
}
void SuperficieSorvegliata::SetPaperSize(PaperSize size) {
    Esegui({}, [&] { s_.SetPaperSize(size); });
}
void SuperficieSorvegliata::SetOrientation(Orientation orientation) {
    Esegui({}, [&] { s_.SetOrientation(orientation); });
}
float SuperficieSorvegliata::PrintableHeight() {
    float h = 0;
    Esegui({}, [&] { h = s_.PrintableHeight(); });
    return h;
}
void SuperficieSorvegliata::SetLineWidth(int16_t dots) {
    Esegui({}, [&] { s_.SetLineWidth(dots); });
}
void SuperficieSorvegliata::SetFillStyle(FillStyle style) {
    Esegui({}, [&] { s_.SetFillStyle(style); });
}
void SuperficieSorvegliata::SetFillColour(Rgb colour) {
    Esegui({}, [&] { s_.SetFillColour(colour); });
}
void SuperficieSorvegliata::SetFontName(const QString& name) {
    Esegui({}, [&] { s_.SetFontName(name); });
}
QString SuperficieSorvegliata::FontName() {
    QString nome;
    Esegui({}, [&] { nome = s_.FontName(); });
    return nome;
}
void SuperficieSorvegliata::SetFontSize(float points) {
    Esegui({}, [&] { s_.SetFontSize(points); });
}
float SuperficieSorvegliata::FontSize() {
    float size = 0;
    Esegui({}, [&] { size = s_.FontSize(); });
    return size;
}
void SuperficieSorvegliata::SetFontBold(bool bold) {
    Esegui({}, [&] { s_.SetFontBold(bold); });
}
void SuperficieSorvegliata::SetFontItalic(bool italic) {
    Esegui({}, [&] { s_.SetFontItalic(italic); });
}
void SuperficieSorvegliata::SetCurrentX(float x) {
    Esegui({}, [&] { s_.SetCurrentX(x); });
}
void SuperficieSorvegliata::SetCurrentY(float y) {
    Esegui({}, [&] { s_.SetCurrentY(y); });
}
void SuperficieSorvegliata::PrintText(const QString& text) {
    Esegui({}, [&] { s_.PrintText(text); });
}
float SuperficieSorvegliata::MeasureTextWidth(const QString& text) {
    float w = 0;
    Esegui({}, [&] { w = s_.MeasureTextWidth(text); });
    return w;
}
float SuperficieSorvegliata::MeasureTextHeight(const QString& text) {
    float h = 0;
    Esegui({}, [&] { h = s_.MeasureTextHeight(text); });
    return h;
}
void SuperficieSorvegliata::DrawLine(float x1, float y1, float x2, float y2) {
    Esegui({}, [&] { s_.DrawLine(x1, y1, x2, y2); });
}
void SuperficieSorvegliata::DrawBox(float x1, float y1, float x2, float y2) {
    Esegui({}, [&] { s_.DrawBox(x1, y1, x2, y2); });
}
void SuperficieSorvegliata::DrawPicture(const Picture& picture, float x, float y, float width, float height) {
    Esegui({}, [&] { s_.DrawPicture(picture, x, y, width, height); });
}
void SuperficieSorvegliata::NewPage() {
    Esegui({}, [&] { s_.NewPage(); });
}
// Ending and discarding the document are not operations on a page: a
// failure there is a failure of the document.
void SuperficieSorvegliata::EndDocument() {
    if (!fatale_.isEmpty()) return;
    try {
        s_.EndDocument();
    } catch (const std::bad_alloc&) {
        SegnalaFatale(QStringLiteral("memoria esaurita"));
    } catch (const std::exception& e) {
        SegnalaFatale(QString::fromUtf8(e.what()));
    }
}
void SuperficieSorvegliata::AbortDocument() {
    try {
        s_.AbortDocument();
    } catch (const std::exception& e) {
        Segnala(QString::fromUtf8(e.what()));
    }
}

} // namespace vagolume
