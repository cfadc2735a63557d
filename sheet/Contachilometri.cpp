#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

namespace {

constexpr const char* kDidascalie[] = {"ContaKm", "Contakm", "Percorsi", "Progress.", "Progress."};
// Labels of the five readings; the first sheet of a run asks for the reading
// at departure instead of yesterday's.
constexpr const char* kEtichette[] = {"Oggi:", "Ieri:", "Oggi:", "Preced.:", "Totale:"};
constexpr const char* kEtichettePrimoFoglio[] = {"Oggi:", "Partenza:", "Oggi:", "Preced.:", "Totale:"};

} // namespace

// The odometer column (X 140 to 165): five readings, each a caption, a label
// and a writing line.
QString StampaContachilometri(PrinterSurface& s, ContestoStampa& c) {
    const auto& Colonna = c.Colonna;
    ImpostaTratto(s, 5, FillStyle::Solid);

    s.SetFillColour(kGiallo);
    s.DrawBox(Colonna[3], 14, Colonna[4], 19);
    s.SetFillColour(kBianco);
    StampaTesto(s, QStringLiteral("Contachilometri"), 18.5f, Colonna[3] + 1, Colonna[4], true, false, 10,
                Centrato);

    const auto& etichette = c.PaginaCorrente > 1 ? kEtichette : kEtichettePrimoFoglio;
    for (int16_t k = 1; k <= 5; ++k) {
        const float y = static_cast<float>(22.0 / 5 * k + 16);
        StampaTesto(s, QString::fromUtf8(kDidascalie[k - 1]), static_cast<float>(y + 1.3), Colonna[3] + 1,
                    Colonna[4], false, false, 5.6f, Sinistra);
        // A right-aligned label ends 3 mm before its right limit, so it never
        // starts left of 2.7 mm before its left limit: the labels keep 0.3 mm
        // from the ink of the column's left rule, and a wide one ("Partenza:")
        // is shrunk, towards the middle of its line so that it does not sink
        // onto the writing line it stands on.
        StampaTestoNelCampo(s, QString::fromUtf8(etichette[k - 1]), static_cast<float>(y + 3.2),
                            Colonna[3] + MezzoTratto(5) + kStaccoDalTratto + 2.7f, Colonna[3] + 10, k == 5,
                            false, 5.6f, Destra);
        s.DrawLine(Colonna[3], y + 3, Colonna[4], y + 3);
    }

    // On the first sheet nothing has been driven before.
    if (c.PaginaCorrente == 1)
        StampaTesto(s, QStringLiteral("0"), 36.8f, Colonna[3], Colonna[4], false, false, 10, Destra);

    s.DrawLine(Colonna[3], 14, Colonna[3], 41);
    s.DrawLine(Colonna[4], 14, Colonna[4], 41);
    return {};
}

} // namespace vagolume
