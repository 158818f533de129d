#include "report/SigningSummary.h"

#include "exchange/Signing.h"
#include "report/SummaryPdf.h"

#include <QDir>
#include <QFileInfo>

Fallible<QString> writeSigningSummary(const CatalogueNames& names, const QString& dataDir,
                                      const QString& patente, const QByteArray& signedFile,
                                      const QByteArray& publicKey, const QDateTime& madeAt) {
    const QString path = summaryPath(dataDir, patente, madeAt);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return DbError::refused(QStringLiteral("No se pudo crear la carpeta %1.")
                                    .arg(QDir::toNativeSeparators(folder)));
    const Verification v = verifySignature(signedFile, publicKey);
    if (MaybeError e =
            writeSummaryPdf(path, summaryLines(signedFile, {v.intact, v.message}, names), madeAt))
        return *e;
    return path;
}
