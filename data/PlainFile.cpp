#include "data/PlainFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace PlainFile {

namespace {

constexpr qsizetype BlockSize = 1 << 16;

Opened faulty(Fault fault, const QString& why) {
    return Opened{fault, why, 0};
}

Opened missing(const QString& path) {
    return QFileInfo(path).isSymLink()
               ? faulty(Fault::Missing,
                        QStringLiteral("es un enlace que no lleva a ningún archivo"))
               : faulty(Fault::Missing, QStringLiteral("el archivo no existe"));
}

const QString NotRegularWhy = QStringLiteral(
    "no es un archivo común (es una tubería, un dispositivo u otro objeto especial)");
const QString LinkWhy = QStringLiteral("es un enlace a otro archivo, y no se siguen enlaces");
const QString FolderWhy = QStringLiteral("es una carpeta, no un archivo");
const QString NoPermissionWhy = QStringLiteral("no tiene permiso para leerlo");
const QString BrokenWhy = QStringLiteral("el sistema no permitió leerlo");

#ifdef Q_OS_WIN
// A Windows path is judged before it is opened: it has no FIFOs, and a
// device or a pipe name is not a regular file to QFileInfo.
template <class Use> Opened withFile(const QString& path, Links links, Use use) {
    const QFileInfo fi(path);
    if (links == Links::Refuse && isLink(path))
        return faulty(Fault::Link, LinkWhy);
    if (!fi.exists())
        return missing(path);
    if (fi.isDir())
        return faulty(Fault::NotRegular, FolderWhy);
    if (!fi.isFile() || path.startsWith(QStringLiteral("\\\\.\\")) ||
        path.startsWith(QStringLiteral("//./")))
        return faulty(Fault::NotRegular, NotRegularWhy);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return faulty(Fault::Unreadable,
                      f.error() == QFileDevice::PermissionsError ? NoPermissionWhy : BrokenWhy);
    Opened o;
    o.size = f.size();
    return use(o, [&f](char* to, qsizetype n) { return f.read(to, n); });
}
#else
template <class Use> Opened withFile(const QString& path, Links links, Use use) {
    // Non-blocking, so that a FIFO with no writer does not hold the open.
    const int fd =
        ::open(QFile::encodeName(path).constData(),
               O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == Links::Refuse ? O_NOFOLLOW : 0));
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            return missing(path);
        if (error == ELOOP && links == Links::Refuse)
            return faulty(Fault::Link, LinkWhy);
        return faulty(Fault::Unreadable, error == EACCES ? NoPermissionWhy : BrokenWhy);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return faulty(Fault::Unreadable, BrokenWhy);
    if (S_ISDIR(st.st_mode))
        return faulty(Fault::NotRegular, FolderWhy);
    if (!S_ISREG(st.st_mode))
        return faulty(Fault::NotRegular, NotRegularWhy);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    Opened o;
    o.size = qint64(st.st_size);
    return use(o, [fd](char* to, qsizetype n) -> qint64 {
        for (;;) {
            const ssize_t got = ::read(fd, to, size_t(n));
            if (got >= 0 || errno != EINTR)
                return qint64(got);
        }
    });
}
#endif

} // namespace

Opened read(const QString& path, qint64 maxSize, Links links, QByteArray* out) {
    out->clear();
    return withFile(path, links, [&](Opened o, auto readSome) {
        const QString tooLarge =
            QStringLiteral("mide más de %1 bytes, el máximo que se admite").arg(maxSize);
        if (o.size > maxSize)
            return faulty(Fault::TooLarge, tooLarge);
        out->resize(qsizetype(o.size));
        qsizetype have = 0;
        // A file that grows while it is read is still held to the limit.
        for (;;) {
            if (have == out->size()) {
                if (have > maxSize)
                    return out->clear(), faulty(Fault::TooLarge, tooLarge);
                out->resize(have + qMin<qsizetype>(BlockSize, maxSize + 1 - have));
            }
            const qint64 got = readSome(out->data() + have, out->size() - have);
            if (got < 0)
                return out->clear(), faulty(Fault::Unreadable, BrokenWhy);
            if (got == 0)
                break;
            have += qsizetype(got);
        }
        out->resize(have);
        o.size = have;
        return o;
    });
}

Opened probe(const QString& path, Links links) {
    return withFile(path, links, [](Opened o, auto) { return o; });
}

Opened eachBlock(const QString& path, Links links,
                 const std::function<bool(const char*, qsizetype)>& block) {
    return withFile(path, links, [&](Opened o, auto readSome) {
        QByteArray buffer(BlockSize, Qt::Uninitialized);
        qint64 total = 0;
        for (;;) {
            const qint64 got = readSome(buffer.data(), buffer.size());
            if (got < 0)
                return faulty(Fault::Unreadable, BrokenWhy);
            if (got == 0)
                break;
            total += got;
            if (!block(buffer.constData(), qsizetype(got)))
                break;
        }
        o.size = total;
        return o;
    });
}

bool isLink(const QString& path) {
    const QFileInfo fi(path);
#ifdef Q_OS_WIN
    return fi.isSymLink() || fi.isJunction() || fi.isShortcut();
#else
    return fi.isSymLink();
#endif
}

void keepPrivate(const QString& path) {
#ifdef Q_OS_WIN
    (void)path;
#else
    ::chmod(QFile::encodeName(path).constData(), QFileInfo(path).isDir() ? 0700 : 0600);
#endif
}

void createPrivately() {
#ifndef Q_OS_WIN
    ::umask(077);
#endif
}

} // namespace PlainFile
