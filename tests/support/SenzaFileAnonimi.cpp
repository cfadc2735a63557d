// Preloaded into the program by tests (LD_PRELOAD): a file system without
// unnamed files, where open() with O_TMPFILE fails as it does there, so that
// the program's named, locked temporary files are walked in every run.

#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>

namespace {
template <typename F> F Originale(const char* nome) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, nome));
}
bool Anonimo(int flag) {
    return (flag & O_TMPFILE) == O_TMPFILE;
}
mode_t Modo(int flag, va_list argomenti) {
    return (flag & O_CREAT) != 0 || Anonimo(flag) ? static_cast<mode_t>(va_arg(argomenti, int)) : 0;
}
} // namespace

extern "C" {
int open(const char* percorso, int flag, ...) {
    va_list argomenti;
    va_start(argomenti, flag);
    const mode_t modo = Modo(flag, argomenti);
    va_end(argomenti);
    if (Anonimo(flag)) {
        errno = EOPNOTSUPP;
        return -1;
    }
    static const auto originale = Originale<int (*)(const char*, int, ...)>("open");
    return originale(percorso, flag, modo);
}

int open64(const char* percorso, int flag, ...) {
    va_list argomenti;
    va_start(argomenti, flag);
    const mode_t modo = Modo(flag, argomenti);
    va_end(argomenti);
    if (Anonimo(flag)) {
        errno = EOPNOTSUPP;
        return -1;
    }
    static const auto originale = Originale<int (*)(const char*, int, ...)>("open64");
    return originale(percorso, flag, modo);
}

int openat(int cartella, const char* percorso, int flag, ...) {
    va_list argomenti;
    va_start(argomenti, flag);
    const mode_t modo = Modo(flag, argomenti);
    va_end(argomenti);
    if (Anonimo(flag)) {
        errno = EOPNOTSUPP;
        return -1;
    }
    static const auto originale = Originale<int (*)(int, const char*, int, ...)>("openat");
    return originale(cartella, percorso, flag, modo);
}
}
