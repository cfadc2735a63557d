#include "sheet/Contesto.h"

#include "calendar/Calendario.h"

namespace vagolume {

void ContestoStampa::ImpostaGeometria(float PrintableHeight) {
    FondoPagina = PrintableHeight - 10;
    InizioSpese = FondoPagina - 40;
    InizioControlli = InizioSpese - 30;
    // The lower band's rows: as close to 5 mm as whole rows fill the band.
    AltezzaFascia = FondoPagina - InizioControlli;
    const double righe = Int(AltezzaFascia / 5.0 + 0.5);
    if (righe >= 1) PassoRiga = static_cast<float>(AltezzaFascia / righe);
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
