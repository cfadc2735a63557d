#pragma once
// Start of the program: the command line, the display, the window.

namespace vagolume {

int Avvia(int argc, char* argv[]);

} // namespace vagolume
