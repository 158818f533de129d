#include "data/FolderLock.h"

#include "data/ShownPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>

namespace {

// This computer's name as a lock file gives it (each system names it its
// own way), read from a lock of our own.
QString thisComputer() {
    static const QString name = [] {
        QTemporaryDir dir;
        QLockFile probe(dir.filePath(QStringLiteral("probe.lock")));
        qint64 pid = 0;
        QString host, program;
        if (!dir.isValid() || !probe.tryLock() || !probe.getLockInfo(&pid, &host, &program))
            return QSysInfo::machineHostName();
        return host;
    }();
    return name;
}

QString thisUser() {
    for (const char* var : {"USERNAME", "USER", "LOGNAME"})
        if (const QString u = qEnvironmentVariable(var); !u.isEmpty())
            return u;
    return QString();
}

} // namespace

FolderLock::FolderLock(const QString& dataDir)
    : dataDir_(dataDir), file_(QDir(dataDir).filePath(QString::fromLatin1(FileName))) {
    // Only a lock whose process has ended is stale: a KESTRO left open for
    // days still holds its folder.
    file_.setStaleLockTime(0);
}

FolderLock::~FolderLock() {
    if (file_.isLocked())
        QFile::remove(QDir(dataDir_).filePath(QString::fromLatin1(HolderFile)));
}

bool FolderLock::acquire() {
    if (file_.tryLock())
        return writeHolder(), true;
    if (file_.error() != QLockFile::LockFailedError)
        return true;
    // A lock file cut short by a crash names no process, so it can never be
    // found stale; nothing can be holding it.
    qint64 pid = 0;
    QString host, program;
    if (!file_.getLockInfo(&pid, &host, &program) && file_.removeStaleLockFile() && file_.tryLock())
        return writeHolder(), true;
    return false;
}

void FolderLock::writeHolder() const {
    QFile f(QDir(dataDir_).filePath(QString::fromLatin1(HolderFile)));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write((thisComputer() + u'\n' + thisUser() + u'\n').toUtf8());
}

FolderLock::Holder FolderLock::holder() const {
    Holder h;
    qint64 pid = 0;
    QString program;
    file_.getLockInfo(&pid, &h.computer, &program);
    h.elsewhere =
        !h.computer.isEmpty() && h.computer.compare(thisComputer(), Qt::CaseInsensitive) != 0;
    h.since = QFileInfo(QDir(dataDir_).filePath(QString::fromLatin1(FileName))).lastModified();
    QFile f(QDir(dataDir_).filePath(QString::fromLatin1(HolderFile)));
    if (f.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
        // The note of an earlier holder says nothing of this one.
        if (lines.value(0).compare(h.computer, Qt::CaseInsensitive) == 0)
            h.user = lines.value(1).trimmed();
    }
    return h;
}

bool FolderLock::mayTakeOver() const {
    const Holder h = holder();
    return h.elsewhere && h.since.isValid() &&
           h.since.secsTo(QDateTime::currentDateTime()) > TakeOverAfterSecs;
}

QString FolderLock::takeOverQuestion() const {
    const Holder h = holder();
    return QStringLiteral("%1\n\nEl aviso de que está abierto es del %2 a las %3. Si está seguro "
                          "de que en esa computadora KESTRO ya no está abierto (por ejemplo, se "
                          "apagó sin cerrarlo), puede usar esta carpeta aquí. Si KESTRO sigue "
                          "abierto allá, lo que guarde una de las dos se perderá.\n\n¿Desea usar "
                          "la carpeta de datos en esta computadora?")
        .arg(alreadyOpen(), h.since.toString(QStringLiteral("dd/MM/yyyy")),
             h.since.toString(QStringLiteral("hh:mm")));
}

bool FolderLock::takeOver() {
    return file_.removeStaleLockFile() && file_.tryLock() && (writeHolder(), true);
}

QString FolderLock::alreadyOpen() const {
    const Holder h = holder();
    QString who;
    if (h.elsewhere)
        who = QStringLiteral("en la computadora %1%2")
                  .arg(h.computer, h.user.isEmpty()
                                       ? QString()
                                       : QStringLiteral(", por el usuario %1").arg(h.user));
    else
        who = h.user.isEmpty()
                  ? QStringLiteral("en esta computadora")
                  : QStringLiteral("en esta computadora, por el usuario %1").arg(h.user);
    // The path on a line of its own: a message box would break it anywhere.
    return QStringLiteral("KESTRO ya está abierto %1 con esta carpeta de datos:\n%2\n"
                          "Use la ventana que ya está abierta, o ciérrela antes de abrir KESTRO "
                          "de nuevo.")
        .arg(who, shownPath(dataDir_));
}
