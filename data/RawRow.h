#pragma once

#include <QByteArrayView>
#include <QString>

struct sqlite3_stmt;

// A row read straight from the engine, without turning every value into a
// QVariant: reading a whole table that way costs more than the reading.
class RawRow {
public:
    enum class Kind { Null, Integer, Real, Text };
    int columns() const;
    Kind kind(int column) const;
    bool isNull(int column) const { return kind(column) == Kind::Null; }
    qlonglong integer(int column) const;
    double real(int column) const;
    QByteArrayView utf8(int column) const; // the text as stored
    QString text(int column) const;        // what textOf() gives for the value

private:
    explicit RawRow(sqlite3_stmt* s) : s_(s) {}
    sqlite3_stmt* s_;
    friend class Database;
};
