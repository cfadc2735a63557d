// Expense coding: two groups of four columns (x 70 to 195) in the fuel and
// expense block, the row rules across the whole block, the legend of the
// expense codes in the bottom row and, after it, the page footer with the
// credit line.

#include "sheet/CodificaSpese.h"

#include "calendar/Calendario.h"
#include "sheet/OperazioniSezione.h"
#include "sheet/Sezioni.h"

#include <algorithm>
#include <cmath>

namespace vagolume {

namespace {

const QString kLegenda =
    QStringLiteral("Div=Divisa, AA=Autostrada, AS=Altre strade, TR=Traghetti, TU=Tunnel, "
                   "PT=Ponti, P=Parcheggi, M=Musei, C=Luoghi culto, E=Escursioni, V=Varie,");

void Intestazioni(OperazioniSezione& o, const ContestoStampa& c) {
    const float F = c.InizioSpese;
    const float fondo = c.FondoPagina - c.PassoRiga;
    const float testate = F + 9;
    o.Testo(QStringLiteral("Codifica delle spese"), F + 4, 70, 195, true, 8, Centrato);
    for (int16_t g = 0; g <= 1; ++g) {
        const float X0 = g * 62.5f + 70;
        o.SetLineWidth(5);
        o.DrawLine(X0, F + 5, X0, fondo);
        o.SetLineWidth(1);
        o.Testo(QStringLiteral("Cod."), testate, X0 + 1, X0 + 6, false, 6, Sinistra);
        o.DrawLine(X0 + 6, F + 5, X0 + 6, fondo);
        o.Testo(QStringLiteral("Div."), testate, X0 + 7, X0 + 12, false, 6, Sinistra);
        o.DrawLine(X0 + 12, F + 5, X0 + 12, fondo);
        o.Testo(QStringLiteral("Importo"), testate, X0 + 13, X0 + 25, false, 6, Centrato);
        o.DrawLine(X0 + 25, F + 5, X0 + 25, fondo);
        o.Testo(QStringLiteral("Località/Descrizione/Da-A/Tempo/ecc."), testate, X0 + 26, X0 + 62.5f, false,
                6, Centrato);
    }
}

// The rules between the rows, on whole millimetres (halves to the even one):
// from InizioSpese + PassoRiga down to FondoPagina - PassoRiga.
void RigheSpese(OperazioniSezione& o, const ContestoStampa& c) {
    int16_t primo = 0, ultimo = 0, passo = 0;
    const bool ok = o.Esegui([&] {
        primo = A16Bit(std::nearbyint(c.InizioSpese + c.PassoRiga));
        ultimo = A16Bit(std::nearbyint(c.FondoPagina - c.PassoRiga));
        passo = A16Bit(std::nearbyint(c.PassoRiga));
    });
    if (!ok) return;
    if (passo == 0) {
        o.Segnala(QStringLiteral("passo delle righe delle spese nullo: righe non tracciate"));
        return;
    }
    // The counter runs in a wider type so that the last step cannot overflow.
    for (int r = primo; passo > 0 ? r <= ultimo : r >= ultimo; r += passo)
        o.DrawLine(10, static_cast<float>(r), 195, static_cast<float>(r));
}

// The legend shrinks by 0.33 pt from 8 pt until the whole text is at most
// 160 mm wide; it never goes below kDimensioneMinimaLegenda, nor on once the
// surface stops applying smaller sizes.
void AdattaLegenda(OperazioniSezione& o, ContestoStampa& c) {
    PrinterSurface& s = o.Superficie();
    c.SizeLegenda = 8;
    o.Esegui([&] {
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
    });
}

// Prints the entries left to right from x 10, each followed by a rule across
// the legend row; XLegenda ends on the last rule.
void StampaLegenda(OperazioniSezione& o, ContestoStampa& c) {
    PrinterSurface& s = o.Superficie();
    const float B = c.FondoPagina;
    const float cima = B - c.PassoRiga;
    const float dimensione = static_cast<float>(c.SizeLegenda);
    c.XLegenda = 10;
    QString resto = kLegenda;
    while (!resto.isEmpty()) {
        const qsizetype virgola = resto.indexOf(u',');
        const QString voce = (virgola < 0 ? resto : resto.left(virgola)).trimmed();
        resto = virgola < 0 ? QString() : resto.mid(virgola + 1).trimmed();
        float w = 0;
        // Without its width the entries that follow cannot be placed.
        if (!o.Esegui([&] {
                s.SetFontSize(dimensione);
                w = s.MeasureTextWidth(voce);
            }))
            break;
        o.Testo(voce, B - 0.5f, c.XLegenda + 1, 195, false, dimensione, Sinistra);
        c.XLegenda = c.XLegenda + w + 1.5f;
        o.DrawLine(c.XLegenda, cima, c.XLegenda, B);
    }
}

// The credit line in two small lines after the legend: the text before
// " © by" and the text from "©" on. Without "by" the whole line goes on the
// first line. StampaTesto centres 1 mm left of the middle, so a line that
// fills its range would start up to 0.85 mm before it: the range begins
// 1.5 mm after the legend's last rule, and the text never crosses that rule.
void StampaPiePagina(OperazioniSezione& o, const ContestoStampa& c) {
    const float B = c.FondoPagina;
    const float X0 = c.XLegenda + kMargineNotaPiede;
    const auto righe = RigheCopyright(c.Copyright);
    o.Testo(righe.first, B - 2.5f, X0, 195, false, 5, Centrato);
    o.Testo(righe.second, B - 0.3f, X0, 195, false, 5, Centrato);
}

} // namespace

std::pair<QString, QString> RigheCopyright(const QString& Copyright) {
    const qsizetype P = Copyright.indexOf(QStringLiteral("by")) + 1; // counted from 1; 0 when missing
    if (P == 0) return {Copyright.trimmed(), QString()};
    const qsizetype taglio = std::max<qsizetype>(P - 4, 0);
    return {Copyright.left(taglio).trimmed(), Copyright.mid(taglio).trimmed()};
}

// Expects solid fill and draws no box. Leaves line width 1.
void StampaCodificaSpese(PrinterSurface& s, ContestoStampa& c) {
    OperazioniSezione o(s);
    Intestazioni(o, c);
    RigheSpese(o, c);
    AdattaLegenda(o, c);
    StampaLegenda(o, c);
    StampaPiePagina(o, c);
    o.Concludi();
}

} // namespace vagolume
