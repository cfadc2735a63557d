#pragma once
// Start of the program: the command line, the display, the window.

#include "app/Servizi.h"

namespace vagolume {

class ModelloFinestra;

// Never returns: the process ends through run/FineProcesso.
[[noreturn]] void Avvia(int argc, char* argv[]);

// What an invocation line asked, done: a refusal concluded, or its run made,
// shown on the window and concluded. The outcome says how the process ends.
EsitoCorsa EseguiInvocazione(ModelloFinestra& modello, Piattaforma& piattaforma, const Invocata& invocata);

// Qt's own texts (the buttons of the boxes, the save dialog and its
// questions) in Italian, as the program's own are, whatever the locale.
// Returns whether Qt's Italian translations were found.
bool CaricaTraduzioniQt();

} // namespace vagolume
