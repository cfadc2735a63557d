#include "app/DialogoStampa.h"

#include "app/ModelloFinestra.h"
#include "calendar/Calendario.h"
#include "print/DocumentoStampa.h"
#include "print/Sistema.h"
#include "print/Stampanti.h"
#include "sheet/Pagine.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace vagolume {

namespace {
// The lines of the confirmation for what differs from one copy of the whole
// document, each ending in a line break.
QString Opzioni(const RichiestaStampa& r) {
    QString righe;
    const QChar cr(u'\r');
    if (!r.Pagine.isEmpty())
        righe += QStringLiteral("Solo le pagine: . . . ") + TestoPagine(r.Pagine) +
                 QStringLiteral(" (di %1, copertina compresa)").arg(NumeroFogli(r) + 1) + cr;
    if (r.Copie > 1) righe += QStringLiteral("Copie: . . . . . . . . . ") + QString::number(r.Copie) + cr;
    if (r.FronteRetro) righe += QStringLiteral("Fronte-retro: . . . . . sì") + cr;
    return righe;
}

// A page number as typed: digits only, leading zeros ignored; -1 for
// anything else. A number of many digits is beyond any document.
int NumeroPagina(const QString& t) {
    if (t.isEmpty()) return -1;
    for (QChar c : t)
        if (c < u'0' || c > u'9') return -1;
    const QString cifre = QString(t).remove(QRegularExpression(QStringLiteral("^0+")));
    return cifre.size() > 6 ? 1000000 : cifre.toInt();
}
// A page given as a number or as the day it carries ("11/12", "11/12/2026":
// the day of page 2 is inizio); -1 for neither. A day outside the trip
// gives -1 and is copied into fuori.
int PaginaDelGiorno(const QString& t, int totale, const QDate& inizio, QString& fuori) {
    if (!t.contains(u'/')) return NumeroPagina(t);
    if (!inizio.isValid()) return -1;
    const QStringList parti = t.split(u'/');
    if (parti.size() < 2 || parti.size() > 3) return -1;
    const int giorno = NumeroPagina(parti[0]), mese = NumeroPagina(parti[1]);
    QList<int> anni{inizio.year(), inizio.year() + 1}; // a trip into the next year
    if (parti.size() == 3) anni = {NumeroPagina(parti[2])};
    bool valida = false;
    for (int anno : anni) {
        const QDate data(anno, mese, giorno);
        valida = valida || data.isValid();
        const qint64 pagina = inizio.daysTo(data) + 2;
        if (data.isValid() && pagina >= 2 && pagina <= totale) return static_cast<int>(pagina);
    }
    if (valida) fuori = t;
    return -1;
}

// A day as the panel says it: "Ven 11 Dic".
QString TestoGiorno(const QDate& data) {
    static const QStringList giorni = {QStringLiteral("Lun"), QStringLiteral("Mar"), QStringLiteral("Mer"),
                                       QStringLiteral("Gio"), QStringLiteral("Ven"), QStringLiteral("Sab"),
                                       QStringLiteral("Dom")};
    static const QString mesi = QStringLiteral("GenFebMarAprMagGiuLugAgoSetOttNovDic");
    return QStringLiteral("%1 %2 %3")
        .arg(giorni.value(data.dayOfWeek() - 1))
        .arg(data.day())
        .arg(mesi.mid(3 * (data.month() - 1), 3));
}
} // namespace

QString TestoConferma(const RichiestaStampa& r) {
    const QChar cr(u'\r');
    const QString destinazione = r.Bianco() ? QStringLiteral("in bianco") : r.Destinazione;
    return QStringLiteral("Predisposizione per la stampa") + cr + cr + QStringLiteral("Destinazione: . . ") +
           destinazione + cr + QStringLiteral("Periodo: . . . . . . . ") + TestoPeriodo(r) + cr +
           QStringLiteral("Pagine: . . . . . . . . ") + QString::number(NumeroFogli(r)) + cr +
           QStringLiteral("Stampante: . . . ") + r.Stampante + cr + Opzioni(r) + cr +
           QStringLiteral("Vuoi stampare i moduli per il vagolume?");
}

