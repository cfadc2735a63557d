#pragma once
// Start of the program: the command line, the display, the window.

namespace vagolume {

// Never returns: the process ends through run/FineProcesso.
[[noreturn]] void Avvia(int argc, char* argv[]);

// Qt's own texts (the buttons of the boxes, the save dialog and its
// questions) in Italian, as the program's own are, whatever the locale.
// Returns whether Qt's Italian translations were found.
bool CaricaTraduzioniQt();

} // namespace vagolume
