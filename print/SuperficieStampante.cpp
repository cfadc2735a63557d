#include "print/SuperficieStampante.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QTemporaryFile>

#include <cstdio>

namespace vagolume {

namespace {
constexpr int kRisoluzione = 1200;

void Avvisa(const QString& messaggio) {
    std::fprintf(stderr, "vagolume: %s\n", qUtf8Printable(messaggio));
}

// A PDF written in full ends with the %%EOF marker; a disk that filled up
// leaves it short.
bool PdfCompleto(const QString& percorso) {
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 32) return false;
    if (!f.read(5).startsWith("%PDF-")) return false;
    f.seek(f.size() - 32);
    return f.read(32).contains("%%EOF");
}
} // namespace

SuperficieStampante::SuperficieStampante(std::unique_ptr<Stampante> stampante,
                                         std::function<QString()> titolo)
    : stampante_(std::move(stampante)), titolo_(std::move(titolo)), layout_(stampante_->Impaginazione()) {}

SuperficieStampante::~SuperficieStampante() {
    if (painter_.isActive()) Completa();
}

float SuperficieStampante::PrintableHeight() {
    return static_cast<float>(layout_.paintRect(QPageLayout::Millimeter).height());
}

double SuperficieStampante::Px(float mm) const {
    return mm * static_cast<double>(kRisoluzione) / 25.4;
}

QPen SuperficieStampante::Penna() const {
    QPen penna(Qt::black);
    penna.setWidthF(LineWidth() * kMillimetresPerDot * kRisoluzione / 25.4);
    penna.setCapStyle(Qt::SquareCap);
    penna.setJoinStyle(Qt::MiterJoin);
    return penna;
}

void SuperficieStampante::Prepara() {
    if (!painter_.isActive()) {
        nomeDocumento_ = titolo_ ? titolo_() : QString();
        QTemporaryFile temporaneo(
            QDir(stampante_->CartellaTemporanea()).filePath(QStringLiteral(".vagolume-XXXXXX.pdf")));
        temporaneo.setAutoRemove(false);
        if (!temporaneo.open())
            throw ErroreStampa(QStringLiteral("impossibile creare il file temporaneo in %1: %2")
                                   .arg(stampante_->CartellaTemporanea(), temporaneo.errorString())
                                   .toStdString());
        fileTemporaneo_ = temporaneo.fileName();
        temporaneo.close();
        writer_ = std::make_unique<QPdfWriter>(fileTemporaneo_);
        writer_->setResolution(kRisoluzione);
        writer_->setPageLayout(layout_);
        writer_->setTitle(nomeDocumento_);
        writer_->setCreator(QStringLiteral("Vagolume"));
        if (!painter_.begin(writer_.get())) {
            writer_.reset();
            QFile::remove(fileTemporaneo_);
            throw ErroreStampa(QStringLiteral("impossibile iniziare il documento su \"%1\"")
                                   .arg(stampante_->Nome())
                                   .toStdString());
        }
        paginaIniziata_ = false;
        paginaInAttesa_ = false;
    }
    if (paginaInAttesa_) {
        if (!writer_->newPage()) throw ErroreStampa("impossibile iniziare una nuova pagina");
        paginaInAttesa_ = false;
    }
    paginaIniziata_ = true;
}

void SuperficieStampante::PrintText(const QString& text) {
    Prepara();
    painter_.setFont(Fonts().Font());
    painter_.setPen(Qt::black);
    painter_.drawText(QPointF(Px(CurrentX()), Px(CurrentY() + Fonts().Ascent())), text);
}

void SuperficieStampante::DrawLine(float x1, float y1, float x2, float y2) {
    Prepara();
    painter_.setPen(Penna());
    painter_.drawLine(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2)));
}

void SuperficieStampante::DrawBox(float x1, float y1, float x2, float y2) {
    Prepara();
    const QRectF r = QRectF(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2))).normalized();
    if (CurrentFillStyle() == FillStyle::Solid) painter_.fillRect(r, QColor::fromRgb(FillColour()));
    painter_.setPen(Penna());
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(r);
}

void SuperficieStampante::DrawPicture(const Picture& picture, float x, float y, float width, float height) {
    Prepara();
    painter_.drawImage(QRectF(Px(x), Px(y), Px(width), Px(height)), picture.image);
}

void SuperficieStampante::NewPage() {
    if (!painter_.isActive()) return; // nothing drawn yet: the next drawing begins the document
    if (paginaIniziata_) {
        paginaInAttesa_ = true;
        paginaIniziata_ = false;
    }
}

void SuperficieStampante::Chiudi(bool consegna) {
    if (!painter_.isActive()) return;
    const bool finito = painter_.end();
    writer_.reset();
    const QString file = fileTemporaneo_;
    fileTemporaneo_.clear();
    if (!consegna) {
        QFile::remove(file);
        return;
    }
    QString errore;
    bool ok = finito && PdfCompleto(file);
    if (!ok)
        errore = QStringLiteral("il documento \"%1\" non è stato scritto per intero (disco pieno?)")
                     .arg(nomeDocumento_);
    else
        ok = stampante_->Consegna(file, nomeDocumento_, errore);
    QFile::remove(file);
    if (!ok)
        throw ErroreStampa(QStringLiteral("stampa su \"%1\" non riuscita: %2")
                               .arg(stampante_->Nome(), errore)
                               .toStdString());
}

void SuperficieStampante::EndDocument() {
    Chiudi(true);
}

void SuperficieStampante::AbortDocument() {
    Chiudi(false);
}

bool SuperficieStampante::Completa() {
    try {
        Chiudi(true);
        return true;
    } catch (const ErroreStampa& e) {
        Avvisa(QString::fromStdString(e.what()));
        return false;
    }
}

} // namespace vagolume
