#pragma once
// The cover page and the sections of a logbook page, each a fixed sequence of
// drawing operations in painter's order. The print run calls them in the order
// listed here (the table of visited places and the fuel section are drawn in
// steps, interleaved as shown).

#include "sheet/Contesto.h"

namespace vagolume {

class PrinterSurface;

// How far the ink of a rule drawn at this many printer dots reaches either
// side of its coordinate, millimetres.
inline float MezzoTratto(int16_t punti) {
    return static_cast<float>(punti * kMillimetresPerDot / 2);
}

// Paper left between a label and the rule or box beside it.
inline constexpr float kStaccoDalTratto = 0.3f;

// Cover page, after the page frame drawn by the print run.
void StampaCopertina(PrinterSurface& s, ContestoStampa& c);

// Logbook page, in drawing order.
void StampaIntestazione(PrinterSurface& s, ContestoStampa& c);           // logos, title bar, upper band frame
void StampaPernottamento(PrinterSurface& s, ContestoStampa& c);          // overnight stay and accommodation
void StampaContachilometri(PrinterSurface& s, ContestoStampa& c);        // odometer column
void StampaGiornoGps(PrinterSurface& s, ContestoStampa& c);              // date cells, GPS box, day counter
void StampaLocalitaVisitateTitolo(PrinterSurface& s, ContestoStampa& c); // heading, frame, notes bar
void StampaControlliMezzo(PrinterSurface& s, ContestoStampa& c);         // vehicle checks
void StampaSerbatoi(PrinterSurface& s, ContestoStampa& c);               // water tanks
void StampaLocalitaVisitateRighe(PrinterSurface& s, ContestoStampa& c);  // ruled lines
void StampaCarburanteSfondo(PrinterSurface& s, ContestoStampa& c);       // background of fuel and expenses
void StampaLocalitaVisitateDivisori(PrinterSurface& s, ContestoStampa& c); // column dividers
void StampaCarburante(PrinterSurface& s, ContestoStampa& c);               // fuel labels, rules and gas band
void StampaCodificaSpese(PrinterSurface& s, ContestoStampa& c);            // expenses, legend and footer

} // namespace vagolume
