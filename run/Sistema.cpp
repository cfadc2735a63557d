#include "run/Sistema.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vagolume {

void Avvisa(const QString& messaggio) {
    std::fprintf(stderr, "vagolume: %s\n", qUtf8Printable(messaggio));
}

QString DecodificaTesto(const QByteArray& byte) {
    // Stateless: a lead byte at the very end is an error, not a character
    // left for more bytes to come.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
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
    if (QDir::isAbsolutePath(percorso)) return percorso;
    char* cwd = ::getcwd(nullptr, 0);
    QStringList parti;
    for (const QByteArray& parte : QByteArray(cwd != nullptr ? cwd : "").split('/'))
        parti.append(DecodificaTesto(parte));
    const QString corrente = cwd != nullptr ? parti.join(u'/') : QDir::currentPath();
    std::free(cwd);
    return QDir::cleanPath(corrente + u'/' + percorso);
}

namespace {

// One part of a path, among the entries of a folder (its bytes, "" or ending
// with "/").
QByteArray VoceSuDisco(const QByteArray& cartella, const QString& nome) {
    const QByteArray diretto = QFile::encodeName(nome);
    struct stat info {};
    if (nome == QLatin1String(".") || nome == QLatin1String("..") ||
        ::lstat((cartella + diretto).constData(), &info) == 0)
        return diretto;
    DIR* d = ::opendir(cartella.isEmpty() ? "." : cartella.constData());
    if (d == nullptr) return diretto;
    QByteArray trovata;
    int quante = 0;
    while (const dirent* voce = ::readdir(d)) {
        const QByteArray byte(voce->d_name);
        if (DecodificaTesto(byte) == nome || QFile::decodeName(byte) == nome) {
            trovata = byte;
            ++quante;
        }
    }
    ::closedir(d);
    return quante == 1 ? trovata : diretto;
}

QByteArray SuDisco(const QString& percorso, bool ultimaComeScritta) {
    const QByteArray diretto = QFile::encodeName(percorso);
    struct stat info {};
    if (percorso.isEmpty() || ::lstat(diretto.constData(), &info) == 0) return diretto;
    QByteArray fatto = percorso.startsWith(u'/') ? "/" : "";
    const QStringList parti = percorso.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parti.size(); ++i) {
        const bool ultima = i + 1 == parti.size();
        fatto += ultima && ultimaComeScritta ? QFile::encodeName(parti[i]) : VoceSuDisco(fatto, parti[i]);
        if (!ultima) fatto += '/';
    }
    return fatto;
}

} // namespace

QByteArray CartellaSuDisco(const QString& cartella) {
    return SuDisco(cartella, false);
}

QByteArray FileSuDisco(const QString& file) {
    return SuDisco(file, true);
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
