// Fuel: the table at the lower left (x 10 to 70, InizioSpese to FondoPagina).
// Its background also serves the expense coding to its right: both title
// bands, the legend row across the whole sheet and the thick rule under the
// headings. Bands and boxes are placed from the bottom up in rows of
// PassoRiga, labels and column rules from the top down; with the 70 mm lower
// band the two meet (FondoPagina - 8 rows = InizioSpese).

#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

namespace {
// Bottom edge of the n-th row counted up from the bottom of the page.
float Riga(const ContestoStampa& c, int n) {
    return c.FondoPagina - static_cast<float>(n) * c.PassoRiga;
}
} // namespace

// The legend row is outlined thin (1 dot), the title bands thick (5).
QString StampaCarburanteSfondo(PrinterSurface& s, ContestoStampa& c) {
    ImpostaTratto(s, 1, FillStyle::Solid);
    s.SetFillColour(kCianoChiaro);
    s.DrawBox(10, Riga(c, 1), 195, c.FondoPagina); // legend row
    s.SetLineWidth(5);
    s.SetFillColour(kVerdeChiaro);
    s.DrawBox(10, Riga(c, 8), 70, Riga(c, 7)); // fuel title band
    s.SetFillColour(kGialloChiaro);
    s.DrawBox(70, Riga(c, 8), 195, Riga(c, 7)); // expense title band
    s.DrawLine(10, Riga(c, 6), 195, Riga(c, 6));
    return {};
}

// The column rules stop at the gas band and start again under it.
QString StampaCarburante(PrinterSurface& s, ContestoStampa& c) {
    s.SetFillStyle(FillStyle::Solid); // the line width is set before the first rule
    const float F = c.InizioSpese;
    const float testate = F + 9;
    auto regola = [&](float x) {
        s.DrawLine(x, F + 5, x, Riga(c, 3));
        s.DrawLine(x, Riga(c, 2), x, Riga(c, 1));
    };
    StampaTesto(s, QStringLiteral("Carburante"), F + 4.2f, 10, 70, true, false, 8, Centrato);
    s.SetLineWidth(1);
    StampaTesto(s, QStringLiteral("Litri"), testate, 10, 22, false, false, 6, Centrato);
    StampaTesto(s, QStringLiteral("Div."), testate, 22, 30, false, false, 6, Centrato);
    regola(21);
    StampaTesto(s, QStringLiteral("Unitario"), testate, 30, 42, false, false, 6, Centrato);
    regola(29);
    StampaTesto(s, QStringLiteral("Importo"), testate, 42, 56, false, false, 6, Centrato);
    regola(41);
    StampaTesto(s, QStringLiteral("Km."), testate, 56, 70, false, false, 6, Centrato);
    regola(55);
    s.SetFillColour(kGialloChiaro);
    s.SetLineWidth(5);
    s.DrawBox(10, Riga(c, 3), 70, Riga(c, 2)); // gas band
    StampaTesto(s, QStringLiteral("Gas/Gpl"), Riga(c, 2) - 0.8f, 10, 70, true, false, 8, Centrato);
    return {};
}

} // namespace vagolume
