#include "print/DocumentoStampa.h"

#include "run/FineProcesso.h"
#include "run/Sistema.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vagolume {

namespace {
constexpr int kRisoluzione = 1200;
const QString kPrefissoTemporaneo = QStringLiteral(".vagolume-");

// A PDF written in full ends with the %%EOF marker; a disk that filled up
// leaves it short. Read through the descriptor the document already holds:
// opening the file again could fail for want of descriptors, which is no
// reason to call the document short.
bool PdfCompleto(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size < 32) return false;
    char inizio[5], fine[33] = {};
    if (::pread(fd, inizio, sizeof inizio, 0) != static_cast<ssize_t>(sizeof inizio) ||
        std::memcmp(inizio, "%PDF-", sizeof inizio) != 0)
        return false;
    if (::pread(fd, fine, 32, info.st_size - 32) != 32) return false;
    return QByteArray(fine, 32).contains("%%EOF");
}

// Documents dropped unfinished. Ending a painter on a PDF writer finishes the
// document (fonts and all, which takes memory: a discarded run may be one
// that ran out of it), and destroying either ends it; so they are kept here,
// never touched again, for the rest of the program.
struct Abbandonato {
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<QPdfWriter> writer;
    std::unique_ptr<QFile> file;
};
std::vector<Abbandonato>& Abbandonati() {
    static auto* const abbandonati = new std::vector<Abbandonato>;
    return *abbandonati;
}

} // namespace

DocumentoStampa::DocumentoStampa(std::unique_ptr<Stampante> stampante, QString titolo,
                                 std::function<bool()> attesa)
    : stampante_(std::move(stampante)), layout_(stampante_->Impaginazione()),
      nomeDocumento_(std::move(titolo)) {
    stampante_->ImpostaAttesa(std::move(attesa));
}

DocumentoStampa::~DocumentoStampa() {
    Chiudi();
}

float DocumentoStampa::AltezzaStampabile() const {
    return static_cast<float>(layout_.paintRect(QPageLayout::Millimeter).height());
}

double ScalaFoglio(const QPageLayout& layout) {
    return std::clamp(layout.paintRect(QPageLayout::Millimeter).width() / kLarghezzaFoglio, 0.5, 1.0);
}

float AltezzaFoglio(const QPageLayout& layout) {
    return static_cast<float>(layout.paintRect(QPageLayout::Millimeter).height() / ScalaFoglio(layout));
}

double DocumentoStampa::PuntiPerMm() const {
    return kRisoluzione / 25.4;
}

void DocumentoStampa::Fallisci(const QString& motivo) {
    if (fallito_.isEmpty()) fallito_ = motivo;
    Chiudi();
    throw ErroreDocumento(motivo.toStdString());
}

