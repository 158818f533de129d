#pragma once

#include <QString>
#include <functional>

class Database;
class QWidget;

// The start-up step: when AA is empty, runs the previous version's dump tool
// (when there is one and this system can run it) in oldFolder, waits for it
// and imports its dump; `beforeImport` runs just before the dump is read
// in. Problems are told to the user; the program goes on.
void Viejo_KESTRO(QWidget* parent, Database& db, const QString& dumpToolDir,
                  const QString& oldFolder, const std::function<void()>& beforeImport = {});
