#pragma once

#include <QString>

class QLineEdit;

// Typed lower-case letters become capitals key by key (ñ -> Ñ, á -> Á,
// š -> Š, ÿ -> Ÿ); digits, blanks, "/" and control keys pass. Pasted text
// and text set by the program keep their case.
void attachUppercaseFilter(QLineEdit* field);

// The field refuses, typed or pasted, what would corrupt the information
// file: the separator "|", line breaks, and characters Windows-1252 cannot
// encode.
void attachSafeText(QLineEdit* field);

// Both of the above: what almost every entry field gets.
void attachEntryRules(QLineEdit* field, bool uppercase = true);

// The capital of a typed character within Windows-1252; the text itself when
// it has none there.
QString upperTyped(const QString& typed);

// True when the text may stand in a field of the information file.
bool isSafeText(const QString& text);
