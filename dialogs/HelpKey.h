#pragma once

#include <QHash>
#include <QString>

class QCoreApplication;
class QWidget;

// F1, in any window of the program, opens the user's manual at the part
// that speaks of that window or page.
void installHelpKey(QCoreApplication& app);

// The manual's section for a widget: that of the nearest page or window
// around it that has one (a dialog opened from a page speaks of that page);
// empty, for the top of the manual, when none has.
QString helpSection(const QWidget* widget);

// The windows and pages with a section of their own, by objectName.
const QHash<QString, QString>& helpSections();
