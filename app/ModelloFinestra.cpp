#include "app/ModelloFinestra.h"

#include "app/ControlliFinestra.h"
#include "app/Invocazione.h"
#include "calendar/Calendario.h"
#include "print/DocumentoStampa.h"
#include "print/StampaTesto.h"
#include "print/Stampanti.h"
#include "run/Sistema.h"
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

// Ctrl+P and Ctrl+Q, as on every desktop: "&Stampa" and "&Fine", wherever the
// focus is, when those buttons could be pressed.
bool TastoComando(ModelloFinestra& m, const Tasto& t) {
    if ((t.Modificatori & ~Qt::KeypadModifier) != Qt::ControlModifier) return false;
    if (t.Codice == Qt::Key_P && m.cmdStampa.Visibile && m.cmdStampa.Abilitato) {
        m.cmdStampa_Click();
        return true;
    }
    if (t.Codice == Qt::Key_Q && m.cmdFine.Visibile && m.cmdFine.Abilitato) {
        m.cmdFine_Click();
        return true;
    }
    return false;
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

ModelloFinestra::ModelloFinestra(Dialoghi& dialoghi, Piattaforma& piattaforma, FineProcesso processo)
    : Dialogo(*this, dialoghi, piattaforma), dialoghi_(dialoghi), piattaforma_(piattaforma),
      processo_(std::move(processo)) {
    CaricaRisorse();
    // Captions, initial texts and widths as the window's table has them.
    for (const DescrizioneControllo& d : Controlli()) {
        Controllo* c = StatoDi(*this, d);
        if (!c) continue;
        c->Testo = QString::fromUtf8(d.Didascalia);
        c->Larghezza = d.Rettangolo.width();
    }
}

ModelloFinestra::~ModelloFinestra() = default;

void ModelloFinestra::Notifica() {
    if (Aggiornato) Aggiornato();
}

void ModelloFinestra::RiprendiTastiera() {
    FuocoRichiesto = chkBianco.Spuntato ? &chkBianco : &txtLocalita;
}

void ModelloFinestra::StatoIniziale(const QDate& oggi) {
    // No invocation line yet; the credit line from the version information.
    Form.RigaComando.clear();
    lblCopyright.Testo = ComponiCopyright();
    // The idle layout: "&Stampa" unavailable until the form is complete.
    cmdStampa.Abilitato = false;
    Dialogo.Inizializza();
    cmdHelp.Visibile = true;
    Form.AnnullaStampa = false;
    DimensionafrmBase(false);
    txtFondo.Testo.clear();
    for (Controllo* c : {&cmbg1, &cmbg2, &cmbm1, &cmbm2, &cmba1, &cmba2})
        c->Voci.clear();
    cmdAnnulla.Visibile = false;
    cmdStampa.Visibile = true;
    cmbCopie.Abilitato = false;
    // The date lists: days 01-31, months 01-12, and five years around this one.
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
    // The blank-sheet count: 01-99.
    cmbCopie.Voci.clear();
    for (int i = 1; i <= 99; ++i)
        cmbCopie.Voci.append(Zero(i, 2));
    cmbCopie.Testo = QStringLiteral("01");
    // The default period: from today to the 31st of this month (a 31 the
    // month lacks counts on into the next, as the day numbers do).
    cmbg1.Testo = Zero(oggi.day(), 2);
    cmbg2.Testo = QStringLiteral("31");
    cmbm1.Testo = cmbm2.Testo = Zero(oggi.month(), 2);
    cmba1.Testo = cmba2.Testo = Zero(oggi.year(), 4);
}

Invocata ModelloFinestra::Form_Load(const QDate& oggi, const QString& argomenti,
                                    const QByteArray& cartellaProgramma) {
    StatoIniziale(oggi);
    // The invocation line, from the command line or from the file.
    invocata_ = {};
    Form.RigaComando = argomenti;
    if (Form.RigaComando.isEmpty() && !RigaDalFile(cartellaProgramma)) return invocata_;
    // A line prints only when all of it was read; nobody is watching an
    // unattended run, so a line that was misread prints nothing at all.
    if (!Form.RigaComando.isEmpty()) {
        AvvioIncustodito(Form.RigaComando);
        return invocata_;
    }
    // Without a line, the window waits for the user.
    StampaVisibile();
    const QString mancante = Dialogo.PredefinitaMancante();
    if (!mancante.isEmpty() && !processo_.SenzaSchermo)
        dialoghi_.Avvertimento(
            kTitoloStampa,
            QStringLiteral("La stampante predefinita \"%1\" non è installata.\rI moduli saranno "
                           "salvati come file PDF, se non si sceglie un'altra stampante.")
                .arg(mancante),
            QString());
    return invocata_;
}

bool ModelloFinestra::RigaDalFile(const QByteArray& cartellaProgramma) {
    const LetturaFileComando lettura = LeggiFileComando(cartellaProgramma);
    if (lettura.Inutilizzabile && processo_.SenzaSchermo) {
        // Nobody to show the window to, and a line that was not acted on.
        invocata_.Rifiuto = lettura.Avviso;
        return false;
    }
    if (!lettura.Avviso.isEmpty()) Avvisa(lettura.Avviso);
    if (lettura.Caratteri > kMaxRiga) {
        invocata_.Rifiuto = RigaTroppoLunga(lettura.Caratteri, !lettura.Intera) +
                            QStringLiteral(" in Commandline.txt: non stampo");
        return false;
    }
    // A file with nothing to read in it is a line that cannot be read:
    // its caller waits for the end-of-run file all the same.
    if (lettura.Trovato && lettura.Riga.trimmed().isEmpty()) {
        invocata_.Rifiuto = QStringLiteral("Commandline.txt non contiene una riga di comando: non stampo");
        return false;
    }
    Form.RigaComando = lettura.Riga;
    return true;
}

void ModelloFinestra::AvvioIncustodito(const QString& riga) {
    const Invocazione inv = AnalizzaRigaComando(riga);
    if (!inv.Errore.isEmpty()) {
        invocata_.Rifiuto = inv.Errore + QStringLiteral(": non stampo");
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
    // The inputs are locked: the window only shows the run.
    cmdHelp.Visibile = false;
    txtLocalita.Abilitato = false;
    for (Controllo* c : {&cmbg1, &cmbg2, &cmbm1, &cmbm2, &cmba1, &cmba2})
        c->Abilitato = false;
    chkBianco.Abilitato = false;
    Notifica();
    // Printed at once on the current printer, without asking; start-up runs it.
    RichiestaStampa r;
    r.Destinazione = *inv.Destinazione;
    auto data = [](const DataInvocazione& d) { return QDate(d.Anno, d.Mese, d.Giorno); };
    r.Inizio = data(*inv.Inizio);
    r.Fine = data(*inv.Fine);
    r.Stampante = Dialogo.StampanteCorrente();
    r.NomeDocumento = NomeDocumento(r.Destinazione);
    r.Incustodita = true;
    r.CartellaLavoro = processo_.CartellaLavoro;
    invocata_.Richiesta = r;
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

void ModelloFinestra::cmdStampa_Click() {
    Dialogo.VisualizzaListaStampanti();
}

bool ModelloFinestra::TastoInvio() {
    if (!StampaPredefinito || !cmdStampa.Abilitato || !cmdStampa.Visibile) return false;
    cmdStampa_Click();
    return true;
}

bool ModelloFinestra::TastoEsc() {
    if (!Dialogo.frmSelStampa.Visibile) return false;
    Dialogo.cmdSelStampante_Click(1);
    return true;
}

bool ModelloFinestra::TastoAiuto() {
    if (!cmdHelp.Visibile || !cmdHelp.Abilitato) return false;
    cmdHelp_Click();
    return true;
}

bool ModelloFinestra::Coperto(QAnyStringView controllo) const {
    if (!Dialogo.frmSelStampa.Visibile || Dentro(controllo, u"frmSelStampa") || controllo == u"frmSelStampa")
        return false;
    // Rectangles in the window, through the frames the control sits in.
    auto nellaFinestra = [](const DescrizioneControllo* d) {
        QRect r = d->Rettangolo;
        for (d = RigaTabella(QLatin1String(d->Contenitore)); d;
             d = RigaTabella(QLatin1String(d->Contenitore)))
            r.translate(d->Rettangolo.topLeft());
        return r;
    };
    const DescrizioneControllo* d = RigaTabella(controllo);
    return d && nellaFinestra(d).intersects(nellaFinestra(RigaTabella(u"frmSelStampa")));
}

bool ModelloFinestra::Invio(QAnyStringView fuoco) {
    if (Dialogo.frmSelStampa.Visibile && Dentro(fuoco, u"frmSelStampa")) {
        // In the printer panel Enter starts the run on the chosen printer.
        Dialogo.cmdSelStampante_Click(0);
        return true;
    }
    return TastoInvio();
}

EsitoTasto ModelloFinestra::TastoSu(QAnyStringView controllo, const Tasto& t) {
    const DescrizioneControllo* d = RigaTabella(controllo);
    if (!d) return {};
    Controllo* stato = StatoDi(*this, *d);
    const auto mod = t.Modificatori;
    const bool senzaModificatori =
        !(mod & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier));
    if (t.Codice == Qt::Key_Escape && senzaModificatori && TastoEsc()) return {EsitoTasto::Preso};
    if (TastoComando(*this, t)) return {EsitoTasto::Preso};
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
    if (stato == &Dialogo.lstStampanti &&
        !(mod & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) && Dialogo.PrimaScelta(t.Codice))
        return {EsitoTasto::Preso};
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
    if (TastoComando(*this, t)) return true;
    if (PremutoInvio(t) && Invio(fuoco)) return true;
    if (t.Codice == Qt::Key_F1 && t.Modificatori == Qt::NoModifier) return TastoAiuto();
    return t.Codice == Qt::Key_Escape && t.Modificatori == Qt::NoModifier && TastoEsc();
}

EsitoTasto ModelloFinestra::Scorciatoia(QAnyStringView controllo, bool ambigua) {
    const DescrizioneControllo* d = RigaTabella(controllo);
    if (!d) return {};
    // A label does not lead the focus under the printer panel (a button or
    // the check box there is still pressed by its letter, without the focus).
    if (*d->Compagno && Coperto(QLatin1String(d->Compagno))) return {EsitoTasto::Preso};
    // "&Al" and "&Annulla" share Alt+A: while a run shows "&Annulla", the
    // shortcut cancels.
    const Controllo* stato = StatoDi(*this, *d);
    const QString didascalia = stato ? stato->Testo : QString::fromUtf8(d->Didascalia);
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

void ModelloFinestra::cmdAnnulla_Click() {
    const bool si = dialoghi_.DomandaSiNo(kTitoloStampa, QStringLiteral("Vuoi annullare la stampa?"));
    Form.AnnullaStampa = si;
    if (si && Dialogo.Corsa()) Dialogo.Corsa()->Annulla();
}

bool ModelloFinestra::Chiusura() {
    // Closing the window during a run asks, as "&Annulla" does; the run then
    // stops after its current page, and the window stays.
    if (Dialogo.Corsa()) {
        cmdAnnulla_Click();
        return false;
    }
    cmdFine_Click();
    return true;
}

void ModelloFinestra::cmdFine_Click() {
    // Quitting during a run discards its document: nothing half-drawn is
    // printed, and the program does not end as if all went well.
    std::optional<EsitoCorsa> abbandonata;
    if (CorsaStampa* corsa = Dialogo.Corsa())
        abbandonata =
            corsa->Abbandona(EsitoCorsa::Annullato,
                             QStringLiteral("programma terminato durante la stampa: nulla è stato stampato"));
    if (processo_.Termina) processo_.Termina(abbandonata ? &*abbandonata : nullptr);
}

void ModelloFinestra::cmdHelp_Click() {
    // During a run the help does not hold the run up.
    dialoghi_.Informazione(kTitoloHelp, TestoHelp(), Dialogo.Corsa() != nullptr);
}

void ModelloFinestra::chkBianco_Click() {
    const bool v = chkBianco.Spuntato;
    Dialogo.DocumentoCambiato(); // blank sheets or the trip: another document
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
    // Another day, month, year or number of sheets is another document.
    if (lista.Testo != voce) Dialogo.DocumentoCambiato();
    lista.Testo = voce;
    if (&lista == &cmbm1)
        cmbM1_Click();
    else if (&lista == &cmbm2)
        cmbM2_Click();
    else if (&lista == &cmba1)
        cmbA1_Click();
    else if (&lista == &cmba2)
        cmbA2_Click();
    else if (&lista == &cmbCopie)
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
    if (testo != txtLocalita.Testo) Dialogo.DocumentoCambiato();
    txtLocalita.Testo = testo;
    StampaVisibile();
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
    piattaforma_.ElaboraEventi();
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
