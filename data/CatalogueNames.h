#pragma once

#include "data/Database.h"

#include <QHash>
#include <QString>

// The delivered catalogues as key -> name, for checking a file's keys and
// for showing names beside them.
struct CatalogueNames {
    QHash<QString, QString> offices;        // cveAduana as digits
    QHash<QString, QString> states;         // cveEntFed as stored ("09")
    QHash<QString, QString> municipalities; // "<cveEntFed>|<cveMpioDeleg>"

    static Fallible<CatalogueNames> read(Database& db);
    static QString municipalityKey(const QString& state, const QString& municipality) {
        return state + u'|' + municipality;
    }
};
