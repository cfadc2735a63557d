// Benchmarks of page composition: one sheet on the recording surface, and a
// whole 99-sheet run written to PDF in process.

#include "print/DocumentoStampa.h"
#include "print/StampaTesto.h"
#include "print/Stampanti.h"
#include "print/SuperficieSorvegliata.h"
#include "sheet/Pagine.h"
#include "support/CorsaFinta.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vagolume;

namespace {

void Foglio(benchmark::State& stato) {
    RecordingSurface s;
    ContestoStampa c;
    c.ImpostaColonne();
    c.ImpostaGeometria(287);
    c.DataInizio = QDate(2024, 3, 1);
    c.DataFine = QDate(2024, 3, 5);
    c.NumeroPagine = 5;
    c.TestoPeriodo = QStringLiteral("01/03 - 05/03/2024");
    c.Copyright = QStringLiteral("Vagolume 1.0.0 © by Vagolume developers 2026");
    c.TestoDestinazione = QStringLiteral("ROMA");
    Pagine pagine(c);
    SuperficieSorvegliata sorvegliata(s);
    Pagine::ImpostaPagina(sorvegliata);
    for (auto _ : stato) {
        s.ops.clear();
        pagine.Disegna(sorvegliata, 2);
        benchmark::DoNotOptimize(s.ops.size());
    }
    stato.counters["operazioni"] = static_cast<double>(s.ops.size());
}
BENCHMARK(Foglio)->Unit(benchmark::kMicrosecond);

// A run of one sheet (the cover and the sheet) written to PDF in process,
// with a destination of this many characters: words of six letters and a
// blank. A long destination is not placed on the cover (it needs more than
// 20 lines) and is shrunk in the sheet's title bar; it must cost about what
// a short one does.
void UnFoglio(benchmark::State& stato) {
    const auto caratteri = static_cast<int>(stato.range(0));
    QStringList parole;
    for (int n = 0; n < caratteri; n += 7)
        parole.append(QStringLiteral("VERONA"));
    const QString destinazione = caratteri <= 4 ? QStringLiteral("ROMA") : parole.join(u' ');
    for (auto _ : stato) {
        QTemporaryDir dir;
        CorsaFinta corsa(dir.path());
        corsa.richiesta.Destinazione = destinazione;
        corsa.richiesta.NomeDocumento = NomeDocumento(destinazione);
        corsa.richiesta.Fine = corsa.richiesta.Inizio;
        const EsitoCorsa esito = corsa.Esegui();
        if (esito.PdfSalvato.isEmpty()) stato.SkipWithError("no PDF written");
    }
    stato.counters["caratteri"] = static_cast<double>(destinazione.size());
}
BENCHMARK(UnFoglio)->Arg(4)->Arg(6000)->Arg(65000)->Unit(benchmark::kMillisecond)->Iterations(5);

void Pdf99Fogli(benchmark::State& stato) {
    for (auto _ : stato) {
        QTemporaryDir dir;
        CorsaFinta corsa(dir.path());
        corsa.InBianco(99);
        if (corsa.Esegui().Cosa != EsitoCorsa::Salvato) stato.SkipWithError("run failed");
        stato.counters["byte"] = static_cast<double>(QFileInfo(dir.filePath("ROMA_Vagolume.pdf")).size());
    }
}
BENCHMARK(Pdf99Fogli)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
