#pragma once
// The drawing operations of a page section, run one by one. The print run
// already skips an operation the surface refuses; what a section adds here is
// a computation it cannot finish or a value it cannot use: the section goes
// on, and Concludi() throws the first such failure (with their number) when
// the section is done, so that the print run reports it. A failure of the
// document itself is never held here: it goes straight to the run.

#include "print/PrinterSurface.h"
#include "print/StampaTesto.h"

#include <exception>
#include <new>
#include <utility>

namespace vagolume {

class OperazioniSezione {
public:
    explicit OperazioniSezione(PrinterSurface& s) : s_(s) {}

    PrinterSurface& Superficie() { return s_; }

    // Runs one operation or computation; a failure is kept and the section
    // goes on.
    template <typename F> bool Esegui(F&& operazione) {
        try {
            std::forward<F>(operazione)();
            return true;
        } catch (const ErroreDocumento&) {
            throw;
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            if (saltate_++ == 0) primo_ = QString::fromUtf8(e.what());
        }
        return false;
    }

    void SetLineWidth(int16_t dots) {
        Esegui([&] { s_.SetLineWidth(dots); });
    }
    void SetFillColour(Rgb colore) {
        Esegui([&] { s_.SetFillColour(colore); });
    }
    void DrawBox(float x1, float y1, float x2, float y2) {
        Esegui([&] { s_.DrawBox(x1, y1, x2, y2); });
    }
    void DrawLine(float x1, float y1, float x2, float y2) {
        Esegui([&] { s_.DrawLine(x1, y1, x2, y2); });
    }
    void Testo(const QString& txt, float Y, float daOrizz, float aOrizz, bool Grassetto, float Size,
               int16_t Allineato) {
        Esegui([&] { StampaTesto(s_, txt, Y, daOrizz, aOrizz, Grassetto, false, Size, Allineato); });
    }

    // Records a failure found by the section itself (a value it cannot use).
    void Segnala(const QString& messaggio) {
        if (saltate_++ == 0) primo_ = messaggio;
    }

    // Ends the section: throws ErroreStampa when any operation was skipped.
    void Concludi() {
        if (saltate_ == 0) return;
        const QString testo =
            saltate_ == 1 ? primo_
                          : QStringLiteral("%1 operazioni saltate, la prima: %2").arg(saltate_).arg(primo_);
        saltate_ = 0;
        throw ErroreStampa(testo.toStdString());
    }

private:
    PrinterSurface& s_;
    int saltate_ = 0;
    QString primo_;
};

} // namespace vagolume
