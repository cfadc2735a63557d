// Tank service: where the water tanks were filled or emptied, to the right of
// the vehicle checks (x 28 to 195, InizioControlli to InizioSpese). A title
// band, the headings closed by a thick rule at +14, then three rows (6, 5 and
// 5 mm), one per kind of water, each with its tick box.

#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

#include <array>

namespace vagolume {

namespace {
constexpr float kFineEtichettaAcqua = 36.3f; // tick boxes start at 36.5
} // namespace

QString StampaSerbatoi(PrinterSurface& s, ContestoStampa& c) {
    static const std::array<QString, 3> kAcque = {QStringLiteral("Potabili"), QStringLiteral("Grigie"),
                                                  QStringLiteral("Nere")};
    const float Y = c.InizioControlli;
    ImpostaTratto(s, 5, FillStyle::Solid);
    s.SetFillColour(kVerdeChiaro);
    s.DrawBox(28, Y, 195, Y + 5);
    s.DrawLine(28, Y + 14, 195, Y + 14);
    s.SetLineWidth(1);
    s.SetFillColour(kBianco);
    StampaTesto(s, QStringLiteral("Carico e scarico serbatoi acque potabili, grigie e nere"), Y + 4.5f, 30,
                195, true, false, 8, Centrato);
    s.DrawLine(28, Y + 20, 195, Y + 20);
    s.DrawLine(28, Y + 25, 195, Y + 25);
    s.DrawLine(28, Y + 30, 195, Y + 30);
    StampaTesto(s, QStringLiteral("Acque"), Y + 12, 29, 60, true, false, 8, Sinistra);
    for (int16_t k = 1; k <= 3; ++k) {
        const float riga = Y + 5.0f * k;
        // The label stops 0.2 mm short of its tick box, so that a wide
        // typeface shrinks it instead of running into the box.
        StampaTesto(s, kAcque[static_cast<std::size_t>(k - 1)], riga + 14.5f, 29, kFineEtichettaAcqua, false,
                    false, 7, Sinistra);
        s.DrawBox(36.5f, riga + 11, 39.5f, riga + 14);
    }
    s.DrawLine(40, Y + 5, 40, Y + 30);
    s.DrawLine(44, Y + 10, 44, Y + 30);
    s.DrawLine(53, Y + 5, 53, Y + 30);
    StampaTesto(s, QStringLiteral("Importo"), Y + 9.1f, 41.5f, 53, true, false, 6, Centrato);
    StampaTesto(s, QStringLiteral("Div"), Y + 13.5f, 40.5f, 60, true, false, 6, Sinistra);
    StampaTesto(s, QStringLiteral("Prezzo"), Y + 13.5f, 45.5f, 60, true, false, 6, Sinistra);
    s.DrawLine(40, Y + 10, 53, Y + 10);
    StampaTesto(s, QStringLiteral("Località"), Y + 12, 53, 83, true, false, 8, Centrato);
    s.DrawLine(83, Y + 5, 83, Y + 30);
    StampaTesto(s, QStringLiteral("Ubicazione"), Y + 12, 83, 125, true, false, 8, Centrato);
    s.DrawLine(130, Y + 5, 130, Y + 30);
    StampaTesto(s, QStringLiteral("Gestore"), Y + 12, 130, 155, true, false, 8, Centrato);
    s.DrawLine(155, Y + 5, 155, Y + 30);
    StampaTesto(s, QStringLiteral("Coordinate GPS"), Y + 9.1f, 155, 195, true, false, 8, Centrato);
    StampaTesto(s, QStringLiteral("Latitudine"), Y + 13.5f, 155, 175, true, false, 6, Centrato);
    StampaTesto(s, QStringLiteral("Longitudine"), Y + 13.5f, 175, 195, true, false, 6, Centrato);
    s.DrawLine(155, Y + 10, 195, Y + 10);
    s.DrawLine(175, Y + 10, 175, Y + 30);
    return {};
}

} // namespace vagolume
