#pragma once

#include <QString>

class QDateEdit;

// A date field takes a date as people type it: digits with or without "/",
// "-" or ".", typed or pasted, from the day or from the part clicked (the
// click selects that part, so the digits typed next replace it). What is
// typed ends as that very date, or is refused: the field keeps the date it
// had and says why beside it.
void attachDateTyping(QDateEdit* edit);

// Why the last date typed into `edit` was refused, while nothing has
// replaced it since; "" otherwise. A dialog does not accept the date the
// field fell back to as if it had been typed.
QString refusedDate(const QDateEdit* edit);
