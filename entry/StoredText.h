#pragma once

#include <QString>

class QLineEdit;

// Shows a stored value in an entry field whole, even when it is longer than
// the field's maximum length: that limit is for typing, and a value cut on
// loading would be saved cut. The beginning of the value is what shows.
// Once the text is no longer than the limit, the limit holds again.
void showStoredText(QLineEdit* field, const QString& text);
