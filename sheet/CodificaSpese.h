#pragma once
// Values of the expense legend and the split of the credit line in the page
// footer.

#include <QString>
#include <utility>

namespace vagolume {

// The legend of the expense codes must be at most this wide, millimetres.
inline constexpr float kLarghezzaLegenda = 160.0f;
// The legend shrinks by this many points at a time, from 8 pt.
inline constexpr double kPassoLegenda = 0.33;
// ...and never below this size, points.
inline constexpr double kDimensioneMinimaLegenda = 2.0;

// The footer's range starts this far right of the legend's last rule, mm.
inline constexpr float kMargineNotaPiede = 1.5f;

// The two footer lines of the credit line: the text before " © by" and the
// text from "©" on (cut 3 characters before the first "by"). Without "by" the
// whole line is the first line and the second is empty.
std::pair<QString, QString> RigheCopyright(const QString& Copyright);

} // namespace vagolume
