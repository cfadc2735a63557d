#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

namespace vagolume {

namespace {

struct Servizio {
    const char* riga1;
    const char* riga2; // nullptr: one line only
};

// The services a stop may offer, each with a tick box.
constexpr Servizio kServizi[] = {
    {"Camper", "Service"}, {"Punto", "Sosta"}, {"Elettricità", nullptr},
    {"Bagni", nullptr},    {"Docce", nullptr}, {"Pic-nic", nullptr},
};

// The kinds of place the night was spent in.
constexpr const char* kStrutture[] = {"Campeggio", "Arera Attrezz.", "Punto sosta", "Park libero",
                                      "Altro (spec.)"};

} // namespace

// Where the night was spent (X 10 to 100), its tariff (100 to 120) and the
// kind of place (120 to 140). Draws on the frames of the page header.
QString StampaPernottamento(PrinterSurface& s, ContestoStampa& c) {
    const auto& Colonna = c.Colonna;
    ImpostaTratto(s, 5, FillStyle::Solid);

    // Place, country and address.
    s.SetFillColour(kVerdeChiaro);
    s.DrawBox(10, 14, Colonna[1], 20);
    s.SetFillColour(kBianco);
    s.DrawBox(10, 20, Colonna[1], 28);
    s.DrawLine(Colonna[1] - 20, 20, Colonna[1] - 20, 28);
    s.DrawLine(10, 34, Colonna[1], 34);
    StampaTesto(s, QStringLiteral("Pernottamento"), 20, 10, Colonna[1], true, false, 12, Centrato);
    StampaTesto(s, QStringLiteral("Località:"), 23, 11, Colonna[1], true, false, 7, Sinistra);
    StampaTesto(s, QStringLiteral("Nazione:"), 23, Colonna[1] - 19, Colonna[1], true, false, 7, Sinistra);
    StampaTesto(s, QStringLiteral("Indirizzo:"), 31, 11, Colonna[1], true, false, 7, Sinistra);
    // The caption of the services row ends at the first service's divider.
    StampaTesto(s, QStringLiteral("Servizi"), 37.5f, 11, 20.5f, true, false, 8, Sinistra);
    StampaTesto(s, QStringLiteral("presenti"), 40.5f, 11, 20.5f, true, false, 8, Sinistra);

    // The services row: the position advances 13.2 mm per service, kept in
    // single precision.
    float x = 21.5f;
    for (int16_t k = 1; k <= 6; ++k) {
        const Servizio& servizio = kServizi[k - 1];
        s.DrawLine(x - 1, 34, x - 1, 41);
        s.DrawBox(static_cast<float>(x + 8.8), 36.5f, static_cast<float>(x + 11.3), 39);
        const float riga = 39.5f - 2 * (k < 3 ? 1 : 0);
        // Both lines of the label may use the room up to the ink of the tick
        // box's outline: a wide label ("Elettricità", "Service") is shrunk
        // rather than run under it or touch it, and the fitting leaves 0.3 mm
        // of paper before the box.
        const float finoAllaCasella = static_cast<float>(x + 8.8) - MezzoTratto(5);
        StampaTesto(s, QString::fromUtf8(servizio.riga1), riga, static_cast<float>(x - 0.5), finoAllaCasella,
                    false, false, 7.5f, Sinistra);
        if (k < 3)
            StampaTesto(s, QString::fromUtf8(servizio.riga2), 40.5f, x + 1, finoAllaCasella, false, false,
                        7.5f, Sinistra);
        x += 13.2f;
    }

    // Tariff, and the heading over tariff and kind of place.
    s.DrawBox(Colonna[1], 22, Colonna[2], 41);
    s.SetFillColour(kVerdeChiaro);
    s.DrawBox(Colonna[1], 14, Colonna[3], 19);
    StampaTesto(s, QStringLiteral("Struttura ricettiva"), 18.5f, Colonna[1] + 1, Colonna[3], true, false, 10,
                Centrato);
    s.SetFillColour(kArancioChiaro);
    s.DrawBox(Colonna[1], 19, Colonna[2], 25);
    s.SetFillColour(kBianco);
    StampaTesto(s, QStringLiteral("Tariffa:"), 24, Colonna[1] + 1, Colonna[2], true, false, 10, Centrato);
    s.DrawLine(Colonna[1], 34, Colonna[2], 34);
    s.DrawLine(Colonna[1] + 7, 25, Colonna[1] + 7, 34);
    StampaTesto(s, QStringLiteral("Div.:"), 28, Colonna[1] + 1, Colonna[2], false, false, 7, Sinistra);
    StampaTesto(s, QStringLiteral("Importo:"), 28, Colonna[1] + 8, Colonna[2], false, false, 7, Sinistra);
    // "Gratis" ends clear of its tick box, as the service labels do.
    StampaTesto(s, QStringLiteral("Gratis"), 39.5f, Colonna[1] + 4, Colonna[2] - 7 - MezzoTratto(5), true,
                false, 9, Sinistra);
    s.DrawBox(Colonna[2] - 7, 36, Colonna[2] - 4, 39);

    // Kind of place: five labels, each with its tick box standing on the line.
    for (int16_t k = 1; k <= 5; ++k) {
        const float y = static_cast<float>(k * 4.3 + 19);
        // Each label is fitted into the room left of its tick box.
        StampaTesto(s, QString::fromUtf8(kStrutture[k - 1]) + u':', y, Colonna[2] + 1, Colonna[3] - 5, true,
                    false, 7, Sinistra);
        s.DrawBox(Colonna[3] - 5, y - 3, Colonna[3] - 2, y);
    }
    return {};
}

} // namespace vagolume
