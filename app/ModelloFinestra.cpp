#include "app/ModelloFinestra.h"

#include "app/ControlliFinestra.h"
#include "app/Invocazione.h"
#include "calendar/Calendario.h"
#include "print/DocumentoStampa.h"
#include "print/Sistema.h"
#include "print/StampaTesto.h"
#include "print/Stampanti.h"
#include "sheet/Pagine.h"
#include "versione.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>

#include <algorithm>

// The window's icon lives in the core library's resources.
static void CaricaRisorse() {
    Q_INIT_RESOURCE(resources);
}

namespace vagolume {

namespace {
// Runs one step of start-up; a failing step is skipped.
template <typename F> void Passo(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        Avvisa(QString::fromUtf8(e.what()));
    }
}

const QString kTitoloStampa = QStringLiteral("Stampa dei moduli");

// Enter, from the main keyboard or the keypad, also with Shift.
bool PremutoInvio(const Tasto& t) {
    return (t.Codice == Qt::Key_Return || t.Codice == Qt::Key_Enter) &&
           !(t.Modificatori & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier));
}

std::optional<TastoLista> Scorrimento(int codice) {
    switch (codice) {
    case Qt::Key_Home:
        return TastoLista::Inizio;
    case Qt::Key_End:
        return TastoLista::Fine;
    case Qt::Key_PageUp:
        return TastoLista::PaginaSu;
    case Qt::Key_PageDown:
        return TastoLista::PaginaGiu;
    default:
        return std::nullopt;
    }
}
} // namespace

QString TestoDestinazione(const QString& arrivato) {
    QString testo;
    testo.reserve(arrivato.size());
    const QList<uint> codici = arrivato.toUcs4();
    for (qsizetype i = 0; i < codici.size(); ++i) {
        const char32_t c = codici[i];
        if (c == u'\r' || c == u'\n' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 || c == 0x2029) {
            if (c == u'\r' && i + 1 < codici.size() && codici[i + 1] == u'\n') ++i; // CR LF: one break
            testo.append(u' ');
        } else if (QChar::category(c) == QChar::Other_Control) {
            testo.append(QString::fromUcs4(&c, 1));
        } else {
            const char32_t maiuscola = QChar::toUpper(c);
            testo.append(QString::fromUcs4(&maiuscola, 1));
        }
    }
    return testo;
}

QString TestoNonRiuscita(const EsitoCorsa& esito, const QString& filePdf) {
    if (esito.Cosa != EsitoCorsa::Fallito && esito.Cosa != EsitoCorsa::Rifiutato) return {};
    QString testo = esito.Motivo.trimmed();
    if (testo.isEmpty()) testo = QStringLiteral("la stampa non è riuscita");
    if (!filePdf.isEmpty() && esito.FilePdf.isEmpty())
        testo = QStringLiteral("Il documento non è stato salvato in %1: %2").arg(filePdf, testo);
    testo[0] = testo[0].toUpper();
    if (!testo.endsWith(u'.')) testo += u'.';
    // Where the document is kept gets a sentence of its own.
    if (!esito.FilePdf.isEmpty())
        testo += QStringLiteral("\rIl documento è stato salvato in %1.").arg(esito.FilePdf);
    return testo;
}

QString TestoSalvato(const EsitoCorsa& esito) {
    if (esito.Cosa != EsitoCorsa::Salvato || esito.FilePdf.isEmpty()) return {};
    QString testo = QStringLiteral("Il documento è stato salvato come file PDF in:\r%1").arg(esito.FilePdf);
    if (!esito.Pagine.isEmpty()) testo += QStringLiteral("\rPagine salvate: %1.").arg(esito.Pagine);
    return testo;
}

QString TestoNonAperto(const QString& file) {
    return QStringLiteral("Nessun programma ha potuto aprire il documento.\rIl file è in:\r%1").arg(file);
}

QString TestoAvanzamento(int fatti, int totale) {
    return QStringLiteral("Stampa dei Moduli in corso... Pagina %1 di %2").arg(fatti + 1).arg(totale + 1);
}

ModelloFinestra::ModelloFinestra(Servizi servizi) : servizi_(std::move(servizi)) {
    CaricaRisorse();
    // Captions, initial texts and widths as the window's table has them.
    for (const DescrizioneControllo& d : Controlli()) {
        if (!d.Stato) continue;
        Controllo& c = this->*d.Stato;
        c.Testo = QString::fromUtf8(d.Didascalia);
        c.Larghezza = d.Rettangolo.width();
    }
}

ModelloFinestra::~ModelloFinestra() = default;

void ModelloFinestra::Notifica() {
    if (servizi_.Aggiornato) servizi_.Aggiornato();
}