SceltaPagine LeggiPagine(const QString& testo, int totale, const QDate& inizio) {
    SceltaPagine scelta;
    const QString tutto = testo.trimmed();
    if (tutto.isEmpty() || tutto.compare(QStringLiteral("tutte"), Qt::CaseInsensitive) == 0) return scelta;
    QList<bool> presa(totale + 1, false);
    auto rifiuta = [&](QString motivo) {
        scelta.Pagine.clear();
        scelta.Motivo = std::move(motivo);
        return scelta;
    };
    for (QString parte : tutto.split(u',')) {
        parte = parte.trimmed();
        if (parte.isEmpty()) continue; // "1,,4", "4,"
        parte.replace(QChar(0x2013), u'-');
        // "3-" runs to the end, "-3" from the cover, as common print dialogs read them.
        const qsizetype trattino = parte.indexOf(u'-');
        QString da = (trattino < 0 ? parte : parte.left(trattino)).trimmed();
        QString a = trattino < 0 ? da : parte.mid(trattino + 1).trimmed();
        if (trattino >= 0 && da.isEmpty() != a.isEmpty()) {
            if (da.isEmpty()) da = QStringLiteral("1");
            if (a.isEmpty()) a = QString::number(totale);
        }
        // A day of the trip stands for the page that carries it.
        QString fuori;
        const int primo = PaginaDelGiorno(da, totale, inizio, fuori);
        const int ultimo = PaginaDelGiorno(a, totale, inizio, fuori);
        if (!fuori.isEmpty()) return rifiuta(QStringLiteral("il %1 non è un giorno del viaggio").arg(fuori));
        if (primo < 0 || ultimo < 0)
            return rifiuta(
                QStringLiteral("\"%1\" non è un numero di pagina: scrivere ad esempio 4, 3-5 o 1,4-6")
                    .arg(parte));
        if (primo == 0 || ultimo == 0)
            return rifiuta(QStringLiteral("le pagine si contano da 1 (la copertina)"));
        if (primo > ultimo)
            return rifiuta(
                QStringLiteral("%1 è al contrario: scrivere %2-%3").arg(parte).arg(ultimo).arg(primo));
        // The page quoted as it was typed.
        if (ultimo > totale)
            return rifiuta(
                QStringLiteral("il documento ha solo %1 pagine: la pagina %2 non c'è").arg(totale).arg(a));
        for (int p = primo; p <= ultimo; ++p)
            presa[p] = true;
    }
    for (int p = 1; p <= totale; ++p)
        if (presa[p]) scelta.Pagine.append(p);
    // Every page chosen is the whole document.
    if (scelta.Pagine.size() == totale) scelta.Pagine.clear();
    return scelta;
}

QString TestoDatePagine(const QList<int>& pagine, const QDate& inizio) {
    auto giorno = [&inizio](int pagina) {
        return pagina == 1 ? QStringLiteral("copertina") : TestoGiorno(inizio.addDays(pagina - 2));
    };
    QStringList parti;
    for (qsizetype i = 0; i < pagine.size();) {
        qsizetype j = i;
        while (j + 1 < pagine.size() && pagine[j + 1] == pagine[j] + 1 && pagine[i] > 1)
            ++j;
        parti.append(j == i ? QStringLiteral("pagina %1: %2").arg(pagine[i]).arg(giorno(pagine[i]))
                            : QStringLiteral("pagine %1-%2: %3 - %4")
                                  .arg(pagine[i])
                                  .arg(pagine[j])
                                  .arg(giorno(pagine[i]), giorno(pagine[j])));
        i = j + 1;
    }
    return parti.join(QStringLiteral("; "));
}

QString TestoPagine(const QList<int>& pagine) {
    QStringList parti;
    for (qsizetype i = 0; i < pagine.size();) {
        qsizetype j = i;
        while (j + 1 < pagine.size() && pagine[j + 1] == pagine[j] + 1)
            ++j;
        parti.append(j == i ? QString::number(pagine[i])
                            : QStringLiteral("%1-%2").arg(pagine[i]).arg(pagine[j]));
        i = j + 1;
    }
    return parti.join(QStringLiteral(", "));
}

