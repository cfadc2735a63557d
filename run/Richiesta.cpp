#include "run/Richiesta.h"

#include "calendar/Calendario.h"

#include <QTextBoundaryFinder>

namespace vagolume {

QString NomeDocumento(const QString& destinazione) {
    // 19 characters as the reader sees them: a character made of a surrogate
    // pair or of a letter and its accents is never cut in two.
    QTextBoundaryFinder caratteri(QTextBoundaryFinder::Grapheme, destinazione);
    qsizetype fine = 0;
    for (int i = 0; i < 19 && fine >= 0 && fine < destinazione.size(); ++i)
        fine = caratteri.toNextBoundary();
    QString nome = destinazione.left(fine < 0 ? destinazione.size() : fine);
    nome.replace(u' ', u'_');
    nome += QStringLiteral("_Vagolume");
    if (nome.startsWith(u'_')) nome.remove(0, 1);
    return nome;
}

int NumeroFogli(const RichiestaStampa& r) {
    if (r.Bianco()) return r.FogliBianchi;
    return NumeroGiorni(r.Inizio, r.Fine);
}

QString TestoPeriodo(const RichiestaStampa& r) {
    if (r.Bianco()) return QStringLiteral("in bianco");
    // The first day carries its year too when the trip ends in another year:
    // "28/12 - 03/01/2027" would read as a trip of 2027.
    const QString formatoInizio =
        r.Inizio.year() == r.Fine.year() ? QStringLiteral("dd/MM") : QStringLiteral("dd/MM/yyyy");
    return r.Inizio.toString(formatoInizio) + QStringLiteral(" - ") +
           r.Fine.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace vagolume
