#pragma once

#include <QString>

// The program reads and writes through Qt's SQLite driver and, for whole
// tables, straight through SQLite on the driver's own connection. That is
// sound only when both are one copy of the library: two copies sharing a
// connection can damage the file.

// Empty when Qt's driver runs the program's own SQLite; otherwise, in
// Spanish, why the program must end before it opens kestro.mdb.
QString sqliteCopiesDiffer();
// The same check against the source id of a given copy.
QString sqliteCopiesDiffer(const QString& ownSourceId);
