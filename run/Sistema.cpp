#include "run/Sistema.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace vagolume {

void Avvisa(const QString& messaggio) {
    std::fprintf(stderr, "vagolume: %s\n", qUtf8Printable(messaggio));
}

QString DecodificaTesto(const QByteArray& byte) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString testo = utf8.decode(byte);
    return utf8.hasError() ? QString::fromLatin1(byte) : testo;
}

QString CartellaCorrente() {
    char* cwd = ::getcwd(nullptr, 0);
    const QByteArray byte(cwd != nullptr ? cwd : "");
    std::free(cwd);
    const QString percorso = QDir::currentPath();
    return !byte.isEmpty() && QFile::encodeName(percorso) == byte ? percorso : QStringLiteral(".");
}

QString PercorsoDaMostrare(const QString& percorso) {
    return QDir::isAbsolutePath(percorso) ? percorso
                                          : QDir::cleanPath(QDir::current().absoluteFilePath(percorso));
}

StandardErrorMuto::StandardErrorMuto() {
    std::fflush(stderr);
    salvato_ = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
    if (salvato_ < 0) return;
    const int nullo = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nullo < 0 || ::dup2(nullo, 2) < 0) {
        ::close(salvato_);
        salvato_ = -1;
    }
    if (nullo >= 0) ::close(nullo);
}

StandardErrorMuto::~StandardErrorMuto() {
    if (salvato_ < 0) return;
    std::fflush(stderr);
    ::dup2(salvato_, 2);
    ::close(salvato_);
}

mode_t ModoFileNuovo() {
    // umask() can only be read by setting it, which would change the mask of
    // every thread for a moment; the kernel states it in /proc instead.
    mode_t maschera = 077;
    QFile stato(QStringLiteral("/proc/self/status"));
    // Files in /proc state no size: read to the end.
    const QByteArray testo = stato.open(QIODevice::ReadOnly) ? stato.readAll() : QByteArray();
    for (const QByteArray& riga : testo.split('\n')) {
        if (!riga.startsWith("Umask:")) continue;
        bool ok = false;
        const uint letta = riga.mid(6).trimmed().toUInt(&ok, 8);
        if (ok && letta <= 0777) maschera = static_cast<mode_t>(letta);
        break;
    }
    return 0666 & ~maschera;
}

} // namespace vagolume
