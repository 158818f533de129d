#pragma once

#include <QString>

class QWidget;

// Tells `text` beside the field, below it, without taking the focus: what
// the field did not take of what was typed or pasted (the rest of a name
// past the field's length, a date that does not exist). It goes when the
// field loses the focus or after a few seconds.
void tellBeside(QWidget* field, const QString& text);
