#include "data/Schema.h"
#include "data/Transaction.h"

#include "data/Tables.h"

namespace Schema {

QStringList createStatementsV30() {
    QStringList statements;
    for (const Tables::Table& t : Tables::all()) {
        QStringList columns;
        for (const Tables::Column& c : t.columns)
            if (!c.addedIn35)
                columns << QStringLiteral("%1 %2").arg(QString::fromLatin1(c.name),
                                                       Tables::sqlType(c));
        statements << QStringLiteral("create table %1 (%2)")
                          .arg(t.tableName(), columns.join(QStringLiteral(", ")));
    }
    // Lookups by state and by key; the catalogue keeps keys unique.
    statements << QStringLiteral("create unique index MpioDeleg_clave on MpioDeleg (cveEntFed, "
                                 "cveMpioDeleg)")
               << QStringLiteral("create unique index Aduanas_clave on Aduanas (cveAduana)");
    return statements;
}

MaybeError createV30(Database& db) {
    return inTransaction(db, [&]() -> MaybeError {
        for (const QString& sql : createStatementsV30())
            if (MaybeError e = db.exec(sql))
                return e;
        return std::nullopt;
    });
}

const QList<AddedColumn>& addedColumns() {
    static const QList<AddedColumn> cols = [] {
        QList<AddedColumn> out;
        for (const Tables::Table& t : Tables::all())
            for (const Tables::Column& c : t.columns)
                if (c.addedIn35)
                    out.append({t.tableName(), QString::fromLatin1(c.name), Tables::sqlType(c)});
        return out;
    }();
    return cols;
}

QString createVersionesStatement() {
    return QStringLiteral("create table Versiones( CveVer smallint, Nombre char(30), "
                          "VPrin smallint,VSec smallint,VRev smallint)");
}

} // namespace Schema
