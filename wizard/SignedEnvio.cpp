#include "wizard/SignedEnvio.h"

#include "exchange/InformationFile.h"
#include "exchange/Signing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

QString lastSigningKeyPath(const QString& dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("llave-publica-ultima-firma.der"));
}

std::optional<QDateTime> currentSignedFile(Database& db, const QString& dataDir,
                                           const QString& patente) {
    const QFileInfo file(informationFilePath(dataDir, patente));
    const QByteArray publicKey = readAll(lastSigningKeyPath(dataDir));
    // The cheap refusals first: most starts have no signed file at all.
    if (!file.isFile() || publicKey.isEmpty())
        return std::nullopt;
    const QByteArray signedFile = readAll(file.filePath());
    const Fallible<InformationFileContent> now = buildInformationFile(db, patente);
    if (!now || !signedFile.startsWith(now.value.bytes))
        return std::nullopt;
    // After the data, the signature record alone: one line.
    const qsizetype recordEnd = signedFile.indexOf("\r\n", now.value.bytes.size());
    if (recordEnd != signedFile.size() - 2 || !verifySignature(signedFile, publicKey).intact)
        return std::nullopt;
    return file.lastModified();
}
