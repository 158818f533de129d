#include "data/DatabaseFile.h"
#include "data/InSpanish.h"

#include "data/Database.h"
#include "data/DiskFlush.h"
#include "data/FaultPoint.h"
#include "data/PlainFile.h"
#include "data/SchemaCheck.h"
#include "data/ShownPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sqlite3.h>

namespace {

// The first column of every row a statement yields, read on a read-only
// connection of its own; `code` is the engine's result.
struct Answer {
    int code = SQLITE_OK;
    QStringList values;
};

Answer ask(const QString& path, const char* sql) {
    Answer a;
    sqlite3* raw = nullptr;
    a.code = sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    if (a.code != SQLITE_OK)
        return a;
    sqlite3_busy_timeout(raw, 2000);
    sqlite3_stmt* s = nullptr;
    a.code = sqlite3_prepare_v2(raw, sql, -1, &s, nullptr);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(s, sqlite3_finalize);
    if (a.code != SQLITE_OK)
        return a;
    while ((a.code = sqlite3_step(s)) == SQLITE_ROW)
        a.values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    if (a.code == SQLITE_DONE)
        a.code = SQLITE_OK;
    return a;
}

// Moves a file and its journal (which belongs to it alone) to a new name.
bool moveWithJournal(const QString& from, const QString& to) {
    const QString journal = QStringLiteral("-journal");
    if (!QFile::rename(from, to))
        return false;
    if (QFileInfo::exists(from + journal) && !QFile::rename(from + journal, to + journal)) {
        QFile::rename(to, from);
        return false;
    }
    return true;
}

DatabaseFile::Head readHead(const QString& path) {
    QFile f(path);
    DatabaseFile::Head h;
    if (!f.open(QIODevice::ReadOnly))
        h.unreadable = systemSays(f.errorString());
    else if (const QByteArray first = f.read(16); f.error() != QFileDevice::NoError)
        h.unreadable = systemSays(f.errorString());
    else
        h.sqlite = first == QByteArray("SQLite format 3\0", 16);
    return h;
}

// Written, and flushed, before the file in place moves: it names the kept
// file, so a start after a crash knows which one to put back.
const QString ReplaceMarker = QStringLiteral(".restaurando");
const QString Incoming = QStringLiteral(".entrante");

} // namespace

namespace DatabaseFile {

Head head(const QString& path) {
    if (faultpoint::hit())
        return Head{QStringLiteral("error de entrada o salida")};
    return readHead(path);
}

QString fault(const QString& path, Depth depth) {
    const QString damaged =
        QStringLiteral("El archivo %1 no es una base de datos o está dañado").arg(shownPath(path));
    const Head h = readHead(path);
    if (!h.unreadable.isEmpty())
        return QString();
    if (!h.sqlite)
        return damaged + QLatin1Char('.');
    const Answer a =
        ask(path, depth == Depth::Full ? "pragma integrity_check" : "pragma quick_check");
    const int code = a.code & 0xff;
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB || code == SQLITE_IOERR)
        return QStringLiteral("%1 (%2).").arg(damaged, QString::fromUtf8(sqlite3_errstr(a.code)));
    // Locked by another program, a journal left by a crash that only a
    // writer may roll back, no permission: nothing says it is damaged, and
    // opening it tells what is wrong.
    if (code != SQLITE_OK)
        return QString();
    if (a.values != QStringList{QStringLiteral("ok")})
        return QStringLiteral("%1 (%2).").arg(damaged, a.values.value(0));
    return QString();
}

QString whyNotKestro(const QString& path) {
    if (!QFileInfo(path).isFile())
        return QStringLiteral("No se encontró el archivo %1.").arg(shownPath(path));
    if (const QString why = fault(path, Depth::Full); !why.isEmpty())
        return why;
    return schemaFault(path);
}

std::optional<QStringList> readOnly(const QString& path, const char* sql) {
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    Answer a = ask(path, sql);
    if (a.code != SQLITE_OK)
        return std::nullopt;
    return std::move(a.values);
}

int version(const QString& path) {
    const Answer a = ask(path, "select max(VPrin * 100 + VSec) from Versiones");
    if (a.code == SQLITE_ERROR) // no registry yet: a 3.0 file
        return ask(path, "select 1 from AA limit 0").code == SQLITE_OK ? 300 : 0;
    return a.code == SQLITE_OK ? a.values.value(0).toInt() : 0;
}

QString keptPath(const QString& dataDir, const QString& keptAs, const QDateTime& when) {
    return QStringLiteral("%1.%2 %3")
        .arg(QDir(dataDir).filePath(QString::fromLatin1(Database::FileName)), keptAs, stamp(when));
}

namespace {

// Whether the file put in place is the whole copy: its size, a SQLite
// header and the engine's quick check. "" when it is, else what is wrong.
QString wrongInPlace(const QString& path, qint64 size) {
    if (faultpoint::hit())
        return QStringLiteral("error de entrada o salida");
    if (const qint64 found = QFileInfo(path).size(); found != size)
        return QStringLiteral("tiene %1 bytes en lugar de %2").arg(found).arg(size);
    const Head h = readHead(path);
    if (!h.unreadable.isEmpty())
        return h.unreadable;
    if (!h.sqlite)
        return QStringLiteral("no es una base de datos");
    return fault(path, Depth::Quick).isEmpty()
               ? QString()
               : QStringLiteral("no pasa la revisión rápida de la base de datos");
}

} // namespace

