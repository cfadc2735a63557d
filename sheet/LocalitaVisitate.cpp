#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

void StampaLocalitaVisitateTitolo(PrinterSurface& s, ContestoStampa& c) {
    (void)s;
    (void)c;
}

void StampaLocalitaVisitateRighe(PrinterSurface& s, ContestoStampa& c) {
    (void)s;
    (void)c;
}

void StampaLocalitaVisitateDivisori(PrinterSurface& s, ContestoStampa& c) {
    (void)s;
    (void)c;
}

} // namespace vagolume
