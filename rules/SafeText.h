#pragma once

#include <QString>
#include <QStringList>

// What may stand in a field of the information file, and typed capitals:
// the rules the entry fields apply and the file relies on.

// The capital of a typed character within Windows-1252; the text itself when
// it has none there.
QString upperTyped(const QString& typed);

// True when the text may stand in a field of the information file.
bool isSafeText(const QString& text);

// The text without what isSafeText refuses (combining accents composed
// first); *removed names, in Spanish, each kind of character taken out.
QString safeText(const QString& text, QStringList* removed = nullptr);
