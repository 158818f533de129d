#include "entry/BackupKeeper.h"

#include "data/BackupFolder.h"
#include "data/ShownPath.h"
#include "entry/Seam.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString dataDirOf(const Database& db) {
    return QFileInfo(db.path()).absolutePath();
}

} // namespace

void BackupKeeper::copy(QWidget* parent, const Database& db, const QDateTime& now) {
    BackupFolder folder(dataDirOf(db));
    const QString why = folder.take(db, now);
    if (why.isEmpty() || told_)
        return;
    told_ = true;
    // Damage in the database itself is not the copy's fault, and his work
    // is affected: he is not told otherwise.
    const QString unaffected =
        folder.liveDamaged() ? QString()
                             : QStringLiteral("\nSu trabajo no se afectó: sigue guardado en %1.")
                                   .arg(shownPath(db.path()));
    seam::message(parent,
                  QStringLiteral("No se pudo hacer la copia de respaldo automática de su base de "
                                 "datos. %1%2 Este aviso no se repetirá mientras KESTRO siga "
                                 "abierto.")
                      .arg(why, unaffected),
                  QStringLiteral("KESTRO 3.5"), seam::Icon::Exclamation);
}

void BackupKeeper::dailyCopy(QWidget* parent, const Database& db) {
    if (BackupFolder(dataDirOf(db)).dailyDue(db.path()))
        copy(parent, db);
}
