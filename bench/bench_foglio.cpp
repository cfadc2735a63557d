// Benchmarks of page composition: one sheet on the recording surface, and a
// whole 99-sheet run written to PDF in process.

#include "print/DocumentoStampa.h"
#include "print/StampaTesto.h"
#include "print/Stampanti.h"
#include "sheet/Sezioni.h"
#include "support/CorsaFinta.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vagolume;

namespace {

void Foglio(benchmark::State& stato) {
    RecordingSurface s;
    SettaFontNamePrinter(s);
    ContestoStampa c;
    c.ImpostaColonne();
    c.ImpostaGeometria(287);
    c.AltezzaFascia = c.FondoPagina - c.InizioControlli;
    c.PassoRiga = 5;
    c.DataInizio = 738946;
    c.NumeroPagine = 5;
    c.TestoPeriodo = QStringLiteral("01/03 - 05/03/2024");
    c.Copyright = QStringLiteral("Vagolume 1.0.0 © by Vagolume developers 2026");
    c.TestoDestinazione = QStringLiteral("ROMA");
    for (auto _ : stato) {
        s.ops.clear();
        c.PaginaCorrente = 2;
        c.GiornoViaggio = 1;
        StampaIntestazione(s, c);
        StampaPernottamento(s, c);
        StampaContachilometri(s, c);
        StampaGiornoGps(s, c);
        StampaLocalitaVisitateTitolo(s, c);
        StampaControlliMezzo(s, c);
        StampaSerbatoi(s, c);
        StampaLocalitaVisitateRighe(s, c);
        StampaCarburanteSfondo(s, c);
        StampaLocalitaVisitateDivisori(s, c);
        StampaCarburante(s, c);
        StampaCodificaSpese(s, c);
        benchmark::DoNotOptimize(s.ops.size());
    }
    stato.counters["operazioni"] = static_cast<double>(s.ops.size());
}
BENCHMARK(Foglio)->Unit(benchmark::kMicrosecond);

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
