#include "data/Transaction.h"

#include "data/EngineError.h"
#include "data/FaultPoint.h"

#include <QSqlError>

Transaction::Transaction(Database& db) : db_(db) {
    QSqlDatabase h = db_.handle();
    if (faultpoint::hit())
        beginError_ = injectedFailure();
    else if (h.transaction())
        open_ = true;
    else
        beginError_ = DbError::fromSql(h.lastError());
}

Transaction::~Transaction() {
    if (open_)
        db_.handle().rollback();
}

MaybeError Transaction::commit() {
    if (!open_)
        return beginError_ ? beginError_ : DbError::refused(QStringLiteral("Sin transacción"));
    QSqlDatabase h = db_.handle();
    const bool refused = faultpoint::hit();
    if (refused || !h.commit()) {
        DbError e = refused ? injectedFailure() : DbError::fromSql(h.lastError());
        h.rollback();
        open_ = false;
        return e;
    }
    open_ = false;
    return std::nullopt;
}
