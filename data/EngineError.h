#pragma once

#include "data/DbError.h"

struct sqlite3;

// The engine's report of its last failure on `db` (none: misuse).
DbError engineError(sqlite3* db);
// What a statement reports when the test hook makes it fail: the engine's
// own code for a disk error.
DbError injectedFailure();
