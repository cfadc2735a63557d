#pragma once
// What the program takes from its own process: the notes it writes on
// standard error and the mode of the files it creates.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace vagolume {

// One line on standard error with the program's name in front:
// "vagolume: <messaggio>".
void Avvisa(const QString& messaggio);

// The mode a file the program creates gets: 0666 less the process's file
// creation mask. The mask is read without changing it (another thread may be
// creating files meanwhile); where it cannot be read, the file stays readable
// by its owner only (0600).
mode_t ModoFileNuovo();

// Text that comes as bytes from outside (an invocation line, a folder's name):
// UTF-8 when the bytes are UTF-8, otherwise a Western single-byte code page,
// as the itinerary program may write it.
QString DecodificaTesto(const QByteArray& byte);

// The current folder for the program's file operations: its full path when
// that path survives the round trip through QString, otherwise "." (a folder
// named in bytes that are not UTF-8 is still the folder the system gives).
QString CartellaCorrente();

// A path as a message shows it: a relative one made full against the current
// folder as it is now, so that a folder renamed during a run is named as it
// is called now.
QString PercorsoDaMostrare(const QString& percorso);

// While one lives, standard error is /dev/null: for a library that prints its
// own errors there (libpng, on memory running out) where the program says
// what happened in a line of its own.
class StandardErrorMuto {
public:
    StandardErrorMuto();
    ~StandardErrorMuto();
    StandardErrorMuto(const StandardErrorMuto&) = delete;
    StandardErrorMuto& operator=(const StandardErrorMuto&) = delete;

private:
    int salvato_ = -1;
};

} // namespace vagolume
