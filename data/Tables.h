#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// The tables of kestro.mdb, described once: the schema creates them from
// here, the information file writes its sections from here and the import
// reads the previous version's dump by it.
namespace Tables {

enum class Kind {
    Text,
    Number,
    Date,    // ISO text, yyyy-mm-dd
    Mandato, // a number; the old dump wrote "" for 1 and "1" for 2
};

// Where a table travels besides the store.
enum class Travel {
    Nowhere,    // catalogues
    FileMain,   // always in the information file
    FileHistory // in the file only when some representative brings a history
};

struct Column {
    const char* name;
    Kind kind;
    bool addedIn35 = false; // appended by the upgrade, absent from 3.0
    bool inFile = true;     // written in the table's section of the file
    QVariant oldDefault{};  // when valid: not in the old dump, stored as this
};

struct Table {
    const char* name;
    QList<Column> columns; // in table order
    Travel travel = Travel::Nowhere;
    bool inOldDump = false;          // a record of the previous version's dump
    int fileFillers = 0;             // "No Aplica" fields an empty table writes
    const char* keyColumn = nullptr; // CURP naming a faulty record; none for the agent's

    // Position of a column in table order; -1 when there is none.
    int position(const char* column) const;
    QString tableName() const { return QString::fromLatin1(name); }
    // "select <every column> from <table>", named in table order.
    QString selectAll() const;
};

// Every table, in the order the file and the dump take them.
const QList<Table>& all();
const Table& byName(const char* name);

// The type a column is created with.
QString sqlType(const Column& c);

} // namespace Tables
