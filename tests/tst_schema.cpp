// The delivered kestro.mdb and the upgrade of older files to version 3.5.
#include "data/Database.h"
#include "data/Upgrade.h"
#include "support/TestSupport.h"

namespace {

// Every table's columns in order with their types, then the version registry.
QString describe(Database& db) {
    return dump(db, "select m.name, p.name, lower(p.type) from sqlite_master m, "
                    "pragma_table_info(m.name) p where m.type = 'table' order by m.name, p.cid") +
           u'\n' + dump(db, "select * from Versiones order by CveVer");
}

// A 3.0 file with one agent and one representative, as users have them
// (version30.sql), then the given changes.
void prepare(const ProgramDir& dir, const QStringList& sql) {
    auto db = dir.open();
    runScene(*db, QStringLiteral("version30.sql"), QString());
    for (const QString& s : sql)
        must(*db, s);
}

// A start on a current file finds nothing to do and writes nothing.
void startsUntouched(const ProgramDir& dir) {
    const QByteArray before = readWholeFile(dir.dbPath());
    {
        auto db = dir.open();
        UpgradeOutcome out = Inicializa_DB(*db);
        QVERIFY(!out.error && !out.upgraded && !out.registryWasMissing);
    }
    QCOMPARE(readWholeFile(dir.dbPath()), before);
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void deliveredFile();
    void olderFilesUpgraded_data();
    void olderFilesUpgraded();
    void deliveryToolNeverOverwrites();
};

// The registry says 3.0 and 3.5; a start finds nothing to do.
void TestSchema::deliveredFile() {
    ProgramDir dir;
    QCOMPARE(dump(*dir.open(), "select * from Versiones order by CveVer"),
             "1|KESTRO|3|0|0\n2|KESTRO|3|5|0");
    startsUntouched(dir);
}

void TestSchema::olderFilesUpgraded_data() {
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<bool>("registryMissing");
    QTest::addColumn<QString>("failure"); // empty: the upgrade succeeds
    const QString registry = QStringLiteral(
        "create table Versiones( CveVer smallint, Nombre char(30), VPrin smallint,VSec "
        "smallint,VRev smallint)");
    const QString row30 = QStringLiteral("insert into Versiones values( 1,'KESTRO', 3,0,0)");
    QStringList columns;
    for (const char* c : {"Aduana1", "Aduana2", "Aduana3", "NoAduanasAut", "SinHistorico"})
        columns << QStringLiteral("alter table AA add %1 smallint").arg(QLatin1String(c));
    columns << QStringLiteral("alter table Mandatarios add SinHistorico smallint");

    QTest::newRow("3.0 file") << QStringList() << true << "";
    QTest::newRow("registry without the 3.5 row")
        << (columns + QStringList{registry, row30}) << false << "";
    QTest::newRow("some columns, registry at 3.0")
        << QStringList{columns[0], columns[1], columns[5], registry, row30} << false << "";
    // (A failure half-way leaves the file as it was: tst_faults.) A registry
    // that cannot be read is no missing one: reported, nothing attempted.
    QTest::newRow("unreadable registry")
        << QStringList{"create table Versiones (CveVer smallint, Nombre char(30), VPrin smallint)"}
        << false << "Vsec";
}

void TestSchema::olderFilesUpgraded() {
    QFETCH(QStringList, setup);
    QFETCH(bool, registryMissing);
    QFETCH(QString, failure);
    ProgramDir dir(ProgramDir::Kind::Version30);
    prepare(dir, setup);
    const QByteArray before = readWholeFile(dir.dbPath());
    auto db = dir.open();
    UpgradeOutcome out = Inicializa_DB(*db);
    QCOMPARE(out.registryWasMissing, registryMissing);
    if (!failure.isEmpty()) {
        QVERIFY(out.error && !out.upgraded);
        QVERIFY2(out.error->message().contains(failure), qPrintable(out.error->message()));
        // Same connection, after the failure: the old schema is what it sees.
        QCOMPARE(db->columns(QStringLiteral("AA")).value.size(), 8);
        db.reset();
        QCOMPARE(readWholeFile(dir.dbPath()), before);
        QVERIFY(!QFile::exists(dir.dbPath() + QStringLiteral("-journal")));
        return;
    }
    QVERIFY2(!out.error, out.error ? qPrintable(out.error->message()) : "");
    QVERIFY(out.upgraded);
    db.reset();
    {
        auto check = dir.open();
        QCOMPARE(describe(*check), describe(*ProgramDir().open())); // as delivered
        // Rows kept, new columns empty.
        QCOMPARE(dump(*check, "select a.Patente, a.ApPaterno, a.Adscripcion, m.Requerimiento, "
                              "m.Operando, coalesce(a.Aduana1, a.Aduana2, a.Aduana3, "
                              "a.NoAduanasAut, a.SinHistorico, m.SinHistorico) is null "
                              "from AA a, Mandatarios m"),
                 "1234|O'HIGGINS|10|C:\\REQ\\ANA.REQ|0|1");
    }
    startsUntouched(dir);
}

void TestSchema::deliveryToolNeverOverwrites() {
    QTemporaryDir dir;
    const QString target = QDir(dir.path()).filePath(QStringLiteral("kestro.mdb"));
    const auto runTool = [](const QStringList& args) {
        return QProcess::execute(QStringLiteral(KESTRO_CREA_BD), args);
    };

    // A missing catalogue leaves no half-built file behind.
    QVERIFY(runTool({dir.path(), target}) != 0);
    QVERIFY(!QFile::exists(target));
    QCOMPARE(runTool({catalogueFolder(), target}), 0);
    QVERIFY(QFileInfo(target).size() > 0);

    // An existing file may hold a user's work.
    writeWholeFile(target, "somebody's work");
    QCOMPARE(runTool({catalogueFolder(), target}), 1);
    QCOMPARE(runTool({QStringLiteral("--si-no-existe"), catalogueFolder(), target}), 0);
    QCOMPARE(readWholeFile(target), QByteArray("somebody's work"));
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
