#pragma once

#include <QString>

class QLineEdit;

// Shows a stored value in an entry field whole, even when it is longer than
// the field's maximum length: that limit is for typing, and a value cut on
// loading would be saved cut. The beginning of the value is what shows.
// Typing never makes such a value longer: the field's length follows the
// text down to the limit, which then holds again.
void showStoredText(QLineEdit* field, const QString& text);

// The length the information file admits in the field: its maximum length,
// unless a longer stored value is shown in it.
int typingLimit(const QLineEdit* field);
