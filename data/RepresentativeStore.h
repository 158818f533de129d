#pragma once

#include "data/Database.h"
#include "data/StoredAddress.h"

#include <QList>
#include <QStringList>
#include <optional>

// A representative's rows: Mandatarios, his two addresses, the offices he
// acted before and his declarations before 2001, and his history periods.
// Each action is one transaction, so a failure leaves him as he was.

struct PriorDeclaration {
    QString officeKey; // key text (" 470")
    QString numero;    // as typed
    QString fecha;     // dd/mm/yyyy
};

struct Representative {
    QString curp, rfc, nombre, apPaterno, apMaterno; // as typed, not trimmed
    int mandato = 0;                                 // 1 or 2
    QString requerimiento;                           // full path of his .req file
    int acreditacion = 0;                            // 0 for type 1; 1 or 2 for type 2
    int operando = 0;                                // 0 or 1
    StoredAddress particular, fiscal;                // address types 1 and 2
    QStringList officeKeys;                          // type 1 only: key texts
    QList<PriorDeclaration> declarations;            // type 1 only
};

// A representative's own row as stored (Mandatarios), values as the engine
// holds them.
struct StoredRepresentative {
    QVariant curp, rfc, nombre, apPaterno, apMaterno;
    QVariant mandato, requerimiento, acreditacion, operando;
};

// The representative stored under `curp`; nullopt when there is none.
Fallible<std::optional<StoredRepresentative>> loadRepresentative(Database& db, const QString& curp);

// A row of the representatives' lists, values as stored (Null stays Null).
struct ListedRepresentative {
    QString nombre, apPaterno, apMaterno, rfc, curp;
    QVariant mandato, operando, sinHistorico;
};
// Every stored representative, in stored order.
Fallible<QList<ListedRepresentative>> listRepresentatives(Database& db);
// Whether that list can be read, from its first row alone.
MaybeError representativesReadable(Database& db);

// An office as a representative's rows refer to it. The name is empty for a
// key the catalogue lacks: such a row is still shown, so nothing stored goes
// unseen or is lost by a save.
struct NamedOffice {
    QVariant key; // cveAduana
    QString name;
};
struct StoredDeclaration {
    NamedOffice office;
    QString numero;
    QVariant fecha; // ISO text
};
// The offices he acted before and his declarations, in stored order.
Fallible<QList<NamedOffice>> actedOffices(Database& db, const QString& curp);
Fallible<QList<StoredDeclaration>> storedDeclarations(Database& db, const QString& curp);
// Whether his address of this type (1 particular, 2 fiscal) is stored.
Fallible<bool> hasAddress(Database& db, const QString& curp, int tipo);

// Whether a representative with this CURP is stored.
Fallible<bool> representativeExists(Database& db, const QString& curp);

// Replaces the representative stored under formerCurp ("" for a new one)
// by `r`. His history periods and flag survive an edit, whatever his type;
// the periods follow his CURP.
MaybeError saveRepresentative(Database& db, const Representative& r, const QString& formerCurp);

// Removes the representative and everything that belongs to him.
MaybeError deleteRepresentative(Database& db, const QString& curp);