namespace {
// What went wrong, in the user's words, and what to do about it, from the
// reason a run gave (which standard error keeps as it is).
struct Spiegazione {
    QString Causa; // empty: none the user would understand better than the first sentence
    QString DaFare;
};
Spiegazione Spiega(const EsitoCorsa& esito, bool pdf) {
    const QString motivo = esito.Motivo.toLower();
    auto contiene = [&motivo](std::initializer_list<const char*> parole) {
        return std::any_of(parole.begin(), parole.end(),
                           [&motivo](const char* p) { return motivo.contains(QString::fromUtf8(p)); });
    };
    const QString altraStampante =
        QStringLiteral("Controllare la stampante o sceglierne un'altra, poi riprovare.");
    if (contiene({"sola lettura", "read-only", "permesso negato", "permission denied"}))
        return {QStringLiteral("la cartella non permette di scrivere"),
                QStringLiteral("Scegliere un'altra cartella e riprovare.")};
    if (contiene({"spazio", "disco pieno", "no space", "quota"}))
        return {QStringLiteral("il disco è pieno"),
                QStringLiteral("Liberare spazio o scegliere un'altra cartella, poi riprovare.")};
    if (contiene({"non accetta", "not accepting"}))
        return {QStringLiteral("la stampante non accetta lavori"), altraStampante};
    if (contiene({"non è installata", "non installata", "not found"}))
        return {QStringLiteral("la stampante non è più installata"),
                QStringLiteral("Sceglierne un'altra e riprovare.")};
    if (contiene({"non risponde", "non ha confermato", "timed out", "timeout"}))
        return {QStringLiteral("il sistema di stampa non risponde"),
                QStringLiteral("Riprovare tra poco o scegliere un'altra stampante.")};
    return {{}, pdf ? QStringLiteral("Scegliere un'altra cartella e riprovare.") : altraStampante};
}
} // namespace

QString TestoNonRiuscita(const EsitoCorsa& esito, const QString& filePdf, const QString& messaggioStampante) {
    if (esito.Cosa != EsitoCorsa::Fallito && esito.Cosa != EsitoCorsa::Rifiutato) return {};
    QString testo;
    if (esito.Cosa == EsitoCorsa::Rifiutato) {
        // A request that cannot be printed: its reason is about the form.
        testo = QStringLiteral("Non è stato stampato nulla");
        if (!esito.Motivo.trimmed().isEmpty()) testo += QStringLiteral(": ") + esito.Motivo.trimmed();
        testo += QStringLiteral(".\rCorreggere i dati e riprovare.");
    } else {
        const bool pdf = esito.Stampante == kNomeScrittorePdf || !filePdf.isEmpty();
        const Spiegazione s = Spiega(esito, pdf);
        if (pdf)
            testo = filePdf.isEmpty() ? QStringLiteral("Il documento non è stato salvato")
                                      : QStringLiteral("Il documento non è stato salvato in %1").arg(filePdf);
        else if (esito.ForseStampato)
            testo =
                QStringLiteral("Il documento è arrivato alla stampante %1, ma potrebbe non essere stampato")
                    .arg(esito.Stampante);
        else
            testo = QStringLiteral("Il documento non è arrivato alla stampante %1").arg(esito.Stampante);
        if (!s.Causa.isEmpty()) testo += QStringLiteral(": ") + s.Causa;
        testo += QStringLiteral(".\r") + s.DaFare;
    }
    // What the printer itself says (its administrator's note, "Toner esaurito").
    if (!messaggioStampante.trimmed().isEmpty())
        testo += QStringLiteral("\rLa stampante dice: «%1».").arg(messaggioStampante.trimmed());
    // Where the document is kept gets a sentence of its own.
    if (!esito.FilePdf.isEmpty())
        testo += QStringLiteral("\rIl documento è stato salvato in %1.").arg(esito.FilePdf);
    return testo;
}

QString TestoSalvato(const EsitoCorsa& esito) {
    if (esito.Cosa != EsitoCorsa::Salvato || esito.FilePdf.isEmpty()) return {};
    QString testo = QStringLiteral("Il documento è stato salvato come file PDF in:\r%1").arg(esito.FilePdf);
    if (!esito.Pagine.isEmpty())
        testo += QStringLiteral("\rPagine salvate: %1.").arg(TestoPagine(esito.Pagine));
    return testo;
}

QString TestoNonAperto(const QString& file) {
    return QStringLiteral("Nessun programma ha potuto aprire il documento.\rIl file è in:\r%1").arg(file);
}

QString TestoFineCorsa(const EsitoCorsa& esito) {
    if (esito.Cosa == EsitoCorsa::Stampato)
        return QStringLiteral("Documento inviato a %1").arg(esito.Stampante);
    if (esito.Cosa == EsitoCorsa::Annullato) return QStringLiteral("Stampa annullata");
    return {};
}

