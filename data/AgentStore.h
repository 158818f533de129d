#pragma once

#include "data/Database.h"

#include <QList>

// The agent's own rows: AA and Domicilios_AA. Each save is one transaction,
// so a failure leaves the stored agent and his addresses as they were.

struct StoredAddress {
    QString entFed;    // state key
    QString mDelegKey; // municipality key text (" 15")
    QString calle, noExt, noInt, colonia, cp, telefono, fax;
};

struct AgentPage1 {
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

// Replaces the agent row and address types 1-3. Offices 1..N already stored
// (and their addresses) stay; those beyond N are removed with their
// addresses, so nothing undeclared reaches the information file.
MaybeError saveAgentPage1(Database& db, const AgentPage1& agent);

// Stores offices 1..N (N = offices.size()) and their address types 4..3+N.
MaybeError saveAgentPage2(Database& db, const QList<AdditionalOffice>& offices);

// The one text of a patent: the stored number's ("0012" is "12"), so the
// file's name and its records agree in this run and after a restart. A
// text that is not a number is returned as it is.
QString canonicalPatent(const QString& typed);
