// The delivered kestro.mdb (tables, column order, catalogues, registry) and
// the upgrade of older files to version 3.5.
#include "data/Database.h"
#include "data/Upgrade.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Column {
    QString name; // empty: the name is ours to choose, only position and type bind
    QString type;
};
using Table = QPair<QString, QList<Column>>;

// Readers take columns by position, so names, order and types all bind.
const QList<Table>& expectedTables() {
    const QString text = QStringLiteral("text"), number = QStringLiteral("integer"),
                  small = QStringLiteral("smallint"), date = QStringLiteral("date");
    static const QList<Table> tables = {
        {"EntFed", {{"cveEntFed", text}, {"", text}}},
        {"MpioDeleg", {{"cveEntFed", text}, {"", number}, {"", text}}},
        {"Aduanas", {{"cveAduana", number}, {"Aduana", text}}},
        {"AA",
         {{"Patente", number},
          {"Nombre", text},
          {"ApPaterno", text},
          {"ApMaterno", text},
          {"RFC", text},
          {"CURP", text},
          {"Autorizacion", number},
          {"Adscripcion", number},
          {"Aduana1", small},
          {"Aduana2", small},
          {"Aduana3", small},
          {"NoAduanasAut", small},
          {"SinHistorico", small}}},
        {"Domicilios_AA",
         {{"Tipo_Dom", number},
          {"EntFed", text},
          {"MDeleg", number},
          {"Calle", text},
          {"NoExt", text},
          {"NoInt", text},
          {"Colonia", text},
          {"CP", text},
          {"Telefono", text},
          {"Fax", text}}},
        {"Mandatarios",
         {{"CURP", text},
          {"RFC", text},
          {"Nombre", text},
          {"ApPaterno", text},
          {"ApMaterno", text},
          {"Mandato", number},
          {"Requerimiento", text},
          {"Acreditacion", number},
          {"Operando", number},
          {"SinHistorico", small}}},
        {"Domicilios_MM",
         {{"CURP", text},
          {"EntFed", text},
          {"MDeleg", number},
          {"Calle", text},
          {"NoExt", text},
          {"NoInt", text},
          {"Colonia", text},
          {"CP", text},
          {"Telefono", text},
          {"Fax", text},
          {"Tipo_Dom", number}}},
        {"Aduanas_MM", {{"CURP", text}, {"NoAduana", number}}},
        {"Pedimentos_MM",
         {{"CURP", text}, {"NoAduana", number}, {"NoPedimento", text}, {"FechPedimento", date}}},
        {"Historico_AA",
         {{"RFC", text},
          {"CURP", text},
          {"Nombre", text},
          {"ApPaterno", text},
          {"ApMaterno", text}}},
        {"Periodos_H_AA",
         {{"CURP", text}, {"NoAduana", number}, {"FechaIni", date}, {"FechaFin", date}}},
        {"Periodos_H_MM",
         {{"CURP", text},
          {"NoAduana", number},
          {"Patente_MM", number},
          {"FechaIni", date},
          {"FechaFin", date}}},
        {"Versiones",
         {{"CveVer", small},
          {"Nombre", QStringLiteral("char(30)")},
          {"VPrin", small},
          {"VSec", small},
          {"VRev", small}}},
    };
    return tables;
}

void checkColumns(Database& db, const Table& table) {
    Rows info = db.select(
        QStringLiteral("select name, type from pragma_table_info(?) order by cid"), {table.first});
    QVERIFY(info.ok());
    QCOMPARE(info.size(), table.second.size());
    for (int i = 0; i < info.size(); ++i) {
        const Column& want = table.second[i];
        if (!want.name.isEmpty())
            QCOMPARE(info.rows[i].at(0).toString(), want.name);
        QCOMPARE(info.rows[i].at(1).toString().toLower(), want.type);
    }
}

QList<QVariantList> versionRows(Database& db) {
    return db.select(QStringLiteral("select * from Versiones order by CveVer")).rows;
}

const QList<QVariantList> currentVersions = {{1, "KESTRO", 3, 0, 0}, {2, "KESTRO", 3, 5, 0}};

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void run(Database& db, const QString& sql) {
    MaybeError e = db.exec(sql);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
}

