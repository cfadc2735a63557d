// Build-time helper: makes the larger icon renditions for the desktop's icon
// theme out of the program's own 32 x 32 logo.
//
//   vagolume_icone LOGO.png SIZE OUT.png
//
// Whole multiples of the logo's size are enlarged pixel by pixel so that the
// drawing stays sharp; other sizes are smoothly scaled. The result is an 8-bit
// RGBA PNG of SIZE x SIZE.

#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fputs("vagolume: uso: vagolume_icone LOGO.png LATO USCITA.png\n", stderr);
        return 2;
    }
    const QImage logo(QString::fromLocal8Bit(argv[1]));
    if (logo.isNull() || logo.width() != logo.height()) {
        std::fprintf(stderr, "vagolume: %s non è un'immagine quadrata leggibile\n", argv[1]);
        return 1;
    }
    char* fine = nullptr;
    const long lato = std::strtol(argv[2], &fine, 10);
    if (fine == argv[2] || *fine != '\0' || lato < 16 || lato > 512) {
        std::fprintf(stderr, "vagolume: lato dell'icona non valido: %s (16..512)\n", argv[2]);
        return 2;
    }
    const int l = static_cast<int>(lato);
    const Qt::TransformationMode modo =
        (l % logo.width() == 0) ? Qt::FastTransformation : Qt::SmoothTransformation;
    const QImage icona =
        logo.convertToFormat(QImage::Format_RGBA8888).scaled(l, l, Qt::IgnoreAspectRatio, modo);
    if (!icona.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "vagolume: impossibile scrivere %s\n", argv[3]);
        return 1;
    }
    return 0;
}
