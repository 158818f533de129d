#include "support/TestSupport.h"

#include "data/DeliveredDatabase.h"
#include "data/Schema.h"

#include <QDir>
#include <stdexcept>

QString catalogueFolder() {
    return QStringLiteral(KESTRO_CATALOGOS);
}

ProgramDir::ProgramDir(Kind kind) {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    if (kind == Kind::Delivered) {
        if (MaybeError e = createDeliveredDatabase(dbPath(), catalogueFolder()))
            throw std::runtime_error(e->message().toStdString());
    } else if (kind == Kind::Version30) {
        auto db = std::move(Database::createFile(dbPath()).value);
        if (!db || Schema::createV30(*db) || loadCatalogues(*db, catalogueFolder()))
            throw std::runtime_error("cannot build a 3.0 database");
    }
}

QString ProgramDir::dbPath() const {
    return QDir(dir_.path()).filePath(QStringLiteral("kestro.mdb"));
}

std::unique_ptr<Database> ProgramDir::open() const {
    Database::Opened db = Database::openFile(dbPath());
    if (!db)
        throw std::runtime_error(db.why().toStdString());
    return std::move(db.value);
}
