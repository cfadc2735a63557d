#include "sheet/CiclodiStampa.h"

#include "calendar/Calendario.h"
#include "print/Interruzione.h"
#include "print/StampaTesto.h"
#include "print/SuperficieSorvegliata.h"
#include "sheet/Contesto.h"
#include "sheet/Sezioni.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

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

void Avvisa(const QString& messaggio) {
    std::fprintf(stderr, "vagolume: %s\n", qUtf8Printable(messaggio));
}

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
    const int fd = ::mkstemp(nomeTemp.data());
    if (fd < 0) return fallisci("creazione");
    const mode_t maschera = ::umask(0);
    ::umask(maschera);
    ::fchmod(fd, 0666 & ~maschera);
    static const char kContenuto[] = "Fatto\r\n";
    const ssize_t scritti = ::write(fd, kContenuto, sizeof kContenuto - 1);
    const bool ok = scritti == static_cast<ssize_t>(sizeof kContenuto - 1) && ::fsync(fd) == 0;
    const int erroreScrittura = errno;
    if (::close(fd) != 0 || !ok) {
        if (ok == false)
            errno = scritti >= 0 && scritti < static_cast<ssize_t>(sizeof kContenuto - 1) ? ENOSPC
                                                                                          : erroreScrittura;
        const int salvato = errno;
        ::unlink(nomeTemp.c_str());
        errno = salvato;
        return fallisci("scrittura");
    }
    if (::rename(nomeTemp.c_str(), destinazione.constData()) != 0) {
        const int salvato = errno;
        ::unlink(nomeTemp.c_str());
        errno = salvato;
        return fallisci("rinomina");
    }
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
    ContestoStampa c;
    c.ImpostaColonne();
    c.Copyright = finestra.Copyright();
    c.Logo1 = finestra.Logo1();
    c.Logo2 = finestra.Logo2();
    c.TestoLocalita = [&finestra] { return finestra.TestoLocalita(); };

    // 1-7: inputs and the page geometry. A failure here stops the run before
    // anything is printed; the end steps still run.
    form.AnnullaStampa = false;
    QString rifiuto; // why the document was lost
    bool pronto = Passo("lettura dei dati dell'itinerario", [&] {
        const DatiItinerario dati = finestra.LeggiDati();
        c.DataInizio = Data2Giul(dati.DataInizio);
        c.DataFine = Data2Giul(dati.DataFine);
        c.NumeroPagine = static_cast<float>(c.DataFine - c.DataInizio + 1);
        c.TestoPeriodo = Data2Data(Giu2Datas(c.DataInizio)).left(5) + QStringLiteral(" - ") +
                         Data2Data(Giu2Datas(c.DataFine));
        c.TestoDestinazione = dati.Destinazione;
        c.DatiInseriti = !dati.Bianco;
        form.DatiInseriti = c.DatiInseriti;
        s.SetOrientation(Orientation::Portrait);
        s.SetScaleMillimetres();
        c.ImpostaGeometria(s.PrintableHeight());
        form.FondoPagina = c.FondoPagina;
        form.InizioSpese = c.InizioSpese;
        if (dati.Bianco) {
            c.NumeroPagine = ValoreNumerico(dati.Copie);
            c.TestoPeriodo = QStringLiteral("in bianco");
            c.TestoDestinazione = QStringLiteral("in bianco");
        }
        if (c.NumeroPagine > kMaxPagine)
            throw ErroreCalcolo(QStringLiteral("periodo di %1 giorni: più di %2 fogli, non stampo")
                                    .arg(TestoNumero(c.NumeroPagine))
                                    .arg(kMaxPagine)
                                    .toStdString());
    });
    if (!pronto) {
        const QStringList detto = s.Riepilogo();
        esito.Motivo = detto.isEmpty() ? QStringLiteral("dati dell'itinerario non leggibili") : detto.first();
    }

    // 8-9: confirmation.
    bool si = false;
    if (pronto) {
        if (!form.RigaComando.isEmpty()) {
            finestra.DisabilitaFine();
            si = true;
        } else {
            si = finestra.ChiediConferma(TestoConferma(c.TestoDestinazione, c.TestoPeriodo, c.NumeroPagine));
        }
        esito.Rinunciato = !si;
    }

    if (pronto && si) {
        // 10-11: page set-up.
        finestra.DimensionafrmBase(true);
        finestra.MostraAnnulla(true);
        finestra.ElaboraEventi();
        Passo("impostazione della pagina", [&] {
            s.SetPaperSize(PaperSize::A4);
            s.SetOrientation(Orientation::Portrait);
            s.SetScaleMillimetres();
            SettaFontNamePrinter(s);
            s.SetFillStyle(FillStyle::Transparent);
            s.SetLineWidth(8);
        });
        finestra.StatoStampa(0, c.NumeroPagine);

        // 13-14: the document takes its name from the application title at
        // its first drawing, the cover page frame.
        const QString titoloSalvato = finestra.TitoloApplicazione();
        Passo("nome del documento",
              [&] { finestra.ImpostaTitoloApplicazione(NomeDocumento(finestra.TestoLocalita())); });
        Passo("cornice della copertina", [&] { s.DrawBox(15, 15, 195, c.FondoPagina); });
        finestra.ImpostaTitoloApplicazione(titoloSalvato);

        // 15-17: cover page.
        if (!Interrotta()) Passo("copertina", [&] { StampaCopertina(s, c); });
        Passo("nuova pagina", [&] { s.NewPage(); });
        c.GiornoViaggio = 0;
        finestra.ImpostaTestoFondo(QStringLiteral("Stampa dei Moduli in corso..."));
        finestra.MostraRiempimento();
        c.AltezzaFascia = c.FondoPagina - c.InizioControlli;
        Passo("passo delle righe", [&] {
            const double righe = Int(c.AltezzaFascia / 5.0 + 0.5);
            if (!(righe >= 1)) throw ErroreCalcolo("fascia inferiore troppo bassa");
            c.PassoRiga = static_cast<float>(c.AltezzaFascia / righe);
        });
        Passo("carattere", [&] { SettaFontNamePrinter(s); });

        // 18: the logbook pages. A failure of the document ends them at once.
        using Sezione = void (*)(PrinterSurface&, ContestoStampa&);
        static const std::pair<const char*, Sezione> kSezioni[] = {
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
        for (c.PaginaCorrente = 1; c.PaginaCorrente <= c.NumeroPagine && !Interrotta();
             c.PaginaCorrente += 1) {
            finestra.StatoStampa(c.PaginaCorrente, c.NumeroPagine);
            finestra.ElaboraEventi();
            for (const auto& sezione : kSezioni) {
                if (Interrotta()) break;
                Passo(sezione.first, [&] { sezione.second(s, c); });
            }
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
