#include "data/FolderLock.h"

#include <QDir>

FolderLock::FolderLock(const QString& dataDir)
    : dataDir_(dataDir), file_(QDir(dataDir).filePath(QString::fromLatin1(FileName))) {
    // Only a lock whose process has ended is stale: a KESTRO left open for
    // days still holds its folder.
    file_.setStaleLockTime(0);
}

bool FolderLock::acquire() {
    if (file_.tryLock())
        return true;
    if (file_.error() != QLockFile::LockFailedError)
        return true;
    // A lock file cut short by a crash names no process, so it can never be
    // found stale; nothing can be holding it.
    qint64 pid = 0;
    QString host, program;
    if (!file_.getLockInfo(&pid, &host, &program) && file_.removeStaleLockFile())
        return file_.tryLock();
    return false;
}

QString FolderLock::alreadyOpen() const {
    // The path on a line of its own: a message box would break it anywhere.
    return QStringLiteral("KESTRO ya está abierto con esta carpeta de datos:\n%1\n"
                          "Use la ventana que ya está abierta, o ciérrela antes de abrir KESTRO "
                          "de nuevo.")
        .arg(QDir::toNativeSeparators(dataDir_));
}