// A 3.0 file with one agent and one representative, as users have them.
void addOldRows(Database& db) {
    run(db, QStringLiteral("insert into AA values (1234, 'JUAN', 'O''HIGGINS', 'PEREZ', "
                           "'ABCD850101XYZ', 'ABCD850101HDFXYZ01', 77, 10)"));
    run(db, QStringLiteral("insert into Mandatarios values ('CURPM', 'RFCM', 'ANA', 'LOPEZ', "
                           "'RUIZ', 2, 'C:\\REQ\\ANA.REQ', 1, 0)"));
}

} // namespace

class TstEsquema : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void deliveredTables();
    void deliveredCatalogues();
    void currentFileUntouched();
    void version30Upgraded();
    void partlyUpgradedReaches35_data();
    void partlyUpgradedReaches35();
    void failedUpgradeLeavesFileAsItWas_data();
    void failedUpgradeLeavesFileAsItWas();
    void deliveryToolNeverOverwrites();
};

void TstEsquema::deliveredTables() {
    ProgramDir dir;
    auto db = dir.open();
    QSet<QString> wanted;
    for (const Table& t : expectedTables()) {
        wanted << t.first;
        checkColumns(*db, t);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("table ") + t.first));
    }
    QSet<QString> present;
    for (const QVariantList& row :
         db->select(QStringLiteral("select name from sqlite_master where type='table'")).rows)
        present << row.at(0).toString();
    QCOMPARE(present, wanted);
    QCOMPARE(versionRows(*db), currentVersions);
}

void TstEsquema::deliveredCatalogues() {
    ProgramDir dir;
    auto db = dir.open();

    Rows states = db->select(QStringLiteral("select * from EntFed order by cveEntFed"));
    QVERIFY(states.ok());
    QCOMPARE(states.size(), 32);
    for (int i = 0; i < states.size(); ++i) {
        QCOMPARE(states.rows[i].at(0).metaType().id(), QMetaType::QString);
        QCOMPARE(states.rows[i].at(0).toString(),
                 QStringLiteral("%1").arg(i + 1, 2, 10, QChar('0')));
        QVERIFY(!states.rows[i].at(1).toString().isEmpty());
    }

    auto scalar = [&](const char* sql) {
        Rows r = db->select(QString::fromLatin1(sql));
        return r.ok() ? r.first().at(0).toInt() : -1;
    };
    QCOMPARE(scalar("select count(*) from MpioDeleg"), 2478);
    QCOMPARE(scalar("select count(*) from (select distinct cveEntFed, cveMpioDeleg "
                    "from MpioDeleg)"),
             2478);
    QCOMPARE(scalar("select count(*) from MpioDeleg where cveEntFed not in "
                    "(select cveEntFed from EntFed)"),
             0);
    QCOMPARE(scalar("select count(*) from MpioDeleg where typeof(cveMpioDeleg) <> 'integer' "
                    "or Nombre = ''"),
             0);
    // The state filter the address block uses.
    Rows cdmx = db->select(QStringLiteral("select * from MpioDeleg where cveEntFed=?"),
                           {QStringLiteral("09")});
    QVERIFY(cdmx.ok());
    QVERIFY(cdmx.size() > 1);

    QCOMPARE(scalar("select count(*) from Aduanas"), 49);
    QCOMPARE(scalar("select count(distinct cveAduana) from Aduanas"), 49);
    QCOMPARE(scalar("select count(*) from Aduanas where typeof(cveAduana) <> 'integer' "
                    "or Aduana = ''"),
             0);
    Rows acapulco = db->select(QStringLiteral("select Aduana from Aduanas where cveAduana=10"));
    QVERIFY(acapulco.ok() && !acapulco.empty());
    QCOMPARE(acapulco.first().at(0).toString(), QStringLiteral("ACAPULCO, GRO."));

    QCOMPARE(scalar("select count(*) from AA"), 0);
    QCOMPARE(scalar("select count(*) from Mandatarios"), 0);
}

