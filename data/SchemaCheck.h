#pragma once

#include <QString>

// Whether a file's schema is one KESTRO makes or upgrades: its tables with
// their columns (version 3.0's, then any of those the upgrade appends), its
// two indexes and the version registry, and nothing else. A trigger or a
// view would run whatever its author wrote each time the program saves or
// reads, so a copy brought from elsewhere that has one is never taken.
// "" when it is; otherwise why not, in Spanish, naming the file.
QString schemaFault(const QString& path);
