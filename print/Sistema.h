#pragma once
// What the program takes from its own process: the notes it writes on
// standard error and the mode of the files it creates.

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

} // namespace vagolume
