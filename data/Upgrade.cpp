#include "data/Upgrade.h"
#include "data/Transaction.h"

#include "data/Schema.h"

namespace {

bool isMissingTable(const DbError& e) {
    return e.text.contains(QStringLiteral("no such table"), Qt::CaseInsensitive);
}

MaybeError addMissingColumns(Database& db) {
    for (const Schema::AddedColumn& c : Schema::addedColumns()) {
        const Fallible<QStringList> present = db.columns(c.table);
        if (!present.ok())
            return present.error;
        if (present.value.contains(c.column, Qt::CaseInsensitive))
            continue;
        // Identifiers come from the fixed list above, never from input.
        if (MaybeError e =
                db.exec(QStringLiteral("alter table %1 add %2 %3").arg(c.table, c.column, c.type)))
            return e;
    }
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
    Rows r = db.select(QStringLiteral("select 1 from Versiones where VPrin=3 and Vsec=5"));
    if (!r.ok()) {
        if (!isMissingTable(*r.error)) {
            out.error = r.error;
            return out;
        }
        out.registryWasMissing = true;
    } else if (!r.empty()) {
        return out;
    }
    if (beforeUpgrade)
        beforeUpgrade();
    out.error = Modifica_DB(db);
    out.upgraded = !out.error;
    return out;
}
