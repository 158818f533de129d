#include "data/AgentStore.h"
#include "data/Transaction.h"

namespace {

MaybeError insertAddress(Database& db, const StoredAddress& a, int tipo) {
    return db.exec(QStringLiteral("insert into Domicilios_AA(EntFed,MDeleg,Calle,NoExt,NoInt,"
                                  "Colonia,CP,Telefono,Fax,Tipo_Dom) "
                                  "values (?,?,?,?,?,?,?,?,?,?)"),
                   {a.entFed, intOrNull(a.mDelegKey), a.calle, a.noExt, a.noInt, a.colonia, a.cp,
                    a.telefono, a.fax, tipo});
}

QVariant number(const QString& digits) {
    return intOrNull(digits);
}

} // namespace

MaybeError saveAgent(Database& db, const AgentRecord& agent) {
    return inTransaction(db, [&]() -> MaybeError {
        Rows old = db.select(QStringLiteral("select Aduana1, Aduana2, Aduana3 from AA"));
        if (!old.ok())
            return old.error;
        QVariantList offices{QVariant(), QVariant(), QVariant()};
        if (!old.empty())
            for (int i = 0; i < agent.noAduanasAut && i < 3; ++i)
                offices[i] = old.first().at(i);

        if (MaybeError e = db.exec(QStringLiteral("delete from AA")))
            return e;
        if (MaybeError e = db.exec(QStringLiteral("delete from Domicilios_AA where Tipo_Dom in "
                                                  "(1,2,3) or Tipo_Dom > ?"),
                                   {3 + agent.noAduanasAut}))
            return e;
        if (MaybeError e = db.exec(
                QStringLiteral("insert into AA(Patente,CURP,RFC,Nombre,ApPaterno,ApMaterno,"
                               "Autorizacion,Adscripcion,NoAduanasAut,SinHistorico,Aduana1,"
                               "Aduana2,Aduana3) values (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                {number(agent.patente), agent.curp, agent.rfc, agent.nombre, agent.apPaterno,
                 agent.apMaterno, number(agent.autorizacion), intOrNull(agent.adscripcionKey),
                 agent.noAduanasAut, agent.sinHistorico, offices[0], offices[1], offices[2]}))
            return e;
        if (MaybeError e = insertAddress(db, agent.fiscal, 1))
            return e;
        if (MaybeError e = insertAddress(db, agent.oirR, 2))
            return e;
        return insertAddress(db, agent.v0, 3);
    });
}

MaybeError saveAdditionalOffices(Database& db, const QList<AdditionalOffice>& offices) {
    return inTransaction(db, [&]() -> MaybeError {
        if (MaybeError e =
                db.exec(QStringLiteral("delete from Domicilios_AA where Tipo_Dom in (4,5,6)")))
            return e;
        QVariantList keys{QVariant(), QVariant(), QVariant()};
        for (int i = 0; i < offices.size() && i < 3; ++i)
            keys[i] = intOrNull(offices[i].officeKey);
        if (MaybeError e =
                db.exec(QStringLiteral("update AA set Aduana1=?, Aduana2=?, Aduana3=?"), keys))
            return e;
        for (int i = 0; i < offices.size() && i < 3; ++i)
            if (MaybeError e = insertAddress(db, offices[i].address, 4 + i))
                return e;
        return std::nullopt;
    });
}

Fallible<std::optional<StoredAgent>> loadAgent(Database& db) {
    const Rows r = db.select(QStringLiteral(
        "select Patente, Nombre, ApPaterno, ApMaterno, RFC, CURP, Autorizacion, Adscripcion, "
        "Aduana1, Aduana2, Aduana3, NoAduanasAut, SinHistorico from AA"));
    if (r.error)
        return *r.error;
    if (r.empty())
        return std::optional<StoredAgent>();
    const QVariantList& last = r.last();
    const QVariantList& first = r.first();
    return std::optional<StoredAgent>(StoredAgent{last.at(0),
                                                  last.at(1),
                                                  last.at(2),
                                                  last.at(3),
                                                  last.at(4),
                                                  last.at(5),
                                                  last.at(6),
                                                  last.at(7),
                                                  {first.at(8), first.at(9), first.at(10)},
                                                  first.at(11),
                                                  first.at(12)});
}

QString canonicalPatent(const QString& typed) {
    bool ok = false;
    const qlonglong n = typed.trimmed().toLongLong(&ok);
    return ok ? QString::number(n) : typed;
}
