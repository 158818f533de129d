#pragma once

#include "data/Tables.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// A signed information file read back record by record, its fields found by
// the column names of the one description of the tables.

struct FileRecord {
    int line = 0; // 1-based, as an editor counts
    QString tag;
    QStringList fields; // every field, the tag first
    bool hasCrLf = true;

    QString at(int i) const { return fields.value(i); }
    // The field of `column` in a record of `table`'s section.
    QString value(const Tables::Table& table, const char* column) const;
};

// The field position of a column in its section's records (the tag and
// the patent come first); -1 when the column is not written.
int fileField(const Tables::Table& table, const char* column);
// How many fields a section's ordinary record has.
int fileFieldCount(const Tables::Table& table);

// Every line of the file, split at "|" and read as Windows-1252. A final
// line without a line end is kept too.
QList<FileRecord> readRecords(const QByteArray& bytes);

// The column naming whom a section's record is of: the CURP it is keyed
// by (the agent's for AA), or the address type for the agent's addresses.
const char* recordKeyColumn(const Tables::Table& table);

// The table whose section a tag opens, or nullptr for the fixed records.
const Tables::Table* sectionOf(const QString& tag);

// The fixed records around the tables, as the writer puts them.
QString headRecord(const QString& patente);
extern const QString VersionRecord;
extern const QString EndRecord;
extern const QString SignatureTag;
extern const QString NotApplicable;
