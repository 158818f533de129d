#pragma once

#include "data/Tables.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

// A signed information file read back record by record, its fields found by
// the column names of the one description of the tables. The records keep
// where their fields lie in the file's bytes, not copies: a file of
// thousands of records is read without a string for each field, and a
// field becomes text only where a message or a summary shows it.

// A field's bytes as the text they stand for (Windows-1252).
QString fieldText(QByteArrayView bytes);
// For comparing a field with the fixed texts, all of them ASCII.
inline QLatin1StringView ascii(QByteArrayView bytes) {
    return QLatin1StringView(bytes.data(), bytes.size());
}

struct FileRecord {
    int line = 0; // 1-based, as an editor counts
    bool hasCrLf = true;
    QByteArrayView tag; // the first field
    const QByteArrayView* fields = nullptr;
    qsizetype count = 0; // every field, the tag first

    qsizetype size() const { return count; }
    // Empty past the last field.
    QByteArrayView field(qsizetype i) const {
        return i >= 0 && i < count ? fields[i] : QByteArrayView();
    }
    QString at(qsizetype i) const { return fieldText(field(i)); }
    // The field of `column` in a record of `table`'s section.
    QByteArrayView raw(const Tables::Table& table, const char* column) const;
    QString value(const Tables::Table& table, const char* column) const {
        return fieldText(raw(table, column));
    }
    // The whole line as read, without its line end.
    QByteArrayView bytes() const;
    QString text() const { return fieldText(bytes()); }
};

// The records of a file and where their fields lie; it holds views into the
// file's bytes, which must outlive it. Moved, never copied: the records
// point into it.
struct FileRecords {
    QList<QByteArrayView> fields;
    QList<FileRecord> lines;

    FileRecords() = default;
    FileRecords(FileRecords&&) = default;
    FileRecords& operator=(FileRecords&&) = default;
    FileRecords(const FileRecords&) = delete;
    FileRecords& operator=(const FileRecords&) = delete;
};

// The field position of a column in its section's records (the tag and
// the patent come first); -1 when the column is not written.
int fileField(const Tables::Table& table, const char* column);
// How many fields a section's ordinary record has.
int fileFieldCount(const Tables::Table& table);

// Every line of the file, split at "|". A final line without a line end is
// kept too.
FileRecords readRecords(const QByteArray& bytes);

// The column naming whom a section's record is of: the CURP it is keyed
// by (the agent's for AA), or the address type for the agent's addresses.
const char* recordKeyColumn(const Tables::Table& table);

// The table whose section a tag opens, or nullptr for the fixed records.
const Tables::Table* sectionOf(QByteArrayView tag);
const Tables::Table* sectionOf(const QString& tag);

// The fixed records around the tables, as the writer puts them.
QString headRecord(const QString& patente);
extern const QString VersionRecord;
extern const QString EndRecord;
extern const QString SignatureTag;
extern const QString NotApplicable;
