// Expense coding: two groups of four columns (x 70 to 195) in the fuel and
// expense block, the row rules across the whole block, the legend of the
// expense codes in the bottom row and, after it, the page footer with the
// credit line.

#include "sheet/CodificaSpese.h"

#include "print/StampaTesto.h"
#include "sheet/Sezioni.h"

#include <algorithm>
#include <cmath>

namespace vagolume {

namespace {

const QString kLegenda =
    QStringLiteral("Div=Divisa, AA=Autostrada, AS=Altre strade, TR=Traghetti, TU=Tunnel, "
                   "PT=Ponti, P=Parcheggi, M=Musei, C=Luoghi culto, E=Escursioni, V=Varie,");

void Intestazioni(PrinterSurface& s, const ContestoStampa& c) {
    const float F = c.InizioSpese;
    const float fondo = c.FondoPagina - c.PassoRiga;
    const float testate = F + 9;
    StampaTesto(s, QStringLiteral("Codifica delle spese"), F + 4, 70, 195, true, false, 8, Centrato);
    for (int16_t g = 0; g <= 1; ++g) {
        const float X0 = g * 62.5f + 70;
        s.SetLineWidth(5);
        s.DrawLine(X0, F + 5, X0, fondo);
        s.SetLineWidth(1);
        StampaTesto(s, QStringLiteral("Cod."), testate, X0 + 1, X0 + 6, false, false, 6, Sinistra);
        s.DrawLine(X0 + 6, F + 5, X0 + 6, fondo);
        StampaTesto(s, QStringLiteral("Div."), testate, X0 + 7, X0 + 12, false, false, 6, Sinistra);
        s.DrawLine(X0 + 12, F + 5, X0 + 12, fondo);
        StampaTesto(s, QStringLiteral("Importo"), testate, X0 + 13, X0 + 25, false, false, 6, Centrato);
        s.DrawLine(X0 + 25, F + 5, X0 + 25, fondo);
        StampaTesto(s, QStringLiteral("Località/Descrizione/Da-A/Tempo/ecc."), testate, X0 + 26, X0 + 62.5f,
                    false, false, 6, Centrato);
    }
}

// The rules between the rows, on whole millimetres (halves to the even one):
// from InizioSpese + PassoRiga down to FondoPagina - PassoRiga. Returns why
// they were left out, empty when they were drawn.
QString RigheSpese(PrinterSurface& s, const ContestoStampa& c) {
    const double primo = std::nearbyint(c.InizioSpese + c.PassoRiga);
    const double ultimo = std::nearbyint(c.FondoPagina - c.PassoRiga);
    const double passo = std::nearbyint(c.PassoRiga);
    // Whole millimetres on any real sheet; anything else is no page at all.
    for (double v : {primo, ultimo, passo})
        if (!std::isfinite(v) || std::fabs(v) > 32767)
            return QStringLiteral("righe delle spese fuori dal foglio: righe non tracciate");
    if (passo == 0) return QStringLiteral("passo delle righe delle spese nullo: righe non tracciate");
    const int da = static_cast<int>(primo), a = static_cast<int>(ultimo), p = static_cast<int>(passo);
    for (int r = da; p > 0 ? r <= a : r >= a; r += p)
        s.DrawLine(10, static_cast<float>(r), 195, static_cast<float>(r));
    return {};
}

// The legend shrinks by 0.33 pt from 8 pt until the whole text is at most
// 160 mm wide; it never goes below kDimensioneMinimaLegenda, nor on once the
// surface stops applying smaller sizes.
void AdattaLegenda(PrinterSurface& s, ContestoStampa& c) {
    c.SizeLegenda = 8;
    s.SetFontSize(static_cast<float>(c.SizeLegenda));
    float w = s.MeasureTextWidth(kLegenda);
    while (w > kLarghezzaLegenda) {
        const double prossima = c.SizeLegenda - kPassoLegenda;
        if (prossima < kDimensioneMinimaLegenda) break;
        const float prima = s.FontSize();
        c.SizeLegenda = prossima;
        s.SetFontSize(static_cast<float>(c.SizeLegenda));
        if (!(s.FontSize() < prima)) break;
        w = s.MeasureTextWidth(kLegenda);
    }
}

// Prints the entries left to right from x 10, each followed by a rule across
// the legend row; XLegenda ends on the last rule.
void StampaLegenda(PrinterSurface& s, ContestoStampa& c) {
    const float B = c.FondoPagina;
    const float cima = B - c.PassoRiga;
    const float dimensione = static_cast<float>(c.SizeLegenda);
    c.XLegenda = 10;
    QString resto = kLegenda;
    while (!resto.isEmpty()) {
        const qsizetype virgola = resto.indexOf(u',');
        const QString voce = (virgola < 0 ? resto : resto.left(virgola)).trimmed();
        resto = virgola < 0 ? QString() : resto.mid(virgola + 1).trimmed();
        s.SetFontSize(dimensione);
        const float w = s.MeasureTextWidth(voce);
        StampaTesto(s, voce, B - 0.5f, c.XLegenda + 1, 195, false, false, dimensione, Sinistra);
        c.XLegenda = c.XLegenda + w + 1.5f;
        s.DrawLine(c.XLegenda, cima, c.XLegenda, B);
    }
}

// The credit line in two small lines after the legend: the text before
// " © by" and the text from "©" on. Without "by" the whole line goes on the
// first line. StampaTesto centres 1 mm left of the middle, so a line that
// fills its range would start up to 0.85 mm before it: the range begins
// 1.5 mm after the legend's last rule, and the text never crosses that rule.
void StampaPiePagina(PrinterSurface& s, const ContestoStampa& c) {
    const float B = c.FondoPagina;
    const float X0 = c.XLegenda + kMargineNotaPiede;
    const auto righe = RigheCopyright(c.Copyright);
    StampaTesto(s, righe.first, B - 2.5f, X0, 195, false, false, 5, Centrato);
    StampaTesto(s, righe.second, B - 0.3f, X0, 195, false, false, 5, Centrato);
}

} // namespace

std::pair<QString, QString> RigheCopyright(const QString& Copyright) {
    const qsizetype P = Copyright.indexOf(QStringLiteral("by")) + 1; // counted from 1; 0 when missing
    if (P == 0) return {Copyright.trimmed(), QString()};
    const qsizetype taglio = std::max<qsizetype>(P - 4, 0);
    return {Copyright.left(taglio).trimmed(), Copyright.mid(taglio).trimmed()};
}

// Rules and texts only, no box: the line width is set before each rule.
QString StampaCodificaSpese(PrinterSurface& s, ContestoStampa& c) {
    Intestazioni(s, c);
    const QString righe = RigheSpese(s, c);
    AdattaLegenda(s, c);
    StampaLegenda(s, c);
    StampaPiePagina(s, c);
    return righe;
}

} // namespace vagolume
