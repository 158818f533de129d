#include "data/BackupFolder.h"

#include "data/DatabaseFile.h"

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

QString shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

BackupFolder::BackupFolder(const QString& dataDir)
    : path_(QDir(dataDir).filePath(QString::fromLatin1(FolderName))) {}

QList<BackupFolder::Copy> BackupFolder::copies() const {
    struct Found {
        Copy copy;
        int order;
    };
    QList<Found> found;
    const QStringList names = QDir(path_).entryList(QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = copyName.match(name);
        const QDateTime taken =
            QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd hh.mm.ss"));
        if (m.hasMatch() && taken.isValid())
            found.append({{QDir(path_).filePath(name), taken}, qMax(1, m.captured(2).toInt())});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.copy.taken, a.order) > std::tie(b.copy.taken, b.order);
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
            .arg(shown(path_));
    const QString target = freeName(now);
    if (const QString why = db.copyTo(target); !why.isEmpty())
        return why;
    if (const QString why = DatabaseFile::fault(target, DatabaseFile::Depth::Full);
        !why.isEmpty()) {
        QFile::remove(target);
        return why;
    }
    dropUnkept(copies());
    return QString();
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
    if (all.first().taken.date() >= today)
        return false;
    return QFileInfo(databasePath).lastModified() >= QFileInfo(all.first().path).lastModified();
}

std::optional<BackupFolder::Copy> BackupFolder::newestSound() const {
    for (const Copy& c : copies())
        if (DatabaseFile::whyNotKestro(c.path).isEmpty())
            return c;
    return std::nullopt;
}