QString TestoAvanzamento(int fatti, int totale) {
    return QStringLiteral("Stampa dei Moduli in corso... Pagina %1 di %2").arg(fatti + 1).arg(totale + 1);
}

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
    if (stampante != kNomeScrittorePdf) {
        r.Copie = std::clamp(spnCopie.Testo.toInt(), 1, 99);
        r.FronteRetro = chkFronteRetro.Spuntato && chkFronteRetro.Abilitato;
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
    const bool pdf = stampante == kNomeScrittorePdf;
    // The PDF writer makes one file. What a printer cannot do is unavailable
    // while it is selected, and the choice comes back with one that can.
    spnCopie.Abilitato = !pdf;
    // Two sides only where the printer has them; asked once per opening of the panel.
    if (!fronteRetro_.contains(stampante)) {
        bool si = false;
        if (!pdf) {
            piattaforma_.Occupato(true);
            si = piattaforma_.FronteRetro(stampante);
            piattaforma_.Occupato(false);
        }
        fronteRetro_.insert(stampante, si);
    }
    chkFronteRetro.Abilitato = fronteRetro_.value(stampante);
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
    try {
        c = ContestoDisegno(RichiestaDallaFinestra(stampante), AltezzaFoglio(layout));
    } catch (const std::exception& e) {
        Avvisa(QStringLiteral("anteprima non disponibile: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    Pagine pagine(std::move(c));
    if (dialoghi_.Anteprima(pagine, layout)) cmdSelStampante_Click(0);
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
    // end-of-run file says that the run is over all the same.
    if (!Conferma(r)) {
        UltimoEsito = Concludi(EsitoCorsa::Di(EsitoCorsa::Annullato), f_.Processo().CartellaLavoro);
        return;
    }
    Esegui(r);
    // The save dialog opens next where a document was saved: a folder
    // where saving failed is not proposed again.
    if (UltimoEsito.Cosa == EsitoCorsa::Salvato && !r.FilePdf.isEmpty() && !UltimoEsito.FilePdf.isEmpty())
        cartellaPdf_ = QFileInfo(UltimoEsito.FilePdf).absolutePath();
}

void DialogoStampa::Esegui(const RichiestaStampa& richiesta) {
    if (corsa_) return;
    f_.Form.AnnullaStampa = false;
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
    if (richiesta.Incustodita) f_.DisabilitaFine();
    f_.DimensionafrmBase(true);
    f_.MostraAnnulla(true);
    corsa_ = std::make_unique<CorsaStampa>(richiesta, std::move(ganci), piattaforma_.Superficie());
    UltimoEsito = corsa_->Esegui();
    corsa_.reset();
    // A run from the window says how it ended where the bar was; the boxes
    // say the rest.
    f_.ImpostaTestoFondo(richiesta.Incustodita ? QString() : TestoFineCorsa(UltimoEsito));
    f_.DimensionafrmBase(false);
    f_.MostraAnnulla(false);
    f_.Ridisegna();
    // A termination signal ends the program once its run is over.
    if (UltimoEsito.Segnale != 0 && f_.Processo().Termina) f_.Processo().Termina(CodiceUscita(UltimoEsito));
}

bool DialogoStampa::Conferma(RichiestaStampa& richiesta) {
    if (!dialoghi_.DomandaSiNo(kTitoloStampa, TestoConferma(richiesta))) return false;
    // For the PDF writer the user says where the file goes; cancelling the
    // dialog is answering No.
    if (richiesta.Stampante == kNomeScrittorePdf) return ScegliFilePdf(richiesta);
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
        if (!scelto.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
            // The dialog asked about the name without ".pdf": ask again about
            // the name that will be written.
            scelto += QStringLiteral(".pdf");
            if (QFileInfo::exists(scelto) &&
                !dialoghi_.DomandaSiNo(kTitoloSalvaPdf,
                                       QStringLiteral("%1 esiste già.\rVuoi sostituirlo?").arg(scelto))) {
                proposto = scelto;
                continue;
            }
        }
        filePdf_ = scelto;
        richiesta.FilePdf = scelto;
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
        apri = dialoghi_.Avvertimento(kTitoloNonRiuscita, testo, UltimoEsito.FilePdf);
    else if (const QString salvato = TestoSalvato(UltimoEsito); !salvato.isEmpty())
        apri = dialoghi_.InformazioneFile(kTitoloSalvato, salvato, UltimoEsito.FilePdf);
    if (apri && !UltimoEsito.FilePdf.isEmpty()) ApriDocumento(UltimoEsito.FilePdf);
}

void DialogoStampa::ApriDocumento(const QString& file) {
    // Nothing to open it with: the user is told where the file is.
    dialoghi_.ApriFile(
        file, [this, file] { dialoghi_.Avvertimento(kTitoloNonAperto, TestoNonAperto(file), QString()); });
}

} // namespace vagolume
