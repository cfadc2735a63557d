#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

void StampaSerbatoi(PrinterSurface& s, ContestoStampa& c) {
    (void)s;
    (void)c;
}

} // namespace vagolume
