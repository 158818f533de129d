#include "data/EngineError.h"

#include <sqlite3.h>

DbError engineError(sqlite3* db) {
    const int n = db ? sqlite3_errcode(db) : SQLITE_MISUSE;
    return DbError{n == SQLITE_OK ? SQLITE_ERROR : n,
                   db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("sin conexión")};
}

DbError injectedFailure() {
    return DbError{SQLITE_IOERR, QStringLiteral("disk I/O error")};
}
