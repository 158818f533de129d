#include "exchange/EnvioStage.h"

#include "data/FaultPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
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

// The bytes reach the disk before the file takes its name, so a power cut
// never leaves an empty file under the final name.
bool flushToDisk(QFile& f) {
    if (!f.flush())
        return false;
#ifdef Q_OS_WIN
    return _commit(f.handle()) == 0;
#else
    return ::fsync(f.handle()) == 0;
#endif
}

QString shown(const QString& p) {
    return QDir::toNativeSeparators(p);
}

// The names of the folder things moved to and of the files placed: what
// the next start needs to undo an unfinished step.
bool writeMarker(const QString& folder, const QStringList& lines) {
    QFile m(QDir(folder).filePath(MarkerName));
    return m.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           m.write(lines.join(QLatin1Char('\n')).toUtf8()) >= 0 && flushToDisk(m);
}

} // namespace

EnvioStage::EnvioStage(QString folder) : folder_(std::move(folder)) {}

EnvioStage::~EnvioStage() {
    if (!committed_)
        for (const Item& i : items_)
            QFile::remove(i.temp);
}

MaybeError EnvioStage::write(const QString& name, const QByteArray& bytes, bool durable) {
    Item item;
    item.final = QDir(folder_).filePath(name);
    item.temp = item.final + TempSuffix;
    QFile f(item.temp);
    const bool refused = faultpoint::hit();
    bool ok = !refused && f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (ok)
        items_.append(item); // removed again whatever happens next
    ok = ok && f.write(bytes) == bytes.size() && (durable ? flushToDisk(f) : f.flush());
    if (!ok)
        return DbError::refused(
            QStringLiteral("No se pudo escribir el archivo %1 en la carpeta %2: %3. Revise que "
                           "la carpeta tenga permiso de escritura y espacio libre.")
                .arg(name, shown(folder_),
                     refused ? QStringLiteral("error de entrada o salida") : f.errorString()));
    return std::nullopt;
}

MaybeError EnvioStage::add(const QString& name, const QByteArray& bytes) {
    return write(name, bytes, true);
}

MaybeError EnvioStage::addCopy(const QString& source, const QString& name) {
    QFile src(source);
    QByteArray data;
    bool ok = !faultpoint::hit() && src.open(QIODevice::ReadOnly);
    if (ok) {
        data = src.readAll();
        ok = src.error() == QFileDevice::NoError;
    }
    if (!ok)
        return DbError::refused(
            QStringLiteral("No se pudo leer el archivo %1: %2.")
                .arg(shown(source), src.errorString().isEmpty() || src.isOpen()
                                        ? QStringLiteral("error de entrada o salida")
                                        : QStringLiteral("no existe o no se puede abrir")));
    return write(name, data, false);
}

QString EnvioStage::archiveFolder(const QString& folder) {
    return QDir(folder).filePath(ArchiveName);
}