QStringList ModelloFinestra::Installate() {
    if (!servizi_.StampantiInstallate) return {};
    // The query may wait a few seconds for a slow printing system.
    struct Attesa {
        const std::function<void(bool)>& occupato;
        explicit Attesa(const std::function<void(bool)>& o) : occupato(o) {
            if (occupato) occupato(true);
        }
        ~Attesa() {
            if (occupato) occupato(false);
        }
    } attesa(servizi_.Occupato);
    return servizi_.StampantiInstallate();
}

void ModelloFinestra::RiprendiTastiera() {
    FuocoRichiesto = chkBianco.Spuntato ? &chkBianco : &txtLocalita;
}

void ModelloFinestra::Form_Load(const QDate& oggi, const QString& argomenti,
                                const QByteArray& cartellaProgramma) {
    // 1-2
    Form.RigaComando.clear();
    lblCopyright.Testo = ComponiCopyright();
    // 3-7
    cmdStampa.Abilitato = false;
    frmSelStampa.Visibile = false;
    cmdHelp.Visibile = true;
    Form.AnnullaStampa = false;
    DimensionafrmBase(false);
    txtFondo.Testo.clear();
    for (Controllo* c : {&cmbg1, &cmbg2, &cmbm1, &cmbm2, &cmba1, &cmba2})
        c->Voci.clear();
    cmdAnnulla.Visibile = false;
    cmdStampa.Visibile = true;
    cmbCopie.Abilitato = false;
    // 8: the date lists.
    for (int i = 1; i <= 31; ++i) {
        const QString due = Zero(i, 2);
        cmbg1.Voci.append(due);
        cmbg2.Voci.append(due);
        if (i < 13) {
            cmbm1.Voci.append(due);
            cmbm2.Voci.append(due);
        }
        if (i < 5) {
            const QString anno = Zero(oggi.year() + i - 2, 4);
            cmba1.Voci.append(anno);
            cmba2.Voci.append(anno);
        }
    }
    // 9
    cmbCopie.Voci.clear();
    for (int i = 1; i <= 99; ++i)
        cmbCopie.Voci.append(Zero(i, 2));
    cmbCopie.Testo = QStringLiteral("01");
    // The copies of a run from the panel: 1 to 99.
    cmbNumCopie.Voci.clear();
    for (int i = 1; i <= 99; ++i)
        cmbNumCopie.Voci.append(QString::number(i));
    cmbNumCopie.Testo = QStringLiteral("1");
    chkFronteRetro.Abilitato = false;
    // 10: default period.
    cmbg1.Testo = Zero(oggi.day(), 2);
    cmbg2.Testo = QStringLiteral("31");
    cmbm1.Testo = cmbm2.Testo = Zero(oggi.month(), 2);
    cmba1.Testo = cmba2.Testo = Zero(oggi.year(), 4);
    // 11-12: the invocation line, from the command line or from the file.
    Form.RigaComando = argomenti;
    if (Form.RigaComando.isEmpty()) {
        const LetturaFileComando lettura = LeggiFileComando(cartellaProgramma);
        if (lettura.Inutilizzabile && servizi_.SenzaSchermo) {
            // Nobody to show the window to, and a line that was not acted on.
            Rifiuta(lettura.Avviso);
            return;
        }
        if (!lettura.Avviso.isEmpty()) Avvisa(lettura.Avviso);
        if (lettura.Caratteri > kMaxRiga) {
            Rifiuta(RigaTroppoLunga(lettura.Caratteri, !lettura.Intera) +
                    QStringLiteral(" in Commandline.txt: non stampo"));
            return;
        }
        // A file with nothing to read in it is a line that cannot be read:
        // its caller waits for the end-of-run file all the same.
        if (lettura.Trovato && lettura.Riga.trimmed().isEmpty()) {
            Rifiuta(QStringLiteral("Commandline.txt non contiene una riga di comando: non stampo"));
            return;
        }
        Form.RigaComando = lettura.Riga;
    }
    // 13-14: a line prints only when all of it was read; nobody is watching
    // an unattended run, so a line that was misread prints nothing at all.
    if (!Form.RigaComando.isEmpty()) {
        const Invocazione inv = AnalizzaRigaComando(Form.RigaComando);
        if (!inv.Errore.isEmpty()) {
            Rifiuta(inv.Errore + QStringLiteral(": non stampo"));
            return;
        }
        txtLocalita.Testo = *inv.Destinazione;
        auto imposta = [](const DataInvocazione& d, Controllo& g, Controllo& m, Controllo& a) {
            g.Testo = Zero(d.Giorno, 2);
            m.Testo = Zero(d.Mese, 2);
            a.Testo = Zero(d.Anno, 4);
        };
        imposta(*inv.Inizio, cmbg1, cmbm1, cmba1);
        imposta(*inv.Fine, cmbg2, cmbm2, cmba2);
        // e. Lock the inputs.
        cmdHelp.Visibile = false;
        txtLocalita.Abilitato = false;
        for (Controllo* c : {&cmbg1, &cmbg2, &cmbm1, &cmbm2, &cmba1, &cmba2})
            c->Abilitato = false;
        chkBianco.Abilitato = false;
        Notifica();
        // f. Print at once on the current printer, without asking, and end.
        RichiestaStampa r;
        r.Destinazione = *inv.Destinazione;
        auto data = [](const DataInvocazione& d) { return QDate(d.Anno, d.Mese, d.Giorno); };
        r.Inizio = data(*inv.Inizio);
        r.Fine = data(*inv.Fine);
        r.Stampante = stampanteCorrente_;
        r.NomeDocumento = NomeDocumento(r.Destinazione);
        r.Incustodita = true;
        r.CartellaLavoro = servizi_.CartellaLavoro;
        Esegui(r);
        if (!predefinitaMancante_.isEmpty() && UltimoEsito.Cosa == EsitoCorsa::Salvato)
            Avvisa(QStringLiteral(
                       "la stampante predefinita \"%1\" non è installata: il documento è stato salvato "
                       "in %2")
                       .arg(predefinitaMancante_, UltimoEsito.FilePdf));
        if (servizi_.Termina) servizi_.Termina(CodiceUscita(UltimoEsito));
        return;
    }
    // 15
    StampaVisibile();
    if (!predefinitaMancante_.isEmpty() && servizi_.Avvertimento && !servizi_.SenzaSchermo)
        servizi_.Avvertimento(
            kTitoloStampa,
            QStringLiteral("La stampante predefinita \"%1\" non è installata.\rI moduli saranno "
                           "salvati come file PDF, se non si sceglie un'altra stampante.")
                .arg(predefinitaMancante_),
            QString());
}

