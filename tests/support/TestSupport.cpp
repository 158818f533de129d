#include "support/TestSupport.h"

#include "data/DeliveredDatabase.h"
#include "data/Schema.h"

#include <stdexcept>

void writeWholeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

QByteArray readWholeFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void setModified(const QString& path, const QDateTime& time) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) ||
        !f.setFileTime(time, QFileDevice::FileModificationTime))
        throw std::runtime_error("cannot set a test file's time");
}

QMap<QString, QByteArray> filesUnder(const QString& folder) {
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        QString name = QDir(folder).relativeFilePath(f);
        const QStringList parts = name.split(u'/');
        if (parts.size() > 2 && parts.first() == QStringLiteral("anteriores"))
            name = QStringLiteral("anteriores/<fecha>/") + parts.mid(2).join(u'/');
        out.insert(name, readWholeFile(f));
    }
    return out;
}

namespace {

// A database built from the catalogues costs far more than a copy of one:
// each kind is built once per test program, then copied.
QString builtOnce(ProgramDir::Kind kind) {
    static QTemporaryDir cache;
    static QString built[2];
    QString& path = built[int(kind)];
    if (!path.isEmpty())
        return path;
    const QString made =
        cache.filePath(kind == ProgramDir::Kind::Delivered ? QStringLiteral("entregada.mdb")
                                                           : QStringLiteral("version30.mdb"));
    if (!cache.isValid())
        throw std::runtime_error("no temporary folder");
    if (kind == ProgramDir::Kind::Delivered) {
        if (MaybeError e = createDeliveredDatabase(made, catalogueFolder()))
            throw std::runtime_error(e->message().toStdString());
    } else {
        auto db = std::move(Database::createFile(made).value);
        if (!db || Schema::createV30(*db) || loadCatalogues(*db, catalogueFolder()))
            throw std::runtime_error("cannot build a 3.0 database");
    }
    return path = made;
}

} // namespace

ProgramDir::ProgramDir(Kind kind) {
    if (!dir_.isValid() || !QFile::copy(builtOnce(kind), dbPath()))
        throw std::runtime_error("cannot make a program folder");
    setModified(dbPath(), QDateTime::currentDateTime()); // as if just built: tests compare times
}

std::unique_ptr<Database> ProgramDir::open() const {
    Database::Opened db = Database::openFile(dbPath());
    if (!db)
        throw std::runtime_error(db.why().toStdString());
    // What a test sets up or reads needs no wait for the disk; the
    // program's own connection keeps its own setting.
    // Straight to the engine: no fault point is spent on it.
    QSqlQuery(db.value->handle()).exec(QStringLiteral("pragma synchronous=off"));
    return std::move(db.value);
}

void must(Database& db, const QString& sql, const QVariantList& values) {
    if (MaybeError e = db.exec(sql, values))
        qFatal("%s: %s", qPrintable(sql), qPrintable(e->message()));
}

QString dump(Database& db, const QString& sql, const QVariantList& v) {
    Rows r = db.select(sql, v);
    if (!r.ok())
        qFatal("%s: %s", qPrintable(sql), qPrintable(r.error->message()));
    QStringList lines;
    for (const QVariantList& row : r.rows) {
        QStringList cells;
        for (const QVariant& c : row)
            cells << (c.isNull() ? QStringLiteral("NULL") : c.toString());
        lines << cells.join(u'|');
    }
    return lines.join(u'\n');
}

QString dumpAll(Database& db) {
    QString out = dump(db, QStringLiteral("select sql from sqlite_master order by name"));
    const QString tables = QStringLiteral("select name from sqlite_master where type = 'table'");
    for (const QString& t : dump(db, tables).split(u'\n')) {
        QStringList lines = dump(db, QStringLiteral("select * from \"%1\"").arg(t)).split(u'\n');
        lines.sort();
        out += u'\n' + t + u'\n' + lines.join(u'\n');
    }
    return out;
}

void runScene(Database& db, const QString& name, const QString& folder) {
    const QString sql = QString::fromUtf8(readWholeFile(fixture(name)));
    for (const QString& statement : sql.split(u'\n', Qt::SkipEmptyParts))
        must(db, QString(statement).replace(QStringLiteral("<folder>"), folder));
}

QString storeOffice(Database& db, const QString& folder) {
    const QString req = QDir(folder).filePath(QStringLiteral("GAMR800202XY2.req"));
    writeWholeFile(req, "requerimiento de ROSA");
    runScene(db, QStringLiteral("office.sql"), folder);
    return req;
}

void storeAgent(Database& db) {
    must(db, QStringLiteral("insert into AA values (3001,'JUAN','PEREZ','LOPEZ','PELJ700101AB1',"
                            "'PELJ700101HDFRPN09',0,200,null,null,null,0,null)"));
}

void storeMandatario(Database& db, const QString& tuple, const QList<int>& addresses) {
    must(db, QStringLiteral("insert into Mandatarios values ") + tuple);
    const QString curp = tuple.section(u'\'', 1, 1);
    for (int t : addresses)
        must(db,
             QStringLiteral("insert into Domicilios_MM values (?,'09',15,'CALLE','1','','COL',"
                            "'06000','1','2',?)"),
             {curp, t});
}
