#include "sheet/CiclodiStampa.h"

#include "print/SuperficieSorvegliata.h"

namespace vagolume {

FineCiclo CiclodiStampa(Pagine& pagine, SuperficieSorvegliata& s, const PassiCiclo& passi,
                        const QList<int>& scelte) {
    auto fermata = [&passi] { return passi.Fermata && passi.Fermata(); };
    auto scelta = [&scelte](int N) { return scelte.isEmpty() || scelte.contains(N); };
    // Pages drawn so far, against the pages to draw.
    const int totale = scelte.isEmpty() ? pagine.Fogli() : static_cast<int>(scelte.size()) - 1;
    int fatti = 0;
    auto avanzamento = [&] {
        if (passi.Avanzamento) passi.Avanzamento(fatti, totale);
        ++fatti;
    };
    // After a page: the page in progress is completed, then a failure of the
    // document or a stop ends the run.
    auto esito = [&] {
        if (!s.Fatale().isEmpty()) return FineCiclo::Perso;
        return fermata() ? FineCiclo::Fermato : FineCiclo::Completo;
    };

    // Page set-up, then the cover, whose frame begins the document.
    s.Esegui(QStringLiteral("impostazione della pagina"), [&] { Pagine::ImpostaPagina(s); });
    if (scelta(0)) {
        avanzamento();
        pagine.Disegna(s, 0);
        if (esito() != FineCiclo::Completo) return esito();
        s.Esegui(QStringLiteral("nuova pagina"), [&] { s.NewPage(); });
    }
    s.Esegui(QStringLiteral("carattere"), [&] { Pagine::ImpostaFogli(s); });

    // The logbook pages.
    for (int N = 1; N <= pagine.Fogli(); ++N) {
        if (!scelta(N)) continue;
        avanzamento();
        pagine.Disegna(s, N);
        if (esito() != FineCiclo::Completo) return esito();
        s.Esegui(QStringLiteral("nuova pagina"), [&] { s.NewPage(); });
    }
    return esito();
}

} // namespace vagolume