// The temporary file and the writer on it.
void DocumentoStampa::Apri() {
    // An unnamed file where the system allows one, so that nothing is left
    // if the program is killed; else a named one.
    auto crea = [this](const QString& cartella) {
        const QByteArray nomeCartella = CartellaSuDisco(cartella.isEmpty() ? QStringLiteral(".") : cartella);
        fd_ = ::open(nomeCartella.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ >= 0 && ::access("/proc/self/fd", X_OK) == 0) {
            fileTemporaneo_ = QStringLiteral("/proc/self/fd/%1").arg(fd_);
            return true;
        }
        if (fd_ >= 0) ::close(fd_);
        // A named file, locked for as long as the run lives: a later start
        // removes it only once the lock is gone. The process id in the name
        // lets that start skip it without trying.
        QByteArray nome = nomeCartella + "/" + QFile::encodeName(kPrefissoTemporaneo) +
                          QByteArray::number(::getpid()) + "-XXXXXX.pdf";
        fd_ = ::mkostemps(nome.data(), 4, O_CLOEXEC);
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            ::unlink(nome.constData());
            fd_ = -1;
        }
        if (fd_ >= 0)
            fileTemporaneo_ = (cartella.isEmpty() ? QStringLiteral(".") : cartella) + u'/' +
                              QFile::decodeName(nome.mid(nomeCartella.size() + 1));
        return fd_ >= 0;
    };
    const QString propria = stampante_->CartellaTemporanea();
    cartellaTemporanea_ = propria;
    if (!crea(propria)) {
        const int errore = errno;
        // A temporary folder that cannot hold files (TMPDIR naming /proc, or
        // a file) does not stop the run: the document is drawn where a failed
        // run's PDF goes anyway.
        const QString riserva = cartellaRiserva_.isEmpty() ? QStringLiteral(".") : cartellaRiserva_;
        if (riserva == propria || !crea(riserva))
            Fallisci(QStringLiteral("impossibile creare il file temporaneo in %1: %2")
                         .arg(PercorsoDaMostrare(propria), QString::fromLocal8Bit(std::strerror(errore))));
        cartellaTemporanea_ = riserva;
        Avvisa(
            QStringLiteral("impossibile creare il file temporaneo in %1 (%2): il documento è preparato in %3")
                .arg(propria, QString::fromLocal8Bit(std::strerror(errore)), PercorsoDaMostrare(riserva)));
    }
    const QString& cartella = cartellaTemporanea_;
    file_ = std::make_unique<QFile>();
    if (!file_->open(fd_, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        Fallisci(QStringLiteral("impossibile scrivere il file temporaneo in %1")
                     .arg(PercorsoDaMostrare(cartella)));
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setResolution(kRisoluzione);
    writer_->setPageLayout(layout_);
    writer_->setTitle(nomeDocumento_);
    writer_->setCreator(QStringLiteral("Vagolume"));
}

QPainter& DocumentoStampa::Pagina() {
    if (!fallito_.isEmpty()) throw ErroreDocumento(fallito_.toStdString());
    if (!painter_->isActive()) {
        Apri();
        if (!painter_->begin(writer_.get()))
            Fallisci(QStringLiteral("impossibile iniziare il documento su \"%1\"").arg(stampante_->Nome()));
        paginaIniziata_ = false;
        paginaInAttesa_ = false;
    }
    if (paginaInAttesa_) {
        if (!writer_->newPage())
            Fallisci(QStringLiteral(
                         "impossibile scrivere il documento \"%1\" in %2 (disco pieno o file troppo grande?)")
                         .arg(nomeDocumento_, PercorsoDaMostrare(cartellaTemporanea_)));
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

// Drops what is left of the document unfinished and removes the temporary
// file, whatever fails on the way.
void DocumentoStampa::Chiudi() {
    if (Aperto() || writer_) {
        Abbandonato abbandonato{std::move(painter_), std::move(writer_), std::move(file_)};
        painter_ = std::make_unique<QPainter>();
        try {
            Abbandonati().push_back(std::move(abbandonato));
        } catch (...) {
            // No room even to keep it: leave it as it is, untouched.
            (void)abbandonato.painter.release();
            (void)abbandonato.writer.release();
            (void)abbandonato.file.release();
        }
    }
    file_.reset();
    if (fd_ >= 0) {
        // A named file goes before its lock does.
        if (!fileTemporaneo_.startsWith(QLatin1String("/proc/")))
            ::unlink(FileSuDisco(fileTemporaneo_).constData());
        ::close(fd_);
    }
    fd_ = -1;
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
    file_.reset();
    if (!finito || !PdfCompleto(fd_))
        Fallisci(QStringLiteral("il documento \"%1\" non è stato scritto per intero (disco pieno?)")
                     .arg(nomeDocumento_));
    RegistraFatto(FattoConsegna::DocumentoCompleto);
    QString errore;
    const bool consegnato = stampante_->Consegna(fileTemporaneo_, nomeDocumento_, errore);
    forseStampato_ = !consegnato && stampante_->ComeMancata() == Stampante::Mancata::Incerta;
    if (consegnato) {
        salvato_ = stampante_->FileScritto();
        if (salvato_.isEmpty()) {
            RegistraFatto(FattoConsegna::RispostaServer);
        } else {
            RegistraFileSalvato(salvato_);
            RegistraFatto(FattoConsegna::Salvato);
        }
        Chiudi();
        fallito_ = QStringLiteral("il documento \"%1\" è già stato consegnato").arg(nomeDocumento_);
        return;
    }
    QString motivo = QStringLiteral("stampa su \"%1\" non riuscita: %2").arg(stampante_->Nome(), errore);
    // A printer that failed does not lose the finished document: it is kept
    // as the PDF writer would write it. A run stopped on request or by a
    // signal keeps nothing, unless the document reached the server whole:
    // it may print, and its owner must be able to tell.
    if ((SegnaleRicevuto() == 0 || forseStampato_) &&
        stampante_->ComeMancata() != Stampante::Mancata::Fermata && !stampante_->ScriveFile()) {
        ScrittorePdf scrittore(cartellaRiserva_.isEmpty() ? QStringLiteral(".") : cartellaRiserva_);
        QString erroreSalvataggio;
        if (scrittore.Consegna(fileTemporaneo_, nomeDocumento_, erroreSalvataggio)) {
            salvato_ = scrittore.FileScritto();
            RegistraFileSalvato(salvato_);
        } else
            motivo +=
                QStringLiteral("; nemmeno il salvataggio come PDF è riuscito (%1)").arg(erroreSalvataggio);
    }
    Fallisci(motivo);
}

SuperficieDocumento::SuperficieDocumento(std::unique_ptr<Stampante> stampante, QString titolo,
                                         std::function<bool()> attesa)
    : SuperficieQPainter(nullptr, kRisoluzione / 25.4, 0),
      documento_(std::move(stampante), std::move(titolo), std::move(attesa)) {
    // A printer whose printable area is narrower than the sheet gets the
    // sheet shrunk to its width.
    const double scala = ScalaFoglio(documento_.Impaginazione());
    ImpostaAltezza(AltezzaFoglio(documento_.Impaginazione()));
    if (scala < 1) {
        ImpostaPuntiPerMm(kRisoluzione / 25.4 * scala);
        Avvisa(QStringLiteral("l'area stampabile di \"%1\" è larga %2 mm: il foglio è stampato al %3%")
                   .arg(documento_.StampanteDelDocumento().Nome())
                   .arg(documento_.Impaginazione().paintRect(QPageLayout::Millimeter).width(), 0, 'f', 1)
                   .arg(static_cast<int>(scala * 100)));
    }
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
        // A process id of another PID namespace (a container) says nothing
        // here: the lock a live run holds does.
        const QByteArray percorso = QFile::encodeName(dir.filePath(file));
        const int fd = ::open(percorso.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat info {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::getuid())
            ::unlink(percorso.constData());
        ::close(fd);
    }
}

} // namespace vagolume
