#include "data/RepresentativeStore.h"
#include "data/Transaction.h"

#include "data/Dates.h"

namespace {

// Tables whose rows belong to one representative, by his CURP.
const QStringList ownedTables{QStringLiteral("Aduanas_MM"), QStringLiteral("Pedimentos_MM"),
                              QStringLiteral("Domicilios_MM"), QStringLiteral("Mandatarios")};

MaybeError deleteOwnedRows(Database& db, const QString& curp) {
    for (const QString& table : ownedTables)
        if (MaybeError e =
                db.exec(QStringLiteral("delete from %1 where CURP=?").arg(table), {curp}))
            return e;
    return std::nullopt;
}

MaybeError insertAddress(Database& db, const QString& curp, const StoredAddress& a, int tipo) {
    return db.exec(QStringLiteral("insert into Domicilios_MM(CURP,EntFed,MDeleg,Calle,NoExt,NoInt,"
                                  "Colonia,CP,Telefono,Fax,Tipo_Dom) "
                                  "values (?,?,?,?,?,?,?,?,?,?,?)"),
                   {curp, a.entFed, intOrNull(a.mDelegKey), a.calle, a.noExt, a.noInt, a.colonia,
                    a.cp, a.telefono, a.fax, tipo});
}

MaybeError insertOfficesAndDeclarations(Database& db, const Representative& r) {
    for (const QString& key : r.officeKeys)
        if (MaybeError e =
                db.exec(QStringLiteral("insert into Aduanas_MM(CURP,NoAduana) values (?,?)"),
                        {r.curp, intOrNull(key)}))
            return e;
    for (const PriorDeclaration& d : r.declarations) {
        QVariant fecha;
        if (MaybeError e = bindDisplayDate(d.fecha, &fecha))
            return e;
        if (MaybeError e = db.exec(QStringLiteral("insert into Pedimentos_MM(CURP,NoAduana,"
                                                  "NoPedimento,FechPedimento) values (?,?,?,?)"),
                                   {r.curp, intOrNull(d.officeKey), d.numero, fecha}))
            return e;
    }
    return std::nullopt;
}

// His history periods are his whatever his type: they follow a change of
// his CURP and go only with him or one by one on the history page.
MaybeError movePeriods(Database& db, const Representative& r, const QString& formerCurp) {
    if (formerCurp.isEmpty() || formerCurp == r.curp)
        return std::nullopt;
    return db.exec(QStringLiteral("update Periodos_H_MM set CURP=? where CURP=?"),
                   {r.curp, formerCurp});
}

} // namespace

Fallible<std::optional<StoredRepresentative>> loadRepresentative(Database& db,
                                                                 const QString& curp) {
    const Rows r = db.select(QStringLiteral("select CURP, RFC, Nombre, ApPaterno, ApMaterno, "
                                            "Mandato, Requerimiento, Acreditacion, Operando "
                                            "from Mandatarios where CURP=?"),
                             {curp});
    if (r.error)
        return *r.error;
    if (r.empty())
        return std::optional<StoredRepresentative>();
    const QVariantList& m = r.first();
    return std::optional<StoredRepresentative>(StoredRepresentative{
        m.at(0), m.at(1), m.at(2), m.at(3), m.at(4), m.at(5), m.at(6), m.at(7), m.at(8)});
}

namespace {
const QString listedSql = QStringLiteral("select Nombre, ApPaterno, ApMaterno, RFC, CURP, "
                                         "Mandato, Operando, SinHistorico from Mandatarios "
                                         "order by rowid");
} // namespace

// Straight from the engine: a QVariant for every value of thousands of rows
// would cost more than the reading.
Fallible<QList<ListedRepresentative>> listRepresentatives(Database& db) {
    const auto number = [](const RawRow& r, int c) {
        return r.isNull(c) ? QVariant() : QVariant(r.integer(c));
    };
    QList<ListedRepresentative> out;
    const MaybeError e = db.eachRow(listedSql, [&](const RawRow& r) {
        out.append({r.text(0), r.text(1), r.text(2), r.text(3), r.text(4), number(r, 5),
                    number(r, 6), number(r, 7)});
        return true;
    });
    if (e)
        return *e;
    return out;
}

