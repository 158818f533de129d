#pragma once

#include "data/Database.h"
#include "data/StoredAddress.h"

#include <optional>

// The stored addresses, by type: the agent's (Domicilios_AA) and a
// representative's (Domicilios_MM). nullopt when none of that type is
// stored; of several, the last one read.
Fallible<std::optional<StoredAddress>> loadAgentAddress(Database& db, int tipo);
Fallible<std::optional<StoredAddress>> loadRepresentativeAddress(Database& db, const QString& curp,
                                                                 int tipo);
