#include "data/Upgrade.h"
#include "data/Transaction.h"

#include "data/Schema.h"

namespace {

MaybeError addMissingColumns(Database& db) {
    const Fallible<QList<Schema::AddedColumn>> missing = missingColumns(db);
    if (!missing.ok())
        return missing.error;
    for (const Schema::AddedColumn& c : missing.value)
        // Identifiers come from the fixed list of the schema, never from input.
        if (MaybeError e =
                db.exec(QStringLiteral("alter table %1 add %2 %3").arg(c.table, c.column, c.type)))
            return e;
    return std::nullopt;
}

MaybeError addVersionRow(Database& db, int cve, int sec) {
    Rows r = db.select(QStringLiteral("select 1 from Versiones where VPrin=3 and VSec=?"), {sec});
    if (!r.ok())
        return r.error;
    if (!r.empty())
        return std::nullopt;
    return db.exec(QStringLiteral("insert into Versiones values(?, 'KESTRO', 3, ?, 0)"),
                   {cve, sec});
}

} // namespace

Fallible<QList<Schema::AddedColumn>> missingColumns(Database& db) {
    QList<Schema::AddedColumn> missing;
    for (const Schema::AddedColumn& c : Schema::addedColumns()) {
        const Fallible<QStringList> present = db.columns(c.table);
        if (!present.ok())
            return *present.error;
        if (!present.value.contains(c.column, Qt::CaseInsensitive))
            missing.append(c);
    }
    return missing;
}

MaybeError Modifica_DB(Database& db) {
    return inTransaction(db, [&]() -> MaybeError {
        if (MaybeError e = addMissingColumns(db))
            return e;
        const Fallible<bool> registry = db.tableExists(QStringLiteral("Versiones"));
        if (!registry.ok())
            return registry.error;
        if (!registry.value)
            if (MaybeError e = db.exec(Schema::createVersionesStatement()))
                return e;
        if (MaybeError e = addVersionRow(db, 1, 0))
            return e;
        return addVersionRow(db, 2, 5);
    });
}

UpgradeOutcome Inicializa_DB(Database& db, const std::function<void()>& beforeUpgrade) {
    UpgradeOutcome out;
    const Fallible<bool> registry = db.tableExists(QStringLiteral("Versiones"));
    if (!registry.ok()) {
        out.error = registry.error;
        return out;
    }
    out.registryWasMissing = !registry.value;
    if (registry.value) {
        const Rows r =
            db.select(QStringLiteral("select 1 from Versiones where VPrin=3 and Vsec=5"));
        if (!r.ok() || !r.empty()) {
            out.error = r.error;
            return out;
        }
    }
    if (beforeUpgrade)
        beforeUpgrade();
    out.error = Modifica_DB(db);
    out.upgraded = !out.error;
    return out;
}
