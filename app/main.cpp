// Vagolume: prints the paper forms of a motor-caravan travel logbook.

#include "app/Avvio.h"

int main(int argc, char* argv[]) {
    vagolume::Avvia(argc, argv);
}