void ModelloFinestra::StampaVisibile() {
    bool completo = false;
    Passo([&] {
        const double fine = Data2Giul(cmbg2.Testo + cmbm2.Testo + cmba2.Testo);
        const double inizio = Data2Giul(cmbg1.Testo + cmbm1.Testo + cmba1.Testo);
        // A destination with nothing visible in it is no destination.
        completo = !SenzaCaratteriVisibili(txtLocalita.Testo) && !(inizio > fine);
    });
    cmdStampa.Abilitato = completo;
    StampaPredefinito = true;
    Notifica();
}

RichiestaStampa ModelloFinestra::RichiestaDallaFinestra(const QString& stampante) const {
    // The pickers' texts are read once, into dates: the day numbers make a
    // day 31 of a 30-day month the first of the next, as everywhere else.
    auto data = [](const Controllo& g, const Controllo& m, const Controllo& a) {
        int16_t giorno = 0, mese = 0, anno = 0;
        Giul2Data(Data2Giul(g.Testo + m.Testo + a.Testo), giorno, mese, anno);
        return QDate(anno, mese, giorno);
    };
    RichiestaStampa r;
    r.Destinazione = txtLocalita.Testo;
    r.Inizio = data(cmbg1, cmbm1, cmba1);
    r.Fine = data(cmbg2, cmbm2, cmba2);
    if (chkBianco.Spuntato) r.FogliBianchi = ValoreNumerico(cmbCopie.Testo);
    r.Stampante = stampante;
    r.NomeDocumento = NomeDocumento(r.Destinazione);
    r.CartellaLavoro = servizi_.CartellaLavoro;
    // A printer that fails keeps the document where the user last saved one.
    if (!cartellaPdf_.isEmpty() && QFileInfo(cartellaPdf_).isDir()) r.CartellaRiserva = cartellaPdf_;
    // The pages, copies and sides chosen in the panel; the PDF writer makes
    // one file, on one side.
    if (r.Inizio.isValid() && r.Fine.isValid())
        r.Pagine = LeggiPagine(txtPagine.Testo, NumeroFogli(r) + 1).Pagine;
    if (stampante != kNomeScrittorePdf) {
        r.Copie = std::clamp(cmbNumCopie.Testo.toInt(), 1, 99);
        r.FronteRetro = chkFronteRetro.Spuntato && chkFronteRetro.Abilitato;
    }
    return r;
}

void ModelloFinestra::ControllaPagine() {
    motivoPagine_.clear();
    try {
        RichiestaStampa r = RichiestaDallaFinestra(stampanteCorrente_);
        if (r.Inizio.isValid() && r.Fine.isValid())
            motivoPagine_ = LeggiPagine(txtPagine.Testo, NumeroFogli(r) + 1).Motivo;
    } catch (const std::exception&) {
        // Dates that cannot be read: the run says so.
    }
    txtPagine.ColoreTesto = motivoPagine_.isEmpty() ? kNero : kRosso;
}

void ModelloFinestra::txtPagine_Change(const QString& testo) {
    txtPagine.Testo = testo;
    ControllaPagine();
    Notifica();
}

