#include "data/DataFolder.h"
#include "data/InSpanish.h"

#include "data/Database.h"
#include "data/DatabaseFile.h"
#include "data/PlainFile.h"
#include "data/ShownPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

DataFolder failure(const QString& why) {
    DataFolder d;
    d.error = why;
    return d;
}

// Copies under a temporary name first, so an interrupted copy never leaves
// a half file that later starts would take for the agent's database.
bool copyTemplate(const QString& templatePath, const QString& target, QString* why) {
    const QString partial = target + QStringLiteral(".parcial");
    QFile::remove(partial);
    QFile source(templatePath);
    if (!source.copy(partial)) {
        *why = systemSays(source.errorString());
        return false;
    }
    // The template is installed read-only; the agent's copy is his to write,
    // and his alone to read.
    QFile::setPermissions(partial,
                          QFile::permissions(partial) | QFile::ReadOwner | QFile::WriteOwner);
    PlainFile::keepPrivate(partial);
    QFile copy(partial);
    if (!copy.rename(target)) {
        *why = systemSays(copy.errorString());
        QFile::remove(partial);
        return false;
    }
    return true;
}

} // namespace

DataFolder chooseDataFolder(const QString& programDir, const QString& perUserDir,
                            const QString& templatePath) {
    const QString fileName = QString::fromLatin1(Database::FileName);
    // The agent's data are his alone, whatever the umask: everything made
    // from here on, and what an earlier version left readable.
    PlainFile::createPrivately();
    // A restore cut short must not leave the folder looking empty; it is
    // finished under the folder's lock, since another start may be the
    // restore itself.
    if (DatabaseFile::holdsDatabase(programDir)) {
        if (QFileInfo(QDir(programDir).filePath(fileName)).isFile())
            PlainFile::keepPrivate(QDir(programDir).filePath(fileName));
        DataFolder d;
        d.path = programDir;
        d.portable = true;
        return d;
    }
    if (perUserDir.isEmpty() || !QDir().mkpath(perUserDir))
        return failure(QStringLiteral("No se pudo crear la carpeta de datos de KESTRO %1.")
                           .arg(shownPath(perUserDir)));
    PlainFile::keepPrivate(perUserDir);
    const QString target = QDir(perUserDir).filePath(fileName);
    if (QFileInfo(target).isFile())
        PlainFile::keepPrivate(target);
    if (!QFileInfo::exists(target) && !DatabaseFile::holdsDatabase(perUserDir)) {
        if (!QFileInfo(templatePath).isFile())
            return failure(QStringLiteral("No se encontró la base de datos que se entrega con "
                                          "KESTRO (%1). Vuelva a instalar el programa.")
                               .arg(shownPath(templatePath)));
        QString why;
        if (!copyTemplate(templatePath, target, &why))
            return failure(QStringLiteral("No se pudo copiar la base de datos %1 a la carpeta "
                                          "de datos %2: %3")
                               .arg(shownPath(templatePath), shownPath(perUserDir), why));
    }
    DataFolder d;
    d.path = perUserDir;
    return d;
}

QString makeAgentFolder(const QString& folder, const QString& templatePath) {
    const QDir dir(folder);
    if (dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        return QStringLiteral("La carpeta %1 ya tiene archivos. Para un agente nuevo elija una "
                              "carpeta vacía; para una carpeta de datos que ya existe use "
                              "\"Agregar carpeta existente\".")
            .arg(shownPath(folder));
    if (!QFileInfo(templatePath).isFile())
        return QStringLiteral("No se encontró la base de datos que se entrega con KESTRO (%1). "
                              "Vuelva a instalar el programa.")
            .arg(shownPath(templatePath));
    if (!QDir().mkpath(folder))
        return QStringLiteral("No se pudo crear la carpeta %1.").arg(shownPath(folder));
    QString why;
    if (!copyTemplate(templatePath, dir.filePath(QString::fromLatin1(Database::FileName)), &why))
        return QStringLiteral("No se pudo copiar la base de datos %1 a la carpeta %2: %3")
            .arg(shownPath(templatePath), shownPath(folder), why);
    return QString();
}
