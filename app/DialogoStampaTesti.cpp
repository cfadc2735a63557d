// What the print dialog says and reads: the confirmation, the pages typed
// and the days they carry, the outcome of a run.

#include "app/DialogoStampa.h"

#include "print/Stampanti.h"

#include <QRegularExpression>

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
           QStringLiteral("Stampante: . . . ") + NomeDaMostrare(r.Stampante) + cr + Opzioni(r) + cr +
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
        const bool pdf = esito.Stampante == kScrittorePdf || !filePdf.isEmpty();
        const Spiegazione s = Spiega(esito, pdf);
        if (pdf)
            testo = filePdf.isEmpty() ? QStringLiteral("Il documento non è stato salvato")
                                      : QStringLiteral("Il documento non è stato salvato in %1").arg(filePdf);
        else if (esito.ForseStampato)
            // Printing it again could print it twice: the user looks first.
            testo = QStringLiteral("Il documento è arrivato per intero al sistema di stampa, che non ha "
                                   "risposto: la stampante potrebbe stamparlo comunque.\rControllare la "
                                   "stampante %1 prima di stamparlo di nuovo")
                        .arg(esito.Stampante);
        else
            testo = QStringLiteral("Il documento non è arrivato alla stampante %1").arg(esito.Stampante);
        if (!esito.ForseStampato) {
            if (!s.Causa.isEmpty()) testo += QStringLiteral(": ") + s.Causa;
            testo += QStringLiteral(".\r") + s.DaFare;
        } else {
            testo += u'.';
        }
    }
    // What the printer itself says (its administrator's note, "Toner esaurito").
    if (!messaggioStampante.trimmed().isEmpty())
        testo += QStringLiteral("\rLa stampante dice: «%1».").arg(messaggioStampante.trimmed());
    // Where the document is kept gets a sentence of its own.
    if (!esito.PdfSalvato.isEmpty())
        testo += QStringLiteral("\rIl documento è stato salvato in %1.").arg(esito.PdfSalvato);
    return testo;
}

QString TestoSalvato(const EsitoCorsa& esito) {
    if (esito.Cosa != EsitoCorsa::Salvato || esito.PdfSalvato.isEmpty()) return {};
    QString testo =
        QStringLiteral("Il documento è stato salvato come file PDF in:\r%1").arg(esito.PdfSalvato);
    if (!esito.Pagine.isEmpty())
        testo += QStringLiteral("\rPagine salvate: %1.").arg(TestoPagine(esito.Pagine));
    return testo;
}

QString TestoNonAperto(const QString& file) {
    return QStringLiteral("Nessun programma ha potuto aprire il documento.\rIl file è in:\r%1").arg(file);
}

QString TestoFineCorsa(const EsitoCorsa& esito) {
    if (esito.Cosa == EsitoCorsa::Stampato)
        return QStringLiteral("Documento inviato a %1").arg(NomeDaMostrare(esito.Stampante));
    if (esito.Cosa == EsitoCorsa::Annullato) return QStringLiteral("Stampa annullata");
    return {};
}

QString TestoAvanzamento(int fatti, int totale) {
    return QStringLiteral("Stampa dei Moduli in corso... Pagina %1 di %2").arg(fatti + 1).arg(totale + 1);
}

} // namespace vagolume
