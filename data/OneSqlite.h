#pragma once

#include <QString>

// The program reads and writes through Qt's SQLite driver and, for whole
// tables, straight through SQLite on the driver's own connection. That is
// sound only when both are one copy of the library: two copies sharing a
// connection can damage the file.

// Empty when Qt's driver runs the same SQLite version (source id) as the
// program; otherwise, in Spanish, why the program must end before it opens
// kestro.mdb. Two copies of one version pass: what the version tells is
// all that can be asked of the driver.
QString sqliteVersionsDiffer();
// The same check against the source id of a given copy.
QString sqliteVersionsDiffer(const QString& ownSourceId);
