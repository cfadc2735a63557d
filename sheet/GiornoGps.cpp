#include "sheet/Sezioni.h"

#include "calendar/Calendario.h"
#include "print/StampaTesto.h"

#include <limits>

namespace vagolume {

// The right end of the upper band (X 165 to 195): the date cells, the GPS box
// and the trip day counter. On a filled sheet it also writes the destination
// and the period into the title bar.
QString StampaGiornoGps(PrinterSurface& s, ContestoStampa& c) {
    const auto& Colonna = c.Colonna;
    ImpostaTratto(s, 5, FillStyle::Solid);

    // The day of the trip is the sheet's page number, so that a sheet drawn
    // on its own (the preview) carries the same number as in the whole run.
    // A page number beyond the counter's range is not wrapped round: the
    // sheet then gets no number (see below).
    const bool contatorePieno =
        !(c.PaginaCorrente >= 0 && c.PaginaCorrente <= std::numeric_limits<int16_t>::max());
    c.GiornoViaggio = contatorePieno ? int16_t(0) : static_cast<int16_t>(c.PaginaCorrente);

    s.SetFillColour(kVerdeChiaro);
    s.DrawBox(Colonna[4], 14, Colonna[6], 23);
    s.DrawBox(Colonna[6] - 10, 23, Colonna[6] - 10, 41); // the line between GPS box and day counter
    s.DrawBox(Colonna[6] - 10, 23, Colonna[6], 28);
    s.DrawLine(Colonna[4] + 10, 14, Colonna[4] + 10, 23);
    s.DrawLine(Colonna[4] + 20, 14, Colonna[4] + 20, 23);
    s.SetFillColour(kGiallo);
    s.DrawBox(Colonna[4], 23, Colonna[5], 28);
    s.DrawLine(Colonna[4], 34.5f, Colonna[5], 34.5f);
    s.SetFillColour(kBianco);
    StampaTesto(s, QStringLiteral("Coordinate GPS"), 27.3f, Colonna[4] + 1, Colonna[5], true, false, 11,
                Centrato);
    StampaTesto(s, QStringLiteral("Giorno"), 27.3f, Colonna[5] + 1, Colonna[6], false, false, 10, Sinistra);
    StampaTesto(s, QStringLiteral("Latitudine:"), 30.8f, Colonna[4] + 1, Colonna[5], false, false, 6,
                Sinistra);
    StampaTesto(s, QStringLiteral("Longitudine:"), 37.3f, Colonna[4] + 1, Colonna[5], false, false, 6,
                Sinistra);
    StampaTesto(s, QStringLiteral("di:"), 40, Colonna[5] + 1, Colonna[6], true, false, 8, Sinistra);
    // Where "di:" ends, measured in the font it was just printed in: the total
    // below must not start before it.
    const float fineDi = Colonna[5] + 1 + s.MeasureTextWidth(QStringLiteral("di:"));

    // The trip's name and period in the title bar.
    if (c.DatiInseriti) {
        const QString& localita = c.TestoDestinazione;
        // Its line reaches 0.7 mm below the bar: a long destination, shrunk to
        // fit, shrinks towards the middle of the field and stays inside it.
        StampaTestoNelCampo(s, localita.toUpper(), 13.7f, 30, Colonna[2], true, false, 16, Centrato);
        StampaTesto(s, c.TestoPeriodo, 12.5f, Colonna[4], Colonna[6], true, true, 12, Centrato);
    }

    if (c.DatiInseriti) {
        StampaTesto(s, NomeGiorno(c.DataPagina), 22.7f, Colonna[4] + 2, Colonna[4] + 10, true, false, 20,
                    Centrato);
        StampaTesto(s, TestoGiorno(c.DataPagina), 22.7f, Colonna[4] + 12, Colonna[5], true, false, 20,
                    Centrato);
        StampaTesto(s, NomeMese(c.DataPagina), 22.7f, Colonna[5] + 2, Colonna[6], true, false, 20, Centrato);
    } else {
        // What the writer is to fill in.
        StampaTesto(s, QStringLiteral("Giorno"), 17, Colonna[4] + 1, Colonna[4] + 10, false, false, 6,
                    Centrato);
        StampaTesto(s, QStringLiteral("settimana"), 19, Colonna[4] + 1, Colonna[4] + 10, false, false, 6,
                    Centrato);
        StampaTesto(s, QStringLiteral("Giorno"), 17, Colonna[4] + 11, Colonna[5], false, false, 6, Centrato);
        StampaTesto(s, QStringLiteral("mese"), 19, Colonna[4] + 11, Colonna[5], false, false, 6, Centrato);
        StampaTesto(s, QStringLiteral("Mese"), 18, Colonna[5], Colonna[6], false, false, 6, Centrato);
    }

    if (contatorePieno) return QStringLiteral("troppi giorni di viaggio per il contatore");
    // The counter's two numbers shrink rather than leave their cell (up to
    // the 3660 sheets of the longest run). A centred text, placed 1 mm left of
    // the middle of its range, starts no further left than 0.85 mm before the
    // range: narrowing the range equally at both ends keeps the number where
    // it is (three digits still print at 13 pt) and 0.3 mm clear of the ink
    // of the divider at X 185.
    const float margine = MezzoTratto(5) + kStaccoDalTratto + 0.85f;
    StampaTesto(s, QString::number(c.GiornoViaggio), 34.5f, Colonna[5] + margine, Colonna[6] - margine, true,
                false, 13, Centrato);
    // A right-aligned text starts no further left than 2.7 mm before its
    // range, so the total never starts before "di:" ends; two digits still
    // print at 13 pt.
    StampaTesto(s, QString::number(c.NumeroPagine), 40, fineDi + 2.7f, Colonna[6] + 2, true, false, 13,
                Destra);
    if (c.DatiInseriti && !c.DataPagina.isValid()) return QStringLiteral("giorno della pagina non valido");
    return {};
}

} // namespace vagolume