MaybeError representativesReadable(Database& db) {
    return db.eachRow(listedSql, [](const RawRow&) { return false; });
}

Fallible<QList<NamedOffice>> actedOffices(Database& db, const QString& curp) {
    return selectAs<NamedOffice>(
        db,
        QStringLiteral("select NoAduana, Aduana from Aduanas_MM AM left join Aduanas A on "
                       "AM.NoAduana=A.cveAduana where CURP=? order by AM.rowid"),
        {curp}, [](const QVariantList& o) {
            return NamedOffice{o.at(0), textOf(o.at(1))};
        });
}

Fallible<QList<StoredDeclaration>> storedDeclarations(Database& db, const QString& curp) {
    return selectAs<StoredDeclaration>(
        db,
        QStringLiteral("select NoAduana, Aduana, NoPedimento, FechPedimento from Pedimentos_MM "
                       "PM left join Aduanas A on PM.NoAduana=A.cveAduana where CURP=? "
                       "order by PM.rowid"),
        {curp}, [](const QVariantList& d) {
            return StoredDeclaration{{d.at(0), textOf(d.at(1))}, textOf(d.at(2)), d.at(3)};
        });
}

Fallible<bool> hasAddress(Database& db, const QString& curp, int tipo) {
    const Rows r = db.select(
        QStringLiteral("select 1 from Domicilios_MM where CURP=? and Tipo_Dom=?"), {curp, tipo});
    if (r.error)
        return *r.error;
    return !r.empty();
}

Fallible<bool> representativeExists(Database& db, const QString& curp) {
    const Rows r = db.select(QStringLiteral("select 1 from Mandatarios where CURP=?"), {curp});
    if (r.error)
        return *r.error;
    return !r.empty();
}

MaybeError saveRepresentative(Database& db, const Representative& r, const QString& formerCurp) {
    return inTransaction(db, [&]() -> MaybeError {
        // An edited representative keeps his place in the lists: the order
        // in which they were first entered.
        QVariant place, sinHistorico;
        if (!formerCurp.isEmpty()) {
            const Rows old = db.select(
                QStringLiteral("select rowid, SinHistorico from Mandatarios where CURP=?"),
                {formerCurp});
            if (!old.ok())
                return old.error;
            if (!old.empty()) {
                place = old.first().at(0);
                sinHistorico = old.first().at(1);
            }
            if (MaybeError e = deleteOwnedRows(db, formerCurp))
                return e;
        }
        if (MaybeError e = movePeriods(db, r, formerCurp))
            return e;
        if (MaybeError e =
                db.exec(QStringLiteral("insert into Mandatarios(rowid,CURP,RFC,Nombre,ApPaterno,"
                                       "ApMaterno,Mandato,Requerimiento,Acreditacion,Operando,"
                                       "SinHistorico) values (?,?,?,?,?,?,?,?,?,?,?)"),
                        {place, r.curp, r.rfc, r.nombre, r.apPaterno, r.apMaterno, r.mandato,
                         r.requerimiento, r.acreditacion, r.operando, sinHistorico}))
            return e;
        if (MaybeError e = insertAddress(db, r.curp, r.particular, 1))
            return e;
        if (MaybeError e = insertAddress(db, r.curp, r.fiscal, 2))
            return e;
        if (r.mandato != 1)
            return std::nullopt;
        return insertOfficesAndDeclarations(db, r);
    });
}

MaybeError deleteRepresentative(Database& db, const QString& curp) {
    return inTransaction(db, [&]() -> MaybeError {
        if (MaybeError e = deleteOwnedRows(db, curp))
            return e;
        return db.exec(QStringLiteral("delete from Periodos_H_MM where CURP=?"), {curp});
    });
}
