#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class FolderLock;
class QWidget;

// At start-up, before kestro.mdb is opened: when the file is damaged and
// some copy in respaldos is sound, offers the newest sound one, naming when
// it was taken. Accepted, the damaged file stays beside it as
// "kestro.mdb.dañado <fecha>" and the copy takes its place; declined,
// nothing changes. A file that cannot be read is told, with the reason,
// and then false: the start cannot go on.
bool offerNewestBackup(QWidget* parent, const QString& dataDir);

// "kestro --restaurar <copia>": puts a chosen copy in place of kestro.mdb,
// keeping the current file as "kestro.mdb.anterior <fecha>", and takes a
// copy of what it put in place into respaldos. Without a file,
// asks for one, starting in respaldos. Refuses a file that is not a sound
// KESTRO database. Tells the outcome; returns the program's exit code.
int restoreBackup(const QString& dataDir, QString backupPath);

// One KESTRO per data folder; once the folder is held, a restore cut short
// is finished or undone; "--restaurar [copia]" among `arguments` puts a
// copy of the database in place and ends. The exit code when the program
// ends here.
std::optional<int> lockOrRestore(FolderLock& lock, const QString& dataDir,
                                 const QStringList& arguments);