// What stands at ENVIO's top level besides the archive and this stage's own
// files.
QStringList EnvioStage::others() const {
    QStringList out;
    const QDir dir(folder_);
    for (const QString& n :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (n.compare(ArchiveName, Qt::CaseInsensitive) != 0 && !n.endsWith(TempSuffix) &&
            n != MarkerName)
            out << n;
    return out;
}

MaybeError EnvioStage::moveAsideAndPlace(const QDateTime& now) {
    const QString archive = archiveFolder(folder_);
    const QString base =
        QDir(archive).filePath(now.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss")));
    aside_ = base;
    for (int n = 2; QFileInfo::exists(aside_); ++n)
        aside_ = base + QStringLiteral(" (%1)").arg(n);
    const QStringList toMove = others();
    createdArchive_ = !QFileInfo::exists(archive);
    if (!toMove.isEmpty() && (faultpoint::hit() || !QDir().mkpath(aside_)))
        return DbError::refused(
            QStringLiteral("No se pudo crear la carpeta %1. Revise que tenga permiso de escritura.")
                .arg(shown(aside_)));

    // Until the marker is gone, the next start undoes what this step did.
    QStringList marker{QFileInfo(aside_).fileName()};
    for (const Item& i : items_)
        marker << QFileInfo(i.final).fileName();
    if (faultpoint::hit() || !writeMarker(folder_, marker))
        return DbError::refused(
            QStringLiteral("No se pudo escribir en la carpeta %1.").arg(shown(folder_)));

    for (const QString& n : toMove) {
        if (MaybeError e = renameOver(QDir(folder_).filePath(n), QDir(aside_).filePath(n)))
            return DbError::refused(QStringLiteral("No se pudo mover el archivo %1 a la carpeta "
                                                   "%2: %3.")
                                        .arg(n, shown(aside_), e->message()));
        movedOut_ << n;
    }
    for (Item& i : items_) {
        if (MaybeError e = renameOver(i.temp, i.final))
            return DbError::refused(
                QStringLiteral("No se pudo poner el archivo %1 en la carpeta %2: %3.")
                    .arg(QFileInfo(i.final).fileName(), shown(folder_), e->message()));
        i.placed = true;
    }
    if (faultpoint::hit() || !QFile::remove(QDir(folder_).filePath(MarkerName)))
        return DbError::refused(QStringLiteral("No se pudo terminar de escribir en la carpeta %1.")
                                    .arg(shown(folder_)));
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
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if (it->placed && !renameOver(it->final, it->temp))
            it->placed = false;
    QStringList notBack;
    for (auto it = movedOut_.rbegin(); it != movedOut_.rend(); ++it) {
        const QString from = QDir(aside_).filePath(*it), to = QDir(folder_).filePath(*it);
        if (QFileInfo::exists(to) || renameOver(from, to))
            notBack << QStringLiteral("%1 (su copia anterior quedó en %2)").arg(*it, shown(from));
    }
    movedOut_.clear();
    if (!notBack.isEmpty()) {
        // The next start finishes the job; it must then remove only the new
        // files still standing, never an earlier one already back.
        QStringList marker{QFileInfo(aside_).fileName()};
        for (const Item& i : items_)
            if (i.placed)
                marker << QFileInfo(i.final).fileName();
        writeMarker(folder_, marker);
        return QStringLiteral("Además, no se pudo regresar a la carpeta ENVIO: %1. Cierre el "
                              "programa que lo tenga abierto; KESTRO lo regresa al generar de "
                              "nuevo o al volver a abrirse.")
            .arg(notBack.join(QStringLiteral("; ")));
    }
    QFile::remove(QDir(folder_).filePath(MarkerName));
    QDir().rmdir(aside_);
    if (createdArchive_)
        QDir().rmdir(archiveFolder(folder_));
    return QString();
}

namespace {

// A name read back from the marker: one entry of a folder, nothing more.
bool plainName(const QString& n) {
    return !n.isEmpty() && n != QStringLiteral(".") && n != QStringLiteral("..") &&
           !n.contains(QLatin1Char('/')) && !n.contains(QLatin1Char('\\'));
}

void putBackIfFree(const QString& from, const QString& to) {
    if (!QFileInfo::exists(to))
        (void)renameOver(from, to);
}

} // namespace

void EnvioStage::recover(const QString& folder) {
    const QDir dir(folder);
    // Set aside by an earlier version of this step: back when its place is free.
    for (const QString& n : dir.entryList({QLatin1Char('*') + AsideSuffix}, QDir::Files))
        putBackIfFree(dir.filePath(n), dir.filePath(n.chopped(AsideSuffix.size())));

    QFile marker(dir.filePath(MarkerName));
    if (marker.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromUtf8(marker.readAll()).split(QLatin1Char('\n'));
        marker.close();
        // A file still without its temporary beside it had been placed.
        for (const QString& n : lines.mid(1))
            if (plainName(n) && !QFileInfo::exists(dir.filePath(n + TempSuffix)))
                QFile::remove(dir.filePath(n));
        if (plainName(lines.first())) {
            const QDir aside(QDir(archiveFolder(folder)).filePath(lines.first()));
            if (aside.exists()) {
                for (const QString& n : aside.entryList(QDir::AllEntries | QDir::Hidden |
                                                        QDir::System | QDir::NoDotAndDotDot))
                    putBackIfFree(aside.filePath(n), dir.filePath(n));
                QDir().rmdir(aside.path()); // only when everything went back
                QDir().rmdir(archiveFolder(folder));
            }
        }
        marker.remove();
    }
    for (const QString& n : dir.entryList({QLatin1Char('*') + TempSuffix}, QDir::Files))
        QFile::remove(dir.filePath(n));
}
