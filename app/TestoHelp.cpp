// The help text of "&?" and F1: the design's lines, then the printer list's
// and the preview's.

#include "app/ModelloFinestra.h"
#include "versione.h"

namespace vagolume {

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
        QStringLiteral("Nell'elenco delle stampanti: 'Pagine' (4, 3-5, 1,4-6 o 3-; la copertina"),
        QStringLiteral("è la pagina 1), 'Copie' (1-99) e 'Fronte-retro' se la stampante lo"),
        QStringLiteral("consente; 'Anteprima' mostra le pagine come saranno stampate."),
        QString(),
        lblCopyright.Testo + QStringLiteral(" - freeware"),
        QStringLiteral("Per contattarmi: " VAGOLUME_CONTACT),
    };
    return righe.join(u'\r');
}

} // namespace vagolume
