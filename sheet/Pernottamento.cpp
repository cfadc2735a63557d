#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

void StampaPernottamento(PrinterSurface& s, ContestoStampa& c) {
    (void)s;
    (void)c;
}

} // namespace vagolume
