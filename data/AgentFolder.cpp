#include "data/AgentFolder.h"

#include "data/AgentStore.h"
#include "data/Database.h"
#include "data/DatabaseFile.h"

#include <QDir>
#include <QFileInfo>

AgentFolder AgentFolder::read(const QString& folder) {
    AgentFolder a;
    a.folder = folder;
    const QString database = QDir(folder).filePath(QString::fromLatin1(Database::FileName));
    // The agent shown is the last row, as the main window loads it.
    const std::optional<QStringList> rows = DatabaseFile::readOnly(
        database, "select ifnull(Patente, '') || char(31) || trim(ifnull(Nombre, '') || ' ' || "
                  "ifnull(ApPaterno, '') || ' ' || ifnull(ApMaterno, '')) || char(31) || "
                  "ifnull(RFC, '') from AA");
    if (!rows)
        return a;
    a.available = true;
    if (rows->isEmpty())
        return a;
    const QStringList agent = rows->last().split(QChar(31));
    a.patente = agent.value(0);
    a.name = agent.value(1).simplified();
    a.rfc = agent.value(2);
    if (a.patente.isEmpty())
        return a;
    const QFileInfo signedFile(
        QDir(folder).filePath(QStringLiteral("ENVIO/%1.txt").arg(canonicalPatent(a.patente))));
    if (signedFile.isFile())
        a.lastSigned = signedFile.lastModified();
    return a;
}

QString AgentFolder::title() const {
    if (patente.isEmpty())
        return QStringLiteral("agente sin capturar");
    return QStringLiteral("%1 %2").arg(patente, name).trimmed();
}