QString replace(const QString& dataDir, const QString& source, const QString& keptAs,
                const QDateTime& when) {
    const QDir dir(dataDir);
    const QString target = dir.filePath(QString::fromLatin1(Database::FileName));
    const QString incoming = target + Incoming;
    const QString kept = keptPath(dataDir, keptAs, when);
    const QString unchanged =
        QStringLiteral(" No se restauró nada: %1 quedó como estaba.").arg(shownPath(target));
    const qint64 size = QFileInfo(source).size();
    QFile::remove(incoming);
    QFile copy(source);
    if (faultpoint::hit() || !copy.copy(incoming))
        return QStringLiteral("No se pudo copiar %1 a %2: %3.")
                   .arg(shownPath(source), shownPath(dataDir),
                        copy.error() == QFileDevice::NoError
                            ? QStringLiteral("error de entrada o salida")
                            : systemSays(copy.errorString())) +
               unchanged;
    // A copy taken from a read-only medium must still be the agent's to write.
    QFile::setPermissions(incoming,
                          QFile::permissions(incoming) | QFile::ReadOwner | QFile::WriteOwner);
    PlainFile::keepPrivate(incoming);
    // Opened only while it is there: a copy that vanished is never made
    // anew, empty.
    QFile written(incoming), marker(target + ReplaceMarker);
    const bool refused = faultpoint::hit();
    if (refused || !written.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) ||
        written.size() != size || !flushToDisk(written) ||
        !marker.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        marker.write(QFileInfo(kept).fileName().toUtf8()) < 0 || !flushToDisk(marker)) {
        const QString why = refused                  ? QStringLiteral("error de entrada o salida")
                            : !written.isOpen()      ? systemSays(written.errorString())
                            : written.size() != size ? QStringLiteral("la copia quedó incompleta")
                                                     : systemSays(marker.errorString());
        written.close();
        marker.close();
        QFile::remove(incoming);
        marker.remove();
        return QStringLiteral("No se pudo escribir en %1: %2.").arg(shownPath(dataDir), why) +
               unchanged;
    }
    written.close();
    marker.close();
    const bool hadOne = QFileInfo::exists(target);
    if (hadOne && (faultpoint::hit() || !moveWithJournal(target, kept))) {
        QFile::remove(incoming);
        marker.remove();
        return QStringLiteral("No se pudo cambiar el nombre de %1; revise que ningún programa lo "
                              "tenga abierto.")
                   .arg(shownPath(target)) +
               unchanged;
    }
    const bool placed = !faultpoint::hit() && QFile::rename(incoming, target);
    // What stands in place is checked before anything is said restored.
    const QString wrong = placed ? wrongInPlace(target, size) : QString();
    if (placed && wrong.isEmpty()) {
        marker.remove();
        return QString();
    }
    // Undone: the copy goes, the file it replaced comes back.
    const bool undone = (!placed || QFile::remove(target) || !QFileInfo::exists(target)) &&
                        (!hadOne || moveWithJournal(kept, target));
    QFile::remove(incoming);
    const QString what =
        placed ? QStringLiteral("La copia puesta en lugar de %1 no quedó bien (%2).")
                     .arg(shownPath(target), wrong)
               : QStringLiteral("No se pudo poner la copia en lugar de %1.").arg(shownPath(target));
    if (!undone)
        // The marker stays: with the copy gone, the next start puts the
        // kept file back.
        return what +
               QStringLiteral(" No se restauró nada, y el archivo que había quedó como %1.")
                   .arg(shownPath(kept)) +
               (QFileInfo::exists(target)
                    ? QString()
                    : QStringLiteral(" KESTRO lo regresa a su lugar al volver a abrirse."));
    marker.remove();
    return what + unchanged;
}

void finishCutShortReplace(const QString& dataDir) {
    const QString target = QDir(dataDir).filePath(QString::fromLatin1(Database::FileName));
    const QString incoming = target + Incoming, journal = QStringLiteral("-journal");
    QFile marker(target + ReplaceMarker);
    if (!marker.open(QIODevice::ReadOnly)) {
        // Cut short while copying: the file in place never moved.
        if (QFileInfo::exists(target))
            QFile::remove(incoming);
        return;
    }
    const QString keptName = QString::fromUtf8(marker.readAll());
    marker.close();
    const QString kept = QDir(dataDir).filePath(keptName);
    const bool plainName = !keptName.isEmpty() && !keptName.contains(u'/') &&
                           !keptName.contains(u'\\') &&
                           keptName.startsWith(QFileInfo(target).fileName());
    if (QFileInfo::exists(target)) {
        QFile::remove(incoming); // the file in place had not moved yet
    } else if (QFileInfo::exists(incoming)) {
        // The kept file moved and its journal, which belongs to it alone,
        // may not have followed: it must not roll back the copy.
        if (QFileInfo::exists(target + journal) && plainName && QFileInfo::exists(kept) &&
            !QFileInfo::exists(kept + journal))
            QFile::rename(target + journal, kept + journal);
        if (QFileInfo::exists(target + journal) || !QFile::rename(incoming, target))
            return; // left as found, marker included, for the next start
    } else if (plainName && QFileInfo::exists(kept) && !moveWithJournal(kept, target)) {
        return; // the copy is gone: the kept file goes back, or waits for the next start
    }
    marker.remove();
}

bool holdsDatabase(const QString& dataDir) {
    const QString target = QDir(dataDir).filePath(QString::fromLatin1(Database::FileName));
    return QFileInfo(target).isFile() || QFileInfo::exists(target + ReplaceMarker);
}

QString stamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
}

} // namespace DatabaseFile
