#include "data/DbError.h"
#include "data/InSpanish.h"

QString DbError::message() const {
    if (number == 0)
        return text;
    return QStringLiteral(" %1 %2").arg(number).arg(engineSays(number, text));
}

DbError DbError::fromSql(const QSqlError& e) {
    bool ok = false;
    int n = e.nativeErrorCode().toInt(&ok);
    if (!ok || n == 0)
        n = 1; // SQLITE_ERROR: never show a number that reads as "no error"
    QString t = e.databaseText();
    if (t.isEmpty())
        t = e.text();
    return DbError{n, t};
}
