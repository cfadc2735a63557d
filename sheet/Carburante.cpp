// Fuel: the table at the lower left (x 10 to 70, InizioSpese to FondoPagina).
// Its background also serves the expense coding to its right: both title
// bands, the legend row across the whole sheet and the thick rule under the
// headings. Bands and boxes are placed from the bottom up in rows of
// PassoRiga, labels and column rules from the top down; with the 70 mm lower
// band the two meet (FondoPagina - 8 rows = InizioSpese).

#include "sheet/OperazioniSezione.h"
#include "sheet/Sezioni.h"

namespace vagolume {

namespace {
constexpr Rgb kVerdeChiaro = 0xC0FFC0;
constexpr Rgb kAzzurroChiaro = 0xC0FFFF;
constexpr Rgb kGialloChiaro = 0xFFFFC0;

// Bottom edge of the n-th row counted up from the bottom of the page.
float Riga(const ContestoStampa& c, int n) {
    return c.FondoPagina - static_cast<float>(n) * c.PassoRiga;
}
} // namespace

// Expects solid fill and line width 1; leaves line width 5.
void StampaCarburanteSfondo(PrinterSurface& s, ContestoStampa& c) {
    OperazioniSezione o(s);
    o.SetFillColour(kAzzurroChiaro);
    o.DrawBox(10, Riga(c, 1), 195, c.FondoPagina); // legend row
    o.SetLineWidth(5);
    o.SetFillColour(kVerdeChiaro);
    o.DrawBox(10, Riga(c, 8), 70, Riga(c, 7)); // fuel title band
    o.SetFillColour(kGialloChiaro);
    o.DrawBox(70, Riga(c, 8), 195, Riga(c, 7)); // expense title band
    o.DrawLine(10, Riga(c, 6), 195, Riga(c, 6));
    o.Concludi();
}

// The column rules stop at the gas band and start again under it. Leaves line
// width 5 and fill colour #FFFFC0.
void StampaCarburante(PrinterSurface& s, ContestoStampa& c) {
    OperazioniSezione o(s);
    const float F = c.InizioSpese;
    const float testate = F + 9;
    auto regola = [&](float x) {
        o.DrawLine(x, F + 5, x, Riga(c, 3));
        o.DrawLine(x, Riga(c, 2), x, Riga(c, 1));
    };
    o.Testo(QStringLiteral("Carburante"), F + 4.2f, 10, 70, true, 8, Centrato);
    o.SetLineWidth(1);
    o.Testo(QStringLiteral("Litri"), testate, 10, 22, false, 6, Centrato);
    o.Testo(QStringLiteral("Div."), testate, 22, 30, false, 6, Centrato);
    regola(21);
    o.Testo(QStringLiteral("Unitario"), testate, 30, 42, false, 6, Centrato);
    regola(29);
    o.Testo(QStringLiteral("Importo"), testate, 42, 56, false, 6, Centrato);
    regola(41);
    o.Testo(QStringLiteral("Km."), testate, 56, 70, false, 6, Centrato);
    regola(55);
    o.SetFillColour(kGialloChiaro);
    o.SetLineWidth(5);
    o.DrawBox(10, Riga(c, 3), 70, Riga(c, 2)); // gas band
    o.Testo(QStringLiteral("Gas/Gpl"), Riga(c, 2) - 0.8f, 10, 70, true, 8, Centrato);
    o.Concludi();
}

} // namespace vagolume
