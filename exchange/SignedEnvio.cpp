#include "exchange/SignedEnvio.h"

#include "exchange/InformationFile.h"
#include "exchange/Signing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <optional>

namespace {

std::optional<QByteArray> readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

// Empty when every requirement copy due stands in ENVIO with the bytes its
// source holds now; otherwise what is wrong with the first that does not.
QString requirementCopiesDiffer(const QList<RequirementFile>& requirements, const QString& envio) {
    QSet<QString> seen;
    for (const RequirementFile& r : requirements) {
        const QString name = QFileInfo(r.path).fileName();
        if (seen.contains(name.toCaseFolded()))
            continue; // one file named by several representatives travels once
        seen.insert(name.toCaseFolded());
        const std::optional<QByteArray> copy = readAll(QDir(envio).filePath(name));
        if (!copy)
            return QStringLiteral("falta en ENVIO la copia de %1").arg(name);
        const std::optional<QByteArray> source = readAll(r.path);
        if (!source)
            return QStringLiteral("no se puede leer el archivo de requerimiento %1")
                .arg(QDir::toNativeSeparators(r.path));
        if (*source != *copy)
            return QStringLiteral("la copia de %1 en ENVIO no es la del archivo de requerimiento "
                                  "actual")
                .arg(name);
    }
    return {};
}

} // namespace

QString lastSigningKeyPath(const QString& dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("llave-publica-ultima-firma.der"));
}

EnvioPackage signedEnvio(Database& db, const QString& dataDir, const QString& patente) {
    const QFileInfo file(informationFilePath(dataDir, patente));
    // The cheap refusals first: most starts have no signed file at all.
    if (!file.isFile())
        return {};
    const std::optional<QByteArray> publicKey = readAll(lastSigningKeyPath(dataDir));
    const std::optional<QByteArray> signedFile = readAll(file.filePath());
    if (!publicKey || publicKey->isEmpty() || !signedFile ||
        !verifySignature(*signedFile, *publicKey).intact)
        return {};
    EnvioPackage package{EnvioPackage::State::Stale, file.lastModified(), {}};
    const Fallible<InformationFileContent> now = buildInformationFile(db, patente);
    // The signature covers everything before its own record: the data alone.
    if (!now || signedPart(*signedFile) != now.value.bytes) {
        package.why = QStringLiteral("los datos guardados ya no son los del archivo");
        return package;
    }
    package.why = requirementCopiesDiffer(now.value.requirements, envioFolder(dataDir));
    if (package.why.isEmpty())
        package.state = EnvioPackage::State::Current;
    return package;
}
