#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QSet>
#include <QString>

// One KESTRO at a time works on a data folder: two would save over each
// other's pages. The lock is a file in the folder naming the process and
// the computer that hold it, with the user beside it (HolderFile); a lock
// whose process is gone (a crash, a kill) on this computer is taken over.
// One held by another computer cannot be judged from here, but its holder
// renews the file's time every few minutes while it runs: a lock not
// renewed for a day may be taken over, when the user says so.
class FolderLock {
public:
    static constexpr const char* FileName = "kestro.lock";
    static constexpr const char* HolderFile = "kestro.lock.usuario";
    static constexpr qint64 RenewEverySecs = 5 * 60;
    static constexpr qint64 TakeOverAfterSecs = 24 * 60 * 60;

    // `computer` is the name this computer goes by in lock files; empty
    // for the system's own (another name shows this computer's locks as a
    // computer sharing the folder sees them).
    explicit FolderLock(const QString& dataDir, const QString& computer = QString());
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // False only while another KESTRO holds the folder. A folder where no
    // lock can be written (read-only) is not refused for that: the start-up
    // says then that nothing can be saved.
    bool acquire();

    // While held: tells computers sharing the folder that this KESTRO still
    // runs, by setting the lock file's time to `now`.
    void renew(const QDateTime& now = QDateTime::currentDateTime());

    // After a refused acquire: whether the holder is another computer whose
    // lock was last renewed more than a day before `now`, and the question
    // to ask before taking it.
    bool mayTakeOver(const QDateTime& now = QDateTime::currentDateTime()) const;
    QString takeOverQuestion() const;
    // Removes the other computer's lock and takes the folder.
    bool takeOver();

    // What the second start says, in Spanish, naming who holds the folder.
    QString alreadyOpen() const;

private:
    struct Holder {
        QString computer, user;
        QDateTime renewed;
        bool elsewhere = false;
    };
    Holder holder() const;
    void writeHolder() const;
    // The folders this process holds, so that its own number in a lock
    // file tells a leftover from a lock it holds.
    static QSet<QString>& heldHere();
    void held();

    QString dataDir_;
    QString computer_;
    QLockFile file_;
};
