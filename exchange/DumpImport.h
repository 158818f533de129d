#pragma once

#include "data/Database.h"

#include <QString>
#include <QVariantList>

// Takes over the data of the previous version from its text dump, once,
// while the agent table is still empty. Runs against the 3.0 schema, before
// the upgrade, so it names only the columns that version had.

// "C:\KESTRO" on Windows; elsewhere the same folder as Wine presents it.
QString defaultPreviousVersionFolder();

struct DumpInsert {
    QString sql;         // empty for a record the import skips
    QVariantList values; // bound in order
    bool end = false;    // the "800" record: the dump ends here
};

// Turns one dump record (without quotes or line end) into its statement;
// fails with a Spanish reason when the record is malformed.
Fallible<DumpInsert> Conv_Insert(QStringView recordText);

// Reads the dump (Windows-1252, one record per line, first line a header)
// and inserts everything in one transaction. On any fault nothing is
// inserted and the failure names the line.
MaybeError importDump(Database& db, const QString& dumpPath);
