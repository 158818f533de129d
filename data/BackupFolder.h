#pragma once

#include "data/Database.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// The automatic copies of kestro.mdb, in <data folder>/respaldos, each named
// "kestro <aaaa-mm-dd hh.mm.ss>.mdb" after the time it was taken. Files of
// any other name there are the agent's and are never touched.
class BackupFolder {
public:
    static constexpr const char* FolderName = "respaldos";
    // How many of the newest copies are kept; the newest copy of each
    // earlier version of the file (the one taken before its upgrade) stays
    // besides.
    static constexpr int Kept = 10;

    struct Copy {
        QString path;
        QDateTime taken;
    };

    explicit BackupFolder(const QString& dataDir);

    QString path() const { return path_; }
    // Newest first.
    QList<Copy> copies() const;

    // Copies the open database, checks the copy and only then drops the
    // copies no longer kept. "" when done, otherwise why not, in Spanish: a
    // copy that is not whole is removed, and the older ones all stay.
    QString take(const Database& db, const QDateTime& now = QDateTime::currentDateTime());

    // The daily copy is due when no copy was taken on `today` and the
    // database changed after the newest copy.
    bool dailyDue(const QString& databasePath, QDate today = QDate::currentDate()) const;

    // The newest copy that is a sound KESTRO database.
    std::optional<Copy> newestSound() const;

private:
    QString freeName(const QDateTime& now) const;
    void dropUnkept(const QList<Copy>& all) const;

    QString path_;
};
