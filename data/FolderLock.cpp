#include "data/FolderLock.h"

#include "data/ShownPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

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

// Sets a file's modification time. Windows lets no other handle write to
// a held lock file, but its time may still change: only the attributes
// are opened.
bool setModified(const QString& path, const QDateTime& when) {
#ifdef Q_OS_WIN
    HANDLE h =
        CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                    FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    // 100-nanosecond steps since 1601.
    const quint64 ticks = quint64(when.toMSecsSinceEpoch()) * 10000 + 116444736000000000ULL;
    FILETIME t{DWORD(ticks & 0xffffffffu), DWORD(ticks >> 32)};
    const bool ok = SetFileTime(h, nullptr, nullptr, &t);
    CloseHandle(h);
    return ok;
#else
    QFile f(path);
    return f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) &&
           f.setFileTime(when, QFileDevice::FileModificationTime);
#endif
}

} // namespace

FolderLock::FolderLock(const QString& dataDir, const QString& computer)
    : dataDir_(dataDir), computer_(computer.isEmpty() ? thisComputer() : computer),
      file_(QDir(dataDir).filePath(QString::fromLatin1(FileName))) {
    // Only a lock whose process has ended is stale: a KESTRO left open for
    // days still holds its folder.
    file_.setStaleLockTime(0);
}

FolderLock::~FolderLock() {
    if (file_.isLocked()) {
        heldHere().remove(dataDir_);
        QFile::remove(QDir(dataDir_).filePath(QString::fromLatin1(HolderFile)));
    }
}

bool FolderLock::acquire() {
    if (file_.tryLock())
        return held(), true;
    if (file_.error() != QLockFile::LockFailedError)
        return true;
    // A lock file cut short by a crash names no process, so it can never be
    // found stale; nothing can be holding it. Nor can a lock of this very
    // process number on this computer that this run does not hold: a killed
    // KESTRO's number given again to this one.
    qint64 pid = 0;
    QString host, program;
    const bool named = file_.getLockInfo(&pid, &host, &program);
    const bool ownNumber = named && pid == QCoreApplication::applicationPid() &&
                           host.compare(thisComputer(), Qt::CaseInsensitive) == 0 &&
                           !heldHere().contains(dataDir_);
    if ((!named || ownNumber) && file_.removeStaleLockFile() && file_.tryLock())
        return held(), true;
    return false;
}

QSet<QString>& FolderLock::heldHere() {
    static QSet<QString> folders;
    return folders;
}

void FolderLock::held() {
    heldHere().insert(dataDir_);
    writeHolder();
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
    h.elsewhere = !h.computer.isEmpty() && h.computer.compare(computer_, Qt::CaseInsensitive) != 0;
    h.renewed = QFileInfo(QDir(dataDir_).filePath(QString::fromLatin1(FileName))).lastModified();
    QFile f(QDir(dataDir_).filePath(QString::fromLatin1(HolderFile)));
    if (f.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
        // The note of an earlier holder says nothing of this one.
        if (lines.value(0).compare(h.computer, Qt::CaseInsensitive) == 0)
            h.user = lines.value(1).trimmed();
    }
    return h;
}

void FolderLock::renew(const QDateTime& now) {
    if (file_.isLocked())
        setModified(QDir(dataDir_).filePath(QString::fromLatin1(FileName)), now);
}

bool FolderLock::mayTakeOver(const QDateTime& now) const {
    const Holder h = holder();
    return h.elsewhere && h.renewed.isValid() && h.renewed.secsTo(now) > TakeOverAfterSecs;
}

QString FolderLock::takeOverQuestion() const {
    const Holder h = holder();
    return QStringLiteral("%1\n\nKESTRO renueva su aviso cada %2 minutos mientras está abierto, "
                          "y éste se renovó por última vez el %3 a las %4. Si está seguro de que "
                          "en esa computadora KESTRO ya no está abierto (por ejemplo, se apagó "
                          "sin cerrarlo), puede usar esta carpeta aquí. Si KESTRO sigue abierto "
                          "allá, lo que guarde una de las dos se perderá.\n\n¿Desea usar la "
                          "carpeta de datos en esta computadora?")
        .arg(alreadyOpen())
        .arg(RenewEverySecs / 60)
        .arg(h.renewed.toString(QStringLiteral("dd/MM/yyyy")),
             h.renewed.toString(QStringLiteral("hh:mm")));
}

bool FolderLock::takeOver() {
    return file_.removeStaleLockFile() && file_.tryLock() && (held(), true);
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
