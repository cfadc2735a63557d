#include "run/Corsa.h"

#include "calendar/Calendario.h"
#include "print/DocumentoStampa.h"
#include "print/StampaTesto.h"
#include "print/Stampanti.h"
#include "print/SuperficieSorvegliata.h"
#include "run/FineProcesso.h"
#include "run/Sistema.h"
#include "sheet/CiclodiStampa.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace vagolume {

namespace {

// The run in progress; read from a signal handler too.
std::atomic<CorsaStampa*> corsaInCorso{nullptr};
static_assert(std::atomic<CorsaStampa*>::is_always_lock_free, "read from a signal handler");

// Why a request cannot be printed at all; empty when it can.
QString MotivoRifiuto(const RichiestaStampa& r) {
    if (!r.Inizio.isValid() || !r.Fine.isValid())
        return QStringLiteral("date del periodo non valide: non stampo");
    const int fogli = NumeroFogli(r);
    if (fogli > kMaxFogli)
        return QStringLiteral("periodo di %1 giorni: più di %2 fogli, non stampo").arg(fogli).arg(kMaxFogli);
    if (fogli < 1) return QStringLiteral("nessun foglio da stampare: non stampo");
    if (!r.Bianco() && SenzaCaratteriVisibili(r.Destinazione))
        return QStringLiteral("destinazione mancante: non stampo");
    for (int p : r.Pagine)
        if (p < 1 || p > fogli + 1)
            return QStringLiteral("il documento ha %1 pagine, non la pagina %2: non stampo")
                .arg(fogli + 1)
                .arg(p);
    if (r.Copie < 1 || r.Copie > 99)
        return QStringLiteral("%1 copie: si stampano da 1 a 99 copie, non stampo").arg(r.Copie);
    return {};
}

std::shared_ptr<PrinterSurface> DocumentoDi(const RichiestaStampa& r, std::function<bool()> attesa) {
    auto superficie = std::make_shared<SuperficieDocumento>(
        CreaStampante(r.Stampante, r.CartellaLavoro, r.PdfScelto,
                      OpzioniLavoro{r.Copie, r.FronteRetro, r.LatiScelti}),
        r.NomeDocumento, std::move(attesa));
    superficie->Documento().ImpostaCartellaRiserva(r.CartellaRiserva.isEmpty() ? r.CartellaLavoro
                                                                               : r.CartellaRiserva);
    return superficie;
}

} // namespace

ContestoStampa ValoriCorsa(const RichiestaStampa& r, float PrintableHeight) {
    if (const QString rifiuto = MotivoRifiuto(r); !rifiuto.isEmpty())
        throw ErroreCalcolo(rifiuto.toStdString());
    if (!std::isfinite(PrintableHeight))
        throw ErroreCalcolo("la stampante non dà l'altezza dell'area stampabile");
    ContestoStampa c;
    c.ImpostaColonne();
    c.DataInizio = r.Inizio;
    c.DataFine = r.Fine;
    c.NumeroPagine = NumeroFogli(r);
    c.TestoPeriodo = TestoPeriodo(r);
    c.DatiInseriti = !r.Bianco();
    c.TestoDestinazione = r.Bianco() ? QStringLiteral("in bianco") : r.Destinazione;
    c.ImpostaGeometria(PrintableHeight);
    c.Copyright = ComponiCopyright();
    c.Logo1 = Logo1();
    c.Logo2 = Logo2();
    return c;
}

ContestoStampa ContestoDisegno(const RichiestaStampa& r, float altezzaFoglio) {
    return ValoriCorsa(r, altezzaFoglio);
}

CorsaStampa::CorsaStampa(RichiestaStampa richiesta, GanciCorsa ganci, FabbricaSuperficie fabbrica)
    : richiesta_(std::move(richiesta)), ganci_(std::move(ganci)), fabbrica_(std::move(fabbrica)) {}

CorsaStampa::~CorsaStampa() {
    if (corsaInCorso == this) corsaInCorso = nullptr;
}

CorsaStampa* CorsaStampa::InCorso() {
    return corsaInCorso;
}

EsitoCorsa CorsaStampa::Esegui() {
    if (conclusa_ || corsaInCorso) return esito_;
    corsaInCorso = this;
    NuovaCorsa();
    EsitoCorsa esito;
    try {
        esito = Disegna();
    } catch (const std::bad_alloc&) {
        esito = EsitoCorsa::Di(EsitoCorsa::Fallito, QStringLiteral("memoria esaurita"));
    }
    return Fine(std::move(esito));
}

