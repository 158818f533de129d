#include "entry/BackupKeeper.h"

#include "data/BackupFolder.h"
#include "entry/Seam.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString dataDirOf(const Database& db) {
    return QFileInfo(db.path()).absolutePath();
}

} // namespace

void BackupKeeper::copy(QWidget* parent, const Database& db) {
    const QString why = BackupFolder(dataDirOf(db)).take(db);
    if (why.isEmpty() || told_)
        return;
    told_ = true;
    seam::message(parent,
                  QStringLiteral("No se pudo hacer la copia de respaldo automática de su base de "
                                 "datos. %1\nSu trabajo no se afectó: sigue guardado en %2. "
                                 "Este aviso no se repetirá mientras KESTRO siga abierto.")
                      .arg(why, QDir::toNativeSeparators(QFileInfo(db.path()).absoluteFilePath())),
                  QStringLiteral("KESTRO 3.5"), seam::Icon::Exclamation);
}

void BackupKeeper::dailyCopy(QWidget* parent, const Database& db) {
    if (BackupFolder(dataDirOf(db)).dailyDue(db.path()))
        copy(parent, db);
}
