#include "sheet/CiclodiStampa.h"

#include "print/SuperficieSorvegliata.h"

namespace vagolume {

FineCiclo CiclodiStampa(Pagine& pagine, SuperficieSorvegliata& s, const PassiCiclo& passi) {
    auto fermata = [&passi] { return passi.Fermata && passi.Fermata(); };
    auto avanzamento = [&](int fatti) {
        if (passi.Avanzamento) passi.Avanzamento(fatti, pagine.Fogli());
    };
    // Each drawing step of a page runs under the failure policy: a failing
    // step is skipped; a failure of the document ends the page.
    const EseguiPasso passo = [&s](const char* nome, const std::function<void()>& disegno) {
        return s.Esegui(QString::fromUtf8(nome), disegno) || s.Fatale().isEmpty();
    };
    // After a page: the page in progress is completed, then a failure of the
    // document or a stop ends the run.
    auto esito = [&] {
        if (!s.Fatale().isEmpty()) return FineCiclo::Perso;
        return fermata() ? FineCiclo::Fermato : FineCiclo::Completo;
    };

    // Page set-up, then the cover, whose frame begins the document.
    s.Esegui(QStringLiteral("impostazione della pagina"), [&] { Pagine::ImpostaPagina(s); });
    avanzamento(0);
    pagine.Disegna(s, 0, passo);
    if (esito() != FineCiclo::Completo) return esito();
    s.Esegui(QStringLiteral("nuova pagina"), [&] { s.NewPage(); });
    s.Esegui(QStringLiteral("carattere"), [&] { Pagine::ImpostaFogli(s); });

    // The logbook pages.
    for (int N = 1; N <= pagine.Fogli(); ++N) {
        avanzamento(N);
        pagine.Disegna(s, N, passo);
        if (esito() != FineCiclo::Completo) return esito();
        s.Esegui(QStringLiteral("nuova pagina"), [&] { s.NewPage(); });
    }
    return esito();
}

} // namespace vagolume
