#pragma once

#include <QString>

// Shared checks of the identifiers and values that people type. Pure
// functions: they show nothing and move no focus; each window says what is
// wrong in its own words.

// Patent number: the leading-number value lies in (0, 4000].
bool Valida_Patente(const QString& text);
// A patent that can be stored as a number: it reads as a patent and is all
// digits once the blanks around it are gone (" 12" is 12; "12AB" passes
// Valida_Patente but is refused here).
bool patentStorable(const QString& text);
// RFC of a natural person: at least 13 characters, the first four not a
// number, characters 5-10 a real yymmdd date.
bool Valida_RFC(const QString& text);
// CURP: at least 18 characters, RFC-like start and date, sex "H" or "M",
// a state block that is not a number.
bool Valida_CURP(const QString& text);

// The whole text reads as one decimal number (blanks around it, optional
// sign, at most one decimal point, optional exponent E or D).
bool Es_Numerico(const QString& text);
// The number the text begins with, blanks, tabs and line feeds skipped; 0
// when it does not begin with one ("12AB" is 12, "A123" is 0).
double Valor_Numerico(const QString& text);
// "dd/mm/yy" names a real date; two-digit years 00-29 are 2000-2029 and
// 30-99 are 1930-1999.
bool Es_Fecha(const QString& text);

// A text counts as empty when nothing is left after removing trailing blanks.
bool Vacio(const QString& text);
// The text without its trailing blanks.
QString RTrim(const QString& text);

// Key text of a municipality or customs-office number: the decimal form
// with one leading blank when not negative (office 47 is " 47").
QString Texto_Clave(qlonglong number);
