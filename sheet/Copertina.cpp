#include "sheet/Copertina.h"

#include "print/StampaTesto.h"
#include "sheet/Sezioni.h"

#include <QHash>

#include <vector>

namespace vagolume {

namespace {

// Three lines of the destination fit above the title "Vagolume"; a fourth
// would be printed over it.
constexpr int kRigheCopertina = 3;

// A destination cut into lines at one size after another, measuring as little
// as the break rule allows. A line ends at the last blank before which the
// text is narrower than 160 mm. Measuring every candidate from the longest
// down, as the rule reads, costs the square of the text's length for each
// line, which a destination of thousands of characters turns into minutes.
// Here every word is measured once, on its own; at every size a line's break
// is guessed from those widths, scaled to the size, and only the guessed line
// and the one a word longer are measured whole (a few more when the guess was
// off). A line grows wider with every character added, so the longest line
// narrower than 160 mm is the one whose next longer candidate is not: the
// lines come out as the rule gives them. Cutting stops at the first line past
// the number wanted, so a text far too long is never measured beyond it.
class Taglio {
public:
    Taglio(PrinterSurface& s, const QString& testo) : s_(s), testo_(testo) {}

    // The lines at size f, or nothing when more than massimo are needed.
    std::optional<QStringList> Righe(float f, int massimo) {
        s_.SetFontBold(true);
        s_.SetFontSize(f);
        s_.SetFontItalic(false);
        f_ = f;
        QStringList righe;
        // The remaining text R is testo_[a_, b_): as given at first, without
        // blanks at either end after the first cut.
        a_ = 0;
        b_ = testo_.size();
        while (a_ < b_) {
            if (righe.size() >= massimo) return std::nullopt;
            const qsizetype fine = FineRiga();
            righe.append(testo_.mid(a_, fine - a_));
            a_ = fine;
            while (a_ < b_ && testo_[a_] == u' ')
                ++a_;
            while (b_ > a_ && testo_[b_ - 1] == u' ')
                --b_;
        }
        return righe;
    }

private:
    struct Candidato {
        qsizetype fine; // R up to here: up to and with one of its blanks, or all of R
        double stima;   // its width as the sum of its words and blanks, mm
    };

    // Where the first line of R ends.
    qsizetype FineRiga() {
        candidati_.clear();
        // The guess: candidates while their estimated width fits, and one more.
        qsizetype k = 0;
        while (Avanti()) {
            if (!(candidati_.back().stima < kLarghezzaRigaLocalita)) break;
            k = static_cast<qsizetype>(candidati_.size());
        }
        // Measured: up while the next longer candidate fits, else down to the
        // first that does. k counts candidates from 1.
        auto entra = [&](qsizetype n) {
            const qsizetype fine = candidati_[static_cast<std::size_t>(n - 1)].fine;
            return s_.MeasureTextWidth(testo_.mid(a_, fine - a_)) < kLarghezzaRigaLocalita;
        };
        k = std::max<qsizetype>(k, 1);
        if (entra(k)) {
            while ((k < static_cast<qsizetype>(candidati_.size()) || Avanti()) && entra(k + 1))
                ++k;
        } else {
            do
                --k;
            while (k >= 1 && !entra(k));
            // None fits: the first word has a line of its own, with its blank.
            k = std::max<qsizetype>(k, 1);
        }
        return candidati_[static_cast<std::size_t>(k - 1)].fine;
    }

    // Adds the next candidate of R; false when there is none.
    bool Avanti() {
        qsizetype p = candidati_.empty() ? a_ : candidati_.back().fine;
        if (p >= b_) return false;
        double stima = candidati_.empty() ? 0 : candidati_.back().stima;
        if (testo_[p] != u' ') {
            qsizetype fine = p;
            while (fine < b_ && testo_[fine] != u' ')
                ++fine;
            stima += Larghezza(p, fine) * f_;
            p = fine;
            if (p >= b_) {
                candidati_.push_back({b_, stima});
                return true;
            }
        }
        stima += Larghezza(p, p + 1) * f_;
        candidati_.push_back({p + 1, stima});
        return true;
    }

    // Width of a word (or of the blank) per point of size, measured the first
    // time it is asked for.
    double Larghezza(qsizetype da, qsizetype a) {
        const QString parola = testo_.mid(da, a - da);
        auto trovata = larghezze_.constFind(parola);
        if (trovata != larghezze_.cend()) return *trovata;
        const float applicata = s_.FontSize();
        const double size = applicata > 0 ? applicata : f_;
        return *larghezze_.insert(parola, s_.MeasureTextWidth(parola) / size);
    }

