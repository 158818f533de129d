#pragma once

#include "data/DbError.h"

#include <QByteArrayView>
#include <QList>
#include <QSqlDatabase>
#include <QVariant>
#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// The rows of a query, by column position, all read at once. The stores
// read through it and name the columns; whole tables written out go
// through eachRow instead.
struct Rows {
    QList<QVariantList> rows;
    MaybeError error;

    bool ok() const { return !error.has_value(); }
    bool empty() const { return rows.isEmpty(); }
    int size() const { return int(rows.size()); }
    const QVariantList& first() const { return rows.first(); }
    const QVariantList& last() const { return rows.last(); }
};

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

// One open kestro.mdb. Every value reaches the engine as a bound parameter.
class Database {
public:
    static constexpr const char* FileName = "kestro.mdb";

    // Opens <folder>/kestro.mdb. The file is never created: when it is
    // missing or is not a database, *why holds a Spanish explanation naming
    // the path and the result is null.
    static std::unique_ptr<Database> open(const QString& folder, QString* why);
    // Opens any existing database file (tools and tests).
    static std::unique_ptr<Database> openFile(const QString& path, QString* why);
    // Creates a new, empty database file (only the delivery tool does this).
    static std::unique_ptr<Database> createFile(const QString& path, QString* why);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString path() const { return path_; }

    MaybeError exec(const QString& sql, const QVariantList& params = {});
    Rows select(const QString& sql, const QVariantList& params = {});
    // Hands each row to `visit` as the engine stores it, keeping nothing:
    // for whole tables written out. Stops early when visit returns false.
    MaybeError eachRow(const QString& sql, const std::function<bool(const RawRow&)>& visit);

    // Tries a write and undoes it at once: "" when saving works, otherwise a
    // Spanish explanation that names the file and says what to do (a
    // read-only file or folder, another program holding a lock).
    QString cannotSaveReason();

    // A failed read is an error, never "no such table" or "no columns".
    Fallible<bool> tableExists(const QString& table);
    Fallible<QStringList> columns(const QString& table); // in table order
    QSqlDatabase handle() const;

private:
    Database(QString connection, QString path);
    static std::unique_ptr<Database> connect(const QString& path, QString* why);

    sqlite3* engine() const;

    QString connection_;
    QString path_;
    friend class Transaction;
    friend class PreparedStatement;
};

// One statement prepared once and run many times, each run with its own
// values: for imports of many rows, where preparing again for every row, or
// going through the general query classes, costs more than the insert.
class PreparedStatement {
public:
    PreparedStatement(Database& db, const QString& sql);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    const MaybeError& prepareError() const { return prepareError_; }
    MaybeError exec(const QVariantList& params);

private:
    sqlite3* engine_;
    sqlite3_stmt* statement_ = nullptr;
    MaybeError prepareError_;
};

// Every user action that writes several rows runs inside one of these:
// commit() keeps the work; leaving the scope without it undoes everything.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const MaybeError& beginError() const { return beginError_; }
    MaybeError commit();

private:
    Database& db_;
    bool open_ = false;
    MaybeError beginError_;
};

// Runs body (returning MaybeError) inside a transaction; commits only when
// body succeeded.
template <class Body> MaybeError inTransaction(Database& db, Body&& body) {
    Transaction tx(db);
    if (tx.beginError())
        return tx.beginError();
    if (MaybeError e = body())
        return e;
    return tx.commit();
}

// Binding helpers: an empty text for a number column binds as SQL NULL.
QVariant intOrNull(const QString& keyText); // " 47" -> 47, "" -> NULL
QString textOf(const QVariant& v);          // Null -> ""