void ModelloFinestra::SceltaStampante(int riga) {
    lstStampanti.Selezionato = riga;
    const QString stampante = StampanteScelta();
    const bool pdf = stampante == kNomeScrittorePdf;
    // The PDF writer makes one file.
    cmbNumCopie.Abilitato = !pdf;
    if (pdf) cmbNumCopie.Testo = QStringLiteral("1");
    // Two sides only where the printer has them; asked once per opening of the panel.
    if (!fronteRetro_.contains(stampante)) {
        bool si = false;
        if (!pdf && servizi_.FronteRetro) {
            if (servizi_.Occupato) servizi_.Occupato(true);
            si = servizi_.FronteRetro(stampante);
            if (servizi_.Occupato) servizi_.Occupato(false);
        }
        fronteRetro_.insert(stampante, si);
    }
    chkFronteRetro.Abilitato = fronteRetro_.value(stampante);
    if (!chkFronteRetro.Abilitato) chkFronteRetro.Spuntato = false;
    Notifica();
}

void ModelloFinestra::AvviaStampa() {
    if (corsa_) return; // one run at a time: events are processed during a run
    filePdf_.clear();   // chosen again in each run from the window
    RichiestaStampa r;
    try {
        r = RichiestaDallaFinestra(stampanteCorrente_);
    } catch (const std::exception& e) {
        UltimoEsito = Concludi(EsitoCorsa::Di(EsitoCorsa::Rifiutato, QString::fromUtf8(e.what())),
                               servizi_.CartellaLavoro);
        return;
    }
    // Answering No, or cancelling the save dialog, prints nothing; the
    // end-of-run file says that the run is over all the same.
    if (!Conferma(r)) {
        UltimoEsito = Concludi(EsitoCorsa::Di(EsitoCorsa::Annullato), servizi_.CartellaLavoro);
        return;
    }
    Esegui(r);
}

void ModelloFinestra::Esegui(const RichiestaStampa& richiesta) {
    if (corsa_) return;
    Form.AnnullaStampa = false;
    GanciCorsa ganci;
    ganci.Avanzamento = [this](int fatti, int totale) {
        StatoStampa(static_cast<float>(fatti), static_cast<float>(totale));
        ImpostaTestoFondo(TestoAvanzamento(fatti, totale));
        if (fatti == 1) MostraRiempimento();
        ElaboraEventi();
    };
    // A printer that makes the hand-over wait: the window says what it waits
    // for, and "&Annulla" still stops it.
    ganci.InConsegna = [this] {
        const QString invio = QStringLiteral("Invio del documento alla stampante...");
        if (txtFondo.Testo != invio) ImpostaTestoFondo(invio);
        ElaboraEventi();
    };
    if (richiesta.Incustodita) DisabilitaFine();
    DimensionafrmBase(true);
    MostraAnnulla(true);
    corsa_ = std::make_unique<CorsaStampa>(richiesta, std::move(ganci), servizi_.CreaSuperficie);
    UltimoEsito = corsa_->Esegui();
    corsa_.reset();
    ImpostaTestoFondo(QString());
    DimensionafrmBase(false);
    MostraAnnulla(false);
    Ridisegna();
}

void ModelloFinestra::Rifiuta(const QString& motivo) {
    UltimoEsito = Concludi(EsitoCorsa::Di(EsitoCorsa::Rifiutato, motivo), servizi_.CartellaLavoro);
    if (servizi_.Termina) servizi_.Termina(CodiceUscita(UltimoEsito));
}

void ModelloFinestra::cmdStampa_Click() {
    VisualizzaListaStampanti();
}

bool ModelloFinestra::TastoInvio() {
    if (!StampaPredefinito || !cmdStampa.Abilitato || !cmdStampa.Visibile) return false;
    cmdStampa_Click();
    return true;
}

bool ModelloFinestra::TastoEsc() {
    if (!frmSelStampa.Visibile) return false;
    cmdSelStampante_Click(1);
    return true;
}

bool ModelloFinestra::TastoAiuto() {
    if (!cmdHelp.Visibile || !cmdHelp.Abilitato) return false;
    cmdHelp_Click();
    return true;
}

bool ModelloFinestra::Coperto(QAnyStringView controllo) const {
    if (!frmSelStampa.Visibile || Dentro(controllo, u"frmSelStampa") || controllo == u"frmSelStampa")
        return false;
    // Rectangles in the window, through the frames the control sits in.
    auto nellaFinestra = [](const DescrizioneControllo* d) {
        QRect r = d->Rettangolo;
        for (d = Descrizione(QLatin1String(d->Contenitore)); d;
             d = Descrizione(QLatin1String(d->Contenitore)))
            r.translate(d->Rettangolo.topLeft());
        return r;
    };
    const DescrizioneControllo* d = Descrizione(controllo);
    return d && nellaFinestra(d).intersects(nellaFinestra(Descrizione(u"frmSelStampa")));
}

