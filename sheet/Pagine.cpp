#include "sheet/Pagine.h"

#include "print/StampaTesto.h"
#include "sheet/Sezioni.h"

#include <utility>

namespace vagolume {

namespace {

using Sezione = QString (*)(PrinterSurface&, ContestoStampa&);

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

// The frame of the cover, drawn before the cover's content. As the run's
// first drawing, it begins the document.
QString CorniceCopertina(PrinterSurface& s, ContestoStampa& c) {
    ImpostaTratto(s, 8, FillStyle::Transparent);
    s.DrawBox(15, 15, 195, c.FondoPagina);
    return {};
}

const std::pair<const char*, Sezione> kCopertina[] = {
    {"cornice della copertina", CorniceCopertina},
    {"copertina", StampaCopertina},
};

// The drawing state every page starts from, whatever the page before it
// left: a page drawn alone (the preview) is drawn in the very same state as
// in the whole document, down to the state its pictures are drawn in.
void StatoIniziale(PrinterSurface& s) {
    ImpostaTratto(s, 8, FillStyle::Transparent);
    s.SetFillColour(kBianco);
    s.SetFontSize(12);
    s.SetFontBold(false);
    s.SetFontItalic(false);
}

} // namespace

Pagine::Pagine(ContestoStampa valori) : c_(std::move(valori)) {
    fogli_ = c_.NumeroPagine >= 1 ? c_.NumeroPagine : 0;
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

bool Pagine::Disegna(SuperficieSorvegliata& s, int N) {
    if (N < 0 || N > fogli_) return false;
    c_.PaginaCorrente = N;
    auto disegna = [&](const auto& sezioni) {
        s.Esegui(QStringLiteral("stato della pagina"), [&] { StatoIniziale(s); });
        for (const auto& [nome, sezione] : sezioni) {
            const QString passo = QString::fromUtf8(nome);
            s.Esegui(passo, [&, sezione = sezione] {
                const QString mancanza = sezione(s, c_);
                if (!mancanza.isEmpty()) s.Segnala(QStringLiteral("%1: %2").arg(passo, mancanza));
            });
            if (!s.Fatale().isEmpty()) return false;
        }
        return true;
    };
    return N == 0 ? disegna(kCopertina) : disegna(kSezioni);
}

bool Pagine::DisegnaSola(PrinterSurface& s, int N) {
    SuperficieSorvegliata sorvegliata(s);
    ImpostaPagina(sorvegliata);
    return Disegna(sorvegliata, N);
}

} // namespace vagolume
