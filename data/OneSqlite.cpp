#include "data/OneSqlite.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace {

// The source id of the SQLite Qt's driver runs, asked of a database in
// memory so no file is touched; an error text when it cannot be asked.
QString driverSourceId(QString* error) {
    const QString name = QStringLiteral("kestro-sqlite-copy");
    QString id;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("select sqlite_source_id()")) && q.next())
                id = q.value(0).toString();
            else
                *error = q.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return id;
}

} // namespace

QString sqliteVersionsDiffer() {
    return sqliteVersionsDiffer(QString::fromLatin1(sqlite3_sourceid()));
}

QString sqliteVersionsDiffer(const QString& ownSourceId) {
    QString error;
    const QString driverId = driverSourceId(&error);
    if (driverId == ownSourceId)
        return QString();
    const QString found =
        driverId.isEmpty() ? QStringLiteral("no se pudo saber cuál: %1").arg(error) : driverId;
    return QStringLiteral("KESTRO no puede iniciar: el controlador de base de datos de Qt no usa "
                          "la misma versión de SQLite que el programa (el controlador: %1; el "
                          "programa: %2). Dos versiones distintas sobre un mismo archivo pueden "
                          "dañar kestro.mdb, así que el programa no lo abrió. Vuelva a instalar "
                          "KESTRO.")
        .arg(found, ownSourceId);
}
