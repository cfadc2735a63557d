#pragma once
// The document of a real print run: the pages are drawn with a QPainter into a
// temporary PDF file, which is handed to its printer when the document ends
// and simply dropped when the document is discarded.
//
// The temporary file has no name (O_TMPFILE) in the folder where the document
// will end up: no other process can remove it while it is written, and
// nothing of it is left when the program is killed; it gets its name only when
// it is handed over whole. Where the file system has no unnamed files, it is a
// hidden named file that a lock marks as in use while the run lives.

#include "print/Stampanti.h"
#include "print/SuperficieQPainter.h"

#include <QPageLayout>
#include <QPainter>
#include <functional>
#include <memory>

class QFile;
class QPdfWriter;

namespace vagolume {

// Width of the sheet's content, mm from the printable area's left edge: its
// rightmost rule at 195 mm, and half of that rule's width.
inline constexpr double kLarghezzaFoglio = 195.5;

// The scale the sheet is printed at in a page layout: 1, or less where the
// printable area is narrower than the sheet (never enlarged). The page is then
// as much taller in its own millimetres, so that its lower bands still end at
// the printable area's bottom.
double ScalaFoglio(const QPageLayout& layout);
// The height of the sheet's page in a page layout, in the sheet's own
// millimetres: the printable area's height at the sheet's scale.
float AltezzaFoglio(const QPageLayout& layout);

class DocumentoStampa {
public:
    // titolo names the document (the print job or the PDF file); attesa is
    // called while the hand-over waits for the printer (see Stampante).
    DocumentoStampa(std::unique_ptr<Stampante> stampante, QString titolo, std::function<bool()> attesa = {});
    // A document still open is discarded: nothing unfinished is ever printed.
    ~DocumentoStampa();
    // Where the finished document is kept when its printer fails (the
    // current folder unless set).
    void ImpostaCartellaRiserva(QString cartella) { cartellaRiserva_ = std::move(cartella); }

    // The painter of the current page: begins the document, or the page
    // asked for by NuovaPagina, when needed. Throws ErroreDocumento when the
    // document cannot be written or was discarded.
    QPainter& Pagina();
    void NuovaPagina();
    // Ends the document and hands it to its printer. When the printer fails,
    // the finished document is kept as a PDF file in the fallback folder
    // (ImpostaCartellaRiserva) and ErroreDocumento says why and where it is;
    // not when the hand-over was stopped before its last byte.
    void Consegna();
    // Throws the document away, unfinished; later drawing is refused.
    void Scarta();

    float AltezzaStampabile() const;
    const QPageLayout& Impaginazione() const { return layout_; }
    double PuntiPerMm() const;
    bool Aperto() const { return painter_ && painter_->isActive(); }
    const Stampante& StampanteDelDocumento() const { return *stampante_; }
    QString NomeDocumento() const { return nomeDocumento_; }
    QString FileSalvato() const { return salvato_; }
    // The hand-over failed after the whole document was sent: the printer may
    // still print it.
    bool ForseStampato() const { return forseStampato_; }

private:
    void Apri();
    void Chiudi();
    [[noreturn]] void Fallisci(const QString& motivo);

    std::unique_ptr<Stampante> stampante_;
    QPageLayout layout_;
    std::unique_ptr<QFile> file_; // on fd_
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_ = std::make_unique<QPainter>();
    int fd_ = -1;
    QString fileTemporaneo_;     // its path: /proc/self/fd/N, or the hidden name
    QString cartellaTemporanea_; // the folder it is in
    QString nomeDocumento_;
    QString salvato_;
    QString cartellaRiserva_;
    QString fallito_; // why the document cannot go on; empty while it can
    bool forseStampato_ = false;
    bool paginaIniziata_ = false; // something drawn on the current page
    bool paginaInAttesa_ = false; // NuovaPagina called, next drawing starts a page
};

// The drawing surface of a real run: a QPainter surface on a DocumentoStampa.
class SuperficieDocumento : public SuperficieQPainter {
public:
    SuperficieDocumento(std::unique_ptr<Stampante> stampante, QString titolo,
                        std::function<bool()> attesa = {});

    void NewPage() override { documento_.NuovaPagina(); }
    void EndDocument() override { documento_.Consegna(); }
    void AbortDocument() override { documento_.Scarta(); }

    DocumentoStampa& Documento() { return documento_; }

protected:
    QPainter& Painter() override { return documento_.Pagina(); }

private:
    DocumentoStampa documento_;
};

// Hidden temporary files left in a folder by runs whose process is gone (by
// older versions, or on a file system without unnamed files) are removed:
// they carry their process id in their name, and a live run holds a lock on
// its own.
void RimuoviTemporaneiOrfani(const QString& cartella);

} // namespace vagolume
