#include "data/Database.h"
#include "data/InSpanish.h"

#include "data/DatabaseFile.h"
#include "data/EngineError.h"
#include "data/FaultPoint.h"
#include "data/SchemaCheck.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

namespace {

QAtomicInt connectionCounter;

} // namespace

Database::Database(QString connection, QString path)
    : connection_(std::move(connection)), path_(std::move(path)) {}

Database::~Database() {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

Database::Opened Database::connect(const QString& path) {
    const QString name = QStringLiteral("kestro-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            const QString why = QStringLiteral("No se pudo abrir la base de datos %1: %2")
                                    .arg(QDir::toNativeSeparators(path),
                                         engineSays(db.lastError().nativeErrorCode().toInt(),
                                                    db.lastError().text()));
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            return DbError::refused(why);
        }
    }
    std::unique_ptr<Database> d(new Database(name, path));
    // Catalogue reads and the information file expect the engine to check
    // nothing on its own: keys are plain values, the program keeps them.
    if (MaybeError e = d->exec(QStringLiteral("PRAGMA foreign_keys = OFF"))) {
        return DbError::refused(QStringLiteral("No se pudo abrir la base de datos %1:%2")
                                    .arg(QDir::toNativeSeparators(path), e->message()));
    }
    return d;
}

Database::Opened Database::open(const QString& folder) {
    const QString path = QDir(folder).filePath(QString::fromLatin1(FileName));
    Opened db = openFile(path);
    // What the windows write to must hold nothing that runs on its own.
    if (const QString why = db ? schemaFault(path) : QString(); !why.isEmpty())
        return DbError::refused(why + QStringLiteral("\nKESTRO no la abre. Restaure una copia de "
                                                     "respaldo sana con la orden kestro "
                                                     "--restaurar <copia>."));
    return db;
}

Database::Opened Database::openFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (!QFileInfo(path).isFile())
        return DbError::refused(QStringLiteral("No se encontró la base de datos %1.\n"
                                               "Cierre KESTRO y vuelva a abrirlo: al iniciar copia "
                                               "en su carpeta de datos la base de datos que se "
                                               "entrega con el programa.")
                                    .arg(shown));
    const QString damaged =
        QStringLiteral("El archivo %1 no es una base de datos de KESTRO o está dañado.").arg(shown);
    const DatabaseFile::Head head = DatabaseFile::head(path);
    if (!head.unreadable.isEmpty())
        return DbError::refused(QStringLiteral("No se pudo leer la base de datos %1: %2.\n"
                                               "Revise que ningún otro programa la tenga abierta "
                                               "y que tenga permiso de leerla.")
                                    .arg(shown, head.unreadable));
    if (!head.sqlite)
        return DbError::refused(damaged);
    Opened db = connect(path);
    if (!db)
        return db;
    const Rows probe = db.value->select(QStringLiteral("select count(*) from sqlite_master"));
    if (!probe.ok()) {
        const int code = probe.error->number & 0xff;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            return DbError::refused(
                QStringLiteral("No se pudo abrir la base de datos %1: otro programa la tiene "
                               "abierta y bloqueada. Cierre los demás programas que la estén "
                               "usando (por ejemplo otra copia de KESTRO) y vuelva a abrir KESTRO.")
                    .arg(shown));
        return DbError::refused(damaged);
    }
    return db;
}

Database::Opened Database::createFile(const QString& path) {
    if (QFileInfo::exists(path))
        return DbError::refused(
            QStringLiteral("El archivo %1 ya existe.").arg(QDir::toNativeSeparators(path)));
    return connect(path);
}

QSqlDatabase Database::handle() const {
    return QSqlDatabase::database(connection_, false);
}

MaybeError Database::exec(const QString& sql, const QVariantList& params) {
    if (faultpoint::hit())
        return injectedFailure();
    QSqlQuery q(handle());
    if (!q.prepare(sql))
        return DbError::fromSql(q.lastError());
    for (const QVariant& p : params)
        q.addBindValue(p);
    if (!q.exec())
        return DbError::fromSql(q.lastError());
    return std::nullopt;
}

Rows Database::select(const QString& sql, const QVariantList& params) {
    Rows out;
    if (faultpoint::hit()) {
        out.error = injectedFailure();
        return out;
    }
    QSqlQuery q(handle());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        out.error = DbError::fromSql(q.lastError());
        return out;
    }
    for (const QVariant& p : params)
        q.addBindValue(p);
    if (!q.exec()) {
        out.error = DbError::fromSql(q.lastError());
        return out;
    }
    const int n = q.record().count();
    while (q.next()) {
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row.append(q.value(i));
        out.rows.append(row);
    }
    if (q.lastError().isValid())
        out.error = DbError::fromSql(q.lastError());
    return out;
}

