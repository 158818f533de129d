#include "exchange/EnvioStage.h"

#include "data/InSpanish.h"

#include "data/DiskFlush.h"
#include "data/FaultPoint.h"
#include "data/PlainFile.h"
#include "data/ShownPath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <windows.h>

// after windows.h, which it needs
#include <restartmanager.h>
#include <vector>
#endif

namespace {

const QString TempSuffix = QStringLiteral(".kestro-nuevo");
const QString AsideSuffix = QStringLiteral(".kestro-anterior");
const QString MarkerName = QStringLiteral(".kestro-en-curso");
const QString ArchiveName = QStringLiteral("anteriores");

// Renames a file, or a folder, to a free place (a file may also replace
// `to`, on every system). Windows refuses while another program (a
// spreadsheet, an editor) holds either file open; the agent is told which
// file to close instead of the system's own words.
MaybeError renameOver(const QString& from, const QString& to) {
    if (faultpoint::hit())
        return DbError::refused(QStringLiteral("error de entrada o salida"));
#ifdef Q_OS_WIN
    // Replacing cannot be asked for a folder.
    const DWORD flags =
        MOVEFILE_WRITE_THROUGH | (QFileInfo(from).isDir() ? 0 : MOVEFILE_REPLACE_EXISTING);
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()), flags))
        return std::nullopt;
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return DbError::refused(
            QStringLiteral("el archivo %1 está abierto en otro programa; ciérrelo y vuelva a "
                           "intentarlo")
                .arg(QDir::toNativeSeparators(QFileInfo::exists(to) ? to : from)));
    return DbError::refused(
        QString::fromLocal8Bit(std::system_category().message(int(error)).c_str()));
#else
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(),
                            QFile::encodeName(to).toStdString(), ec);
    if (ec)
        return DbError::refused(QString::fromLocal8Bit(ec.message().c_str()));
    return std::nullopt;
#endif
}

// The name of the folder things moved to, then "<sha-256> <size> <r> <name>"
// for each file placed, r being 1 when it replaces an earlier file and 0
// otherwise: what the next start needs to undo an unfinished step, and to
// tell a file it wrote from one that was there before.
bool writeMarker(const QString& folder, const QStringList& lines) {
    QFile m(QDir(folder).filePath(MarkerName));
    return m.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           m.write(lines.join(QLatin1Char('\n')).toUtf8()) >= 0 && flushToDisk(m);
}

QByteArray proofOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + ' ' +
           QByteArray::number(bytes.size());
}

