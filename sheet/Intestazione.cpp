#include "sheet/Sezioni.h"

#include "calendar/Calendario.h"
#include "print/StampaTesto.h"

namespace vagolume {

namespace {

// The page's date and weekday: sheet N is day N of the trip. Worked out
// before anything is drawn, so that a failing drawing step never leaves the
// previous page's date behind.
void ImpostaValoriPagina(ContestoStampa& c) {
    c.Interlinea = 5.5f;
    c.DataPagina = c.DataInizio.addDays(c.PaginaCorrente - 1);
    c.IndiceSettimana = IndiceSettimana(c.DataPagina);
}

} // namespace

// Logos, title bar and the frame of the upper band of a logbook page.
QString StampaIntestazione(PrinterSurface& s, ContestoStampa& c) {
    ImpostaValoriPagina(c);

    s.DrawPicture(c.Logo1, 10, 6, 7, 7);
    s.DrawPicture(c.Logo2, 18, 5, 8, 8);

    s.SetLineWidth(5);
    s.SetFillStyle(FillStyle::Solid);
    s.SetFillColour(kBianco);

    const auto& Colonna = c.Colonna;
    s.DrawBox(10, 14, Colonna[6], 41); // the whole upper band
    s.DrawBox(10, 14, Colonna[1], 41); // its overnight stay part
    s.SetFillColour(kCianoChiaro);
    s.DrawBox(28, 5, Colonna[6], 13); // title bar: trip name | title | period
    s.DrawLine(Colonna[2], 5, Colonna[2], 13);
    s.DrawLine(Colonna[4] - 9, 5, Colonna[4] - 9, 13);

    StampaTesto(s, QStringLiteral("Vagolume"), 12.5f, Colonna[2], Colonna[4] - 10, true, true, 16, Centrato);
    StampaTesto(s, QStringLiteral("Periodo:"), 8, Colonna[4] - 8, Colonna[6], false, false, 7, Sinistra);
    StampaTesto(s, QStringLiteral("Nome del viaggio:"), 8, 29, 75, false, false, 7, Sinistra);
    return {};
}

} // namespace vagolume