    PrinterSurface& s_;
    const QString& testo_;
    QHash<QString, double> larghezze_;
    std::vector<Candidato> candidati_;
    qsizetype a_ = 0, b_ = 0;
    double f_ = 48;
};

} // namespace

std::optional<QStringList> RigheLocalita(PrinterSurface& s, const QString& Localita, const float& f) {
    Taglio taglio(s, Localita);
    return taglio.Righe(f, kMaxRigheLocalita);
}

bool StampaLocalita(PrinterSurface& s, const QString& Localita, const float& f, const float& FondoPagina) {
    const auto righe = RigheLocalita(s, Localita, f);
    if (!righe) return false;
    StampaRigheLocalita(s, *righe, f, FondoPagina);
    return true;
}

void StampaRigheLocalita(PrinterSurface& s, const QStringList& righe, const float& f,
                         const float& FondoPagina) {
    float Y = FondoPagina / 2;
    for (const QString& riga : righe) {
        StampaTesto(s, riga, Y, 25.0f, 180.0f, true, false, f, Centrato);
        Y = static_cast<float>(Y + (f / 2.0) * 1.1);
    }
}

std::optional<DestinazioneAdattata> AdattaDestinazione(PrinterSurface& s, const QString& destinazione) {
    Taglio taglio(s, destinazione);
    auto righe = taglio.Righe(48, kMaxRigheLocalita);
    if (!righe) return std::nullopt;
    if (righe->size() <= kRigheCopertina) return DestinazioneAdattata{*righe, 48};

    // The sizes below 48 pt, 0.4 pt apart, down to the smallest.
    std::vector<float> dimensioni;
    for (float f = 48; f - kPassoRiduzione >= kDimensioneMinima;) {
        f -= kPassoRiduzione;
        dimensioni.push_back(f);
    }
    if (dimensioni.empty()) return DestinazioneAdattata{*righe, 48};
    // Fewer lines at every smaller size: the first size that gives three is
    // found by halving the range, each size cut only as far as a fourth line.
    std::size_t da = 0, a = dimensioni.size(); // the answer lies in [da, a]
    std::optional<QStringList> trovate;
    while (da < a) {
        const std::size_t m = da + (a - da) / 2;
        auto prova = taglio.Righe(dimensioni[m], kRigheCopertina);
        if (prova) {
            a = m;
            trovate = std::move(prova);
        } else {
            da = m + 1;
        }
    }
    if (a < dimensioni.size() && trovate) return DestinazioneAdattata{*trovate, dimensioni[a]};
    // Not three lines even at the smallest size: printed there, on as many
    // lines as it takes.
    auto ultime = taglio.Righe(dimensioni.back(), kMaxRigheLocalita);
    if (!ultime) return std::nullopt;
    return DestinazioneAdattata{*ultime, dimensioni.back()};
}

// The cover page, drawn inside the frame the print run has already put on it.
QString StampaCopertina(PrinterSurface& s, ContestoStampa& c) {
    ImpostaTratto(s, 8, FillStyle::Transparent);
    s.DrawPicture(c.Logo1, 22, 20, 15, 15);
    s.DrawPicture(c.Logo2, 170, 19, 18, 18);

    // A destination that cannot be placed is left out, but the rest of the
    // cover is still drawn.
    QString mancanza;
    if (c.DatiInseriti) {
        if (const auto destinazione = AdattaDestinazione(s, c.TestoDestinazione.toUpper()))
            StampaRigheLocalita(s, destinazione->Righe, destinazione->Size, c.FondoPagina);
        else
            mancanza = QStringLiteral("destinazione troppo lunga: servirebbero più di %1 righe")
                           .arg(kMaxRigheLocalita);
        StampaTesto(s, c.TestoPeriodo, c.FondoPagina - 20, 16, 195, true, false, 24, Centrato);
    } else {
        // Two writing lines, each with its caption under it.
        s.DrawLine(35, c.FondoPagina / 2, 175, c.FondoPagina / 2);
        StampaTesto(s, QStringLiteral("Meta del viaggio"), c.FondoPagina / 2 + 3, 15, 195, false, true, 6,
                    Centrato);
        s.DrawLine(35, c.FondoPagina - 20, 175, c.FondoPagina - 20);
        StampaTesto(s, QStringLiteral("Periodo"), c.FondoPagina - 17, 15, 195, false, true, 6, Centrato);
    }

    StampaTesto(s, QStringLiteral("Vagolume"), c.FondoPagina - 55, 15, 195, true, false, 36, Centrato);
    StampaTesto(s, c.Copyright, c.FondoPagina - 5, 15, 195, false, true, 8, Centrato);
    return mancanza;
}

} // namespace vagolume