// Hidden and system files belong to the system showing the folder (a
// thumbnail cache held open by the file manager), not to the package.
bool systemsOwn(const QFileInfo& f) {
#ifdef Q_OS_WIN
    const DWORD a = GetFileAttributesW(
        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(f.filePath()).utf16()));
    if (a != INVALID_FILE_ATTRIBUTES && (a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        return true;
#endif
    return f.isHidden();
}

#ifdef Q_OS_WIN
// The programs holding a file open, as the Restart Manager names them;
// empty when it cannot tell.
QString programsHolding(const QString& path) {
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (RmStartSession(&session, 0, key) != ERROR_SUCCESS)
        return QString();
    const QString native = QDir::toNativeSeparators(path);
    LPCWSTR files[] = {reinterpret_cast<LPCWSTR>(native.utf16())};
    QStringList names;
    UINT needed = 0, count = 0;
    DWORD reasons = 0;
    if (RmRegisterResources(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS &&
        RmGetList(session, &needed, &count, nullptr, &reasons) == ERROR_MORE_DATA && needed > 0) {
        std::vector<RM_PROCESS_INFO> info(needed);
        count = needed;
        if (RmGetList(session, &needed, &count, info.data(), &reasons) == ERROR_SUCCESS)
            for (UINT i = 0; i < count; ++i)
                names << QString::fromWCharArray(info[i].strAppName);
    }
    RmEndSession(session);
    names.removeDuplicates();
    return names.join(QStringLiteral(", "));
}

// Whether the file could be renamed now: opened for deletion, as a rename
// needs, while letting every other program go on reading and writing it.
bool heldOpen(const QString& path) {
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                           DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}
#endif

} // namespace

EnvioStage::EnvioStage(QString folder) : folder_(std::move(folder)) {}

EnvioStage::~EnvioStage() {
    if (!committed_ && !keepTemps_)
        for (const Item& i : items_)
            QFile::remove(i.temp);
}

MaybeError EnvioStage::write(const QString& name, const std::function<bool(QFile&)>& fill) {
    Item item;
    item.final = QDir(folder_).filePath(name);
    item.temp = item.final + TempSuffix;
    QFile f(item.temp);
    const bool refused = faultpoint::hit();
    bool ok = !refused && f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (ok)
        items_.append(item); // removed again whatever happens next
    ok = ok && fill(f);
    if (!ok)
        return DbError::refused(
            QStringLiteral("No se pudo escribir el archivo %1 en la carpeta %2: %3. Revise que "
                           "la carpeta tenga permiso de escritura y espacio libre.")
                .arg(name, shownPath(folder_),
                     refused ? QStringLiteral("error de entrada o salida")
                             : systemSays(f.errorString())));
    return std::nullopt;
}

MaybeError EnvioStage::add(const QString& name, const QByteArray& bytes) {
    MaybeError e =
        write(name, [&](QFile& f) { return f.write(bytes) == bytes.size() && flushToDisk(f); });
    if (!e)
        items_.last().proof = proofOf(bytes);
    return e;
}

// Copied a block at a time, whatever the size of the file, and only a
// regular file reached without a link.
MaybeError EnvioStage::addCopy(const QString& source, const QString& name) {
    const bool unreadable = faultpoint::hit();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    qint64 size = 0;
    PlainFile::Opened read;
    bool written = true;
    MaybeError e = write(name, [&](QFile& f) {
        if (unreadable)
            return read.fault = PlainFile::Fault::Unreadable, false;
        read = PlainFile::eachBlock(source, PlainFile::Links::Refuse,
                                    [&](const char* data, qsizetype n) {
                                        hash.addData(QByteArrayView(data, n));
                                        size += n;
                                        return written = f.write(data, n) == n;
                                    });
        return read.fault == PlainFile::Fault::None && written && f.flush();
    });
    if (read.fault != PlainFile::Fault::None)
        return DbError::refused(
            QStringLiteral("No se pudo leer el archivo %1: %2.")
                .arg(shownPath(source), unreadable || read.fault == PlainFile::Fault::Unreadable
                                            ? QStringLiteral("error de entrada o salida")
                                            : read.why));
    if (!e)
        items_.last().proof = hash.result().toHex() + ' ' + QByteArray::number(size);
    return e;
}

QString EnvioStage::archiveFolder(const QString& folder) {
    return QDir(folder).filePath(ArchiveName);
}

// What stands at ENVIO's top level besides the archive, this stage's own
// files and the system's hidden ones (which move only when a staged file
// takes their name).
QStringList EnvioStage::others() const {
    QStringList out;
    const QDir dir(folder_);
    for (const QFileInfo& f :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString n = f.fileName();
        if (n.compare(ArchiveName, Qt::CaseInsensitive) == 0 || n.endsWith(TempSuffix) ||
            n == MarkerName)
            continue;
        const bool replaced = std::any_of(items_.cbegin(), items_.cend(), [&](const Item& i) {
            return QFileInfo(i.final).fileName().compare(n, Qt::CaseInsensitive) == 0;
        });
        if (replaced || !systemsOwn(f))
            out << n;
    }
    return out;
}

QStringList EnvioStage::markerLines(bool placedOnly) const {
    QStringList lines{QFileInfo(aside_).fileName()};
    for (const Item& i : items_)
        if (!placedOnly || i.placed)
            lines << QString::fromLatin1(i.proof) +
                         (i.replaces ? QStringLiteral(" 1 ") : QStringLiteral(" 0 ")) +
                         QFileInfo(i.final).fileName();
    return lines;
}

MaybeError EnvioStage::linkFault(const QString& folder) {
    const auto refused = [](const QString& what) {
        return DbError::refused(
            QStringLiteral("No se puede generar el archivo de información: %1. KESTRO no "
                           "mueve nada a través de un enlace; ponga en su lugar una carpeta o un "
                           "archivo comunes.")
                .arg(what));
    };
    if (PlainFile::isLink(folder))
        return refused(
            QStringLiteral("la carpeta %1 es un enlace a otra carpeta").arg(shownPath(folder)));
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                         QDir::System | QDir::NoDotAndDotDot))
        if (PlainFile::isLink(f.filePath()))
            return refused(QStringLiteral("%1, en la carpeta ENVIO, es un enlace")
                               .arg(shownPath(f.filePath())));
    return std::nullopt;
}

