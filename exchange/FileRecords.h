#pragma once

#include "data/Tables.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <functional>

// A signed information file read back record by record, its fields found by
// the column names of the one description of the tables. The records keep
// where their fields lie in the file's bytes, not copies: a file of
// thousands of records is read without a string for each field, and a
// field becomes text only where a message or a summary shows it.

// A field's bytes as the text they stand for (Windows-1252).
QString fieldText(QByteArrayView bytes);
// The same, cut with "…" past `most` characters: a message never copies a
// field whose length the file alone decides.
QString shownField(QByteArrayView bytes, qsizetype most = 60);
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

    // Past MaxStoredFields the last stored field holds the rest of the
    // line: no layout is that wide, and a line of bare "|" costs no more
    // than one that is well formed.
    qsizetype size() const { return count; }
    // Every field of the line, those past MaxStoredFields too.
    qsizetype fieldsInLine() const;
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

inline constexpr qsizetype MaxStoredFields = 32;

// Every line of the file, split at "|". A final line without a line end is
// kept too. `keep`, when given, sees each line (its fields valid only
// during the call) and says whether to keep it: a file of millions of
// lines no check needs is read in the memory of its few records.
FileRecords readRecords(const QByteArray& bytes,
                        const std::function<bool(const FileRecord&)>& keep = {});
// The stored record of `line`, or nullptr when that line was not kept.
const FileRecord* recordAt(const FileRecords& records, int line);

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
