#include "entry/BackupRestore.h"

#include "data/BackupFolder.h"
#include "data/CommandLine.h"
#include "data/DatabaseFile.h"
#include "data/FolderLock.h"
#include "data/ShownPath.h"
#include "entry/Seam.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Title = QStringLiteral("KESTRO 3.5");

QString databasePath(const QString& dataDir) {
    return QDir(dataDir).filePath(QString::fromLatin1(Database::FileName));
}

// The kept file's own name: it stands beside the database the user is shown.
QString keptName(const QString& dataDir, const QString& keptAs, const QDateTime& when) {
    return QFileInfo(DatabaseFile::keptPath(dataDir, keptAs, when)).fileName();
}

} // namespace

bool offerNewestBackup(QWidget* parent, const QString& dataDir) {
    const QString current = databasePath(dataDir);
    if (!QFileInfo(current).isFile())
        return true;
    // Not being able to read it says nothing of its pages: no copy takes
    // the place of a file that may be sound.
    if (const QString why = DatabaseFile::head(current).unreadable; !why.isEmpty()) {
        seam::message(parent,
                      QStringLiteral("No se pudo leer la base de datos %1: %2.\nRevise que ningún "
                                     "otro programa la tenga abierta y que tenga permiso de "
                                     "leerla; después vuelva a abrir KESTRO.")
                          .arg(shownPath(current), why),
                      Title, seam::Icon::Exclamation);
        return false;
    }
    const BackupFolder folder(dataDir);
    // Damage the quick check misses was found by a copy: the full check.
    const QString damage = DatabaseFile::fault(
        current, folder.liveDamaged() ? DatabaseFile::Depth::Full : DatabaseFile::Depth::Quick);
    if (damage.isEmpty()) {
        folder.clearLiveDamaged();
        return true;
    }
    const std::optional<BackupFolder::Copy> copy = folder.newestSound();
    if (!copy)
        return true;
    const QDateTime asked = QDateTime::currentDateTime();
    const QString question =
        QStringLiteral("%1\n\nHay una copia de respaldo sana tomada el %2 a las %3:\n%4\n\n"
                       "¿Desea usarla en lugar de la base de datos dañada? Se perderá lo "
                       "capturado después de esa hora; el archivo dañado se conservará junto a "
                       "ella como \"%5\".")
            .arg(damage, copy->taken.toString(QStringLiteral("dd/MM/yyyy")),
                 copy->taken.toString(QStringLiteral("hh:mm:ss")), shownPath(copy->path),
                 keptName(dataDir, QStringLiteral("dañado"), asked));
    if (seam::message(parent, question, Title, seam::Icon::Exclamation, seam::Buttons::OkCancel) !=
        seam::Answer::Ok)
        return true;
    if (const QString why =
            DatabaseFile::replace(dataDir, copy->path, QStringLiteral("dañado"), asked);
        !why.isEmpty())
        seam::message(parent, why, Title, seam::Icon::Exclamation);
    else
        folder.clearLiveDamaged();
    return true;
}

namespace {

// What a restore put in place is the newest the agent has: it becomes the
// newest copy too, so a damage later brings back this and not what it
// replaced. "" when taken, else why not.
QString copyRestored(const QString& dataDir) {
    Database::Opened db = Database::open(dataDir);
    if (!db)
        return db.why();
    return BackupFolder(dataDir).take(*db.value);
}

} // namespace

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
                          .arg(why, shownPath(databasePath(dataDir))),
                      Title, seam::Icon::Exclamation);
        return 1;
    }
    const bool hadOne = QFileInfo::exists(databasePath(dataDir));
    const QDateTime now = QDateTime::currentDateTime();
    if (const QString why =
            DatabaseFile::replace(dataDir, backupPath, QStringLiteral("anterior"), now);
        !why.isEmpty()) {
        seam::message(nullptr, why, Title, seam::Icon::Exclamation);
        return 1;
    }
    BackupFolder(dataDir).clearLiveDamaged();
    const QString kept = hadOne ? QStringLiteral(" El archivo que había se conservó junto a él "
                                                 "como \"%1\".")
                                      .arg(keptName(dataDir, QStringLiteral("anterior"), now))
                                : QString();
    QString told = QStringLiteral("Se restauró el respaldo %1 como %2.%3 Abra KESTRO para seguir "
                                  "trabajando.")
                       .arg(shownPath(backupPath), shownPath(databasePath(dataDir)), kept);
    if (const QString why = copyRestored(dataDir); !why.isEmpty())
        told +=
            QStringLiteral("\nNo se pudo tomar la copia de respaldo de lo restaurado: %1").arg(why);
    seam::message(nullptr, told, Title, seam::Icon::Information);
    return 0;
}

// Another computer's lock this old is most likely left by a crash there:
// the user may take the folder over, once asked.
bool tookOver(FolderLock& lock) {
    return lock.mayTakeOver() &&
           seam::message(nullptr, lock.takeOverQuestion(), Title, seam::Icon::Exclamation,
                         seam::Buttons::OkCancel) == seam::Answer::Ok &&
           lock.takeOver();
}

std::optional<int> lockOrRestore(FolderLock& lock, const QString& dataDir,
                                 const QStringList& arguments) {
    const CommandLine command = readCommandLine(arguments);
    const bool restore = command.restore && !command.endWith;
    if (!lock.acquire() && !tookOver(lock)) {
        // A restore under an open window would be saved over by it.
        seam::message(nullptr,
                      !restore ? lock.alreadyOpen()
                               : QStringLiteral("Para restaurar un respaldo KESTRO debe estar "
                                                "cerrado, y está abierto con esta carpeta de "
                                                "datos:\n%1\nCierre KESTRO y vuelva a dar la "
                                                "orden de restaurar. No se restauró nada.")
                                     .arg(QDir::toNativeSeparators(dataDir)),
                      Title, seam::Icon::Exclamation);
        return 1;
    }
    // Only now: before the lock, a restore under way looks cut short.
    DatabaseFile::finishCutShortReplace(dataDir);
    if (!restore)
        return std::nullopt;
    return restoreBackup(dataDir, command.backup);
}
