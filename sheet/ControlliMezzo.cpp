// Vehicle checks: the narrow cell at the left of the lower band, a title cell
// and four tick boxes on a 5 mm pitch, each label standing on its box's lower
// edge.

#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

// The title cell and the rule beside the tick rows are drawn at the width of
// the frame of the lower part (5 dots), the tick boxes at 1.
QString StampaControlliMezzo(PrinterSurface& s, ContestoStampa& c) {
    const float Y = c.InizioControlli;
    ImpostaTratto(s, 5, FillStyle::Solid);
    s.SetFillColour(kVerdeChiaro);
    s.DrawBox(10, Y, 28, Y + 8);
    s.DrawBox(28, Y + 8, 28, Y + 30); // zero width: the rule right of the tick rows
    s.SetLineWidth(1);
    s.SetFillColour(kBianco);
    s.DrawBox(24, Y + 11, 27, Y + 14);
    StampaTesto(s, QStringLiteral("Controlli"), Y + 4, 10, 28, true, false, 8, Centrato);
    StampaTesto(s, QStringLiteral("del mezzo"), Y + 8, 10, 28, true, false, 8, Centrato);
    StampaTesto(s, QStringLiteral("Olio"), Y + 14, 11, 23.8f, false, false, 7, Sinistra);
    s.DrawBox(24, Y + 16, 27, Y + 19);
    StampaTesto(s, QStringLiteral("Paraflou"), Y + 19, 11, 23.8f, false, false, 7, Sinistra);
    s.DrawBox(24, Y + 21, 27, Y + 24);
    StampaTesto(s, QStringLiteral("Freni"), Y + 24, 11, 23.8f, false, false, 7, Sinistra);
    s.DrawBox(24, Y + 26, 27, Y + 29);
    StampaTesto(s, QStringLiteral("Pneumatici"), Y + 29, 11, 23.8f, false, false, 7, Sinistra);
    return {};
}

} // namespace vagolume
