#pragma once

#include "rules/Cp1252.h"

#include <QString>
#include <QStringList>

// What may stand in a field of the information file, and typed capitals:
// the rules the entry fields apply and the file relies on.

// The capital of a typed character within Windows-1252; the text itself when
// it has none there.
QString upperTyped(const QString& typed);

// The one rule of the information file's bytes: a field cannot hold the
// separator "|", a line break or any other control character, or a
// character Windows-1252 lacks. The byte c is written as in a field, or -1
// when the field cannot hold it. Inline: the file is written and checked
// through it character by character.
inline int fileFieldByte(QChar c) {
    const char16_t u = c.unicode();
    if (u == u'|' || u < 0x20 || u == 0x7F)
        return -1;
    return u < 0x80 ? u : Cp1252::byteOf(c);
}
inline bool breaksFileField(QChar c) {
    return fileFieldByte(c) < 0;
}

// True when the text may be typed into an entry field: nothing that breaks
// a field of the file.
bool isSafeText(const QString& text);

// The text without what isSafeText refuses (combining accents composed
// first); *removed names, in Spanish, what was taken out: each visible
// character itself, quoted (the first few), and invisible ones by kind
// ("los tabuladores").
QString safeText(const QString& text, QStringList* removed = nullptr);
