#pragma once

#include "data/Database.h"
#include "data/Schema.h"

#include <functional>

// What the start-up needs to know after checking the schema version.
struct UpgradeOutcome {
    bool registryWasMissing = false; // a 3.0 file: the page shows "0" offices until loaded
    bool upgraded = false;
    MaybeError error; // shown as " <number> <text>", start-up goes on
};

// Brings the file to version 3.5 when the registry lacks the 3.5 row;
// `beforeUpgrade` runs only then, before anything changes.
UpgradeOutcome Inicializa_DB(Database& db, const std::function<void()>& beforeUpgrade = {});

// The columns of version 3.5 the file lacks (none once upgraded).
Fallible<QList<Schema::AddedColumn>> missingColumns(Database& db);

// Adds, in one transaction, whatever of version 3.5 the file still lacks
// (columns, the registry table, its two rows); a failure leaves the file
// exactly as it was.
MaybeError Modifica_DB(Database& db);
