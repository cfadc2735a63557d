#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

void StampaContachilometri(PrinterSurface& s, ContestoStampa& c) {
    (void)s;
    (void)c;
}

} // namespace vagolume
