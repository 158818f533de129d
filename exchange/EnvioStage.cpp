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

std::filesystem::path fsPath(const QString& p) {
    return std::filesystem::path(p.toStdWString());
}

// Replaces `to` when it exists, on every system. Windows refuses while
// another program (a spreadsheet, an editor) holds either file open; the
// agent is told which file to close instead of the system's own words.
MaybeError renameOver(const QString& from, const QString& to) {
    if (faultpoint::hit())
        return DbError::refused(QStringLiteral("error de entrada o salida"));
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
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
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
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
    item.aside = item.final + AsideSuffix;
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

MaybeError EnvioStage::commit() {
    for (Item& i : items_) {
        MaybeError failed;
        if (QFileInfo::exists(i.final)) {
            failed = renameOver(i.final, i.aside);
            i.setAside = !failed;
        }
        if (!failed)
            failed = renameOver(i.temp, i.final);
        if (failed) {
            rollBack();
            return DbError::refused(
                QStringLiteral("No se pudo poner el archivo %1 en la carpeta "
                               "%2: %3.")
                    .arg(QFileInfo(i.final).fileName(), shown(folder_), failed->message()));
        }
        i.placed = true;
    }
    committed_ = true;
    for (const Item& i : items_)
        if (i.setAside)
            QFile::remove(i.aside);
    return std::nullopt;
}

void EnvioStage::rollBack() {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if (it->placed && !it->setAside)
            QFile::remove(it->final);
        if (it->setAside) {
            std::error_code ec;
            std::filesystem::rename(fsPath(it->aside), fsPath(it->final), ec);
        }
        it->placed = it->setAside = false;
    }
}

void EnvioStage::recover(const QString& folder) {
    const QDir dir(folder);
    for (const QString& n : dir.entryList({QLatin1Char('*') + AsideSuffix}, QDir::Files)) {
        const QString final = dir.filePath(n.chopped(AsideSuffix.size()));
        if (QFileInfo::exists(final)) {
            QFile::remove(dir.filePath(n));
        } else {
            std::error_code ec;
            std::filesystem::rename(fsPath(dir.filePath(n)), fsPath(final), ec);
        }
    }
    for (const QString& n : dir.entryList({QLatin1Char('*') + TempSuffix}, QDir::Files))
        QFile::remove(dir.filePath(n));
}