bool ModelloFinestra::Invio(QAnyStringView fuoco) {
    if (frmSelStampa.Visibile && Dentro(fuoco, u"frmSelStampa")) {
        // In the printer panel Enter starts the run on the chosen printer.
        cmdSelStampante_Click(0);
        return true;
    }
    return TastoInvio();
}

EsitoTasto ModelloFinestra::TastoSu(QAnyStringView controllo, const Tasto& t) {
    const DescrizioneControllo* d = Descrizione(controllo);
    if (!d) return {};
    Controllo* stato = d->Stato ? &(this->*d->Stato) : nullptr;
    const auto mod = t.Modificatori;
    const bool senzaModificatori =
        !(mod & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier));
    if (t.Codice == Qt::Key_Escape && senzaModificatori && TastoEsc()) return {EsitoTasto::Preso};
    if (t.Codice == Qt::Key_F1 && senzaModificatori) {
        TastoAiuto();
        return {EsitoTasto::Preso};
    }
    // Home, End, Page Up and Page Down choose in the date and page lists as
    // the arrow keys do.
    if (const auto scorri = Scorrimento(t.Codice);
        scorri && senzaModificatori && d->Tipo == Genere::Tendina && stato) {
        ScorriLista(*stato, *scorri);
        return {EsitoTasto::Preso};
    }
    if (PremutoInvio(t)) {
        // A focused button takes Enter itself, unless Enter never presses
        // it; the check box never takes it. Decided here, as some desktop
        // themes make Enter press whatever button or box has the focus.
        if (d->Tipo == Genere::Bottone && !(d->Opzioni & InvioEscluso)) return {};
        Invio(controllo);
        return {EsitoTasto::Preso};
    }
    if (stato == &lstStampanti &&
        (lstStampanti.Selezionato < 0 || lstStampanti.Selezionato >= lstStampanti.Voci.size()) &&
        !lstStampanti.Voci.isEmpty() &&
        !(mod & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))) {
        // Nothing chosen yet: the first arrow key chooses the first entry
        // (End and Page Down the last), whatever entry has the focus frame.
        int riga = -1;
        switch (t.Codice) {
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
            break;
        }
        if (riga >= 0) {
            SceltaStampante(riga);
            return {EsitoTasto::Preso};
        }
    }
    const QString& testo = t.Testo;
    if (!testo.isEmpty() && testo.at(0).isPrint() && (mod & (Qt::AltModifier | Qt::MetaModifier)))
        return {EsitoTasto::Preso}; // an Alt key that is no shortcut types nothing
    if (testo.isEmpty() || mod & Qt::ControlModifier) return {};
    char16_t carattere = testo.at(0).unicode();
    if (stato == &txtLocalita) {
        const char16_t originale = carattere;
        txtLocalita_KeyPress(carattere);
        if (carattere == 0) return {EsitoTasto::Preso};
        if (carattere != originale) return {EsitoTasto::Inserisci, QString(QChar(carattere))};
        return {};
    }
    // The date and page-count lists take choices only: typed characters are
    // discarded (the arrow keys still move through the entries).
    if (d->Tipo == Genere::Tendina && testo.at(0).isPrint()) {
        cmbData_KeyPress(carattere);
        if (carattere == 0) return {EsitoTasto::Preso};
    }
    return {};
}

bool ModelloFinestra::TastoNonPreso(QAnyStringView fuoco, const Tasto& t) {
    if (PremutoInvio(t) && Invio(fuoco)) return true;
    if (t.Codice == Qt::Key_F1 && t.Modificatori == Qt::NoModifier) return TastoAiuto();
    return t.Codice == Qt::Key_Escape && t.Modificatori == Qt::NoModifier && TastoEsc();
}

EsitoTasto ModelloFinestra::Scorciatoia(QAnyStringView controllo, bool ambigua) {
    const DescrizioneControllo* d = Descrizione(controllo);
    if (!d) return {};
    // A label does not lead the focus under the printer panel (a button or
    // the check box there is still pressed by its letter, without the focus).
    if (*d->Compagno && Coperto(QLatin1String(d->Compagno))) return {EsitoTasto::Preso};
    // "&Al" and "&Annulla" share Alt+A: while a run shows "&Annulla", the
    // shortcut cancels.
    const QString didascalia = d->Stato ? (this->*d->Stato).Testo : QString::fromUtf8(d->Didascalia);
    const QChar lettera = Mnemonico(didascalia);
    if (!lettera.isNull() && lettera == Mnemonico(cmdAnnulla.Testo) && cmdAnnulla.Visibile &&
        cmdAnnulla.Abilitato) {
        cmdAnnulla_Click();
        return {EsitoTasto::Preso};
    }
    // A button's mnemonic presses it at once: during a run events are taken
    // only between pages, too seldom for a delayed click.
    if ((d->Tipo == Genere::Bottone || d->Tipo == Genere::CasellaSpunta) && !ambigua)
        return {EsitoTasto::Premi};
    return {};
}

