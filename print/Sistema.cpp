#include "print/Sistema.h"

#include <QByteArray>
#include <QFile>

#include <cstdio>

namespace vagolume {

void Avvisa(const QString& messaggio) {
    std::fprintf(stderr, "vagolume: %s\n", qUtf8Printable(messaggio));
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
