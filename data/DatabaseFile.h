#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// Checks and moves of a kestro.mdb as a file, on a connection of their own:
// none of them reaches the connection the windows use.
namespace DatabaseFile {

enum class Depth { Quick, Full };

// What a file's first bytes say: whether they could be read (else why not,
// in Spanish) and whether they begin a SQLite database.
struct Head {
    QString unreadable;
    bool sqlite = false;
};
Head head(const QString& path);

// "" unless the file is plainly damaged (not a SQLite database, or its
// pages fail the engine's check); then, in Spanish, what is wrong with it.
// A file that cannot be read for another reason (locked, no permission, a
// journal to roll back) is not called damaged.
QString fault(const QString& path, Depth depth);

// "" when the file passes the full check and its schema is one KESTRO
// makes or upgrades (schemaFault); otherwise why it is refused, in Spanish.
QString whyNotKestro(const QString& path);

// The first column of every row `sql` yields, read on a read-only
// connection that changes nothing in the file; nothing when it cannot be read.
std::optional<QStringList> readOnly(const QString& path, const char* sql);

// The version the file's registry records, as 100 * major + minor (300
// for a file without one); 0 when it cannot be read.
int version(const QString& path);

// Where the file a replace sets aside goes: "kestro.mdb.<keptAs> <stamp>".
QString keptPath(const QString& dataDir, const QString& keptAs, const QDateTime& when);

// Puts a copy of `source` in place of <dataDir>/kestro.mdb, keeping the file
// it replaces (and a journal left beside it) under keptPath() for `when`
// (the time the user was told). What ends in place is checked (size,
// header, the quick check); when it is not the whole copy the replace is
// undone. "" on success, else, in Spanish, why nothing was changed (or
// where the replaced file waits when it could not go back).
QString replace(const QString& dataDir, const QString& source, const QString& keptAs,
                const QDateTime& when = QDateTime::currentDateTime());

// A replace cut short (the program killed, a power cut) is finished when
// the copy had been written whole and the file it replaces had moved,
// otherwise undone. Only under the folder's lock, before anything opens
// kestro.mdb: a replace under way in another process looks cut short.
void finishCutShortReplace(const QString& dataDir);

// Whether the folder has a kestro.mdb, or will have one again once a
// replace cut short is finished.
bool holdsDatabase(const QString& dataDir);

// "aaaa-mm-dd hh.mm.ss": the time in the names of copies and kept files.
QString stamp(const QDateTime& when);

} // namespace DatabaseFile
