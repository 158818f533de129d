#include "data/CatalogueNames.h"

#include <QDir>

namespace {

MaybeError readInto(Database& db, const QString& sql, QHash<QString, QString>& into) {
    return db.eachRow(sql, [&](const RawRow& r) {
        into.insert(r.text(0), r.text(1));
        return true;
    });
}

} // namespace

Fallible<CatalogueNames> CatalogueNames::read(Database& db) {
    CatalogueNames c;
    MaybeError e = readInto(db, QStringLiteral("select cveAduana, Aduana from Aduanas"), c.offices);
    if (!e)
        e = readInto(db, QStringLiteral("select cveEntFed, Nombre from EntFed"), c.states);
    if (!e)
        e = readInto(db,
                     QStringLiteral("select cveEntFed || '|' || cveMpioDeleg, Nombre "
                                    "from MpioDeleg"),
                     c.municipalities);
    if (e)
        return DbError::refused(QStringLiteral("No se pudieron leer los catálogos de %1: %2")
                                    .arg(QDir::toNativeSeparators(db.path()), e->message()));
    return c;
}
