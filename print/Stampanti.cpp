#include "print/Stampanti.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vagolume {

namespace {
constexpr double kMarginePdf = 5.0;          // mm, every side of the PDF writer's page
constexpr double kMargineMinimoCups = 5.0;   // mm, at least this on a real printer
constexpr auto kAttesaCups = std::chrono::seconds(4);
constexpr int kMaxByteNomeFile = 200;

QPageLayout A4ConMargini(QMarginsF margini) {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, margini, QPageLayout::Millimeter);
}

struct ElencoCups {
    QStringList nomi;
    QString predefinita;
};

ElencoCups LeggiCups() {
    ElencoCups elenco;
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < n; ++i) {
        if (dests[i].instance != nullptr)
            continue; // instances are options of a queue, not printers
        const QString nome = QString::fromUtf8(dests[i].name);
        elenco.nomi.append(nome);
        if (dests[i].is_default)
            elenco.predefinita = nome;
    }
    cupsFreeDests(n, dests);
    return elenco;
}

// Asks CUPS on a worker thread and waits a bounded time: a printing system
// that does not answer counts as one without printers.
ElencoCups LeggiCupsConAttesa() {
    struct Condiviso {
        std::mutex m;
        std::condition_variable cv;
        bool pronto = false;
        ElencoCups elenco;
    };
    auto condiviso = std::make_shared<Condiviso>();
    std::thread([condiviso] {
        ElencoCups e = LeggiCups();
        std::lock_guard lock(condiviso->m);
        condiviso->elenco = std::move(e);
        condiviso->pronto = true;
        condiviso->cv.notify_all();
    }).detach();
    std::unique_lock lock(condiviso->m);
    if (!condiviso->cv.wait_for(lock, kAttesaCups, [&] { return condiviso->pronto; })) {
        std::fprintf(stderr, "vagolume: il sistema di stampa non risponde; uso solo la stampa su PDF\n");
        return {};
    }
    return condiviso->elenco;
}

const ElencoCups& CupsInCache(bool aggiorna) {
    static ElencoCups elenco;
    static bool letto = false;
    if (aggiorna || !letto) {
        elenco = LeggiCupsConAttesa();
        letto = true;
    }
    return elenco;
}
} // namespace

QString NomeFileSicuro(const QString& nomeDocumento) {
    QString nome;
    for (QChar c : nomeDocumento) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0) || QStringLiteral("/\\:*?\"<>|").contains(c))
            nome.append(u'_');
        else
            nome.append(c);
    }
    while (nome.startsWith(u'.') || nome.startsWith(u' '))
        nome.remove(0, 1);
    // Keep the name within what every file system takes, cutting whole characters.
    while (nome.toUtf8().size() > kMaxByteNomeFile) {
        nome.chop(1);
        if (!nome.isEmpty() && nome.back().isHighSurrogate())
            nome.chop(1);
    }
    if (nome.trimmed().isEmpty())
        nome = QStringLiteral("Vagolume");
    return nome;
}

ScrittorePdf::ScrittorePdf(QString cartella) : cartella_(std::move(cartella)) {}

QPageLayout ScrittorePdf::Impaginazione() const {
    return A4ConMargini(QMarginsF(kMarginePdf, kMarginePdf, kMarginePdf, kMarginePdf));
}

bool ScrittorePdf::Consegna(const QString& pdf, const QString& nomeDocumento, QString& errore) {
    const QString base = NomeFileSicuro(nomeDocumento);
    const QByteArray sorgente = QFile::encodeName(pdf);
    const mode_t maschera = ::umask(0);
    ::umask(maschera);
    ::chmod(sorgente.constData(), 0666 & ~maschera);
    for (int i = 1; i < 10000; ++i) {
        const QString nome = i == 1 ? base + QStringLiteral(".pdf") : QStringLiteral("%1 (%2).pdf").arg(base).arg(i);
        const QString percorso = QDir(cartella_).filePath(nome);
        const QByteArray destinazione = QFile::encodeName(percorso);
        // A hard link never replaces an existing file; the temporary name is
        // removed by the caller.
        if (::link(sorgente.constData(), destinazione.constData()) == 0) {
            ultimoFile_ = percorso;
            return true;
        }
        if (errno == EEXIST)
            continue;
        if (errno == EPERM || errno == EOPNOTSUPP || errno == EXDEV) {
            // A file system without hard links: fall back to a rename that
            // refuses to replace.
            if (::renameat2(AT_FDCWD, sorgente.constData(), AT_FDCWD, destinazione.constData(),
                            RENAME_NOREPLACE) == 0) {
                ultimoFile_ = percorso;
                return true;
            }
            if (errno == EEXIST)
                continue;
        }
        errore = QStringLiteral("impossibile scrivere %1: %2").arg(percorso, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    errore = QStringLiteral("troppi file PDF con il nome %1").arg(base);
    return false;
}

CodaCups::CodaCups(QString nome) : nome_(std::move(nome)) {}

QPageLayout CodaCups::Impaginazione() const {
    QMarginsF minimi;
    const QPrinterInfo info = QPrinterInfo::printerInfo(nome_);
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        minimi = printer.pageLayout().minimumMargins();
        if (printer.pageLayout().units() != QPageLayout::Millimeter) {
            const double k = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, minimi,
                                         printer.pageLayout().units())
                                 .fullRect(QPageLayout::Millimeter)
                                 .width() /
                             printer.pageLayout().fullRect().width();
            minimi = QMarginsF(minimi.left() * k, minimi.top() * k, minimi.right() * k, minimi.bottom() * k);
        }
    }
    auto almeno = [](double v) { return std::max(v, kMargineMinimoCups); };
    return A4ConMargini(
        QMarginsF(almeno(minimi.left()), almeno(minimi.top()), almeno(minimi.right()), almeno(minimi.bottom())));
}

QString CodaCups::CartellaTemporanea() const { return QDir::tempPath(); }

bool CodaCups::Consegna(const QString& pdf, const QString& nomeDocumento, QString& errore) {
    if (!StampantiInstallate().contains(nome_)) {
        errore = QStringLiteral("la stampante \"%1\" non è installata").arg(nome_);
        return false;
    }
    cups_option_t* opzioni = nullptr;
    int n = 0;
    n = cupsAddOption("media", "A4", n, &opzioni);
    n = cupsAddOption("print-scaling", "none", n, &opzioni);
    n = cupsAddOption("fit-to-page", "false", n, &opzioni);
    const QByteArray nome = nome_.toUtf8();
    const QByteArray file = QFile::encodeName(pdf);
    const QByteArray titolo = nomeDocumento.toUtf8();
    const int lavoro = cupsPrintFile2(CUPS_HTTP_DEFAULT, nome.constData(), file.constData(), titolo.constData(), n, opzioni);
    cupsFreeOptions(n, opzioni);
    if (lavoro <= 0) {
        errore = QStringLiteral("la stampante \"%1\" ha rifiutato il lavoro: %2")
                     .arg(nome_, QString::fromUtf8(cupsLastErrorString()));
        return false;
    }
    return true;
}

QStringList StampantiInstallate() { return CupsInCache(true).nomi; }

QString StampantePredefinita() { return CupsInCache(false).predefinita; }

QStringList ElencoStampanti() {
    QStringList elenco = StampantiInstallate();
    elenco.append(kNomeScrittorePdf);
    return elenco;
}

std::unique_ptr<Stampante> CreaStampante(const QString& nome) {
    if (nome == kNomeScrittorePdf)
        return std::make_unique<ScrittorePdf>(QDir::currentPath());
    return std::make_unique<CodaCups>(nome);
}

} // namespace vagolume
