#pragma once

#include <QString>
#include <QStringList>

class QLineEdit;

// Typed lower-case letters become capitals key by key (ñ -> Ñ, á -> Á,
// š -> Š, ÿ -> Ÿ); digits, blanks, "/" and control keys pass. A paste gets
// what typing gets; text set by the program keeps its case.
void attachUppercaseFilter(QLineEdit* field);

// The field drops, typed or pasted, what would corrupt the information
// file: the separator "|", line breaks, tabs and other control characters,
// and characters Windows-1252 cannot encode. A paste that lost something
// says what, and one that lost everything says why nothing was pasted.
void attachSafeText(QLineEdit* field);

// Both of the above: what almost every entry field gets.
void attachEntryRules(QLineEdit* field, bool uppercase = true);

// The clipboard's text inserted into the field by the rules above.
void pasteFromClipboard(QLineEdit* field, bool uppercase);
