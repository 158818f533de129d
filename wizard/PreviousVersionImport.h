#pragma once

#include <QString>
#include <functional>

class Database;
class QWidget;

// The start-up step: when AA is empty, runs the previous version's dump tool
// in oldFolder, waits for it and imports the dump it wrote. With no tool to
// run (none beside the program, or no way to start it here), a dump already
// in oldFolder is imported only when the user accepts it, told its date.
// `beforeImport` runs just before the dump is read in. Problems are told to
// the user; the program goes on.
void Viejo_KESTRO(QWidget* parent, Database& db, const QString& dumpToolDir,
                  const QString& oldFolder, const std::function<void()>& beforeImport = {});
