// The store: where the agent's database lives (beside the program, or in
// his own folder seeded from the delivered template), the delivered file and
// the upgrade of older ones, bound values and dates. (A file that is no
// database: tst_wizard.)
#include "data/DataFolder.h"
#include "data/Dates.h"
#include "data/Upgrade.h"
#include "entry/Contact.h"
#include "support/TestSupport.h"

using namespace Qt::StringLiterals;

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

class TestStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosesAndSeedsTheFolder_data();
    void choosesAndSeedsTheFolder();
    void contactComesFromTheDeploymentFile();
    void deliveredFile();
    void olderFilesUpgraded_data();
    void olderFilesUpgraded();
    void boundValuesRoundTrip();
    void displayDates_data();
    void displayDates();
};

// Beside the program: "db" a kestro.mdb. The user's folder: "missing",
// "empty", "db" (holding his work) or "under a file". `result`: the user's
// database afterwards ("" none); the folder chosen is "program", "user" or
// "" for a failure.
void TestStore::choosesAndSeedsTheFolder_data() {
    QTest::addColumn<QString>("beside");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("templ");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("result");
    row("portable layout wins", "db", "db", true, "program", "MINE");
    row("portable needs no template", "db", "missing", false, "program", "");
    row("first start creates and seeds", "", "missing", true, "user", "TEMPLATE");
    row("empty folder is seeded", "", "empty", true, "user", "TEMPLATE");
    row("existing work is never replaced", "", "db", true, "user", "MINE");
    row("existing work needs no template", "", "db", false, "user", "MINE");
    row("no template, nothing to start from", "", "missing", false, "", "");
    row("folder cannot be made", "", "under a file", true, "", "");
}

void TestStore::choosesAndSeedsTheFolder() {
    QFETCH(QString, beside);
    QFETCH(QString, user);
    QFETCH(bool, templ);
    QFETCH(QString, chosen);
    QFETCH(QString, result);
    QTemporaryDir root;
    const QDir r(root.path());
    const QString program = r.filePath("bin"), templatePath = r.filePath("share/kestro.mdb");
    QString userDir = r.filePath("datos/KESTRO");
    QDir().mkpath(program);
    QDir().mkpath(r.filePath("share"));
    if (beside == "db")
        writeWholeFile(program + "/kestro.mdb", "BESIDE");
    if (templ) // installed read-only; the agent's copy must take his work
        writeWholeFile(templatePath, "TEMPLATE"),
            QFile::setPermissions(templatePath, QFile::ReadOwner | QFile::ReadOther);
    if (user == "empty" || user == "db")
        QDir().mkpath(userDir);
    if (user == "db")
        writeWholeFile(userDir + "/kestro.mdb", "MINE");
    if (user == "under a file") {
        writeWholeFile(r.filePath("archivo"), "x");
        userDir = r.filePath("archivo/KESTRO");
    }
    const DataFolder d = chooseDataFolder(program, userDir, templatePath);
    QCOMPARE(d.error.isEmpty(), !chosen.isEmpty());
    QCOMPARE(d.path, chosen.isEmpty() ? QString() : chosen == "program" ? program : userDir);
    QCOMPARE(d.portable, chosen == "program");
    QCOMPARE(readWholeFile(userDir + "/kestro.mdb"), result.toUtf8());
    QVERIFY(result.isEmpty() || QFile::permissions(userDir + "/kestro.mdb") & QFile::WriteOwner);
    QVERIFY(QDir(userDir).entryList(QDir::Files).size() <= 1); // no partial copy left
    if (beside == "db")
        QCOMPARE(readWholeFile(program + "/kestro.mdb"), QByteArray("BESIDE"));
}

void TestStore::contactComesFromTheDeploymentFile() {
    // As shipped: no one invented; each value says it is still to be set.
    const Contact shipped = Contact::read(QStringLiteral(KESTRO_CONTACTO));
    QCOMPARE(QStringList({shipped.person, shipped.phone, shipped.mail, shipped.authorityMail})
                 .filter(QStringLiteral("por definir"))
                 .size(),
             4);
    QCOMPARE(Contact::read(QStringLiteral("/no/existe")).person, shipped.person);
    // Replaced by whoever distributes the program.
    const Contact set = Contact::read(fixture("contacto.ini"));
    QCOMPARE((QStringList{set.person, set.phone, set.mail, set.authorityMail}),
             (QStringList{"Lic. Ana Ruiz, Mesa 3", "55 1234 5678", "ana@example.org",
                          "envios@example.org"}));
}

// The registry says 3.0 and 3.5; a start finds nothing to do.
void TestStore::deliveredFile() {
    ProgramDir dir;
    QCOMPARE(dump(*dir.open(), "select * from Versiones order by CveVer"),
             "1|KESTRO|3|0|0\n2|KESTRO|3|5|0");
    startsUntouched(dir);
}

void TestStore::olderFilesUpgraded_data() {
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

void TestStore::olderFilesUpgraded() {
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

// Quotes and accents arrive as typed and match only themselves.
void TestStore::boundValuesRoundTrip() {
    ProgramDir dir;
    auto db = std::move(Database::open(dir.path()).value);
    QVERIFY(db);
    const QStringList names = {"O'HIGGINS", "x' or '1'='1", "PEÑA NÚÑEZ Ü", "%_\\"};
    for (int i = 0; i < names.size(); ++i)
        must(*db, u"insert into Mandatarios (CURP, Nombre, Mandato) values (?, ?, 2)"_s,
             {u"CURP%1"_s.arg(i), names[i]});
    auto again = dir.open(); // a second connection to the same file
    QCOMPARE(dump(*again, "select Nombre from Mandatarios order by CURP"), names.join(u'\n'));
    QCOMPARE(displayFromIsoDate(QVariant()), QString());
    const QString byName = u"select CURP from Mandatarios where Nombre=?"_s;
    QCOMPARE(dump(*again, byName, {names[0]}), "CURP0");
    QCOMPARE(dump(*again, byName, {u"' or '1'='1"_s}), QString());
}

void TestStore::displayDates_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("iso"); // empty: refused
    QTest::newRow("20/05/2003") << u"20/05/2003"_s << u"2003-05-20"_s;
    QTest::newRow("29/02/2000") << u"29/02/2000"_s << u"2000-02-29"_s;
    for (const char* bad : {"31/02/2003", "29/02/1900", "01/13/2003", "2003-05-20", "20/05/03",
                            "2/5/2003", " 20/05/2003 "})
        QTest::newRow(bad) << QString(bad) << QString();
}

void TestStore::displayDates() {
    QFETCH(QString, display);
    QFETCH(QString, iso);
    QCOMPARE(isoFromDisplayDate(display).value_or(QString()), iso);
    QVariant bound;
    const auto refused = bindDisplayDate(display, &bound);
    QCOMPARE(bool(refused), iso.isEmpty());
    if (iso.isEmpty()) {
        QVERIFY(refused->message().contains(display));
        QVERIFY(!bound.isValid());
    } else {
        QCOMPARE(bound.toString(), iso);
        QCOMPARE(displayFromIsoDate(iso), display);
    }
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