void TstEsquema::currentFileUntouched() {
    ProgramDir dir;
    const QByteArray before = bytesOf(dir.dbPath());
    {
        auto db = dir.open();
        UpgradeOutcome out = Inicializa_DB(*db);
        QVERIFY(!out.error);
        QVERIFY(!out.registryWasMissing);
        QVERIFY(!out.upgraded);
    }
    QCOMPARE(bytesOf(dir.dbPath()), before);
}

void TstEsquema::version30Upgraded() {
    ProgramDir dir(ProgramDir::Kind::Version30);
    auto db = dir.open();
    addOldRows(*db);
    QVERIFY(!db->tableExists(QStringLiteral("Versiones")));

    UpgradeOutcome out = Inicializa_DB(*db);
    QVERIFY2(!out.error, out.error ? qPrintable(out.error->message()) : "");
    QVERIFY(out.registryWasMissing);
    QVERIFY(out.upgraded);

    auto check = dir.open();
    for (const Table& t : expectedTables())
        checkColumns(*check, t);
    QCOMPARE(versionRows(*check), currentVersions);

    Rows aa = check->select(QStringLiteral("select * from AA"));
    QVERIFY(aa.ok());
    QCOMPARE(aa.size(), 1);
    QCOMPARE(aa.first().at(0).toInt(), 1234);
    QCOMPARE(aa.first().at(2).toString(), QStringLiteral("O'HIGGINS"));
    QCOMPARE(aa.first().at(7).toInt(), 10);
    for (int i = 8; i <= 12; ++i)
        QVERIFY(aa.first().at(i).isNull());
    Rows mm = check->select(QStringLiteral("select * from Mandatarios"));
    QVERIFY(mm.ok());
    QCOMPARE(mm.first().at(6).toString(), QStringLiteral("C:\\REQ\\ANA.REQ"));
    QCOMPARE(mm.first().at(8).toInt(), 0);
    QVERIFY(mm.first().at(9).isNull());

    // The next start finds it current.
    db.reset();
    check.reset();
    const QByteArray upgraded = bytesOf(dir.dbPath());
    {
        auto again = dir.open();
        UpgradeOutcome second = Inicializa_DB(*again);
        QVERIFY(!second.error && !second.upgraded && !second.registryWasMissing);
    }
    QCOMPARE(bytesOf(dir.dbPath()), upgraded);
}

void TstEsquema::partlyUpgradedReaches35_data() {
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<bool>("registryMissing");
    const QString registry = QStringLiteral(
        "create table Versiones( CveVer smallint, Nombre char(30), VPrin smallint,VSec "
        "smallint,VRev smallint)");
    const QString row30 = QStringLiteral("insert into Versiones values( 1,'KESTRO', 3,0,0)");
    QStringList allColumns;
    for (const char* c : {"Aduana1", "Aduana2", "Aduana3", "NoAduanasAut", "SinHistorico"})
        allColumns << QStringLiteral("alter table AA add %1 smallint").arg(QLatin1String(c));
    allColumns << QStringLiteral("alter table Mandatarios add SinHistorico smallint");

    QTest::newRow("registry without the 3.5 row")
        << (allColumns + QStringList{registry, row30}) << false;
    QTest::newRow("empty registry, old columns") << QStringList{registry} << false;
    QTest::newRow("some columns, no registry") << allColumns.mid(0, 2) << true;
    QTest::newRow("all columns, no registry") << allColumns << true;
    QTest::newRow("some columns, registry at 3.0")
        << (QStringList{allColumns[0], allColumns[1], allColumns[2], allColumns[5], registry,
                        row30})
        << false;
}

void TstEsquema::partlyUpgradedReaches35() {
    QFETCH(QStringList, setup);
    QFETCH(bool, registryMissing);
    ProgramDir dir(ProgramDir::Kind::Version30);
    {
        auto db = dir.open();
        addOldRows(*db);
        for (const QString& sql : setup)
            run(*db, sql);
    }
    auto db = dir.open();
    UpgradeOutcome out = Inicializa_DB(*db);
    QVERIFY2(!out.error, out.error ? qPrintable(out.error->message()) : "");
    QCOMPARE(out.registryWasMissing, registryMissing);
    QVERIFY(out.upgraded);

    auto check = dir.open();
    for (const Table& t : expectedTables())
        checkColumns(*check, t);
    QCOMPARE(versionRows(*check), currentVersions);
    QCOMPARE(check->select(QStringLiteral("select count(*) from AA")).first().at(0).toInt(), 1);
}