std::optional<QString> ModelloFinestra::TestoComposto(QAnyStringView controllo, const QString& composto) {
    if (controllo != u"txtLocalita") return std::nullopt;
    // Composed characters (dead keys, input methods) are upper-cased too.
    QString testo;
    for (QChar c : composto) {
        char16_t codice = c.unicode();
        txtLocalita_KeyPress(codice);
        if (codice != 0) testo.append(QChar(codice));
    }
    return testo;
}

void ModelloFinestra::VisualizzaListaStampanti() {
    lstStampanti.Voci = ElencoStampanti(Installate());
    // The current printer is shown chosen, so that what looks chosen is what
    // prints; the names are compared exactly.
    fronteRetro_.clear();
    SceltaStampante(static_cast<int>(lstStampanti.Voci.indexOf(stampanteCorrente_)));
    ControllaPagine();
    frmSelStampa.Visibile = true;
    Notifica();
}

void ModelloFinestra::cmdSelStampante_Click(int16_t Index) {
    if (Index == 0) {
        // Pages that do not fit the document print nothing: the panel stays,
        // with the reason, and the keyboard goes back to them.
        ControllaPagine();
        if (!motivoPagine_.isEmpty()) {
            if (servizi_.Avvertimento)
                servizi_.Avvertimento(kTitoloStampa, QStringLiteral("Pagine: %1.").arg(motivoPagine_),
                                      QString());
            FuocoRichiesto = &txtPagine;
            Notifica();
            return;
        }
        frmSelStampa.Visibile = false;
        Notifica();
        if (lstStampanti.Selezionato >= 0 && lstStampanti.Selezionato < lstStampanti.Voci.size()) {
            const QString scelta = lstStampanti.Voci[lstStampanti.Selezionato];
            // The name must still be there, exactly as shown.
            if (ElencoStampanti(Installate()).contains(scelta))
                stampanteCorrente_ = scelta;
            else
                Avvisa(QStringLiteral("la stampante \"%1\" non è più installata: stampo su \"%2\"")
                           .arg(scelta, stampanteCorrente_));
        }
        AvviaStampa();
        RiprendiTastiera();
        Notifica();
        DiciEsito();
    } else if (Index == 1) {
        frmSelStampa.Visibile = false;
        RiprendiTastiera();
        Notifica();
    }
}

QString ModelloFinestra::StampanteScelta() const {
    const int scelta = lstStampanti.Selezionato;
    return scelta >= 0 && scelta < lstStampanti.Voci.size() ? lstStampanti.Voci[scelta] : stampanteCorrente_;
}

