#pragma once

#include "data/Database.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// The automatic copies of kestro.mdb, in <data folder>/respaldos, each named
// "kestro <aaaa-mm-dd hh.mm.ss>.mdb" after the time it was taken. They are
// ordered by their file time, which each new copy sets past the newest one
// so a clock set back never makes the copy just taken look oldest. Files of
// any other name there are the agent's and are never touched, but for the
// note that the database failed the full check (DamageNote).
class BackupFolder {
public:
    static constexpr const char* FolderName = "respaldos";
    // How many of the newest copies are kept; the newest copy of each
    // earlier version of the file (the one taken before its upgrade) stays
    // besides.
    static constexpr int Kept = 10;
    static constexpr const char* DamageNote = "kestro.mdb.revisar";

    struct Copy {
        QString path;
        QDateTime taken;
    };

    explicit BackupFolder(const QString& dataDir);

    QString path() const { return path_; }
    // Newest first: the last taken is the first.
    QList<Copy> copies() const;

    // Copies the open database, checks the copy and only then drops the
    // copies no longer kept. "" when done, otherwise why not, in Spanish: a
    // copy that is not whole is removed, and the older ones all stay. When
    // the database itself fails the check, the reason says so and the note
    // asks the next start for the full check (liveDamaged).
    QString take(const Database& db, const QDateTime& now = QDateTime::currentDateTime());

    // The daily copy is due when the newest copy was not taken on `today`
    // and the database changed after it (always, while the clock runs
    // behind the newest copy: times then cannot tell).
    bool dailyDue(const QString& databasePath, QDate today = QDate::currentDate()) const;

    // The newest copy that is a sound KESTRO database.
    std::optional<Copy> newestSound() const;

    // Whether a copy found the database damaged, and the check at start
    // must be the full one; cleared once the file in place passes it.
    bool liveDamaged() const;
    void clearLiveDamaged() const;

private:
    QString freeName(const QDateTime& now) const;
    std::optional<QString> liveDamage(const Database& db) const;
    static void placeAfter(const QString& copy, const QDateTime& newest);
    void dropUnkept(const QList<Copy>& all) const;

    QString path_;
};
