#pragma once

#include <QString>

// One postal address as it is stored, keys as their texts.
struct StoredAddress {
    QString entFed;    // state key
    QString mDelegKey; // municipality key text (" 15")
    QString calle, noExt, noInt, colonia, cp, telefono, fax;
};
