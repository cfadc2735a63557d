#include "sheet/Sezioni.h"

#include "print/StampaTesto.h"

#include <QStringList>

#include <exception>

namespace vagolume {

namespace {

// Three lines of the destination fit above the title "Vagolume"; a fourth
// would be printed over it.
constexpr int kRigheCopertina = 3;

// The destination in large letters, at 48 pt when it fits in three lines,
// otherwise at the first size, 0.4 pt smaller each time, at which it does.
// The lines then stand closer together, as they follow the size. A text that
// needs more lines than StampaLocalita can place even at 48 pt is not printed.
void StampaDestinazione(PrinterSurface& s, const QString& destinazione, float FondoPagina) {
    float f = 48;
    QStringList righe = RigheLocalita(s, destinazione, f);
    while (righe.size() > kRigheCopertina && f - kPassoRiduzione >= kDimensioneMinima) {
        f -= kPassoRiduzione;
        righe = RigheLocalita(s, destinazione, f);
    }
    StampaRigheLocalita(s, righe, f, FondoPagina);
}

} // namespace

// The cover page, drawn inside the frame the print run has already put on it,
// at the line width (8 dots) and transparent fill the run left.
void StampaCopertina(PrinterSurface& s, ContestoStampa& c) {
    s.DrawPicture(c.Logo1, 22, 20, 15, 15);
    s.DrawPicture(c.Logo2, 170, 19, 18, 18);

    // A destination that cannot be placed is left out, but the rest of the
    // cover is still drawn; the failure is passed on once the page is done.
    std::exception_ptr destinazioneMancata;
    if (c.DatiInseriti) {
        try {
            StampaDestinazione(s, c.TestoDestinazione.toUpper(), c.FondoPagina);
        } catch (const std::exception&) {
            destinazioneMancata = std::current_exception();
        }
        StampaTesto(s, c.TestoPeriodo, c.FondoPagina - 20, 16, 195, true, false, 24, Centrato);
    } else {
        // Two writing lines, each with its caption under it.
        s.DrawLine(35, c.FondoPagina / 2, 175, c.FondoPagina / 2);
        StampaTesto(s, QStringLiteral("Meta del viaggio"), c.FondoPagina / 2 + 3, 15, 195, false, true, 6,
                    Centrato);
        s.DrawLine(35, c.FondoPagina - 20, 175, c.FondoPagina - 20);
        StampaTesto(s, QStringLiteral("Periodo"), c.FondoPagina - 17, 15, 195, false, true, 6, Centrato);
    }

    StampaTesto(s, QStringLiteral("Vagolume"), c.FondoPagina - 55, 15, 195, true, false, 36, Centrato);
    StampaTesto(s, c.Copyright, c.FondoPagina - 5, 15, 195, false, true, 8, Centrato);

    if (destinazioneMancata) std::rethrow_exception(destinazioneMancata);
}

} // namespace vagolume
