#pragma once

#include <QChar>
#include <QString>

// The check digits the authorities publish for their identifiers. A null
// QChar when the text cannot have one (too short, a character outside the
// authority's alphabet).

// The CURP's last character, computed from the first seventeen.
QChar curpCheckDigit(const QString& curp);

// The RFC's last character, computed with the mod-11 rule from the ones
// before it: twelve for a person's RFC of 13 characters, eleven for a
// company's of 12 (counted as if led by a blank).
QChar rfcCheckDigit(const QString& rfc);
