#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

class Database;

// Whether the signed file in ENVIO is still the one to send: the start says
// so, rather than leave the agent to wonder whether to sign again.

// Where the public key of the last signing is kept, beside the database: the
// signature in ENVIO can only be checked with it.
QString lastSigningKeyPath(const QString& dataDir);

// When ENVIO/<patente>.txt was signed, provided its signature holds and the
// bytes it signs are exactly what the stored data give now; nothing
// otherwise (no file, no kept key, data changed since, any read failing).
std::optional<QDateTime> currentSignedFile(Database& db, const QString& dataDir,
                                           const QString& patente);
