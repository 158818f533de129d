// The catalogue CSV reader, on hostile files: every line split, and the
// three files loaded into a store.
#include "FuzzSupport.h"
#include "data/DeliveredDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApplication();
    const QByteArray raw = fuzz::bytesOf(data, size);
    for (const QString& line : QString::fromUtf8(raw).split(u'\n'))
        if (splitCsvLine(line).isEmpty())
            abort(); // even an empty line is one field
    for (const char* name : {"estados.csv", "municipios.csv", "aduanas.csv"})
        fuzz::writeScratch(QString::fromLatin1(name), raw);
    Database& db = fuzz::store();
    loadCatalogues(db, fuzz::scratch());
    for (const char* t : {"EntFed", "MpioDeleg", "Aduanas"})
        db.exec(QStringLiteral("delete from %1").arg(QLatin1String(t)));
    return 0;
}
