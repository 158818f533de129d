#include "data/HistoryStore.h"
#include "data/Transaction.h"

QString historicKey(const QString& curp, const QString& rfc) {
    for (QChar c : curp)
        if (c != u' ')
            return curp;
    return rfc;
}

namespace {
const QString historicSql =
    QStringLiteral("select RFC, CURP, Nombre, ApPaterno, ApMaterno from Historico_AA "
                   "order by rowid");
} // namespace

// Straight from the engine, as the representatives' list.
Fallible<QList<HistoricAgent>> listHistoricAgents(Database& db) {
    QList<HistoricAgent> out;
    const MaybeError e = db.eachRow(historicSql, [&](const RawRow& r) {
        out.append({r.text(0), r.text(1), r.text(2), r.text(3), r.text(4)});
        return true;
    });
    if (e)
        return *e;
    return out;
}

MaybeError historicAgentsReadable(Database& db) {
    return db.eachRow(historicSql, [](const RawRow&) { return false; });
}

Fallible<QList<HistoryPeriod>> historicAgentPeriods(Database& db, const QString& key) {
    return selectAs<HistoryPeriod>(
        db,
        QStringLiteral("select NoAduana, Aduana, FechaIni, FechaFin from Periodos_H_AA P "
                       "left join Aduanas A on P.NoAduana=A.cveAduana where P.CURP=? "
                       "order by P.rowid"),
        {key}, [](const QVariantList& p) {
            return HistoryPeriod{p.at(0), textOf(p.at(1)), p.at(2), p.at(3)};
        });
}

Fallible<QList<RepresentativePeriod>> representativePeriods(Database& db, const QString& curp) {
    return selectAs<RepresentativePeriod>(
        db,
        QStringLiteral("select P.rowid, Patente_MM, NoAduana, Aduana, FechaIni, FechaFin "
                       "from Periodos_H_MM P left join Aduanas A on P.NoAduana=A.cveAduana "
                       "where P.CURP=? order by P.rowid"),
        {curp}, [](const QVariantList& p) {
            return RepresentativePeriod{
                p.at(0).toLongLong(), p.at(1), {p.at(2), textOf(p.at(3)), p.at(4), p.at(5)}};
        });
}

Fallible<bool> historicAgentExists(Database& db, const QString& key) {
    const Rows r = db.select(QStringLiteral("select 1 from Historico_AA where CURP=?"), {key});
    if (r.error)
        return *r.error;
    return !r.empty();
}

namespace {

MaybeError removeHistoricAgent(Database& db, const QString& key) {
    if (MaybeError e = db.exec(QStringLiteral("delete from Periodos_H_AA where CURP=?"), {key}))
        return e;
    return db.exec(QStringLiteral("delete from Historico_AA where CURP=?"), {key});
}

} // namespace

MaybeError saveHistoricAgent(Database& db, const QString& oldKey, const HistoricAgent& agent,
                             const QList<HistoryPeriod>& periods) {
    return inTransaction(db, [&]() -> MaybeError {
        // An edited agent keeps his place in the list.
        QVariant place;
        if (!oldKey.isEmpty()) {
            const Rows old =
                db.select(QStringLiteral("select rowid from Historico_AA where CURP=?"), {oldKey});
            if (!old.ok())
                return old.error;
            if (!old.empty())
                place = old.first().at(0);
            if (MaybeError e = removeHistoricAgent(db, oldKey))
                return e;
        }
        if (MaybeError e = db.exec(
                QStringLiteral("insert into Historico_AA(rowid,RFC,CURP,Nombre,"
                               "ApPaterno,ApMaterno) values (?,?,?,?,?,?)"),
                {place, agent.rfc, agent.key, agent.nombre, agent.apPaterno, agent.apMaterno}))
            return e;
        for (const HistoryPeriod& p : periods)
            if (MaybeError e = db.exec(QStringLiteral("insert into Periodos_H_AA(CURP,NoAduana,"
                                                      "FechaIni,FechaFin) values (?,?,?,?)"),
                                       {agent.key, p.noAduana, p.fechaIni, p.fechaFin}))
                return e;
        return db.exec(QStringLiteral("update AA set SinHistorico=0"));
    });
}

Fallible<bool> deleteHistoricAgent(Database& db, const QString& key) {
    bool noneLeft = false;
    const MaybeError e = inTransaction(db, [&]() -> MaybeError {
        if (MaybeError e = removeHistoricAgent(db, key))
            return e;
        const Rows left = db.select(QStringLiteral("select 1 from Historico_AA limit 1"));
        if (!left.ok())
            return left.error;
        noneLeft = left.empty();
        // With no earlier representative left, "he has a history" no longer
        // holds: he adds one or declares none.
        if (!noneLeft)
            return std::nullopt;
        return db.exec(QStringLiteral("update AA set SinHistorico=null"));
    });
    if (e)
        return *e;
    return noneLeft;
}

MaybeError addRepresentativePeriod(Database& db, const QString& curp, qlonglong patente,
                                   const HistoryPeriod& period) {
    return inTransaction(db, [&]() -> MaybeError {
        if (MaybeError e =
                db.exec(QStringLiteral("insert into Periodos_H_MM(CURP,NoAduana,Patente_MM,"
                                       "FechaIni,FechaFin) values (?,?,?,?,?)"),
                        {curp, period.noAduana, patente, period.fechaIni, period.fechaFin}))
            return e;
        return db.exec(QStringLiteral("update Mandatarios set SinHistorico=0 where CURP=?"),
                       {curp});
    });
}

Fallible<bool> deleteRepresentativePeriod(Database& db, const QString& curp, qlonglong periodId) {
    bool noneLeft = false;
    const MaybeError e = inTransaction(db, [&]() -> MaybeError {
        if (MaybeError e =
                db.exec(QStringLiteral("delete from Periodos_H_MM where rowid=? and CURP=?"),
                        {periodId, curp}))
            return e;
        const Rows left =
            db.select(QStringLiteral("select 1 from Periodos_H_MM where CURP=?"), {curp});
        if (!left.ok())
            return left.error;
        noneLeft = left.empty();
        if (!noneLeft)
            return std::nullopt;
        return db.exec(QStringLiteral("update Mandatarios set SinHistorico=1 where CURP=?"),
                       {curp});
    });
    if (e)
        return *e;
    return noneLeft;
}

MaybeError declareAgentWithoutHistory(Database& db) {
    return inTransaction(db, [&]() -> MaybeError {
        if (MaybeError e = db.exec(QStringLiteral("update AA set SinHistorico=1")))
            return e;
        if (MaybeError e = db.exec(QStringLiteral("delete from Periodos_H_AA")))
            return e;
        return db.exec(QStringLiteral("delete from Historico_AA"));
    });
}

MaybeError declareRepresentativeWithoutHistory(Database& db, const QString& curp) {
    return inTransaction(db, [&]() -> MaybeError {
        if (MaybeError e = db.exec(
                QStringLiteral("update Mandatarios set SinHistorico=1 where CURP=?"), {curp}))
            return e;
        return db.exec(QStringLiteral("delete from Periodos_H_MM where CURP=?"), {curp});
    });
}
