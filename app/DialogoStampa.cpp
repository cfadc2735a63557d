#include "app/DialogoStampa.h"

#include "app/ModelloFinestra.h"
#include "calendar/Calendario.h"
#include "print/DocumentoStampa.h"
#include "print/Stampanti.h"
#include "run/Sistema.h"
#include "sheet/Pagine.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <sys/stat.h>

namespace vagolume {

DialogoStampa::DialogoStampa(ModelloFinestra& finestra, Dialoghi& dialoghi, Piattaforma& piattaforma)
    : f_(finestra), dialoghi_(dialoghi), piattaforma_(piattaforma) {}

DialogoStampa::~DialogoStampa() = default;

void DialogoStampa::Inizializza() {
    frmSelStampa.Visibile = false;
    spnCopie.Testo = QStringLiteral("1"); // of a run from the panel: 1 to 99
    chkFronteRetro.Abilitato = false;
    lblAvviso.Visibile = false;
}

StatoStampanti DialogoStampa::Interroga() {
    // The query may wait a few seconds for a slow printing system: the
    // status line says so meanwhile, and is as it was afterwards.
    const QString prima = f_.txtFondo.Testo;
    f_.ImpostaTestoFondo(QStringLiteral("Ricerca delle stampanti..."));
    piattaforma_.Occupato(true);
    StatoStampanti stato;
    try {
        stato = piattaforma_.Stampanti();
    } catch (...) {
        piattaforma_.Occupato(false);
        f_.ImpostaTestoFondo(prima);
        throw;
    }
    piattaforma_.Occupato(false);
    f_.ImpostaTestoFondo(prima);
    return stato;
}

RichiestaStampa DialogoStampa::RichiestaDallaFinestra(const QString& stampante) const {
    // The pickers' texts are read once, into dates: the day numbers make a
    // day 31 of a 30-day month the first of the next, as everywhere else.
    auto data = [](const Controllo& g, const Controllo& m, const Controllo& a) {
        int16_t giorno = 0, mese = 0, anno = 0;
        Giul2Data(Data2Giul(g.Testo + m.Testo + a.Testo), giorno, mese, anno);
        return QDate(anno, mese, giorno);
    };
    RichiestaStampa r;
    r.Destinazione = f_.txtLocalita.Testo;
    r.Inizio = data(f_.cmbg1, f_.cmbm1, f_.cmba1);
    r.Fine = data(f_.cmbg2, f_.cmbm2, f_.cmba2);
    if (f_.chkBianco.Spuntato) r.FogliBianchi = ValoreNumerico(f_.cmbCopie.Testo);
    r.Stampante = stampante;
    r.NomeDocumento = NomeDocumento(r.Destinazione);
    r.CartellaLavoro = f_.Processo().CartellaLavoro;
    // A printer that fails keeps the document where the user last saved one.
    if (!cartellaPdf_.isEmpty() && QFileInfo(cartellaPdf_).isDir()) r.CartellaRiserva = cartellaPdf_;
    // The pages, copies and sides chosen in the panel; the PDF writer makes
    // one file, on one side.
    if (r.Inizio.isValid() && r.Fine.isValid())
        r.Pagine = LeggiPagine(txtPagine.Testo, NumeroFogli(r) + 1, r.Bianco() ? QDate() : r.Inizio).Pagine;
    if (stampante != kScrittorePdf) {
        r.Copie = std::clamp(spnCopie.Testo.toInt(), 1, 99);
        r.FronteRetro = chkFronteRetro.Spuntato && chkFronteRetro.Abilitato;
        r.LatiScelti = true;
    }
    return r;
}

void DialogoStampa::ControllaPagine() {
    motivoPagine_.clear();
    datePagine_.clear();
    try {
        RichiestaStampa r = RichiestaDallaFinestra(stampanteCorrente_);
        if (r.Inizio.isValid() && r.Fine.isValid()) {
            const QDate inizio = r.Bianco() ? QDate() : r.Inizio;
            const SceltaPagine scelta = LeggiPagine(txtPagine.Testo, NumeroFogli(r) + 1, inizio);
            motivoPagine_ = scelta.Motivo;
            // The days the pages carry, so that a spoiled day is reprinted knowingly.
            if (inizio.isValid()) datePagine_ = TestoDatePagine(scelta.Pagine, inizio);
        }
    } catch (const std::exception&) {
        // Dates that cannot be read: the run says so.
    }
    txtPagine.ColoreTesto = motivoPagine_.isEmpty() ? kNero : kRosso;
    AggiornaAvviso();
}

void DialogoStampa::AggiornaAvviso() {
    QStringList righe;
    // The current printer missing is said until one is chosen in the list;
    // a printing system that does not answer, while the panel is open.
    if (!avvisoStampante_.isEmpty() && (lstStampanti.Selezionato < 0 || avvisoFisso_))
        righe.append(avvisoStampante_);
    if (!motivoPagine_.isEmpty()) righe.append(QStringLiteral("Pagine: %1.").arg(motivoPagine_));
    if (!datePagine_.isEmpty()) righe.append(datePagine_);
    lblAvviso.Testo = righe.join(u'\n');
    lblAvviso.Visibile = !righe.isEmpty();
}

void DialogoStampa::txtPagine_Change(const QString& testo) {
    // Judged when the keyboard leaves the field: "2-" on the way to "2-4"
    // is no mistake.
    txtPagine.Testo = testo;
    motivoPagine_.clear();
    datePagine_.clear();
    txtPagine.ColoreTesto = kNero;
    AggiornaAvviso();
    f_.Notifica();
}

void DialogoStampa::txtPagine_LostFocus() {
    ControllaPagine();
    f_.Notifica();
}

void DialogoStampa::chkFronteRetro_Click(bool spuntato) {
    chkFronteRetro.Spuntato = spuntato;
    latiToccati_ = true;
}

void DialogoStampa::spnCopie_Change(int copie) {
    spnCopie.Testo = QString::number(std::clamp(copie, 1, 99));
    f_.Notifica();
}

void DialogoStampa::DocumentoCambiato() {
    if (txtPagine.Testo.isEmpty()) return;
    txtPagine.Testo.clear();
    motivoPagine_.clear();
    datePagine_.clear();
    txtPagine.ColoreTesto = kNero;
    AggiornaAvviso();
}

void DialogoStampa::SceltaStampante(int riga) {
    lstStampanti.Selezionato = riga;
    const QString stampante = StampanteScelta();
    const bool pdf = stampante == kScrittorePdf;
    // The PDF writer makes one file. What a printer cannot do is unavailable
    // while it is selected, and the choice comes back with one that can.
    spnCopie.Abilitato = !pdf;
    // Two sides only where the printer has them; asked once per opening of the panel.
    if (!fronteRetro_.contains(stampante)) {
        LatiCoda lati;
        if (!pdf) {
            piattaforma_.Occupato(true);
            lati = piattaforma_.FronteRetro(stampante);
            piattaforma_.Occupato(false);
        }
        fronteRetro_.insert(stampante, lati);
    }
    const LatiCoda lati = fronteRetro_.value(stampante);
    chkFronteRetro.Abilitato = lati.Possibile;
    // The box shows what the queue would do, until the user says otherwise:
    // what it says is what is sent.
    if (lati.Possibile && !latiToccati_) chkFronteRetro.Spuntato = lati.Predefinito;
    AggiornaAvviso();
    f_.Notifica();
}

bool DialogoStampa::PrimaScelta(int codice) {
    if ((lstStampanti.Selezionato >= 0 && lstStampanti.Selezionato < lstStampanti.Voci.size()) ||
        lstStampanti.Voci.isEmpty())
        return false;
    // Nothing chosen yet: the first arrow key chooses the first entry (End
    // and Page Down the last), whatever entry has the focus frame.
    int riga = -1;
    switch (codice) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_PageUp:
        riga = 0;
        break;
    case Qt::Key_End:
    case Qt::Key_PageDown:
        riga = static_cast<int>(lstStampanti.Voci.size()) - 1;
        break;
    default:
        return false;
    }
    SceltaStampante(riga);
    return true;
}

