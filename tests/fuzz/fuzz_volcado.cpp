// The previous version's dump, as a hostile file: read, converted and
// imported into a fresh store, every outcome a clean yes or no.
#include "FuzzSupport.h"
#include "exchange/DumpImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApplication();
    const QString path =
        fuzz::writeScratch(QStringLiteral("Recupera.txt"), fuzz::bytesOf(data, size));
    Database& db = fuzz::store();
    const MaybeError e = importDump(db, path);
    if (e && e->message().isEmpty())
        abort(); // a refusal always says why
    for (const char* t :
         {"AA", "Domicilios_AA", "Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM"})
        db.exec(QStringLiteral("delete from %1").arg(QLatin1String(t)));
    return 0;
}