MaybeError EnvioStage::checkMovable(const QString& folder) {
    if (MaybeError e = linkFault(folder))
        return e;
    const EnvioStage stage(folder);
    const QStringList toMove = stage.others();
    if (toMove.isEmpty())
        return std::nullopt;
    if (!QFileInfo(folder).isWritable())
        return DbError::refused(QStringLiteral("No se puede generar el archivo de información: no "
                                               "hay permiso de escritura en la carpeta %1.")
                                    .arg(shownPath(folder)));
#ifdef Q_OS_WIN
    for (const QString& n : toMove) {
        const QString path = QDir(folder).filePath(n);
        if (!heldOpen(path))
            continue;
        const QString programs = programsHolding(path);
        return DbError::refused(
            QStringLiteral("No se puede generar el archivo de información: el archivo %1 está "
                           "abierto en %2. Ciérrelo y vuelva a intentarlo; antes de generar el "
                           "nuevo, KESTRO lo pasa a la carpeta anteriores.")
                .arg(shownPath(path),
                     programs.isEmpty() ? QStringLiteral("otro programa") : programs));
    }
#endif
    return std::nullopt;
}

MaybeError EnvioStage::moveAsideAndPlace(const QDateTime& now) {
    const QString archive = archiveFolder(folder_);
    const QString base =
        QDir(archive).filePath(now.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss")));
    aside_ = base;
    for (int n = 2; QFileInfo::exists(aside_); ++n)
        aside_ = base + QStringLiteral(" (%1)").arg(n);
    const QStringList toMove = others();
    for (Item& i : items_)
        i.replaces = toMove.contains(QFileInfo(i.final).fileName(), Qt::CaseInsensitive);
    createdArchive_ = !QFileInfo::exists(archive);
    if (!toMove.isEmpty() && (faultpoint::hit() || !QDir().mkpath(aside_)))
        return DbError::refused(
            QStringLiteral("No se pudo crear la carpeta %1. Revise que tenga permiso de escritura.")
                .arg(shownPath(aside_)));

    // Until the marker is gone, the next start undoes what this step did.
    if (faultpoint::hit() || !writeMarker(folder_, markerLines(false)))
        return DbError::refused(
            QStringLiteral("No se pudo escribir en la carpeta %1.").arg(shownPath(folder_)));

    for (const QString& n : toMove) {
        if (MaybeError e = renameOver(QDir(folder_).filePath(n), QDir(aside_).filePath(n)))
            return DbError::refused(QStringLiteral("No se pudo mover el archivo %1 a la carpeta "
                                                   "%2: %3.")
                                        .arg(n, shownPath(aside_), e->message()));
        movedOut_ << n;
    }
    for (Item& i : items_) {
        if (MaybeError e = renameOver(i.temp, i.final))
            return DbError::refused(
                QStringLiteral("No se pudo poner el archivo %1 en la carpeta %2: %3.")
                    .arg(QFileInfo(i.final).fileName(), shownPath(folder_), e->message()));
        i.placed = true;
    }
    if (faultpoint::hit() || !QFile::remove(QDir(folder_).filePath(MarkerName)))
        return DbError::refused(QStringLiteral("No se pudo terminar de escribir en la carpeta %1.")
                                    .arg(shownPath(folder_)));
    return std::nullopt;
}

MaybeError EnvioStage::commit(const QDateTime& now) {
    if (MaybeError failed = moveAsideAndPlace(now)) {
        const QString notBack = rollBack();
        asBefore_ = notBack.isEmpty();
        return asBefore_ ? failed : DbError::refused(failed->message() + u' ' + notBack);
    }
    committed_ = true;
    return std::nullopt;
}

// A file already placed goes back to its temporary name (removed with the
// stage); what was moved aside comes back only to a free place, so an
// earlier copy is never lost when its place is still taken.
QString EnvioStage::rollBack() {
    QStringList notBack;
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if (it->placed && !renameOver(it->final, it->temp))
            it->placed = false;
        else if (it->placed)
            notBack << QStringLiteral("el archivo nuevo %1 no se pudo quitar")
                           .arg(QFileInfo(it->final).fileName());
    }
    for (auto it = movedOut_.rbegin(); it != movedOut_.rend(); ++it) {
        const QString from = QDir(aside_).filePath(*it), to = QDir(folder_).filePath(*it);
        if (QFileInfo::exists(to) || renameOver(from, to))
            notBack
                << QStringLiteral("%1 (su copia anterior quedó en %2)").arg(*it, shownPath(from));
    }
    movedOut_.clear();
    if (!notBack.isEmpty()) {
        // The next start finishes the job; it must then remove only the new
        // files still standing, never an earlier one already back.
        writeMarker(folder_, markerLines(true));
        keepTemps_ = true;
        return QStringLiteral("Además, no se pudo regresar a la carpeta ENVIO: %1. Cierre el "
                              "programa que lo tenga abierto; KESTRO lo regresa al generar de "
                              "nuevo o al volver a abrirse.")
            .arg(notBack.join(QStringLiteral("; ")));
    }
    QDir().rmdir(aside_);
    if (createdArchive_)
        QDir().rmdir(archiveFolder(folder_));
    const QString marker = QDir(folder_).filePath(MarkerName);
    if (QFileInfo::exists(marker) && (faultpoint::hit() || !QFile::remove(marker))) {
        // Left behind, it names this run's files: the temporary ones stay
        // beside them, so the next start tells them from the earlier files.
        keepTemps_ = true;
        return QStringLiteral("Además, no se pudo quitar el archivo %1; sus archivos anteriores "
                              "están en la carpeta ENVIO como estaban, y KESTRO lo quita al "
                              "generar de nuevo o al volver a abrirse.")
            .arg(shownPath(marker));
    }
    return QString();
}

