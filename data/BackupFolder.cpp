#include "data/BackupFolder.h"

#include "data/DatabaseFile.h"
#include "data/ShownPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <tuple>

namespace {

// "kestro 2026-03-01 10.15.00.mdb"; copies taken within one second add
// " (2)", " (3)"... before ".mdb".
const QRegularExpression
    copyName(QStringLiteral(R"(^kestro (\d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d)(?: \((\d+)\))?\.mdb$)"));

} // namespace

BackupFolder::BackupFolder(const QString& dataDir)
    : path_(QDir(dataDir).filePath(QString::fromLatin1(FolderName))) {}

QList<BackupFolder::Copy> BackupFolder::copies() const {
    struct Found {
        Copy copy;
        QDateTime fileTime;
        int order;
    };
    QList<Found> found;
    const QFileInfoList files = QDir(path_).entryInfoList(QDir::Files);
    for (const QFileInfo& f : files) {
        const QRegularExpressionMatch m = copyName.match(f.fileName());
        const QDateTime taken =
            QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd hh.mm.ss"));
        if (m.hasMatch() && taken.isValid())
            found.append({{f.filePath(), taken}, f.lastModified(), qMax(1, m.captured(2).toInt())});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.fileTime, a.copy.taken, a.order) >
               std::tie(b.fileTime, b.copy.taken, b.order);
    });
    QList<Copy> out;
    for (const Found& f : found)
        out.append(f.copy);
    return out;
}

QString BackupFolder::freeName(const QDateTime& now) const {
    const QString stamp = DatabaseFile::stamp(now);
    QString name = QStringLiteral("kestro %1.mdb").arg(stamp);
    for (int n = 2; QFileInfo::exists(QDir(path_).filePath(name)); ++n)
        name = QStringLiteral("kestro %1 (%2).mdb").arg(stamp).arg(n);
    return QDir(path_).filePath(name);
}

QString BackupFolder::take(const Database& db, const QDateTime& now) {
    if (!QDir().mkpath(path_))
        return QStringLiteral("No se pudo crear la carpeta %1: revise que tenga permiso de "
                              "escritura en la carpeta de datos.")
            .arg(shownPath(path_));
    const QList<Copy> before = copies();
    const QString target = freeName(now);
    if (const QString why = db.copyTo(target); !why.isEmpty())
        return why;
    QString why = DatabaseFile::head(target).unreadable;
    if (!why.isEmpty())
        why = QStringLiteral("No se pudo leer la copia %1 para revisarla: %2.")
                  .arg(shownPath(target), why);
    else
        why = DatabaseFile::fault(target, DatabaseFile::Depth::Full);
    if (!why.isEmpty()) {
        QFile::remove(target);
        return liveDamage(db).value_or(why);
    }
    if (!before.isEmpty())
        placeAfter(target, QFileInfo(before.first().path).lastModified());
    dropUnkept(copies());
    return QString();
}

// A copy is page for page the file it comes from: damage the quick check
// at start missed shows in every copy. Then it is the database that is
// damaged, and the copies already there are what can bring it back.
std::optional<QString> BackupFolder::liveDamage(const Database& db) const {
    const QString why = DatabaseFile::fault(db.path(), DatabaseFile::Depth::Full);
    if (why.isEmpty())
        return std::nullopt;
    QFile note(QDir(path_).filePath(QString::fromLatin1(DamageNote)));
    if (note.open(QIODevice::WriteOnly | QIODevice::Truncate))
        note.write(why.toUtf8());
    return QStringLiteral("%1 Su copia salió igual y se descartó; las copias anteriores de la "
                          "carpeta %2 se conservan. Al volver a abrir KESTRO se le ofrecerá la "
                          "copia sana más reciente.")
        .arg(why, shownPath(path_));
}

// A clock set back would write an older time than the newest copy's.
void BackupFolder::placeAfter(const QString& copy, const QDateTime& newest) {
    QFile f(copy);
    if (QFileInfo(copy).lastModified() <= newest && f.open(QIODevice::ReadWrite))
        f.setFileTime(newest.addSecs(1), QFileDevice::FileModificationTime);
}

bool BackupFolder::liveDamaged() const {
    return QFileInfo::exists(QDir(path_).filePath(QString::fromLatin1(DamageNote)));
}

void BackupFolder::clearLiveDamaged() const {
    QFile::remove(QDir(path_).filePath(QString::fromLatin1(DamageNote)));
}

void BackupFolder::dropUnkept(const QList<Copy>& all) const {
    QSet<int> versionsKept;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const int version = DatabaseFile::version(all[i].path);
        const bool newestOfItsVersion = version > 0 && !versionsKept.contains(version);
        versionsKept.insert(version);
        if (i >= Kept && !newestOfItsVersion)
            QFile::remove(all[i].path);
    }
}

bool BackupFolder::dailyDue(const QString& databasePath, QDate today) const {
    const QList<Copy> all = copies();
    if (all.isEmpty())
        return true;
    if (all.first().taken.date() == today)
        return false;
    const QDateTime copied = QFileInfo(all.first().path).lastModified();
    return copied > QDateTime::currentDateTime() ||
           QFileInfo(databasePath).lastModified() >= copied;
}

std::optional<BackupFolder::Copy> BackupFolder::newestSound() const {
    for (const Copy& c : copies())
        if (DatabaseFile::whyNotKestro(c.path).isEmpty())
            return c;
    return std::nullopt;
}