sqlite3* Database::engine() const {
    const QVariant v = handle().driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.constData());
    return nullptr;
}

namespace {

// The engine's reason for a refused write, in words; "" when it has none.
QString whyNotWritable(int code) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("otro programa la tiene abierta y bloqueada");
    case SQLITE_READONLY:
        return QStringLiteral("el archivo o su carpeta son de sólo lectura");
    case SQLITE_FULL:
        return QStringLiteral("el disco está lleno");
    case SQLITE_CANTOPEN: // the journal beside it cannot be created
        return QStringLiteral("no se pueden crear archivos en su carpeta");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("no hay permiso de escritura");
    }
    return QString();
}

QString whyNotWritable(const QSqlError& e) {
    const QString known = whyNotWritable(e.nativeErrorCode().toInt());
    return known.isEmpty() ? engineSays(e.nativeErrorCode().toInt(), e.databaseText()) : known;
}

} // namespace

MaybeError Database::eachRow(const QString& sql, const std::function<bool(const RawRow&)>& visit) {
    if (faultpoint::hit())
        return injectedFailure();
    sqlite3* db = engine();
    sqlite3_stmt* s = nullptr;
    if (!db || sqlite3_prepare16_v2(db, sql.utf16(), -1, &s, nullptr) != SQLITE_OK)
        return engineError(db);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(s, sqlite3_finalize);
    const RawRow row(s);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        if (!visit(row))
            return std::nullopt;
    if (rc != SQLITE_DONE)
        return engineError(db);
    return std::nullopt;
}

QString Database::cannotSaveReason() {
    QSqlDatabase h = handle();
    QSqlQuery q(h);
    // A short wait: a lock held for longer than this is no passing one.
    q.exec(QStringLiteral("PRAGMA busy_timeout = 1000"));
    QSqlError problem;
    const bool began = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (!began)
        problem = q.lastError();
    else if (!q.exec(QStringLiteral("CREATE TABLE kestro_prueba_escritura(x)")))
        problem = q.lastError();
    if (began)
        q.exec(QStringLiteral("ROLLBACK"));
    q.exec(QStringLiteral("PRAGMA busy_timeout = 5000"));
    if (!problem.isValid())
        return QString();
    return QStringLiteral("No se podrá guardar ningún dato: la base de datos %1 no se puede "
                          "modificar (%2).\nCierre los demás programas que la estén usando "
                          "(por ejemplo otra copia de KESTRO), revise que el archivo y su "
                          "carpeta no sean de sólo lectura y que tenga permiso de escritura en "
                          "ellos, y vuelva a abrir KESTRO.")
        .arg(QDir::toNativeSeparators(QFileInfo(path_).absoluteFilePath()),
             whyNotWritable(problem));
}

QString Database::copyTo(const QString& target) const {
    sqlite3* copy = nullptr;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &copy,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* b = sqlite3_backup_init(copy, "main", engine(), "main");
        if (!b) {
            rc = sqlite3_errcode(copy);
        } else {
            const int stepped = sqlite3_backup_step(b, -1);
            rc = sqlite3_backup_finish(b);
            if (stepped != SQLITE_DONE)
                rc = stepped;
        }
    }
    sqlite3_close(copy);
    if (rc == SQLITE_OK)
        return QString();
    QFile::remove(target);
    QFile::remove(target + QStringLiteral("-journal"));
    const QString known = whyNotWritable(rc);
    return QStringLiteral("No se pudo escribir %1: %2.")
        .arg(QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath()),
             known.isEmpty() ? engineSays(rc) : known);
}

Fallible<bool> Database::tableExists(const QString& table) {
    Rows r = select(
        QStringLiteral("select 1 from sqlite_master where type='table' and lower(name)=lower(?)"),
        {table});
    if (r.error)
        return *r.error;
    return !r.empty();
}

Fallible<QStringList> Database::columns(const QString& table) {
    Rows r = select(QStringLiteral("select name from pragma_table_info(?)"), {table});
    if (r.error)
        return *r.error;
    QStringList names;
    for (const QVariantList& row : r.rows)
        names << row.at(0).toString();
    return names;
}

QVariant intOrNull(const QString& keyText) {
    bool ok = false;
    const qlonglong n = keyText.trimmed().toLongLong(&ok);
    if (!ok)
        return QVariant(QMetaType(QMetaType::LongLong));
    return QVariant(n);
}

QString textOf(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}
