#pragma once
// The one failure policy of a print run. Every operation on the pages runs
// under watch: an operation that fails is skipped and the run goes on, with
// the failure counted by its kind; a failure of the document itself
// (ErroreDocumento, or memory running out) is kept, and every later operation
// is refused, so that the run can stop at once after the section it was in.

#include "print/PrinterSurface.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <type_traits>
#include <utility>

namespace vagolume {

class SuperficieSorvegliata : public PrinterSurface {
public:
    explicit SuperficieSorvegliata(PrinterSurface& s) : s_(s) {}

    // Runs f (an operation or a whole step) under the policy: returns false
    // when it failed. nome names the step in the message of a skipped one.
    template <typename F> bool Esegui(const QString& nome, F&& f);

    // The first failure of the document, empty while there is none.
    const QString& Fatale() const { return fatale_; }
    void SegnalaFatale(const QString& motivo);
    // A failed operation or step, skipped.
    void Segnala(const QString& testo);
    int Errori() const { return errori_; }
    // One line per kind of skipped failure, with how many times it happened.
    QStringList Riepilogo() const;

    // Every operation on the pages runs under the policy; a refused or failed
    // one leaves the value it would have changed, or measures nothing.
    void SetScaleMillimetres() override { Inoltra(&PrinterSurface::SetScaleMillimetres); }
    void SetPaperSize(PaperSize size) override { Inoltra(&PrinterSurface::SetPaperSize, size); }
    void SetOrientation(Orientation orientation) override {
        Inoltra(&PrinterSurface::SetOrientation, orientation);
    }
    float PrintableHeight() override { return Inoltra(&PrinterSurface::PrintableHeight); }
    void SetLineWidth(int16_t dots) override { Inoltra(&PrinterSurface::SetLineWidth, dots); }
    void SetFillStyle(FillStyle style) override { Inoltra(&PrinterSurface::SetFillStyle, style); }
    void SetFillColour(Rgb colour) override { Inoltra(&PrinterSurface::SetFillColour, colour); }
    void SetFontName(const QString& name) override { Inoltra(&PrinterSurface::SetFontName, name); }
    QString FontName() override { return Inoltra(&PrinterSurface::FontName); }
    void SetFontSize(float points) override { Inoltra(&PrinterSurface::SetFontSize, points); }
    float FontSize() override { return Inoltra(&PrinterSurface::FontSize); }
    void SetFontBold(bool bold) override { Inoltra(&PrinterSurface::SetFontBold, bold); }
    void SetFontItalic(bool italic) override { Inoltra(&PrinterSurface::SetFontItalic, italic); }
    void SetCurrentX(float x) override { Inoltra(&PrinterSurface::SetCurrentX, x); }
    void SetCurrentY(float y) override { Inoltra(&PrinterSurface::SetCurrentY, y); }
    void PrintText(const QString& text) override { Inoltra(&PrinterSurface::PrintText, text); }
    float MeasureTextWidth(const QString& text) override {
        return Inoltra(&PrinterSurface::MeasureTextWidth, text);
    }
    float MeasureTextHeight(const QString& text) override {
        return Inoltra(&PrinterSurface::MeasureTextHeight, text);
    }
    void DrawLine(float x1, float y1, float x2, float y2) override {
        Inoltra(&PrinterSurface::DrawLine, x1, y1, x2, y2);
    }
    void DrawBox(float x1, float y1, float x2, float y2) override {
        Inoltra(&PrinterSurface::DrawBox, x1, y1, x2, y2);
    }
    void DrawPicture(const Picture& picture, float x, float y, float width, float height) override {
        Inoltra(&PrinterSurface::DrawPicture, picture, x, y, width, height);
    }
    void NewPage() override { Inoltra(&PrinterSurface::NewPage); }
    void EndDocument() override;
    void AbortDocument() override;

private:
    template <typename R, typename... P, typename... A> R Inoltra(R (PrinterSurface::*op)(P...), A&&... a) {
        if constexpr (std::is_void_v<R>) {
            Esegui({}, [&] { (s_.*op)(std::forward<A>(a)...); });
        } else {
            R r{};
            Esegui({}, [&] { r = (s_.*op)(std::forward<A>(a)...); });
            return r;
        }
    }

    PrinterSurface& s_;
    QString fatale_;
    int errori_ = 0;
    QList<QPair<QString, int>> tipi_; // each kind of skipped failure, in order of first appearance
};

template <typename F> bool SuperficieSorvegliata::Esegui(const QString& nome, F&& f) {
    if (!fatale_.isEmpty()) return false; // the document is gone: nothing more is drawn
    try {
        std::forward<F>(f)();
        return true;
    } catch (const ErroreDocumento& e) {
        SegnalaFatale(QString::fromUtf8(e.what()));
    } catch (const std::bad_alloc&) {
        SegnalaFatale(QStringLiteral("memoria esaurita"));
    } catch (const std::exception& e) {
        Segnala(nome.isEmpty() ? QString::fromUtf8(e.what())
                               : QStringLiteral("%1: %2").arg(nome, QString::fromUtf8(e.what())));
    } catch (...) {
        Segnala(QStringLiteral("%1: errore sconosciuto").arg(nome));
    }
    return false;
}

} // namespace vagolume
