#pragma once

#include <QSqlError>
#include <QString>
#include <optional>
#include <utility>

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

// The two ways a failure comes back, everywhere: an action that yields
// nothing returns MaybeError (nullopt means success); one that yields a
// value returns Fallible<T>. A refusal of our own, told in Spanish, is a
// DbError with number 0.
using MaybeError = std::optional<DbError>;

template <class T> struct Fallible {
    Fallible(T v) : value(std::move(v)) {}
    Fallible(DbError e) : error(std::move(e)) {}

    T value{}; // meaningful only when ok()
    MaybeError error;

    bool ok() const { return !error.has_value(); }
    explicit operator bool() const { return ok(); }
    const T* operator->() const { return &value; }
    T* operator->() { return &value; }
    // The Spanish explanation, without the leading blank of an engine report.
    QString why() const { return error ? error->message().trimmed() : QString(); }
};
