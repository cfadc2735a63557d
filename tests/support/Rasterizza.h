#pragma once
// A page of a PDF as pixels, drawn by poppler's pdftoppm (poppler-utils).

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace vagolume {

// Page n (from 1) of a PDF at the given resolution; a null image when
// pdftoppm is missing or fails.
inline QImage Rasterizza(const QString& pdf, int n, int dpi) {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) return {};
    const QString base = pdf + QStringLiteral("-%1").arg(n);
    QProcess p;
    p.start(pdftoppm, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(n),
                       QStringLiteral("-l"), QString::number(n), QStringLiteral("-singlefile"),
                       QStringLiteral("-png"), pdf, base});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QImage(base + QStringLiteral(".png"));
}

} // namespace vagolume
