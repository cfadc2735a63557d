#pragma once
// The pages of one run, each drawn from the run's values and its own number:
// page 0 is the cover, pages 1 to NumeroPagine are the logbook sheets (sheet N
// is day N of the trip, dated DataInizio + N - 1). Printing draws them in
// order on the printer's surface; the preview draws one at a time, in any
// order, on an image. A page comes out the same either way: nothing a page
// shows depends on the pages drawn before it.

#include "sheet/Contesto.h"

#include <functional>

namespace vagolume {

// Runs one drawing step of a page. A step that fails is skipped: the runner
// deals with the failure and returns whether drawing may go on (false once
// the document itself cannot go on).
using EseguiPasso = std::function<bool(const char* nome, const std::function<void()>& disegno)>;

// A runner that skips failing steps without a word and always goes on: for
// drawing that only looks (the preview, the tests).
bool PassoMuto(const char* nome, const std::function<void()>& disegno);

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

    // Draws page N (0: the cover, with its frame) on a surface that is in the
    // state the page before left it in, as in a run. Returns false when a
    // step said to stop, or when there is no page N (nothing is drawn then).
    bool Disegna(PrinterSurface& s, int N, const EseguiPasso& passo);

    // Draws page N alone on a fresh surface (a preview image): the surface is
    // first put into the drawing state page N begins with in a whole run.
    bool DisegnaSola(PrinterSurface& s, int N, const EseguiPasso& passo);
    // The first half of DisegnaSola: sets the surface's state only.
    void PreparaSola(PrinterSurface& s, int N);
    // The drawing state sheet N (1 or more) begins with in a whole run, on a
    // surface that is already set up for the sheets.
    void PreparaStato(PrinterSurface& s, int N);

private:
    ContestoStampa c_;
    int fogli_ = 0;
};

} // namespace vagolume
