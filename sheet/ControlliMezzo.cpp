// Vehicle checks: the narrow cell at the left of the lower band, a title cell
// and four tick boxes on a 5 mm pitch, each label standing on its box's lower
// edge.

#include "sheet/OperazioniSezione.h"
#include "sheet/Sezioni.h"

namespace vagolume {

// Draws its first two boxes with the line width 5 left by the frame of the
// lower part (solid fill); leaves line width 1 and fill colour white.
void StampaControlliMezzo(PrinterSurface& s, ContestoStampa& c) {
    OperazioniSezione o(s);
    const float Y = c.InizioControlli;
    o.SetFillColour(kVerdeChiaro);
    o.DrawBox(10, Y, 28, Y + 8);
    o.DrawBox(28, Y + 8, 28, Y + 30); // zero width: the rule right of the tick rows
    o.SetLineWidth(1);
    o.SetFillColour(kBianco);
    o.DrawBox(24, Y + 11, 27, Y + 14);
    o.Testo(QStringLiteral("Controlli"), Y + 4, 10, 28, true, 8, Centrato);
    o.Testo(QStringLiteral("del mezzo"), Y + 8, 10, 28, true, 8, Centrato);
    o.Testo(QStringLiteral("Olio"), Y + 14, 11, 23.8f, false, 7, Sinistra);
    o.DrawBox(24, Y + 16, 27, Y + 19);
    o.Testo(QStringLiteral("Paraflou"), Y + 19, 11, 23.8f, false, 7, Sinistra);
    o.DrawBox(24, Y + 21, 27, Y + 24);
    o.Testo(QStringLiteral("Freni"), Y + 24, 11, 23.8f, false, 7, Sinistra);
    o.DrawBox(24, Y + 26, 27, Y + 29);
    o.Testo(QStringLiteral("Pneumatici"), Y + 29, 11, 23.8f, false, 7, Sinistra);
    o.Concludi();
}

} // namespace vagolume
