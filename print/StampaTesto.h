#pragma once
// The text primitive of the printed pages and the choice of the typeface.

#include "print/PrinterSurface.h"

namespace vagolume {

enum Allineamento : int16_t { Sinistra = 0, Centrato = 1, Destra = 2 };

// Blanks removed at both ends: only the space character, as in the printed
// texts and in the invocation line; tabs and line breaks stay.
QString TogliSpazi(const QString& t);

// Whether a text has nothing visible in it: only blanks of any kind (tabs,
// no-break, ideographic and figure spaces, line separators), control and
// format characters (zero-width spaces, direction marks, the DOS end-of-file
// mark) and the letters that are blank by design (Hangul fillers, the empty
// Braille pattern).
bool SenzaCaratteriVisibili(const QString& t);

// Smallest size the shrinking of StampaTesto goes down to: a text that does not
// fit even there is printed at this size.
inline constexpr float kDimensioneMinima = 1.0f;
// Step of the shrinking, points.
inline constexpr float kPassoRiduzione = 0.4f;

// Prints txt (blanks around it removed) between daOrizz and aOrizz with the
// bottom of its line on RigaStampaVerticale, shrinking the font until it fits
// (narrower than the space less 0.3 mm). A centred text stands 1 mm left of
// the middle of its space, a right-aligned one ends 3 mm before aOrizz: the
// sheet's labels were laid out with these offsets, and every range on the
// page is drawn for them. A text that only just fits thus starts up to
// 0.85 mm (centred) or 2.7 mm (right) before daOrizz.
void StampaTesto(PrinterSurface& s, const QString& txt, const float& RigaStampaVerticale,
                 const float& daOrizz, const float& aOrizz, const bool& Grassetto, const bool& Corsivo,
                 const float& Size, const int16_t& Allineato);

// As StampaTesto, for a text whose line reaches below the field it is written
// in: when the text has to be shrunk, the middle of its line stays where it is
// at the wanted size, so the letters shrink towards the middle of the field
// instead of sinking onto the rule under it. A text that fits is placed
// exactly as by StampaTesto.
void StampaTestoNelCampo(PrinterSurface& s, const QString& txt, const float& RigaStampaVerticale,
                         const float& daOrizz, const float& aOrizz, const bool& Grassetto,
                         const bool& Corsivo, const float& Size, const int16_t& Allineato);

// Selects the one typeface of the printed pages, with its fallback.
void SettaFontNamePrinter(PrinterSurface& s);

// Why nothing can be printed with the fonts of this system: the typeface of
// the pages resolves to no font with letters in it (fontconfig knows no font),
// so every text would come out as a black bar. Empty when it can print.
QString MotivoSenzaFont();

// The characters of a text that no font of the system can draw, in order,
// each once: they would be printed as empty boxes. Characters the typeface of
// the pages lacks but another font has are drawn from that font, and are not
// listed. Blanks, control and format characters are not looked at.
QString CaratteriSenzaGlifo(const QString& testo);

} // namespace vagolume