namespace {

// A name read back from the marker: one entry of a folder, nothing more.
bool plainName(const QString& n) {
    return !n.isEmpty() && n != QStringLiteral(".") && n != QStringLiteral("..") &&
           !n.contains(QLatin1Char('/')) && !n.contains(QLatin1Char('\\'));
}

// A file the marker says was placed, removed only when it holds exactly
// the bytes written and cannot be an earlier twin: its temporary copy is
// gone (an undone run renames it back) and the file it replaced, if any,
// still waits aside (an undone run brings it back). An earlier file back in
// its place, or one the user put there, stays.
void removeIfWritten(const QDir& dir, const QString& aside, const QString& line) {
    const QString proof = line.section(u' ', 0, 1), replaces = line.section(u' ', 2, 2),
                  name = line.section(u' ', 3);
    if (!plainName(name) || QFileInfo::exists(dir.filePath(name + TempSuffix)))
        return;
    if (replaces == u"1") {
        const QStringList waiting =
            aside.isEmpty() ? QStringList()
                            : QDir(aside).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        if (!waiting.contains(name, Qt::CaseInsensitive))
            return;
    } else if (replaces != u"0") {
        return;
    }
    QFile f(dir.filePath(name));
    if (proof.count(u' ') != 1 || !f.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = f.readAll();
    f.close();
    if (f.error() == QFileDevice::NoError && proofOf(bytes) == proof.toLatin1())
        f.remove();
}

void putBackIfFree(const QString& from, const QString& to) {
    if (!QFileInfo::exists(to))
        (void)renameOver(from, to);
}

} // namespace

void EnvioStage::recover(const QString& folder) {
    const QDir dir(folder);
    QFile marker(dir.filePath(MarkerName));
    bool markerStays = false;
    if (marker.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromUtf8(marker.readAll()).split(QLatin1Char('\n'));
        marker.close();
        const QString aside = plainName(lines.first())
                                  ? QDir(archiveFolder(folder)).filePath(lines.first())
                                  : QString();
        for (const QString& line : lines.mid(1))
            removeIfWritten(dir, aside, line);
        if (!aside.isEmpty() && QFileInfo(aside).isDir()) {
            const QDir from(aside);
            for (const QString& n : from.entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                   QDir::NoDotAndDotDot))
                putBackIfFree(from.filePath(n), dir.filePath(n));
            QDir().rmdir(aside); // only when everything went back
            QDir().rmdir(archiveFolder(folder));
        }
        markerStays = faultpoint::hit() || !marker.remove();
    }
    // One listing of a folder that may hold thousands of requirement copies.
    const QStringList leftovers =
        dir.entryList({QLatin1Char('*') + AsideSuffix, QLatin1Char('*') + TempSuffix}, QDir::Files);
    // Set aside by an earlier version of this step, older than what the
    // marker brought back: back when its place is still free.
    for (const QString& n : leftovers)
        if (n.endsWith(AsideSuffix))
            putBackIfFree(dir.filePath(n), dir.filePath(n.chopped(AsideSuffix.size())));
    // While the marker stays, the temporary files are what tells the files
    // this run placed from earlier twins at the next start.
    if (!markerStays)
        for (const QString& n : leftovers)
            if (n.endsWith(TempSuffix))
                QFile::remove(dir.filePath(n));
}
