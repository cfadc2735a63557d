#pragma once
// The window as a screen reader sees it: the roles, names, values and states
// Qt's own accessible interfaces would get wrong for our controls (a progress
// line that is a text field to Qt, lists whose value would be their name,
// controls under the printer panel that would still be "showing").

#include <QAccessible>
#include <QString>

class QLineEdit;
class QObject;
class QWidget;

namespace vagolume {

struct DescrizioneControllo;
class ModelloFinestra;

// Installed once with QAccessible::installFactory.
QAccessibleInterface* FabbricaAccessibile(const QString& classe, QObject* oggetto);
// The role a control of the window's table is told with; NoRole: Qt's own.
QAccessible::Role RuoloAccessibile(const DescrizioneControllo& d);
// What a screen reader hears of a run: the part printed and the track's text.
void AnnunciaAvanzamento(QLineEdit* traccia, const ModelloFinestra& m);
// A control the printer panel covers (or no longer covers): off screen.
void SegnaCoperto(QWidget* w, bool coperto);

} // namespace vagolume
