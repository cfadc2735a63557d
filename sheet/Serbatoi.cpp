// Tank service: where the water tanks were filled or emptied, to the right of
// the vehicle checks (x 28 to 195, InizioControlli to InizioSpese). A title
// band, the headings closed by a thick rule at +14, then three rows (6, 5 and
// 5 mm), one per kind of water, each with its tick box.

#include "sheet/OperazioniSezione.h"
#include "sheet/Sezioni.h"

#include <array>

namespace vagolume {

namespace {
constexpr float kFineEtichettaAcqua = 36.3f; // tick boxes start at 36.5
} // namespace

// Expects solid fill; leaves line width 1 and fill colour white.
void StampaSerbatoi(PrinterSurface& s, ContestoStampa& c) {
    static const std::array<QString, 3> kAcque = {QStringLiteral("Potabili"), QStringLiteral("Grigie"),
                                                  QStringLiteral("Nere")};
    OperazioniSezione o(s);
    const float Y = c.InizioControlli;
    o.SetLineWidth(5);
    o.SetFillColour(kVerdeChiaro);
    o.DrawBox(28, Y, 195, Y + 5);
    o.DrawLine(28, Y + 14, 195, Y + 14);
    o.SetLineWidth(1);
    o.SetFillColour(kBianco);
    o.Testo(QStringLiteral("Carico e scarico serbatoi acque potabili, grigie e nere"), Y + 4.5f, 30, 195,
            true, 8, Centrato);
    o.DrawLine(28, Y + 20, 195, Y + 20);
    o.DrawLine(28, Y + 25, 195, Y + 25);
    o.DrawLine(28, Y + 30, 195, Y + 30);
    o.Testo(QStringLiteral("Acque"), Y + 12, 29, 60, true, 8, Sinistra);
    for (int16_t k = 1; k <= 3; ++k) {
        const float riga = Y + 5.0f * k;
        // The label stops 0.2 mm short of its tick box, so that a wide
        // typeface shrinks it instead of running into the box.
        o.Testo(kAcque[static_cast<std::size_t>(k - 1)], riga + 14.5f, 29, kFineEtichettaAcqua, false, 7,
                Sinistra);
        o.DrawBox(36.5f, riga + 11, 39.5f, riga + 14);
    }
    o.DrawLine(40, Y + 5, 40, Y + 30);
    o.DrawLine(44, Y + 10, 44, Y + 30);
    o.DrawLine(53, Y + 5, 53, Y + 30);
    o.Testo(QStringLiteral("Importo"), Y + 9.1f, 41.5f, 53, true, 6, Centrato);
    o.Testo(QStringLiteral("Div"), Y + 13.5f, 40.5f, 60, true, 6, Sinistra);
    o.Testo(QStringLiteral("Prezzo"), Y + 13.5f, 45.5f, 60, true, 6, Sinistra);
    o.DrawLine(40, Y + 10, 53, Y + 10);
    o.Testo(QStringLiteral("Località"), Y + 12, 53, 83, true, 8, Centrato);
    o.DrawLine(83, Y + 5, 83, Y + 30);
    o.Testo(QStringLiteral("Ubicazione"), Y + 12, 83, 125, true, 8, Centrato);
    o.DrawLine(130, Y + 5, 130, Y + 30);
    o.Testo(QStringLiteral("Gestore"), Y + 12, 130, 155, true, 8, Centrato);
    o.DrawLine(155, Y + 5, 155, Y + 30);
    o.Testo(QStringLiteral("Coordinate GPS"), Y + 9.1f, 155, 195, true, 8, Centrato);
    o.Testo(QStringLiteral("Latitudine"), Y + 13.5f, 155, 175, true, 6, Centrato);
    o.Testo(QStringLiteral("Longitudine"), Y + 13.5f, 175, 195, true, 6, Centrato);
    o.DrawLine(155, Y + 10, 195, Y + 10);
    o.DrawLine(175, Y + 10, 175, Y + 30);
    o.Concludi();
}

} // namespace vagolume
