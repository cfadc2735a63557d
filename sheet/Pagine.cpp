#include "sheet/Pagine.h"

#include "calendar/Calendario.h"
#include "print/StampaTesto.h"
#include "print/SurfaceBase.h"
#include "sheet/Sezioni.h"

#include <cmath>
#include <utility>

namespace vagolume {

namespace {

using Sezione = void (*)(PrinterSurface&, ContestoStampa&);

// The sections of a logbook sheet in drawing order: later filled boxes cover
// what was drawn before them.
const std::pair<const char*, Sezione> kSezioni[] = {
    {"intestazione", StampaIntestazione},
    {"pernottamento", StampaPernottamento},
    {"contachilometri", StampaContachilometri},
    {"giorno e GPS", StampaGiornoGps},
    {"località visitate", StampaLocalitaVisitateTitolo},
    {"controlli del mezzo", StampaControlliMezzo},
    {"serbatoi", StampaSerbatoi},
    {"righe delle località", StampaLocalitaVisitateRighe},
    {"sfondo del carburante", StampaCarburanteSfondo},
    {"divisori delle località", StampaLocalitaVisitateDivisori},
    {"carburante", StampaCarburante},
    {"codifica delle spese", StampaCodificaSpese},
};

// A surface that keeps the drawing state and draws nothing: it tells what
// state a page leaves behind. Text is measured as on the printed page.
class SuperficieMuta : public SurfaceBase {
public:
    explicit SuperficieMuta(float altezza) : altezza_(altezza) {}
    float PrintableHeight() override { return altezza_; }
    void PrintText(const QString&) override {}
    void DrawLine(float, float, float, float) override {}
    void DrawBox(float, float, float, float) override {}
    void DrawPicture(const Picture&, float, float, float, float) override {}
    void NewPage() override {}
    void EndDocument() override {}
    void AbortDocument() override {}
    bool Grassetto() { return Fonts().Font().bold(); }
    bool Corsivo() { return Fonts().Font().italic(); }

private:
    float altezza_;
};

} // namespace

bool PassoMuto(const char*, const std::function<void()>& disegno) {
    try {
        disegno();
    } catch (const std::exception&) {
    }
    return true;
}

Pagine::Pagine(ContestoStampa valori) : c_(std::move(valori)) {
    // Whole sheets only; NumeroPagine is a whole number of at most kMaxPagine.
    fogli_ = c_.NumeroPagine >= 1 ? static_cast<int>(std::floor(c_.NumeroPagine)) : 0;
}

void Pagine::ImpostaPagina(PrinterSurface& s) {
    s.SetPaperSize(PaperSize::A4);
    s.SetOrientation(Orientation::Portrait);
    s.SetScaleMillimetres();
    SettaFontNamePrinter(s);
    s.SetFillStyle(FillStyle::Transparent);
    s.SetLineWidth(8);
}

void Pagine::ImpostaFogli(PrinterSurface& s) {
    SettaFontNamePrinter(s);
}

bool Pagine::Disegna(PrinterSurface& s, int N, const EseguiPasso& passo) {
    if (N < 0 || N > fogli_) return false;
    c_.PaginaCorrente = static_cast<float>(N);
    if (N == 0) {
        // The frame is the run's first drawing: it begins the document.
        return passo("cornice della copertina", [&] { s.DrawBox(15, 15, 195, c_.FondoPagina); }) &&
               passo("copertina", [&] { StampaCopertina(s, c_); });
    }
    for (const auto& [nome, sezione] : kSezioni)
        if (!passo(nome, [&, sezione = sezione] { sezione(s, c_); })) return false;
    return true;
}

void Pagine::PreparaSola(PrinterSurface& s, int N) {
    ImpostaPagina(s);
    if (N > 0) PreparaStato(s, N);
}

void Pagine::PreparaStato(PrinterSurface& s, int N) {
    if (N <= 0) return;
    // In a run a sheet begins in the state the page before it left: follow
    // the run up to there on a surface that only keeps the state. Every sheet
    // sets up what it draws with, so the page before is all it takes.
    SuperficieMuta muta(s.PrintableHeight());
    ImpostaPagina(muta);
    Disegna(muta, 0, PassoMuto);
    ImpostaFogli(muta);
    if (N >= 2) Disegna(muta, N - 1, PassoMuto);
    ImpostaFogli(s);
    s.SetLineWidth(muta.LineWidth());
    s.SetFillStyle(muta.CurrentFillStyle());
    s.SetFillColour(muta.FillColour());
    s.SetFontSize(muta.FontSize());
    s.SetFontBold(muta.Grassetto());
    s.SetFontItalic(muta.Corsivo());
}

bool Pagine::DisegnaSola(PrinterSurface& s, int N, const EseguiPasso& passo) {
    PreparaSola(s, N);
    return Disegna(s, N, passo);
}

} // namespace vagolume
