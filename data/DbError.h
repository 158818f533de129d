#pragma once

#include <QSqlError>
#include <QString>
#include <optional>

// What the store reports when the engine (or the store itself) refuses
// something. The windows turn it into the one message form users know.
struct DbError {
    int number = 0; // engine's error number; 0 when the store itself refused
    QString text;

    // " <number> <text>", the form shown with the title "Mensaje".
    QString message() const;

    static DbError fromSql(const QSqlError& e);
    static DbError refused(const QString& text) { return DbError{0, text}; }
};

// nullopt means success.
using MaybeError = std::optional<DbError>;
