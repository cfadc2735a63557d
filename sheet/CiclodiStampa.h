#pragma once
// The pages of one print run in their order: the page set-up, the cover page,
// then one logbook page per day (or the blank pages), with a look between
// pages at whether the run is to stop. Ending, discarding and handing over
// the document belong to the run that calls it.

#include "sheet/Pagine.h"

#include <QList>

#include <functional>

namespace vagolume {

// What the cycle asks of its run between pages.
struct PassiCiclo {
    // Before the cover (fatti 0) and before every sheet N of totale.
    std::function<void(int fatti, int totale)> Avanzamento;
    // After every page: true stops the run (a cancel, a termination signal).
    std::function<bool()> Fermata;
};

enum class FineCiclo {
    Completo, // every page drawn: the document may be ended
    Fermato,  // Fermata said stop: the document is to be discarded
    Perso,    // the document itself failed (the surface's Fatale says why)
};

// scelte: the pages to draw (0: the cover, N: sheet N), ascending; empty:
// all. A sheet drawn without the page before it comes out as in the whole
// document. Avanzamento then counts the chosen pages only.
FineCiclo CiclodiStampa(Pagine& pagine, SuperficieSorvegliata& s, const PassiCiclo& passi,
                        const QList<int>& scelte = {});

} // namespace vagolume
