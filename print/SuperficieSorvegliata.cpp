#include "print/SuperficieSorvegliata.h"

namespace vagolume {

void SuperficieSorvegliata::SegnalaFatale(const QString& motivo) {
    if (fatale_.isEmpty()) fatale_ = motivo.isEmpty() ? QStringLiteral("errore del documento") : motivo;
}

void SuperficieSorvegliata::Segnala(const QString& testo) {
    ++errori_;
    for (auto& tipo : tipi_) {
        if (tipo.first == testo) {
            ++tipo.second;
            return;
        }
    }
    tipi_.append({testo, 1});
}

QStringList SuperficieSorvegliata::Riepilogo() const {
    QStringList righe;
    for (const auto& [testo, volte] : tipi_)
        righe.append(volte == 1 ? testo : QStringLiteral("%1 (%2 volte)").arg(testo).arg(volte));
    return righe;
}

// Ending and discarding the document are not operations on a page: a
// failure there is a failure of the document.
void SuperficieSorvegliata::EndDocument() {
    if (!fatale_.isEmpty()) return;
    try {
        s_.EndDocument();
    } catch (const std::bad_alloc&) {
        SegnalaFatale(QStringLiteral("memoria esaurita"));
    } catch (const std::exception& e) {
        SegnalaFatale(QString::fromUtf8(e.what()));
    }
}
void SuperficieSorvegliata::AbortDocument() {
    try {
        s_.AbortDocument();
    } catch (const std::exception& e) {
        Segnala(QString::fromUtf8(e.what()));
    }
}

} // namespace vagolume
