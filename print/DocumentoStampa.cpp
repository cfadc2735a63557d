#include "print/DocumentoStampa.h"

#include "print/Interruzione.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace vagolume {

namespace {
constexpr int kRisoluzione = 1200;
const QString kPrefissoTemporaneo = QStringLiteral(".vagolume-");

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

DocumentoStampa::DocumentoStampa(std::unique_ptr<Stampante> stampante, std::function<QString()> titolo)
    : stampante_(std::move(stampante)), titolo_(std::move(titolo)), layout_(stampante_->Impaginazione()) {}

DocumentoStampa::~DocumentoStampa() {
    Chiudi();
}

float DocumentoStampa::AltezzaStampabile() const {
    return static_cast<float>(layout_.paintRect(QPageLayout::Millimeter).height());
}

double DocumentoStampa::PuntiPerMm() const {
    return kRisoluzione / 25.4;
}

void DocumentoStampa::Fallisci(const QString& motivo) {
    if (fallito_.isEmpty()) fallito_ = motivo;
    Chiudi();
    throw ErroreDocumento(motivo.toStdString());
}

QPainter& DocumentoStampa::Pagina() {
    if (!fallito_.isEmpty()) throw ErroreDocumento(fallito_.toStdString());
    if (!painter_->isActive()) {
        nomeDocumento_ = titolo_ ? titolo_() : QString();
        // The process id in the name lets a later start remove the file of a
        // run that was killed.
        QTemporaryFile temporaneo(
            QDir(stampante_->CartellaTemporanea())
                .filePath(kPrefissoTemporaneo + QString::number(::getpid()) + QStringLiteral("-XXXXXX.pdf")));
        temporaneo.setAutoRemove(false);
        if (!temporaneo.open())
            Fallisci(QStringLiteral("impossibile creare il file temporaneo in %1: %2")
                         .arg(stampante_->CartellaTemporanea(), temporaneo.errorString()));
        fileTemporaneo_ = temporaneo.fileName();
        temporaneo.close();
        writer_ = std::make_unique<QPdfWriter>(fileTemporaneo_);
        writer_->setResolution(kRisoluzione);
        writer_->setPageLayout(layout_);
        writer_->setTitle(nomeDocumento_);
        writer_->setCreator(QStringLiteral("Vagolume"));
        if (!painter_->begin(writer_.get()))
            Fallisci(QStringLiteral("impossibile iniziare il documento su \"%1\"").arg(stampante_->Nome()));
        paginaIniziata_ = false;
        paginaInAttesa_ = false;
    }
    if (paginaInAttesa_) {
        if (!writer_->newPage())
            Fallisci(QStringLiteral(
                         "impossibile scrivere il documento \"%1\" in %2 (disco pieno o file troppo grande?)")
                         .arg(nomeDocumento_, stampante_->CartellaTemporanea()));
        paginaInAttesa_ = false;
    }
    paginaIniziata_ = true;
    return *painter_;
}

void DocumentoStampa::NuovaPagina() {
    if (!Aperto()) return; // nothing drawn yet: the next drawing begins the document
    if (paginaIniziata_) {
        paginaInAttesa_ = true;
        paginaIniziata_ = false;
    }
}

// Ends the painter and removes the temporary file, whatever fails on the way.
void DocumentoStampa::Chiudi() {
    try {
        if (Aperto()) painter_->end();
        writer_.reset();
    } catch (...) {
        // Out of memory while ending it: what is left of the painter and its
        // writer is not touched again, not even to destroy it.
        (void)painter_.release();
        (void)writer_.release();
        if (fallito_.isEmpty()) fallito_ = QStringLiteral("memoria esaurita");
    }
    if (!fileTemporaneo_.isEmpty()) ::unlink(QFile::encodeName(fileTemporaneo_).constData());
    fileTemporaneo_.clear();
}

void DocumentoStampa::Scarta() {
    if (fallito_.isEmpty())
        fallito_ = QStringLiteral("il documento \"%1\" è stato annullato").arg(nomeDocumento_);
    Chiudi();
}

void DocumentoStampa::Consegna() {
    if (!fallito_.isEmpty()) throw ErroreDocumento(fallito_.toStdString());
    if (!Aperto()) return; // nothing was drawn: nothing to print
    const bool finito = painter_->end();
    writer_.reset();
    if (!finito || !PdfCompleto(fileTemporaneo_))
        Fallisci(QStringLiteral("il documento \"%1\" non è stato scritto per intero (disco pieno?)")
                     .arg(nomeDocumento_));
    QString errore;
    const bool consegnato = stampante_->Consegna(fileTemporaneo_, nomeDocumento_, errore);
    if (consegnato) {
        salvato_ = stampante_->FileScritto();
        Chiudi();
        fallito_ = QStringLiteral("il documento \"%1\" è già stato consegnato").arg(nomeDocumento_);
        return;
    }
    QString motivo = QStringLiteral("stampa su \"%1\" non riuscita: %2").arg(stampante_->Nome(), errore);
    // A printer that failed does not lose the finished document: it is kept
    // as the PDF writer would write it. A run stopped by a signal keeps nothing.
    if (SegnaleRicevuto() == 0 && stampante_->Nome() != kNomeScrittorePdf) {
        ScrittorePdf scrittore(QDir::currentPath());
        QString erroreSalvataggio;
        if (scrittore.Consegna(fileTemporaneo_, nomeDocumento_, erroreSalvataggio)) {
            salvato_ = scrittore.FileScritto();
            motivo += QStringLiteral("; il documento è stato salvato in %1").arg(salvato_);
        } else {
            motivo +=
                QStringLiteral("; nemmeno il salvataggio come PDF è riuscito (%1)").arg(erroreSalvataggio);
        }
    }
    Fallisci(motivo);
}

SuperficieDocumento::SuperficieDocumento(std::unique_ptr<Stampante> stampante,
                                         std::function<QString()> titolo)
    : SuperficieQPainter(nullptr, kRisoluzione / 25.4, 0),
      documento_(std::move(stampante), std::move(titolo)) {
    ImpostaAltezza(documento_.AltezzaStampabile());
}

void RimuoviTemporaneiOrfani(const QString& cartella) {
    static const QRegularExpression nome(QStringLiteral("^\\.vagolume-(\\d+)-[A-Za-z0-9]+\\.pdf$"));
    const QDir dir(cartella);
    const QStringList candidati = dir.entryList({kPrefissoTemporaneo + QStringLiteral("*.pdf")},
                                                QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& file : candidati) {
        const auto trovato = nome.match(file);
        if (!trovato.hasMatch()) continue;
        bool ok = false;
        const long pid = trovato.captured(1).toLong(&ok);
        if (!ok || pid <= 0 || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue; // still running
        struct stat info {};
        const QByteArray percorso = QFile::encodeName(dir.filePath(file));
        if (::lstat(percorso.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid())
            ::unlink(percorso.constData());
    }
}

} // namespace vagolume
