#pragma once

#include "data/DbError.h"
#include "data/RawRow.h"
#include "data/Rows.h"

#include <QByteArrayView>
#include <QList>
#include <QSqlDatabase>
#include <QVariant>
#include <functional>
#include <memory>

struct sqlite3;

// One open kestro.mdb. Every value reaches the engine as a bound parameter.
class Database {
public:
    static constexpr const char* FileName = "kestro.mdb";

    using Opened = Fallible<std::unique_ptr<Database>>;

    // Opens <folder>/kestro.mdb. The file is never created: when it is
    // missing or is not a database, the failure names the path in Spanish.
    static Opened open(const QString& folder);
    // Opens any existing database file (tools and tests).
    static Opened openFile(const QString& path);
    // Creates a new, empty database file (only the delivery tool does this).
    static Opened createFile(const QString& path);

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
    // Copies the whole database, as it is at this moment, into the new file
    // `target` through the engine's online backup: "" when done, otherwise
    // why not in Spanish (a full disk, no permission); no partial file stays.
    QString copyTo(const QString& target) const;

    // A failed read is an error, never "no such table" or "no columns".
    Fallible<bool> tableExists(const QString& table);
    Fallible<QStringList> columns(const QString& table); // in table order
    QSqlDatabase handle() const;

private:
    Database(QString connection, QString path);
    static Opened connect(const QString& path);

    sqlite3* engine() const;

    QString connection_;
    QString path_;
    friend class Transaction;
    friend class PreparedStatement;
};

// Binding helpers: an empty text for a number column binds as SQL NULL.
QVariant intOrNull(const QString& keyText); // " 47" -> 47, "" -> NULL
QString textOf(const QVariant& v);          // Null -> ""

// The rows of a query, each made into a T by `make`, or the engine's error.
template <class T, class Make>
Fallible<QList<T>> selectAs(Database& db, const QString& sql, const QVariantList& params,
                            Make make) {
    const Rows r = db.select(sql, params);
    if (r.error)
        return *r.error;
    QList<T> out;
    for (const QVariantList& row : r.rows)
        out.append(make(row));
    return out;
}
