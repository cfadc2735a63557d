// Replays every file of the fuzzing corpus through the fuzz target.

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s CARTELLA_CORPUS\n", argv[0]);
        return 2;
    }
    const QDir cartella(QString::fromLocal8Bit(argv[1]));
    const QStringList file = cartella.entryList(QDir::Files);
    if (file.isEmpty()) {
        std::fprintf(stderr, "corpus vuoto: %s\n", argv[1]);
        return 1;
    }
    for (const QString& nome : file) {
        QFile f(cartella.filePath(nome));
        if (!f.open(QIODevice::ReadOnly)) return 1;
        const QByteArray dati = f.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(dati.constData()),
                               static_cast<size_t>(dati.size()));
    }
    std::printf("%lld ingressi riprodotti\n", static_cast<long long>(file.size()));
    return 0;
}