void TstEsquema::failedUpgradeLeavesFileAsItWas_data() {
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("registryMissing");
    // The sixth column cannot be added: five were already added in the
    // same transaction.
    QTest::newRow("last column fails")
        << QStringList{"create table MandatariosViejos as select * from Mandatarios",
                       "drop table Mandatarios",
                       "create view Mandatarios as select * from MandatariosViejos"}
        << "view" << true;
    // Every column is added, then the registry cannot be created.
    QTest::newRow("registry fails")
        << QStringList{"create index Versiones on AA (Patente)"} << "Versiones" << true;
    // Not a missing registry: reported, and nothing is attempted.
    QTest::newRow("unreadable registry")
        << QStringList{"create table Versiones (CveVer smallint, Nombre char(30), VPrin smallint)"}
        << "Vsec" << false;
}

void TstEsquema::failedUpgradeLeavesFileAsItWas() {
    QFETCH(QStringList, setup);
    QFETCH(QString, failure);
    QFETCH(bool, registryMissing);
    ProgramDir dir(ProgramDir::Kind::Version30);
    {
        auto db = dir.open();
        addOldRows(*db);
        for (const QString& sql : setup)
            run(*db, sql);
    }
    const QByteArray before = bytesOf(dir.dbPath());

    for (int start = 0; start < 2; ++start) {
        auto db = dir.open();
        UpgradeOutcome out = Inicializa_DB(*db);
        QVERIFY(out.error);
        QVERIFY(!out.upgraded);
        QCOMPARE(out.registryWasMissing, registryMissing);
        QVERIFY(out.error->number != 0);
        const QString shown = out.error->message();
        QVERIFY2(shown.startsWith(QStringLiteral(" %1 ").arg(out.error->number)),
                 qPrintable(shown));
        QVERIFY2(shown.contains(failure), qPrintable(shown));

        // Same connection, after the failure: the old schema is what it sees.
        QCOMPARE(db->columns(QStringLiteral("AA")).size(), 8);
        db.reset();
        QCOMPARE(bytesOf(dir.dbPath()), before);
        QVERIFY(!QFile::exists(dir.dbPath() + QStringLiteral("-journal")));
    }
}

void TstEsquema::deliveryToolNeverOverwrites() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString tool = QStringLiteral(KESTRO_CREA_BD);
    const QString target = QDir(dir.path()).filePath(QStringLiteral("kestro.mdb"));
    auto runTool = [&](const QStringList& args) {
        QProcess p;
        p.start(tool, args);
        if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit)
            return -1;
        return p.exitCode();
    };

    // A missing catalogue leaves no half-built file behind.
    QVERIFY(runTool({dir.path(), target}) != 0);
    QVERIFY(!QFile::exists(target));

    QCOMPARE(runTool({catalogueFolder(), target}), 0);
    {
        QString why;
        auto db = Database::openFile(target, &why);
        QVERIFY2(db, qPrintable(why));
        QCOMPARE(db->select(QStringLiteral("select count(*) from MpioDeleg")).first().at(0).toInt(),
                 2478);
        QCOMPARE(versionRows(*db), currentVersions);
    }

    // An existing file may hold a user's work.
    const QByteArray work("not a database, but somebody's file");
    {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(work);
    }
    QCOMPARE(runTool({catalogueFolder(), target}), 1);
    QCOMPARE(bytesOf(target), work);
    QCOMPARE(runTool({QStringLiteral("--si-no-existe"), catalogueFolder(), target}), 0);
    QCOMPARE(bytesOf(target), work);
}

QTEST_GUILESS_MAIN(TstEsquema)
#include "tst_esquema.moc"
