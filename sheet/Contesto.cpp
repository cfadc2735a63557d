#include "sheet/Contesto.h"

#include "calendar/Calendario.h"

namespace vagolume {

void ContestoStampa::ImpostaGeometria(float PrintableHeight) {
    FondoPagina = PrintableHeight - 10;
    InizioSpese = FondoPagina - 40;
    InizioControlli = InizioSpese - 30;
}

void ContestoStampa::ImpostaColonne() {
    Colonna[1] = 100;
    Colonna[2] = 120;
    Colonna[3] = 140;
    Colonna[4] = 165;
    Colonna[5] = 185;
    Colonna[6] = 195;
}

} // namespace vagolume
