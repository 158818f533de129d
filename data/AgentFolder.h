#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// What the list of agents shows of one data folder, read without changing
// a byte of it.
struct AgentFolder {
    QString folder;
    bool available = false;              // the folder and its kestro.mdb can be read
    QString patente, name, rfc;          // as stored; empty for an agent not yet captured
    std::optional<QDateTime> lastSigned; // when ENVIO/<patente>.txt was written

    static AgentFolder read(const QString& folder);

    // "3001 JUAN PÉREZ LÓPEZ", or that the agent has not been captured yet.
    QString title() const;
};
