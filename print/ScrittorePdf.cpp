// The built-in PDF writer: the file names it makes and how a finished
// document gets its name without ever taking another file's.
#include "print/Stampanti.h"

#include "run/Sistema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vagolume {

namespace {
constexpr double kMarginePdf = 5.0; // mm, every side of the PDF writer's page
constexpr int kMaxByteNomeFile = 200;
} // namespace

QString NomeFileSicuro(const QString& nomeDocumento) {
    QString nome;
    for (qsizetype i = 0; i < nomeDocumento.size(); ++i) {
        const QChar c = nomeDocumento[i];
        const char16_t u = c.unicode();
        // The controls that turn the direction of the text around would make
        // the name read otherwise than it is: they are left out.
        if ((u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F ||
            u == 0x061C)
            continue;
        if (c.isHighSurrogate() && i + 1 < nomeDocumento.size() && nomeDocumento[i + 1].isLowSurrogate()) {
            nome.append(c);
            nome.append(nomeDocumento[++i]);
        } else if (c.isSurrogate() || u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0) || u == 0x2028 ||
                   u == 0x2029 || QStringLiteral("/\\:*?\"<>|").contains(c)) {
            nome.append(u'_');
        } else {
            nome.append(c);
        }
    }
    // What stood in front of the name proper (blanks made "_" in the document
    // name, the dots and separators of a path such as "../../x") is no part
    // of it, and no leading dot hides the file; a run of "_" is one.
    qsizetype davanti = 0;
    while (davanti < nome.size() && (nome[davanti] == u'_' || nome[davanti] == u' ' || nome[davanti] == u'.'))
        ++davanti;
    nome.remove(0, davanti);
    for (qsizetype i = nome.indexOf(QLatin1String("__")); i >= 0; i = nome.indexOf(QLatin1String("__"), i))
        nome.remove(i, 1);
    // Keep the name within what every file system takes, cutting whole characters.
    while (nome.toUtf8().size() > kMaxByteNomeFile) {
        nome.chop(1);
        if (!nome.isEmpty() && nome.back().isHighSurrogate()) nome.chop(1);
    }
    if (nome.trimmed().isEmpty()) nome = QStringLiteral("Vagolume");
    return nome;
}

bool DaiNome(const QByteArray& sorgente, const QByteArray& destinazione, bool sostituisci) {
    if (!sostituisci) {
        // A hard link never replaces an existing file; it also names a file
        // that has none yet. A file system without hard links gets a rename
        // that refuses to replace. QFile::rename would not do: it looks for
        // the name first and, when its own rename then fails, copies over
        // whatever took the name meanwhile, so that of two runs ending
        // together one would lose its document.
        if (::linkat(AT_FDCWD, sorgente.constData(), AT_FDCWD, destinazione.constData(), AT_SYMLINK_FOLLOW) ==
            0)
            return true;
        if (errno != EPERM && errno != EOPNOTSUPP && errno != EXDEV) return false;
        return ::renameat2(AT_FDCWD, sorgente.constData(), AT_FDCWD, destinazione.constData(),
                           RENAME_NOREPLACE) == 0;
    }
    if (!sorgente.startsWith("/proc/")) return ::rename(sorgente.constData(), destinazione.constData()) == 0;
    // A file without a name gets a free hidden one beside the target first,
    // then replaces the target by a rename.
    const qsizetype barra = destinazione.lastIndexOf('/');
    const QByteArray cartella =
        barra < 0 ? QByteArray(".") : destinazione.left(std::max<qsizetype>(barra, 1));
    for (int tentativo = 0; tentativo < 100; ++tentativo) {
        const QByteArray provvisorio = cartella + "/.vagolume-" + QByteArray::number(::getpid()) + "-" +
                                       QByteArray::number(tentativo) + ".pdf";
        if (!DaiNome(sorgente, provvisorio, false)) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (::rename(provvisorio.constData(), destinazione.constData()) == 0) return true;
        const int errore = errno;
        ::unlink(provvisorio.constData());
        errno = errore;
        return false;
    }
    errno = EEXIST;
    return false;
}

ScrittorePdf::ScrittorePdf(QString cartella, QString fileScelto)
    : cartella_(std::move(cartella)), fileScelto_(std::move(fileScelto)) {}

QString ScrittorePdf::CartellaTemporanea() const {
    return fileScelto_.isEmpty() ? cartella_ : QFileInfo(fileScelto_).absolutePath();
}

QPageLayout ScrittorePdf::Impaginazione() const {
    return A4ConMargini(QMarginsF(kMarginePdf, kMarginePdf, kMarginePdf, kMarginePdf));
}

bool ScrittorePdf::Consegna(const QString& pdf, const QString& nomeDocumento, QString& errore) {
    const QString base = NomeFileSicuro(nomeDocumento);
    const QByteArray sorgente = FileSuDisco(pdf);
    ::chmod(sorgente.constData(), ModoFileNuovo());
    if (!fileScelto_.isEmpty()) {
        // The name the user chose, exactly.
        if (DaiNome(sorgente, FileSuDisco(fileScelto_), true)) {
            ultimoFile_ = fileScelto_;
            return true;
        }
        errore = QStringLiteral("impossibile scrivere %1: %2")
                     .arg(fileScelto_, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    for (int i = 1; i < 10000; ++i) {
        const QString nome =
            i == 1 ? base + QStringLiteral(".pdf") : QStringLiteral("%1 (%2).pdf").arg(base).arg(i);
        const QString percorso = QDir(cartella_).filePath(nome);
        if (DaiNome(sorgente, FileSuDisco(percorso), false)) {
            ultimoFile_ = PercorsoDaMostrare(percorso);
            return true;
        }
        if (errno == EEXIST) continue;
        errore = QStringLiteral("impossibile scrivere %1: %2")
                     .arg(PercorsoDaMostrare(percorso), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    errore = QStringLiteral("troppi file PDF con il nome %1").arg(base);
    return false;
}

} // namespace vagolume
