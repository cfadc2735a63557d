#pragma once
// One control as the window shows it, and the window's own colours.

#include "print/PrinterSurface.h"

#include <QString>
#include <QStringList>

namespace vagolume {

struct Controllo {
    QString Testo;
    QStringList Voci; // entries of a list
    bool Abilitato = true;
    bool Visibile = true;
    Rgb ColoreTesto = kNero;
    bool Spuntato = false; // check box
    int Larghezza = 0;     // twips wide (the progress fill grows)
    int Selezionato = -1;  // selected entry of a list box
};

// Colours of the window of its own; it shares white, black, light green and
// light cyan with the sheet (print/PrinterSurface.h).
inline constexpr Rgb kColoreSfondo = 0x008080;
inline constexpr Rgb kBlu = 0x0000FF;
inline constexpr Rgb kRosso = 0xC00000; // a typed entry that cannot be used

} // namespace vagolume
