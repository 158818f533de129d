#pragma once

#include <QDateTime>
#include <QString>

class Database;

// Whether ENVIO holds the signed package the stored data give now: the start
// says so, and leaving asks nothing when nothing would be lost.

// Where the public key of the last signing is kept, beside the database: the
// signature in ENVIO can only be checked with it.
QString lastSigningKeyPath(const QString& dataDir);

struct EnvioPackage {
    enum class State {
        None,    // no file signed with the kept key (none there, no key kept)
        Current, // the signed file and every requirement copy due, as they would be written now
        Stale,   // a file signed with the kept key that the stored data no longer give
    };
    State state = State::None;
    QDateTime signedAt; // when the file was signed (its time in ENVIO); None leaves it empty
    // For Stale: what no longer matches, in words ("los datos guardados
    // cambiaron", "la copia de A.req ..."); empty otherwise.
    QString why;

    bool current() const { return state == State::Current; }
};

// The whole package for `patente`: ENVIO/<patente>.txt, whose signature must
// hold with the kept key and whose data must be exactly what the store gives
// now, and beside it a copy of each requirement file due, byte for byte as
// it would be copied now. Any read failing counts as not current.
EnvioPackage signedEnvio(Database& db, const QString& dataDir, const QString& patente);
