#pragma once

#include "data/DbError.h"

#include <QList>
#include <QSqlDatabase>
#include <QVariant>
#include <memory>

// The rows of a query, read by column position like every reader of the
// store does. Tables are small (one agent and his people), so reading them
// whole is simpler than keeping a cursor open.
struct Rows {
    QList<QVariantList> rows;
    MaybeError error;

    bool ok() const { return !error.has_value(); }
    bool empty() const { return rows.isEmpty(); }
    int size() const { return int(rows.size()); }
    const QVariantList& first() const { return rows.first(); }
    const QVariantList& last() const { return rows.last(); }
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

    // Tries a write and undoes it at once: "" when saving works, otherwise a
    // Spanish explanation that names the file and says what to do (a
    // read-only file or folder, another program holding a lock).
    QString cannotSaveReason();

    // A failed read puts the error in *error (when given) rather than pass
    // for "no such table" or "no columns".
    bool tableExists(const QString& table, MaybeError* error = nullptr);
    QStringList columns(const QString& table, MaybeError* error = nullptr); // in table order
    QSqlDatabase handle() const;

private:
    Database(QString connection, QString path);
    static std::unique_ptr<Database> connect(const QString& path, QString* why);

    QString connection_;
    QString path_;
    friend class Transaction;
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
