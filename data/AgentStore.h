#pragma once

#include "data/Database.h"
#include "data/StoredAddress.h"

#include <QList>
#include <array>
#include <optional>

// The agent's own rows: AA and Domicilios_AA. Each save is one transaction,
// so a failure leaves the stored agent and his addresses as they were.

// The agent and his addresses of types 1-3, as the windows hand them over.
struct AgentRecord {
    QString patente; // all digits
    QString curp, rfc, nombre, apPaterno, apMaterno;
    QString autorizacion;
    QString adscripcionKey;         // office key text (" 470")
    int noAduanasAut = 0;           // additional offices declared, 0..3
    QVariant sinHistorico;          // Null, 0 or 1
    StoredAddress fiscal, oirR, v0; // address types 1, 2, 3
};

struct AdditionalOffice {
    QString officeKey; // key text
    StoredAddress address;
};

// The stored agent as the engine holds the values: identity from the last
// AA row, offices and flags from the first (a damaged store may hold more
// than one).
struct StoredAgent {
    QVariant patente, nombre, apPaterno, apMaterno, rfc, curp, autorizacion, adscripcion;
    std::array<QVariant, 3> aduanas; // Aduana1..3, office keys
    QVariant noAduanasAut, sinHistorico;
};

// nullopt when no agent is stored.
Fallible<std::optional<StoredAgent>> loadAgent(Database& db);

// Replaces the agent row and address types 1-3. Offices 1..N already stored
// (and their addresses) stay; those beyond N are removed with their
// addresses, so nothing undeclared reaches the information file.
MaybeError saveAgent(Database& db, const AgentRecord& agent);

// Stores offices 1..N (N = offices.size()) and their address types 4..3+N.
MaybeError saveAdditionalOffices(Database& db, const QList<AdditionalOffice>& offices);

// The one text of a patent: the stored number's ("0012" is "12"), so the
// file's name and its records agree in this run and after a restart. A
// text that is not a number is returned as it is.
QString canonicalPatent(const QString& typed);