void ModelloFinestra::cmdAnteprima_Click() {
    if (corsa_ || !servizi_.Anteprima) return;
    const QString stampante = StampanteScelta();
    // The printer's printable area gives the page its bottom line, as in a
    // run. A printing system may take a few seconds to give it.
    if (servizi_.Occupato) servizi_.Occupato(true);
    const QPageLayout layout =
        servizi_.Impaginazione ? servizi_.Impaginazione(stampante)
                               : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    if (servizi_.Occupato) servizi_.Occupato(false);
    ContestoStampa c;
    try {
        c = ValoriCorsa(
            RichiestaDallaFinestra(stampante),
            static_cast<float>(layout.paintRect(QPageLayout::Millimeter).height() / ScalaFoglio(layout)));
    } catch (const std::exception& e) {
        Avvisa(QStringLiteral("anteprima non disponibile: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    Pagine pagine(std::move(c));
    if (servizi_.Anteprima(pagine, layout)) cmdSelStampante_Click(0);
}

void ModelloFinestra::cmdAnnulla_Click() {
    const bool si = servizi_.DomandaSiNo &&
                    servizi_.DomandaSiNo(kTitoloStampa, QStringLiteral("Vuoi annullare la stampa?"));
    Form.AnnullaStampa = si;
    if (si && corsa_) corsa_->Annulla();
}

bool ModelloFinestra::Chiusura() {
    // Closing the window during a run asks, as "&Annulla" does; the run then
    // stops after its current page, and the window stays.
    if (corsa_) {
        cmdAnnulla_Click();
        return false;
    }
    cmdFine_Click();
    return true;
}

void ModelloFinestra::cmdFine_Click() {
    // Quitting during a run discards its document: nothing half-drawn is
    // printed, and the program does not end as if all went well.
    int codice = 0;
    if (corsa_)
        codice = CodiceUscita(corsa_->Abbandona(
            EsitoCorsa::Annullato,
            QStringLiteral("programma terminato durante la stampa: nulla è stato stampato")));
    if (servizi_.Termina) servizi_.Termina(codice);
}

QString ModelloFinestra::TestoHelp() const {
    const QStringList righe = {
        QStringLiteral("Stampa con dati inseriti ('Moduli in bianco' non settato)"),
        QStringLiteral("Campi obbligatori"),
        QStringLiteral("   * località;"),
        QStringLiteral("   * data iniziale dell'itinerario;"),
        QStringLiteral("   * data finale dell'itinerario (almeno pari all'iniziale)."),
        QString(),
        QStringLiteral("Per la stampa di 'Moduli in bianco', settare l'apposita casella"),
        QStringLiteral("e indicare il numero di pagine desiderate (1-99). Questo dato non"),
        QStringLiteral("influisce nella stampa dei moduli compilati dove è sempre pari ad 1."),
        QString(),
        QStringLiteral("L'applicazione 'Percorsario' utilizza questo modulo di"),
        QStringLiteral("programma inserendo automaticamente i dati necessari."),
        QString(),
        lblCopyright.Testo + QStringLiteral(" - freeware"),
        QStringLiteral("Per contattarmi: " VAGOLUME_CONTACT),
    };
    return righe.join(u'\r');
}

void ModelloFinestra::cmdHelp_Click() {
    // During a run the help does not hold the run up.
    if (corsa_ && servizi_.InformazioneSenzaAttesa)
        servizi_.InformazioneSenzaAttesa(kTitoloHelp, TestoHelp());
    else if (servizi_.Informazione)
        servizi_.Informazione(kTitoloHelp, TestoHelp());
}

void ModelloFinestra::chkBianco_Click() {
    const bool v = chkBianco.Spuntato;
    Rgb colore = kNero;
    if (v) {
        cmdStampa.Abilitato = true;
        StampaPredefinito = true;
        colore = kBianco;
    } else {
        colore = kNero;
        StampaVisibile();
    }
    frmLocalita.Abilitato = !v;
    cmbCopie.Abilitato = v;
    frmPeriodo.Abilitato = !v;
    for (Controllo* c : {&txtLocalita, &cmbg1, &cmbg2, &cmba1, &cmba2, &cmbm1, &cmbm2})
        c->ColoreTesto = colore;
    Notifica();
}

void ModelloFinestra::RicostruisciGiorni(Controllo& giorni, const Controllo& mesi, const Controllo& anni) {
    Passo([&] {
        int16_t d = ValoreNumerico(giorni.Testo);
        const int16_t n = GiorniMese(ValoreNumerico(anni.Testo), ValoreNumerico(mesi.Testo));
        giorni.Voci.clear();
        for (int i = n; i >= 1; --i)
            giorni.Voci.append(Zero(i, 2));
        if (d > n) d = n;
        giorni.Testo = Zero(d, 2);
    });
    StampaVisibile();
}

void ModelloFinestra::cmbM1_Click() {
    RicostruisciGiorni(cmbg1, cmbm1, cmba1);
}
void ModelloFinestra::cmbM2_Click() {
    RicostruisciGiorni(cmbg2, cmbm2, cmba2);
}
void ModelloFinestra::cmbA1_Click() {
    RicostruisciGiorni(cmbg1, cmbm1, cmba1);
}
void ModelloFinestra::cmbA2_Click() {
    RicostruisciGiorni(cmbg2, cmbm2, cmba2);
}
void ModelloFinestra::cmbData_Click() {
    StampaVisibile();
}

void ModelloFinestra::ScorriLista(Controllo& lista, TastoLista tasto) {
    const int n = static_cast<int>(lista.Voci.size());
    if (n == 0 || !lista.Abilitato) return;
    const int attuale = static_cast<int>(lista.Voci.indexOf(lista.Testo));
    int scelta = attuale;
    switch (tasto) {
    case TastoLista::Inizio:
        scelta = 0;
        break;
    case TastoLista::Fine:
        scelta = n - 1;
        break;
    case TastoLista::PaginaSu:
        scelta = attuale < 0 ? 0 : attuale - kVociPerPagina;
        break;
    case TastoLista::PaginaGiu:
        scelta = attuale < 0 ? kVociPerPagina - 1 : attuale + kVociPerPagina;
        break;
    }
    scelta = std::clamp(scelta, 0, n - 1);
    if (scelta == attuale) return;
    ListaScelta(lista, lista.Voci[scelta]);
}

void ModelloFinestra::ListaScelta(Controllo& lista, const QString& voce) {
    lista.Testo = voce;
    if (&lista == &cmbm1)
        cmbM1_Click();
    else if (&lista == &cmbm2)
        cmbM2_Click();
    else if (&lista == &cmba1)
        cmbA1_Click();
    else if (&lista == &cmba2)
        cmbA2_Click();
    else if (&lista == &cmbCopie || &lista == &cmbNumCopie)
        Ridisegna();
    else
        cmbData_Click();
}
void ModelloFinestra::cmbData_KeyPress(char16_t& KeyAscii) {
    KeyAscii = 0;
}

void ModelloFinestra::txtLocalita_KeyPress(char16_t& KeyAscii) {
    const QChar c(KeyAscii);
    if (!c.isNull() && c.category() != QChar::Other_Control) KeyAscii = c.toUpper().unicode();
    StampaVisibile();
}

void ModelloFinestra::txtLocalita_Change(const QString& testo) {
    // Judged after the change, so that "&Stampa" never lags one key behind
    // the field (Backspace, Delete, cut, paste and undo change it too).
    txtLocalita.Testo = testo;
    StampaVisibile();
}

bool ModelloFinestra::Conferma(RichiestaStampa& richiesta) {
    if (!servizi_.DomandaSiNo || !servizi_.DomandaSiNo(kTitoloStampa, TestoConferma(richiesta))) return false;
    // For the PDF writer the user says where the file goes; cancelling the
    // dialog is answering No.
    if (richiesta.Stampante == kNomeScrittorePdf && servizi_.SalvaFile) return ScegliFilePdf(richiesta);
    return true;
}

QString ModelloFinestra::CartellaPdf() const {
    if (!cartellaPdf_.isEmpty() && QFileInfo(cartellaPdf_).isDir()) return cartellaPdf_;
    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documenti.isEmpty() && QFileInfo(documenti).isDir()) return documenti;
    return QDir::homePath();
}

bool ModelloFinestra::ScegliFilePdf(RichiestaStampa& richiesta) {
    QString proposto =
        QDir(CartellaPdf()).filePath(NomeFileSicuro(richiesta.NomeDocumento) + QStringLiteral(".pdf"));
    for (;;) {
        QString scelto = servizi_.SalvaFile(kTitoloSalvaPdf, proposto);
        if (scelto.isEmpty()) return false;
        scelto = QFileInfo(scelto).absoluteFilePath();
        if (!scelto.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
            // The dialog asked about the name without ".pdf": ask again about
            // the name that will be written.
            scelto += QStringLiteral(".pdf");
            if (QFileInfo::exists(scelto) &&
                !servizi_.DomandaSiNo(kTitoloSalvaPdf,
                                      QStringLiteral("%1 esiste già.\rVuoi sostituirlo?").arg(scelto))) {
                proposto = scelto;
                continue;
            }
        }
        filePdf_ = scelto;
        richiesta.FilePdf = scelto;
        cartellaPdf_ = QFileInfo(scelto).absolutePath();
        return true;
    }
}

void ModelloFinestra::DiciEsito() {
    // Only runs from the window: an unattended run has nobody to tell.
    if (!Form.RigaComando.isEmpty()) return;
    // A document kept as a PDF can be opened from either box.
    bool apri = false;
    if (const QString testo = TestoNonRiuscita(UltimoEsito, filePdf_); !testo.isEmpty()) {
        if (servizi_.Avvertimento)
            apri = servizi_.Avvertimento(kTitoloNonRiuscita, testo, UltimoEsito.FilePdf);
    } else if (const QString salvato = TestoSalvato(UltimoEsito); !salvato.isEmpty()) {
        if (servizi_.InformazioneFile)
            apri = servizi_.InformazioneFile(kTitoloSalvato, salvato, UltimoEsito.FilePdf);
    }
    if (apri && !UltimoEsito.FilePdf.isEmpty()) ApriDocumento(UltimoEsito.FilePdf);
}

void ModelloFinestra::ApriDocumento(const QString& file) {
    if (!servizi_.ApriFile) return;
    // Nothing to open it with: the user is told where the file is.
    servizi_.ApriFile(file, [this, file] {
        if (servizi_.Avvertimento) servizi_.Avvertimento(kTitoloNonAperto, TestoNonAperto(file), QString());
    });
}

void ModelloFinestra::DisabilitaFine() {
    cmdFine.Abilitato = false;
    Notifica();
}

void ModelloFinestra::DimensionafrmBase(bool n) {
    FinestraVisibile = true;
    txtSopra.Visibile = n;
    Notifica();
}

void ModelloFinestra::MostraAnnulla(bool inStampa) {
    cmdAnnulla.Visibile = inStampa;
    cmdStampa.Visibile = !inStampa;
    Notifica();
}

void ModelloFinestra::ElaboraEventi() {
    if (servizi_.ElaboraEventi) servizi_.ElaboraEventi();
}

void ModelloFinestra::StatoStampa(float Corr, float Totale) {
    txtSopra.Visibile = true;
    // A run of no pages shows an empty bar instead of dividing by zero.
    const double frazione = Totale > 0 ? static_cast<double>(txtFondo.Larghezza) * Corr / Totale : 0.0;
    txtSopra.Larghezza = static_cast<int>(std::min<double>(std::max(frazione, 0.0), txtFondo.Larghezza));
    Notifica();
}

void ModelloFinestra::ImpostaTestoFondo(const QString& testo) {
    txtFondo.Testo = testo;
    Notifica();
}

void ModelloFinestra::MostraRiempimento() {
    txtSopra.Visibile = true;
    Notifica();
}

void ModelloFinestra::Ridisegna() {
    Notifica();
}

} // namespace vagolume