void DialogoStampa::VisualizzaListaStampanti() {
    const StatoStampanti stato = Interroga();
    lstStampanti.Voci = ElencoStampanti(stato.Installate);
    // The current printer is shown chosen, so that what looks chosen is what
    // prints; the names are compared exactly. One that is not in the list
    // still prints when nothing is chosen: the panel says so.
    fronteRetro_.clear();
    const int corrente = static_cast<int>(lstStampanti.Voci.indexOf(stampanteCorrente_));
    avvisoStampante_.clear();
    avvisoFisso_ = corrente >= 0 && !stato.Risponde;
    if (corrente < 0)
        avvisoStampante_ =
            QStringLiteral("La stampante attuale, %1, %2: sceglierne una")
                .arg(stampanteCorrente_, stato.Risponde ? QStringLiteral("non è più installata")
                                                        : QStringLiteral("non risponde"));
    else if (!stato.Risponde)
        avvisoStampante_ =
            QStringLiteral("Il sistema di stampa non risponde: si può solo salvare come file PDF");
    SceltaStampante(corrente);
    ControllaPagine();
    frmSelStampa.Visibile = true;
    f_.Notifica();
}

void DialogoStampa::ScegliStampante() {
    if (lstStampanti.Selezionato < 0 || lstStampanti.Selezionato >= lstStampanti.Voci.size()) return;
    const QString scelta = lstStampanti.Voci[lstStampanti.Selezionato];
    // The name must still be there, exactly as shown.
    if (ElencoStampanti(Interroga().Installate).contains(scelta))
        stampanteCorrente_ = scelta;
    else
        Avvisa(QStringLiteral("la stampante \"%1\" non è più installata: stampo su \"%2\"")
                   .arg(scelta, stampanteCorrente_));
}

