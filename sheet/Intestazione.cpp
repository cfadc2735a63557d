#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

void StampaIntestazione(PrinterSurface& s, ContestoStampa& c) {
    (void)s;
    (void)c;
}

} // namespace vagolume
