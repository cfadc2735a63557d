#pragma once
// The cover page and the sections of a logbook page, each a fixed sequence of
// drawing operations in painter's order. The pages (Pagine) draw them in the
// order listed here (the table of visited places and the fuel section are
// drawn in steps, interleaved as shown).
//
// Every section begins by setting the line width and fill style it draws
// with, and every text it prints sets its own font: a section draws the same
// whatever was drawn before it. Each returns what it had to leave out and
// why, empty when it drew all of itself; a section never throws for it.

#include "print/PrinterSurface.h"
#include "sheet/Contesto.h"

namespace vagolume {

// How far the ink of a rule drawn at this many printer dots reaches either
// side of its coordinate, millimetres.
inline float MezzoTratto(int16_t punti) {
    return static_cast<float>(punti * kMillimetresPerDot / 2);
}

// Paper left between a label and the rule or box beside it.
inline constexpr float kStaccoDalTratto = 0.3f;

// The line width and fill style a section draws its first rules and boxes
// with.
inline void ImpostaTratto(PrinterSurface& s, int16_t punti, FillStyle riempimento) {
    s.SetLineWidth(punti);
    s.SetFillStyle(riempimento);
}

// Cover page, after the page frame.
QString StampaCopertina(PrinterSurface& s, ContestoStampa& c);

// Logbook page, in drawing order.
QString StampaIntestazione(PrinterSurface& s, ContestoStampa& c);    // logos, title bar, upper band frame
QString StampaPernottamento(PrinterSurface& s, ContestoStampa& c);   // overnight stay and accommodation
QString StampaContachilometri(PrinterSurface& s, ContestoStampa& c); // odometer column
QString StampaGiornoGps(PrinterSurface& s, ContestoStampa& c);       // date cells, GPS box, day counter
QString StampaLocalitaVisitateTitolo(PrinterSurface& s, ContestoStampa& c); // heading, frame, notes bar
QString StampaControlliMezzo(PrinterSurface& s, ContestoStampa& c);         // vehicle checks
QString StampaSerbatoi(PrinterSurface& s, ContestoStampa& c);               // water tanks
QString StampaLocalitaVisitateRighe(PrinterSurface& s, ContestoStampa& c);  // ruled lines
QString StampaCarburanteSfondo(PrinterSurface& s, ContestoStampa& c);       // background of fuel and expenses
QString StampaLocalitaVisitateDivisori(PrinterSurface& s, ContestoStampa& c); // column dividers
QString StampaCarburante(PrinterSurface& s, ContestoStampa& c);    // fuel labels, rules and gas band
QString StampaCodificaSpese(PrinterSurface& s, ContestoStampa& c); // expenses, legend and footer

} // namespace vagolume
