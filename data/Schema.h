#pragma once

#include "data/Database.h"

#include <QStringList>

// Creating and upgrading kestro.mdb, from the one description of its
// tables (data/Tables.h).
namespace Schema {

// The tables as version 3.0 had them (no additional offices, no history
// flags, no version registry); the upgrade brings them to 3.5.
QStringList createStatementsV30();
MaybeError createV30(Database& db);

struct AddedColumn {
    QString table;
    QString column;
    QString type;
};
// The columns version 3.5 appends, in the order they are appended.
const QList<AddedColumn>& addedColumns();

QString createVersionesStatement();

} // namespace Schema
