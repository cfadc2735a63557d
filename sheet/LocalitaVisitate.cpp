// Visited places and daily notes: the ruled table under the top band, the
// frame of the whole lower part of the sheet, the rule above the fuel and
// expense block and the title bar of the lower band. The print run draws it
// in three steps (heading and frame; ruled lines; column dividers).

#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

#include <cmath>

namespace vagolume {

namespace {
constexpr float kCimaTabella = 49.5f; // top of the frame, under the heading band
} // namespace

QString StampaLocalitaVisitateTitolo(PrinterSurface& s, ContestoStampa& c) {
    const float Y = c.InizioControlli;
    const float destra = c.Colonna[6]; // the right edge of the frame
    ImpostaTratto(s, 5, FillStyle::Solid);
    s.SetFillColour(kArancioChiaro);
    s.DrawBox(10, 42, destra, 49);
    s.SetFillColour(kBianco);
    s.DrawLine(60, 42, 60, 49);
    s.DrawLine(175, 42, 175, 49);
    StampaTesto(s, QStringLiteral("Località visitate"), 48.5f, 10, 60, true, false, 12, Centrato);
    StampaTesto(s, QStringLiteral("Descrizione"), 48.5f, 60, 175, true, false, 12, Centrato);
    StampaTesto(s, QStringLiteral("Foto"), 48.5f, 180, 190, true, false, 12, Centrato);
    s.SetLineWidth(5);
    s.DrawBox(10, kCimaTabella, destra, c.FondoPagina);
    s.DrawLine(10, Y + 30, destra, Y + 30);
    s.SetFillColour(kArancioChiaro);
    s.DrawBox(10, Y - 5, destra, Y);
    StampaTesto(s, QStringLiteral("Altre informazioni e spese della giornata"), Y - 0.5f, 10, destra, true,
                false, 10, Centrato);
    return {};
}

// The writing lines, every Interlinea mm from 56.5 down: a new line is drawn
// while the previous one lies above InizioControlli - 2 Interlinea. Each line
// is broken 2 mm short of the column dividers and of the frame.
QString StampaLocalitaVisitateRighe(PrinterSurface& s, ContestoStampa& c) {
    s.SetLineWidth(1);
    const float passo = c.Interlinea;
    if (!(passo > 0.0f) || !std::isfinite(passo))
        return QStringLiteral("interlinea non valida: nessuna riga nella tabella delle località");
    const float limite = static_cast<float>(static_cast<double>(c.InizioControlli) - 2.0 * passo);
    float L = 51;
    while (limite > L) {
        const float prossima = L + passo;
        if (!(prossima > L)) break; // the step no longer moves the line (absurd page height)
        L = prossima;
        s.DrawLine(12, L, 58, L);
        s.DrawLine(62, L, 173, L);
        s.DrawLine(177, L, 193, L);
    }
    return {};
}

QString StampaLocalitaVisitateDivisori(PrinterSurface& s, ContestoStampa& c) {
    s.SetLineWidth(1);
    s.DrawLine(60, kCimaTabella, 60, c.InizioControlli - 5);
    s.DrawLine(175, kCimaTabella, 175, c.InizioControlli - 5);
    return {};
}

} // namespace vagolume
