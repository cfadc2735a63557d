#include "print/StampaTesto.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>

namespace vagolume {

QString TogliSpazi(const QString& t) {
    qsizetype inizio = 0, fine = t.size();
    while (inizio < fine && t[inizio] == u' ')
        ++inizio;
    while (fine > inizio && t[fine - 1] == u' ')
        --fine;
    return t.mid(inizio, fine - inizio);
}

namespace {
const QString kCarattere = QStringLiteral("Agency FB");
const QString kCarattereRiserva = QStringLiteral("Times new roman");

// Characters that take no place of their own on paper: nothing to see, and
// no glyph to look for.
bool Invisibile(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
        return true;
    default:
        break;
    }
    return QChar::isSpace(c) || c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0 || c == 0x2800 ||
           c == 0x034F || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

// The typeface of the pages as SettaFontNamePrinter chooses it.
QFont CarattereDellePagine() {
    QFont f(kCarattere);
    if (QFontInfo(f).family() != kCarattere) f.setFamily(kCarattereRiserva);
    return f;
}
} // namespace

bool SenzaCaratteriVisibili(const QString& t) {
    const QList<uint> codici = t.toUcs4();
    return std::all_of(codici.begin(), codici.end(), [](uint c) { return Invisibile(c); });
}

QString MotivoSenzaFont() {
    const QFont f = CarattereDellePagine();
    const QFontMetricsF m(f);
    for (char32_t c : U"AVag019/")
        if (c != 0 && !m.inFontUcs4(c))
            return QStringLiteral("nessun font utilizzabile per \"%1\" (fontconfig non ne trova): ogni testo "
                                  "sarebbe un riquadro nero, non stampo")
                .arg(f.family());
    return {};
}

QString CaratteriSenzaGlifo(const QString& testo) {
    const QFontMetricsF m(CarattereDellePagine());
    QList<uint> mancanti;
    for (uint c : testo.toUcs4())
        if (!Invisibile(c) && !mancanti.contains(c) && !m.inFontUcs4(c)) mancanti.append(c);
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(mancanti.constData()), mancanti.size());
}

namespace {
// Where the line of a shrunk text stands.
enum class Appoggio {
    Fondo, // the bottom of its line stays on RigaStampaVerticale
    Mezzo, // the middle of its line stays where it is at the wanted size
};

void Stampa(PrinterSurface& s, const QString& txt, float RigaStampaVerticale, float daOrizz, float aOrizz,
            bool Grassetto, bool Corsivo, float Size, int16_t Allineato, Appoggio appoggio) {
    const QString testo = TogliSpazi(txt);
    if (testo.isEmpty()) return;
    s.SetFontBold(Grassetto);
    s.SetFontItalic(Corsivo);
    s.SetFontSize(Size);
    const float altezzaVoluta = appoggio == Appoggio::Mezzo ? s.MeasureTextHeight(testo) : 0.0f;

    const float spazio = aOrizz - daOrizz - 0.3f;
    float W = s.MeasureTextWidth(testo);
    // A text's width follows its size. While the width scaled from the last
    // measure is still far over the space, the text cannot fit at this size
    // either and is not measured again: a text thousands of characters long
    // goes down its sizes without being measured at each.
    float misurata = W, allaSize = s.FontSize();
    bool stimata = false;
    while (W >= spazio) {
        const float attuale = s.FontSize();
        const float prossima = attuale - kPassoRiduzione;
        if (prossima < kDimensioneMinima) break;
        s.SetFontSize(prossima);
        const float applicata = s.FontSize();
        if (!(applicata < attuale)) break; // the surface does not go any smaller
        const float stima = allaSize > 0 ? misurata * applicata / allaSize : misurata;
        stimata = stima >= 1.25f * spazio;
        if (stimata) {
            W = stima;
            continue;
        }
        W = misurata = s.MeasureTextWidth(testo);
        allaSize = applicata;
    }
    if (stimata) W = s.MeasureTextWidth(testo);

    // The offsets the sheet was laid out with (see the header).
    float X = daOrizz;
    if (Allineato == Centrato)
        X = (daOrizz + aOrizz) / 2 - W / 2 - 1;
    else if (Allineato == Destra)
        X = aOrizz - W - 3;
    const float altezza = s.MeasureTextHeight(testo);
    float fondo = RigaStampaVerticale;
    if (appoggio == Appoggio::Mezzo) fondo -= (altezzaVoluta - altezza) / 2;
    s.SetCurrentX(X);
    s.SetCurrentY(fondo - altezza);
    s.PrintText(testo);
}
} // namespace

void StampaTesto(PrinterSurface& s, const QString& txt, const float& RigaStampaVerticale,
                 const float& daOrizz, const float& aOrizz, const bool& Grassetto, const bool& Corsivo,
                 const float& Size, const int16_t& Allineato) {
    Stampa(s, txt, RigaStampaVerticale, daOrizz, aOrizz, Grassetto, Corsivo, Size, Allineato,
           Appoggio::Fondo);
}

void StampaTestoNelCampo(PrinterSurface& s, const QString& txt, const float& RigaStampaVerticale,
                         const float& daOrizz, const float& aOrizz, const bool& Grassetto,
                         const bool& Corsivo, const float& Size, const int16_t& Allineato) {
    Stampa(s, txt, RigaStampaVerticale, daOrizz, aOrizz, Grassetto, Corsivo, Size, Allineato,
           Appoggio::Mezzo);
}

void SettaFontNamePrinter(PrinterSurface& s) {
    s.SetFontName(kCarattere);
    if (s.FontName() != kCarattere) s.SetFontName(kCarattereRiserva);
}

} // namespace vagolume
