#include "sheet/CiclodiStampa.h"

#include "print/Interruzione.h"
#include "print/Sistema.h"
#include "print/SuperficieSorvegliata.h"
#include "sheet/Pagine.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <optional>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vagolume {

namespace {

QString TestoNumero(float n) {
    return QString::number(static_cast<double>(n), 'g', 7);
}

} // namespace

QString NomeDocumento(const QString& destinazione) {
    QString nome = destinazione.left(19);
    nome.replace(u' ', u'_');
    nome += QStringLiteral("_Vagolume");
    if (nome.startsWith(u'_')) nome.remove(0, 1);
    return nome;
}

QString TestoConferma(const QString& TestoDestinazione, const QString& TestoPeriodo, float NumeroPagine) {
    const QChar cr(u'\r');
    return QStringLiteral("Predisposizione per la stampa") + cr + cr + QStringLiteral("Destinazione: . . ") +
           TestoDestinazione + cr + QStringLiteral("Periodo: . . . . . . . ") + TestoPeriodo + cr +
           QStringLiteral("Pagine: . . . . . . . . ") + TestoNumero(NumeroPagine).trimmed() + cr + cr +
           QStringLiteral("Vuoi stampare i moduli per il vagolume?");
}

// Written by hand rather than with QSaveFile: QSaveFile follows a link at the
// target and writes where it points, while the rename below replaces the link.
bool ScriviFineStampa(const QString& cartella) {
    const QByteArray modello =
        QFile::encodeName(QDir(cartella).filePath(QStringLiteral(".FineStampaPercorsario.XXXXXX")));
    const QByteArray destinazione = QFile::encodeName(QDir(cartella).filePath(kFileFineStampa));
    std::string nomeTemp(modello.constData());
    auto fallisci = [&](const char* cosa) {
        Avvisa(QStringLiteral("impossibile scrivere %1 (%2): %3")
                   .arg(QString::fromLocal8Bit(destinazione), QLatin1String(cosa),
                        QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    };
    // The temporary file is removed, the reason kept.
    auto scarta = [&](const char* cosa) {
        const int salvato = errno;
        ::unlink(nomeTemp.c_str());
        errno = salvato;
        return fallisci(cosa);
    };
    const int fd = ::mkstemp(nomeTemp.data());
    if (fd < 0) return fallisci("creazione");
    ::fchmod(fd, ModoFileNuovo());
    static const char kContenuto[] = "Fatto\r\n";
    const ssize_t scritti = ::write(fd, kContenuto, sizeof kContenuto - 1);
    const bool ok = scritti == static_cast<ssize_t>(sizeof kContenuto - 1) && ::fsync(fd) == 0;
    const int erroreScrittura = errno;
    if (::close(fd) != 0 || !ok) {
        if (ok == false)
            errno = scritti >= 0 && scritti < static_cast<ssize_t>(sizeof kContenuto - 1) ? ENOSPC
                                                                                          : erroreScrittura;
        return scarta("scrittura");
    }
    if (::rename(nomeTemp.c_str(), destinazione.constData()) != 0) return scarta("rinomina");
    return true;
}

EsitoCiclo CiclodiStampa(FinestraCiclo& finestra, StatoForm& form, PrinterSurface& superficie,
                         const QString& cartellaFine) {
    EsitoCiclo esito;
    // Every step and every operation runs under the one failure policy: a
    // failing one is skipped, a failure of the document ends the run.
    SuperficieSorvegliata s(superficie);
    auto Passo = [&s](const char* nome, auto&& f) { return s.Esegui(QString::fromUtf8(nome), f); };
    auto Interrotta = [&s] {
        if (const int segnale = SegnaleRicevuto())
            s.SegnalaFatale(QStringLiteral("stampa interrotta dal segnale %1 (%2)")
                                .arg(segnale)
                                .arg(QString::fromLocal8Bit(::strsignal(segnale))));
        return !s.Fatale().isEmpty();
    };
    // The pages, once the itinerary is read.
    std::optional<Pagine> pagine;
    // Each drawing step of a page; a failure of the document ends the page.
    const EseguiPasso passo = [&](const char* nome, const std::function<void()>& disegno) {
        if (Interrotta()) return false;
        Passo(nome, disegno);
        return true;
    };

    // 1-7: inputs and the page geometry. A failure here stops the run before
    // anything is printed; the end steps still run.
    form.AnnullaStampa = false;
    QString rifiuto; // why the document was lost
    bool pronto = Passo("lettura dei dati dell'itinerario", [&] {
        const DatiItinerario dati = finestra.LeggiDati();
        s.SetOrientation(Orientation::Portrait);
        s.SetScaleMillimetres();
        ContestoStampa c = ValoriCorsa(dati, s.PrintableHeight());
        c.Copyright = finestra.Copyright();
        c.Logo1 = finestra.Logo1();
        c.Logo2 = finestra.Logo2();
        c.TestoLocalita = [&finestra] { return finestra.TestoLocalita(); };
        form.DatiInseriti = c.DatiInseriti;
        form.FondoPagina = c.FondoPagina;
        form.InizioSpese = c.InizioSpese;
        pagine.emplace(std::move(c));
    });
    if (!pronto) {
        const QStringList detto = s.Riepilogo();
        esito.Motivo = detto.isEmpty() ? QStringLiteral("dati dell'itinerario non leggibili") : detto.first();
    }

    // 8-9: confirmation.
    bool si = false;
    if (pronto) {
        const ContestoStampa& c = pagine->Valori();
        if (!form.RigaComando.isEmpty()) {
            finestra.DisabilitaFine();
            si = true;
        } else {
            si = finestra.ChiediConferma(TestoConferma(c.TestoDestinazione, c.TestoPeriodo, c.NumeroPagine));
        }
        esito.Rinunciato = !si;
    }

    if (pronto && si) {
        const float NumeroPagine = pagine->Valori().NumeroPagine;
        // 10-11: page set-up.
        finestra.DimensionafrmBase(true);
        finestra.MostraAnnulla(true);
        finestra.ElaboraEventi();
        Passo("impostazione della pagina", [&] { Pagine::ImpostaPagina(s); });
        finestra.StatoStampa(0, NumeroPagine);

        // 13-17: the cover page. The document takes its name from the
        // application title at its first drawing, the cover's frame.
        const QString titoloSalvato = finestra.TitoloApplicazione();
        Passo("nome del documento",
              [&] { finestra.ImpostaTitoloApplicazione(NomeDocumento(finestra.TestoLocalita())); });
        pagine->Disegna(s, 0, passo);
        finestra.ImpostaTitoloApplicazione(titoloSalvato);
        Passo("nuova pagina", [&] { s.NewPage(); });
        finestra.ImpostaTestoFondo(QStringLiteral("Stampa dei Moduli in corso..."));
        finestra.MostraRiempimento();
        Passo("carattere", [&] { Pagine::ImpostaFogli(s); });

        // 18: the logbook pages. A failure of the document ends them at once.
        for (int N = 1; N <= pagine->Fogli() && !Interrotta(); ++N) {
            finestra.StatoStampa(static_cast<float>(N), NumeroPagine);
            finestra.ElaboraEventi();
            pagine->Disegna(s, N, passo);
            if (form.AnnullaStampa) {
                s.AbortDocument();
                esito.Annullato = true;
                break;
            }
            Passo("nuova pagina", [&] { s.NewPage(); });
        }

        // 19: the document ends here and is handed to its printer; a run
        // started by the itinerary program ends it too, before the end-of-run
        // file says that printing is over.
        if (!esito.Annullato && !Interrotta()) {
            s.EndDocument();
            esito.Stampato = s.Fatale().isEmpty();
        }
        if (!s.Fatale().isEmpty() && !esito.Annullato) {
            s.AbortDocument(); // whatever is left of it: no half document is printed
            rifiuto = s.Fatale();
        }
        esito.FileSalvato = s.DocumentoSalvato();
    }

    // What was skipped, one line per kind; then why the run failed.
    for (const QString& riga : s.Riepilogo())
        Avvisa(riga);
    if (!rifiuto.isEmpty()) {
        Avvisa(rifiuto);
        esito.Motivo = rifiuto;
    }
    esito.Errori = s.Errori();

    // 20: end steps, always.
    finestra.ImpostaTestoFondo(QString());
    finestra.DimensionafrmBase(false);
    finestra.MostraAnnulla(false);
    finestra.Ridisegna();
    esito.FineScritta = ScriviFineStampa(cartellaFine);
    esito.TerminaProgramma = !form.RigaComando.isEmpty();
    return esito;
}

} // namespace vagolume
