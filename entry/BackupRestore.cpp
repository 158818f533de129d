#include "entry/BackupRestore.h"

#include "data/BackupFolder.h"
#include "data/DatabaseFile.h"
#include "entry/Seam.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Title = QStringLiteral("KESTRO 3.5");

QString shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString databasePath(const QString& dataDir) {
    return QDir(dataDir).filePath(QString::fromLatin1(Database::FileName));
}

} // namespace

void offerNewestBackup(QWidget* parent, const QString& dataDir) {
    const QString current = databasePath(dataDir);
    if (!QFileInfo(current).isFile())
        return;
    const QString damage = DatabaseFile::fault(current, DatabaseFile::Depth::Quick);
    if (damage.isEmpty())
        return;
    const std::optional<BackupFolder::Copy> copy = BackupFolder(dataDir).newestSound();
    if (!copy)
        return;
    const QString question =
        QStringLiteral("%1\n\nHay una copia de respaldo sana tomada el %2 a las %3:\n%4\n\n"
                       "¿Desea usarla en lugar de la base de datos dañada? Se perderá lo "
                       "capturado después de esa hora; el archivo dañado se conservará junto a "
                       "ella como \"kestro.mdb.dañado <fecha>\".")
            .arg(damage, copy->taken.toString(QStringLiteral("dd/MM/yyyy")),
                 copy->taken.toString(QStringLiteral("hh:mm:ss")), shown(copy->path));
    if (seam::message(parent, question, Title, seam::Icon::Exclamation, seam::Buttons::OkCancel) !=
        seam::Answer::Ok)
        return;
    if (const QString why = DatabaseFile::replace(dataDir, copy->path, QStringLiteral("dañado"));
        !why.isEmpty())
        seam::message(parent, why, Title, seam::Icon::Exclamation);
}

int restoreBackup(const QString& dataDir, QString backupPath) {
    if (backupPath.isEmpty())
        backupPath = seam::openFile(nullptr, QStringLiteral("Respaldo que desea restaurar"),
                                    BackupFolder(dataDir).path(),
                                    QStringLiteral("Base de datos de KESTRO (*.mdb)"));
    if (backupPath.isEmpty())
        return 1;
    if (const QString why = DatabaseFile::whyNotKestro(backupPath); !why.isEmpty()) {
        seam::message(nullptr,
                      QStringLiteral("%1\nNo se restauró nada: %2 quedó como estaba.")
                          .arg(why, shown(databasePath(dataDir))),
                      Title, seam::Icon::Exclamation);
        return 1;
    }
    if (const QString why = DatabaseFile::replace(dataDir, backupPath, QStringLiteral("anterior"));
        !why.isEmpty()) {
        seam::message(nullptr, why, Title, seam::Icon::Exclamation);
        return 1;
    }
    seam::message(nullptr,
                  QStringLiteral("Se restauró el respaldo %1 como %2. El archivo que había se "
                                 "conservó junto a él como \"kestro.mdb.anterior <fecha>\". Abra "
                                 "KESTRO para seguir trabajando.")
                      .arg(shown(backupPath), shown(databasePath(dataDir))),
                  Title, seam::Icon::Information);
    return 0;
}
