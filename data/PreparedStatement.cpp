#include "data/PreparedStatement.h"

#include "data/EngineError.h"
#include "data/FaultPoint.h"

#include <sqlite3.h>

PreparedStatement::PreparedStatement(Database& db, const QString& sql) : engine_(db.engine()) {
    if (!engine_ ||
        sqlite3_prepare16_v2(engine_, sql.utf16(), -1, &statement_, nullptr) != SQLITE_OK)
        prepareError_ = engineError(engine_);
}

PreparedStatement::~PreparedStatement() {
    sqlite3_finalize(statement_);
}

namespace {

// As Qt's driver binds: a Null, or a null text, is SQL NULL.
int bind(sqlite3_stmt* s, int i, const QVariant& v) {
    if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isNull()))
        return sqlite3_bind_null(s, i);
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        return sqlite3_bind_int64(s, i, v.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(s, i, v.toDouble());
    default:
        break;
    }
    const QString text = v.toString();
    return sqlite3_bind_text16(s, i, text.utf16(), int(text.size() * sizeof(char16_t)),
                               SQLITE_TRANSIENT);
}

} // namespace

MaybeError PreparedStatement::exec(const QVariantList& params) {
    if (prepareError_)
        return prepareError_;
    if (faultpoint::hit())
        return injectedFailure();
    sqlite3_reset(statement_);
    for (int i = 0; i < params.size(); ++i)
        if (bind(statement_, i + 1, params.at(i)) != SQLITE_OK)
            return engineError(engine_);
    const int rc = sqlite3_step(statement_);
    MaybeError e;
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        e = engineError(engine_);
    sqlite3_reset(statement_);
    return e;
}