EsitoCorsa CorsaStampa::Abbandona(EsitoCorsa::Tipo cosa, const QString& motivo) {
    if (conclusa_) return esito_;
    try {
        if (superficie_) superficie_->AbortDocument();
    } catch (const std::exception& e) {
        Avvisa(QString::fromUtf8(e.what()));
    }
    return Fine(EsitoCorsa::Di(cosa, motivo));
}

EsitoCorsa CorsaStampa::Fine(EsitoCorsa esito) {
    if (conclusa_) return esito_; // abandoned meanwhile: already concluded
    conclusa_ = true;
    if (corsaInCorso == this) corsaInCorso = nullptr;
    esito.Stampante = richiesta_.Stampante;
    esito.Pagine = richiesta_.Pagine;
    esito_ = Concludi(std::move(esito), richiesta_.CartellaLavoro);
    return esito_;
}

EsitoCorsa CorsaStampa::Disegna() {
    const RichiestaStampa& r = richiesta_;
    // A request that cannot be printed is refused before a printer is asked.
    if (const QString rifiuto = MotivoRifiuto(r); !rifiuto.isEmpty())
        return EsitoCorsa::Di(EsitoCorsa::Rifiutato, rifiuto);
    // Without a font every text would be a black bar: nothing is printed.
    if (const QString senzaFont = MotivoSenzaFont(); !senzaFont.isEmpty())
        return EsitoCorsa::Di(EsitoCorsa::Rifiutato, senzaFont);
    // Characters no font has still print, as empty boxes: said once.
    if (!r.Bianco())
        if (const QString mancanti = CaratteriSenzaGlifo(r.Destinazione); !mancanti.isEmpty())
            Avvisa(QStringLiteral("nessun font installato ha i caratteri \"%1\" della destinazione: saranno "
                                  "stampati come riquadri vuoti")
                       .arg(mancanti));
    // While the printer makes the hand-over wait, the window takes its events
    // and a cancel or a signal stops it.
    auto attesa = [this] {
        if (ganci_.InConsegna) ganci_.InConsegna();
        return !annullata_ && SegnaleRicevuto() == 0;
    };
    superficie_ = fabbrica_ ? fabbrica_(r) : DocumentoDi(r, attesa);
    if (!superficie_)
        return EsitoCorsa::Di(EsitoCorsa::Fallito, QStringLiteral("nessuna stampante disponibile"));

    // Every operation runs under the one failure policy: a failing one is
    // skipped, a failure of the document ends the run.
    SuperficieSorvegliata s(*superficie_);
    s.SetOrientation(Orientation::Portrait);
    s.SetScaleMillimetres();
    std::optional<Pagine> pagine;
    try {
        pagine.emplace(ContestoDisegno(r, s.PrintableHeight()));
    } catch (const ErroreCalcolo& e) {
        return EsitoCorsa::Di(EsitoCorsa::Fallito, QString::fromUtf8(e.what()));
    }

    PassiCiclo passi;
    passi.Avanzamento = ganci_.Avanzamento;
    passi.Fermata = [this] { return annullata_ || SegnaleRicevuto() != 0; };
    // Page N + 1 of the document is page N of the cycle.
    QList<int> scelte;
    for (int p : r.Pagine)
        scelte.append(p - 1);
    const FineCiclo fine = CiclodiStampa(*pagine, s, passi, scelte);

    EsitoCorsa esito;
    if (fine == FineCiclo::Completo) {
        // The document ends here and is handed to its printer.
        s.EndDocument();
        // What the document went through decides, whatever stop came
        // meanwhile: a document that reached the server whole may print.
        const FattoConsegna fatto = FattoCorrente();
        if (s.Fatale().isEmpty())
            esito.Cosa = fatto == FattoConsegna::Salvato ? EsitoCorsa::Salvato : EsitoCorsa::Stampato;
        else if (annullata_ && fatto != FattoConsegna::UltimoByteInviato)
            esito = EsitoCorsa::Di(EsitoCorsa::Annullato,
                                   QStringLiteral("stampa annullata: nulla è stato stampato"));
        else
            esito = EsitoCorsa::Di(EsitoCorsa::Fallito, s.Fatale());
        esito.PdfSalvato = FileSalvato();
        esito.ForseStampato = !esito.Consegnato() && fatto == FattoConsegna::UltimoByteInviato;
    } else {
        // Nothing of a stopped or broken run is printed.
        s.AbortDocument();
        esito = fine == FineCiclo::Perso
                    ? EsitoCorsa::Di(EsitoCorsa::Fallito, s.Fatale())
                    : EsitoCorsa::Di(EsitoCorsa::Annullato,
                                     QStringLiteral("stampa annullata: nulla è stato stampato"));
    }
    // What was skipped, one line per kind.
    for (const QString& riga : s.Riepilogo())
        Avvisa(riga);
    esito.Errori = s.Errori();
    return esito;
}

} // namespace vagolume
