#pragma once

#include "data/Database.h"

#include <QList>
#include <QVariant>

// The history of the agent's earlier representatives (Historico_AA,
// Periodos_H_AA) and of his representatives' earlier agents (Periodos_H_MM),
// with the history flags that go with them. Each writing call is one
// transaction: on failure the store is left as it was.

// One period in one customs office. Dates hold the stored ISO text.
struct HistoryPeriod {
    QVariant noAduana; // cveAduana
    QString aduana;    // office name, for the lists only
    QVariant fechaIni;
    QVariant fechaFin;
};

struct HistoricAgent {
    QString rfc;
    QString key; // his CURP, or his RFC when he has none
    QString nombre, apPaterno, apMaterno;
};

// The key a historic agent is stored under: his CURP, or his RFC when the
// CURP is blank. The history list shows such a CURP cell empty.
QString historicKey(const QString& curp, const QString& rfc);

// The agent's earlier representatives, in stored order.
Fallible<QList<HistoricAgent>> listHistoricAgents(Database& db);
// Whether that list can be read, from its first row alone.
MaybeError historicAgentsReadable(Database& db);
// The periods stored under a historic agent's key, in stored order. A period
// in an office the catalogue lacks comes with an empty name: it is still
// shown, and an edit that rewrites the periods keeps it.
Fallible<QList<HistoryPeriod>> historicAgentPeriods(Database& db, const QString& key);

struct RepresentativePeriod {
    qlonglong id; // the stored row's id, which a deletion names
    QVariant patente;
    HistoryPeriod period;
};
// A representative's periods under earlier agents, in stored order.
Fallible<QList<RepresentativePeriod>> representativePeriods(Database& db, const QString& curp);

// Whether a historic agent is stored under `key`.
Fallible<bool> historicAgentExists(Database& db, const QString& key);

// Replaces the record stored under `oldKey` ("" for a new one) and all its
// periods by `agent` with `periods`; the agent then has a history.
MaybeError saveHistoricAgent(Database& db, const QString& oldKey, const HistoricAgent& agent,
                             const QList<HistoryPeriod>& periods);

// Removes a historic agent and his periods. When none is left, the agent's
// history is undefined again, and the answer is true.
Fallible<bool> deleteHistoricAgent(Database& db, const QString& key);

// Stores one period of a representative under an earlier agent's patent and
// marks him as having a history.
MaybeError addRepresentativePeriod(Database& db, const QString& curp, qlonglong patente,
                                   const HistoryPeriod& period);

// Removes exactly one stored period (by its row id). When none of his
// periods is left he counts as having no history: the answer is true then.
Fallible<bool> deleteRepresentativePeriod(Database& db, const QString& curp, qlonglong periodId);

// The declarations of the no-history dialog.
MaybeError declareAgentWithoutHistory(Database& db);
MaybeError declareRepresentativeWithoutHistory(Database& db, const QString& curp);
