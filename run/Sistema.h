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
// is called now (each of its parts read by DecodificaTesto).
QString PercorsoDaMostrare(const QString& percorso);

// The bytes of a path given as text (by the save dialog, a message, the
// window's memory of a folder): each folder in it that does not exist under
// its name in UTF-8 is the one entry of its parent whose name reads as that
// text, as DecodificaTesto reads names or as Qt shows the names it cannot
// read (a folder named in Latin-1 bytes). An unknown or doubtful folder stays
// as written, so the file operation fails and says so. CartellaSuDisco maps
// every part; FileSuDisco all but the file's own name, which is written as
// given, so that a file never replaces one whose name only reads the same.
QByteArray CartellaSuDisco(const QString& cartella);
QByteArray FileSuDisco(const QString& file);

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
