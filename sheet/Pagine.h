#pragma once
// The pages of one run, each drawn from the run's values and its own number:
// page 0 is the cover, pages 1 to NumeroPagine are the logbook sheets (sheet N
// is day N of the trip, dated DataInizio + N - 1). Printing draws them in
// order on the printer's surface; the preview draws one at a time, in any
// order, on an image. A page comes out the same either way: every section
// sets the drawing state it uses, and takes nothing from the pages before.

#include "print/SuperficieSorvegliata.h"
#include "sheet/Contesto.h"

namespace vagolume {

class Pagine {
public:
    explicit Pagine(ContestoStampa valori);

    const ContestoStampa& Valori() const { return c_; }
    // Logbook sheets of the run (none when NumeroPagine is below 1).
    int Fogli() const { return fogli_; }
    // Pages in all, the cover included.
    int Totale() const { return fogli_ + 1; }

    // Set-up of the document at the start of a run: A4 portrait in
    // millimetres, the pages' typeface, transparent fill, line width 8.
    static void ImpostaPagina(PrinterSurface& s);
    // Set-up between the cover and the first sheet: the pages' typeface.
    static void ImpostaFogli(PrinterSurface& s);

    // Draws page N (0: the cover, with its frame), each section as one step
    // of the guarded surface: a section that fails, or leaves part of itself
    // out, is counted there and the page goes on. Returns false when there is
    // no page N (nothing is drawn then) or once the document itself failed.
    bool Disegna(SuperficieSorvegliata& s, int N);

    // Draws page N alone on a surface of its own (a preview image): the page
    // set-up, then the page, skipping what fails without a word.
    bool DisegnaSola(PrinterSurface& s, int N);

private:
    ContestoStampa c_;
    int fogli_ = 0;
};

} // namespace vagolume
