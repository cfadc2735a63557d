#pragma once
// The destination on the cover page: cut into lines at blanks and printed in
// large letters, centred.

#include "print/PrinterSurface.h"

#include <QStringList>

#include <optional>

namespace vagolume {

// Lines StampaLocalita can place; a destination needing more is not printed.
inline constexpr int kMaxRigheLocalita = 20;
// Width a line of StampaLocalita must stay under, millimetres.
inline constexpr float kLarghezzaRigaLocalita = 160.0f;

// Cuts Localita into lines narrower than 160 mm at blanks, in bold at size f.
// A single word that is too wide by itself gets a line of its own (StampaTesto
// shrinks it). Empty (nothing cut, nothing printed) when more than 20 lines
// would be needed.
std::optional<QStringList> RigheLocalita(PrinterSurface& s, const QString& Localita, const float& f);

// Prints the destination in large letters, wrapped and centred, starting with
// its first line at FondoPagina / 2. Prints nothing and returns false when it
// needs more than 20 lines.
bool StampaLocalita(PrinterSurface& s, const QString& Localita, const float& f, const float& FondoPagina);

// Prints lines cut by RigheLocalita at size f, as StampaLocalita does.
void StampaRigheLocalita(PrinterSurface& s, const QStringList& righe, const float& f,
                         const float& FondoPagina);

// The lines of the destination on the cover and their size: 48 pt when it
// fits in three lines, otherwise the first size, 0.4 pt smaller each time,
// at which it does (the smallest when none does). Empty when it needs more
// than 20 lines at 48 pt.
struct DestinazioneAdattata {
    QStringList Righe;
    float Size = 48;
};
std::optional<DestinazioneAdattata> AdattaDestinazione(PrinterSurface& s, const QString& destinazione);

} // namespace vagolume
