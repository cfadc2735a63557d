#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

void StampaCarburanteSfondo(PrinterSurface& s, ContestoStampa& c) {
    (void)s;
    (void)c;
}

void StampaCarburante(PrinterSurface& s, ContestoStampa& c) {
    (void)s;
    (void)c;
}

} // namespace vagolume
