// Fuzz target for the invocation line: the parser, the reading of its dates
// and the day-number arithmetic the window then applies to them. Built with
// libFuzzer (clang) in the fuzzing build; in the normal build the same entry
// point replays the saved corpus as a regression test.

#include "app/Invocazione.h"
#include "calendar/Calendario.h"
#include "print/Stampanti.h"
#include "run/Corsa.h"
#include "run/Sistema.h"

#include <QString>

#include <cstddef>
#include <cstdint>

using namespace vagolume;

namespace {
void Giorni(const QString& testo) {
    try {
        const double n = Data2Giul(testo);
        (void)Giu2Datas(n);
    } catch (const ErroreCalcolo&) {
        // A number beyond 16 bits: the step fails, as it should.
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The bytes as the program reads a line: UTF-8, or else a Western code page.
    const QString riga =
        DecodificaTesto(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const Invocazione inv = AnalizzaRigaComando(riga);
    for (const auto& d : {inv.Inizio, inv.Fine}) {
        if (!d) continue;
        // What the window puts into its date lists, then reads back.
        const QString testo = Zero(d->Giorno, 2) + Zero(d->Mese, 2) + Zero(d->Anno, 4);
        Giorni(testo);
        int16_t g = 0, m = 0, a = 0;
        Data2Gma(testo, g, m, a);
        if (g != d->Giorno || m != d->Mese || a != d->Anno) __builtin_trap();
    }
    Giorni(riga.left(12));
    // The PDF file name made from the destination stays inside its folder.
    const QString file = NomeFileSicuro(NomeDocumento(inv.Destinazione.value_or(riga)));
    if (file.isEmpty() || file.contains(u'/') || file.startsWith(u'.') || file.toUtf8().size() > 200)
        __builtin_trap();
    // ...whole characters only, none that turns the text around.
    for (qsizetype i = 0; i < file.size(); ++i) {
        const QChar c = file[i];
        if (c == QChar(0x202E) || c == QChar(0x2066) ||
            (c.isHighSurrogate() && (i + 1 == file.size() || !file[i + 1].isLowSurrogate())) ||
            (c.isLowSurrogate() && (i == 0 || !file[i - 1].isHighSurrogate())))
            __builtin_trap();
    }
    return 0;
}
