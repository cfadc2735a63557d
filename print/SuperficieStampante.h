#pragma once
// The drawing surface of a real print run: a QPainter on a PDF file drawn in
// the printer's printable area, handed to the printer when the document ends
// and simply deleted when it is aborted.

#include "print/Stampanti.h"
#include "print/SurfaceBase.h"

#include <QPainter>
#include <functional>
#include <memory>

class QPdfWriter;

namespace vagolume {

class SuperficieStampante : public SurfaceBase {
public:
    // titolo: the application title, read when the document begins; it names
    // the document (the print job or the PDF file).
    SuperficieStampante(std::unique_ptr<Stampante> stampante, std::function<QString()> titolo);
    ~SuperficieStampante() override;

    float PrintableHeight() override;
    void PrintText(const QString& text) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void DrawBox(float x1, float y1, float x2, float y2) override;
    void DrawPicture(const Picture& picture, float x, float y, float width, float height) override;
    void NewPage() override;
    void EndDocument() override;
    void AbortDocument() override;

    // Ends a document still open, as at the end of the program. Returns false
    // (and says why on standard error) when it could not be handed over.
    bool Completa();
    bool DocumentoAperto() const { return painter_.isActive(); }
    const Stampante& Destinazione() const { return *stampante_; }
    QString NomeDocumento() const { return nomeDocumento_; }

private:
    void Prepara();
    double Px(float mm) const;
    QPen Penna() const;
    void Chiudi(bool consegna);

    std::unique_ptr<Stampante> stampante_;
    std::function<QString()> titolo_;
    QPageLayout layout_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
    QString fileTemporaneo_;
    QString nomeDocumento_;
    bool paginaIniziata_ = false; // something drawn on the current page
    bool paginaInAttesa_ = false; // NewPage called, next drawing starts a page
};

} // namespace vagolume