void DialogoStampa::cmdSelStampante_Click(int16_t Index) {
    if (Index == 0) {
        // Pages that do not fit the document print nothing: the panel stays,
        // with the reason, and the keyboard goes back to them.
        ControllaPagine();
        if (!motivoPagine_.isEmpty()) {
            dialoghi_.Avvertimento(kTitoloStampa, QStringLiteral("Pagine: %1.").arg(motivoPagine_),
                                   QString());
            f_.FuocoRichiesto = &txtPagine;
            f_.Notifica();
            return;
        }
        frmSelStampa.Visibile = false;
        f_.Notifica();
        ScegliStampante();
        AvviaStampa();
        f_.RiprendiTastiera();
        f_.Notifica();
        DiciEsito();
    } else if (Index == 1) {
        frmSelStampa.Visibile = false;
        f_.RiprendiTastiera();
        f_.Notifica();
    }
}

QString DialogoStampa::StampanteScelta() const {
    const int scelta = lstStampanti.Selezionato;
    return scelta >= 0 && scelta < lstStampanti.Voci.size() ? lstStampanti.Voci[scelta] : stampanteCorrente_;
}

void DialogoStampa::cmdAnteprima_Click() {
    if (corsa_) return;
    const QString stampante = StampanteScelta();
    // The printer's printable area gives the page its bottom line, as in a
    // run. A printing system may take a few seconds to give it.
    piattaforma_.Occupato(true);
    const QPageLayout layout = piattaforma_.Impaginazione(stampante);
    piattaforma_.Occupato(false);
    ContestoStampa c;
    RichiestaStampa richiesta;
    try {
        richiesta = RichiestaDallaFinestra(stampante);
        c = ContestoDisegno(richiesta, AltezzaFoglio(layout));
    } catch (const std::exception& e) {
        Avvisa(QStringLiteral("anteprima non disponibile: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    Pagine pagine(std::move(c));
    if (dialoghi_.Anteprima(pagine, layout, richiesta)) cmdSelStampante_Click(0);
}

void DialogoStampa::AvviaStampa() {
    if (corsa_) return; // one run at a time: events are processed during a run
    filePdf_.clear();   // chosen again in each run from the window
    RichiestaStampa r;
    try {
        r = RichiestaDallaFinestra(stampanteCorrente_);
    } catch (const std::exception& e) {
        UltimoEsito = Concludi(EsitoCorsa::Di(EsitoCorsa::Rifiutato, QString::fromUtf8(e.what())),
                               f_.Processo().CartellaLavoro);
        return;
    }
    // Answering No, or cancelling the save dialog, prints nothing; the
    // end-of-run file says that the run is over all the same. A signal that
    // comes meanwhile closes them: the run is declined, and ends the program.
    PreparazioneCorsa preparazione;
    if (!Conferma(r)) {
        UltimoEsito = Concludi(EsitoCorsa::Di(EsitoCorsa::Annullato), f_.Processo().CartellaLavoro);
        return;
    }
    StampaRichiesta(r);
    // The save dialog opens next where a document was saved: a folder
    // where saving failed is not proposed again.
    if (UltimoEsito.Cosa == EsitoCorsa::Salvato && !r.PdfScelto.isEmpty() &&
        !UltimoEsito.PdfSalvato.isEmpty())
        cartellaPdf_ = QFileInfo(UltimoEsito.PdfSalvato).absolutePath();
}

void DialogoStampa::StampaRichiesta(const RichiestaStampa& richiesta) {
    if (corsa_) return;
    CorsaStampa corsa(richiesta, Ganci(), piattaforma_.Superficie());
    InizioCorsa(corsa);
    FineCorsa(corsa.Esegui());
}

GanciCorsa DialogoStampa::Ganci() {
    GanciCorsa ganci;
    ganci.Avanzamento = [this](int fatti, int totale) {
        f_.StatoStampa(static_cast<float>(fatti), static_cast<float>(totale));
        f_.ImpostaTestoFondo(TestoAvanzamento(fatti, totale));
        if (fatti == 1) f_.MostraRiempimento();
        piattaforma_.ElaboraEventi();
    };
    // A printer that makes the hand-over wait: the window says what it waits
    // for, and "&Annulla" still stops it.
    ganci.InConsegna = [this] {
        const QString invio = QStringLiteral("Invio del documento alla stampante...");
        if (f_.txtFondo.Testo != invio) f_.ImpostaTestoFondo(invio);
        piattaforma_.ElaboraEventi();
    };
    return ganci;
}

void DialogoStampa::InizioCorsa(CorsaStampa& corsa) {
    f_.Form.AnnullaStampa = false;
    if (corsa.Richiesta().Incustodita) f_.DisabilitaFine();
    f_.DimensionafrmBase(true);
    f_.MostraAnnulla(true);
    corsa_ = &corsa;
}

void DialogoStampa::FineCorsa(const EsitoCorsa& esito) {
    const bool incustodita = corsa_ && corsa_->Richiesta().Incustodita;
    corsa_ = nullptr;
    UltimoEsito = esito;
    // A run from the window says how it ended where the bar was; the boxes
    // say the rest.
    f_.ImpostaTestoFondo(incustodita ? QString() : TestoFineCorsa(UltimoEsito));
    f_.DimensionafrmBase(false);
    f_.MostraAnnulla(false);
    f_.Ridisegna();
}

bool DialogoStampa::Conferma(RichiestaStampa& richiesta) {
    if (!dialoghi_.DomandaSiNo(kTitoloStampa, TestoConferma(richiesta))) return false;
    // For the PDF writer the user says where the file goes; cancelling the
    // dialog is answering No.
    if (richiesta.Stampante == kScrittorePdf) return ScegliFilePdf(richiesta);
    return true;
}

QString DialogoStampa::CartellaPdf() const {
    if (!cartellaPdf_.isEmpty() && QFileInfo(cartellaPdf_).isDir()) return cartellaPdf_;
    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documenti.isEmpty() && QFileInfo(documenti).isDir()) return documenti;
    return QDir::homePath();
}

bool DialogoStampa::ScegliFilePdf(RichiestaStampa& richiesta) {
    // Some pages only get a name of their own: saved beside the whole trip,
    // they never replace it.
    QString nome = NomeFileSicuro(richiesta.NomeDocumento);
    if (richiesta.Pagine.size() == 1)
        nome += QStringLiteral("_pagina_%1").arg(richiesta.Pagine.first());
    else if (!richiesta.Pagine.isEmpty())
        nome += QStringLiteral("_pagine_") +
                TestoPagine(richiesta.Pagine).replace(QStringLiteral(", "), QStringLiteral("_"));
    QString proposto = QDir(CartellaPdf()).filePath(nome + QStringLiteral(".pdf"));
    for (;;) {
        QString scelto = dialoghi_.SalvaFile(kTitoloSalvaPdf, proposto);
        if (scelto.isEmpty()) return false;
        scelto = QFileInfo(scelto).absoluteFilePath();
        // The dialog asked about the file it saw: ask again about one it
        // could not see, the name with ".pdf" added, or a file in a folder
        // whose name is not UTF-8 (the dialog neither lists nor reads it).
        const bool aggiunto = !scelto.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
        if (aggiunto) scelto += QStringLiteral(".pdf");
        struct stat info {};
        if ((aggiunto || !QFileInfo::exists(scelto)) &&
            ::lstat(FileSuDisco(scelto).constData(), &info) == 0 &&
            !dialoghi_.DomandaSiNo(kTitoloSalvaPdf,
                                   QStringLiteral("%1 esiste già.\rVuoi sostituirlo?").arg(scelto), true)) {
            proposto = scelto;
            continue;
        }
        filePdf_ = scelto;
        richiesta.PdfScelto = scelto;
        return true;
    }
}

void DialogoStampa::DiciEsito() {
    // Only runs from the window: an unattended run has nobody to tell.
    if (!f_.Form.RigaComando.isEmpty()) return;
    // A document kept as a PDF can be opened from either box.
    bool apri = false;
    // A printer that failed may say why in its own words.
    const QString messaggio = UltimoEsito.Cosa == EsitoCorsa::Fallito && filePdf_.isEmpty()
                                  ? piattaforma_.MessaggioStampante(UltimoEsito.Stampante)
                                  : QString();
    if (const QString testo = TestoNonRiuscita(UltimoEsito, filePdf_, messaggio); !testo.isEmpty())
        apri = dialoghi_.Avvertimento(kTitoloNonRiuscita, testo, UltimoEsito.PdfSalvato);
    else if (const QString salvato = TestoSalvato(UltimoEsito); !salvato.isEmpty())
        apri = dialoghi_.InformazioneFile(kTitoloSalvato, salvato, UltimoEsito.PdfSalvato);
    if (apri && !UltimoEsito.PdfSalvato.isEmpty()) ApriDocumento(UltimoEsito.PdfSalvato);
}

void DialogoStampa::ApriDocumento(const QString& file) {
    // Nothing to open it with: the user is told where the file is.
    dialoghi_.ApriFile(
        file, [this, file] { dialoghi_.Avvertimento(kTitoloNonAperto, TestoNonAperto(file), QString()); });
}

} // namespace vagolume
