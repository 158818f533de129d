#pragma once

#include <QLockFile>
#include <QString>

// One KESTRO at a time works on a data folder: two would save over each
// other's pages. The lock is a file in the folder naming the process that
// holds it; a lock whose process is gone (a crash, a kill) is taken over.
class FolderLock {
public:
    static constexpr const char* FileName = "kestro.lock";

    explicit FolderLock(const QString& dataDir);

    // False only while another running KESTRO holds the folder. A folder
    // where no lock can be written (read-only) is not refused for that: the
    // start-up says then that nothing can be saved.
    bool acquire();

    // What the second start says, in Spanish.
    QString alreadyOpen() const;

private:
    QString dataDir_;
    QLockFile file_;
};
