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

    void SetScaleMillimetres() override;
    void SetPaperSize(PaperSize size) override;
    void SetOrientation(Orientation orientation) override;
    float PrintableHeight() override;
    void SetLineWidth(int16_t dots) override;
    void SetFillStyle(FillStyle style) override;
    void SetFillColour(Rgb colour) override;
    void SetFontName(const QString& name) override;
    QString FontName() override;
    void SetFontSize(float points) override;
    float FontSize() override;
    void SetFontBold(bool bold) override;
    void SetFontItalic(bool italic) override;
    void SetCurrentX(float x) override;
    void SetCurrentY(float y) override;
    void PrintText(const QString& text) override;
    float MeasureTextWidth(const QString& text) override;
    float MeasureTextHeight(const QString& text) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void DrawBox(float x1, float y1, float x2, float y2) override;
    void DrawPicture(const Picture& picture, float x, float y, float width, float height) override;
    void NewPage() override;
    void EndDocument() override;
    void AbortDocument() override;
    QString DocumentoSalvato() const override { return s_.DocumentoSalvato(); }

private:
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
