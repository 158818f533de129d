// The store: where the agent's database lives, the upgrade of older files,
// bound values and dates. (A file that is no database: tst_wizard.)
#include "data/DataFolder.h"
#include "data/Dates.h"
#include "data/OneSqlite.h"
#include "data/Upgrade.h"
#include "dialogs/frmDudas.h"
#include "entry/Contact.h"
#include "support/WizardDriver.h"

#include <sqlite3.h>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

// Every table's columns in order with their types, then the version registry.
static QString describe(Database& db) {
    return dump(db, "select m.name, p.name, lower(p.type) from sqlite_master m, "
                    "pragma_table_info(m.name) p where m.type = 'table' order by m.name, p.cid") +
           u'\n' + dump(db, "select * from Versiones order by CveVer");
}

class TestStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosesAndSeedsTheFolder_data();
    void choosesAndSeedsTheFolder();
    void contactComesFromTheDeploymentFile();
    void olderFilesUpgraded_data();
    void olderFilesUpgraded();
    void boundValuesRoundTrip();
    void displayDates_data();
    void displayDates();
    void oneSqliteCopy();
};

// Beside the program: "db" a kestro.mdb. The user's folder: "missing", "empty", "db" (his work)
// or "under a file". `result`: his database afterwards; `chosen`: "program", "user", "" failed.
void TestStore::choosesAndSeedsTheFolder_data() {
    QTest::addColumn<QString>("beside");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("templ");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("result");
    row("portable layout wins", "db", "db", true, "program", "MINE");
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
    writeWholeFile(r.filePath("archivo"), "x"); // where "under a file" wants a folder
    const QString userDir = r.filePath(user == "under a file" ? "archivo/KESTRO" : "datos/KESTRO");
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
#ifndef Q_OS_WIN
    ::umask(022); // the usual one, under which every user could read his data
#endif
    const DataFolder d = chooseDataFolder(program, userDir, templatePath);
    QCOMPARE(d.path, chosen.isEmpty() ? QString() : chosen == "program" ? program : userDir);
#ifndef Q_OS_WIN
    // His alone: the folder, his database and what is made in it afterwards.
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                        QFile::WriteOther | QFile::ExeOther;
    if (!chosen.isEmpty()) {
        writeWholeFile(d.path + "/nuevo", "x");
        for (const QString& p : {d.path + "/kestro.mdb", d.path + "/nuevo"})
            QVERIFY2(!(QFile::permissions(p) & others), qPrintable(p));
        QVERIFY(d.portable || !(QFile::permissions(d.path) & others));
        QFile::remove(d.path + "/nuevo");
    }
#endif
    QVERIFY(d.error.isEmpty() != chosen.isEmpty() && d.portable == (chosen == "program"));
    QCOMPARE(readWholeFile(userDir + "/kestro.mdb"), result.toUtf8());
    QVERIFY(result.isEmpty() || QFile::permissions(userDir + "/kestro.mdb") & QFile::WriteOwner);
    QVERIFY(QDir(userDir).entryList(QDir::Files).size() <= 1); // no partial copy left
}

void TestStore::contactComesFromTheDeploymentFile() {
    const auto fields = [](const Contact& c) {
        return QStringList{c.person, c.phone, c.mail, c.authorityMail};
    };
    // As shipped, or with no file: no one invented; each value says it is still to be set.
    for (const char* file : {KESTRO_CONTACTO, "/no/existe"})
        QCOMPARE(fields(Contact::read(QString::fromUtf8(file))).filter(u"por definir"_s).size(), 4);
    // Replaced by whoever distributes the program; the help dialog shows it.
    const Contact set = Contact::read(fixture("contacto.ini"));
    const frmDudas dudas(set);
    QCOMPARE(fields(set) << showing(dudas, {"Label3", "Label4"}),
             (QStringList{"Lic. Ana Ruiz, Mesa 3", "55 1234 5678", "ana@example.org",
                          "envios@example.org",
                          "Telefono: 55 1234 5678|Correo electronico:  ana@example.org"}));
}

void TestStore::olderFilesUpgraded_data() {
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<bool>("registryMissing");
    QTest::addColumn<QString>("failure"); // empty: the upgrade succeeds
    QTest::newRow("3.0 file") << QStringList() << true << "";
    QTest::newRow("some columns, registry at 3.0")
        << QStringList{"alter table AA add Aduana1 smallint", "alter table AA add Aduana2 smallint",
                       "alter table Mandatarios add SinHistorico smallint",
                       "create table Versiones( CveVer smallint, Nombre char(30), VPrin "
                       "smallint,VSec smallint,VRev smallint)",
                       "insert into Versiones values( 1,'KESTRO', 3,0,0)"}
        << false << "";
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
    auto db = dir.open();
    runScene(*db, u"version30.sql"_s, QString()); // one agent and one representative
    for (const QString& s : setup)
        must(*db, s);
    const QByteArray before = readWholeFile(dir.dbPath());
    UpgradeOutcome out = Inicializa_DB(*db);
    QCOMPARE(out.registryWasMissing, registryMissing);
    if (!failure.isEmpty()) {
        QVERIFY2(out.error && !out.upgraded && out.error->message().contains(failure),
                 out.error ? qPrintable(out.error->message()) : "");
        db.reset();
        QVERIFY(readWholeFile(dir.dbPath()) == before && !QFile::exists(dir.dbPath() + "-journal"));
        return;
    }
    QVERIFY2(!out.error && out.upgraded, out.error ? qPrintable(out.error->message()) : "");
    db.reset();
    auto check = dir.open();
    QCOMPARE(describe(*check), describe(*ProgramDir().open())); // as delivered
    // Rows kept, new columns empty; the registry says 3.0 and 3.5.
    QCOMPARE(dump(*check, "select a.Patente, a.ApPaterno, a.Adscripcion, m.Requerimiento, "
                          "m.Operando, coalesce(a.Aduana1, a.Aduana2, a.Aduana3, "
                          "a.NoAduanasAut, a.SinHistorico, m.SinHistorico) is null "
                          "from AA a, Mandatarios m") +
                 u'\n' + dump(*check, "select * from Versiones order by CveVer"),
             "1234|O'HIGGINS|10|C:\\REQ\\ANA.REQ|0|1\n1|KESTRO|3|0|0\n2|KESTRO|3|5|0");
    // A second start finds nothing to do and writes nothing.
    const QByteArray upgraded = readWholeFile(dir.dbPath());
    out = Inicializa_DB(*check);
    QVERIFY(!out.error && !out.upgraded && !out.registryWasMissing);
    check.reset();
    QCOMPARE(readWholeFile(dir.dbPath()), upgraded);
}

// Quotes and accents arrive as typed and match only themselves.
void TestStore::boundValuesRoundTrip() {
    ProgramDir dir;
    auto db = dir.open();
    const QStringList names = {"O'HIGGINS", "x' or '1'='1", "PEÑA NÚÑEZ Ü", "%_\\"};
    for (int i = 0; i < names.size(); ++i)
        must(*db, u"insert into Mandatarios (CURP, Nombre, Mandato) values (?, ?, 2)"_s,
             {u"CURP%1"_s.arg(i), names[i]});
    auto again = dir.open(); // a second connection to the same file
    QCOMPARE(dump(*again, "select Nombre from Mandatarios order by CURP"), names.join(u'\n'));
    QCOMPARE(displayFromIsoDate(QVariant()), QString());
    const QString byName = u"select CURP from Mandatarios where Nombre=?"_s;
    QCOMPARE(dump(*again, byName, {names[0]}) + dump(*again, byName, {u"' or '1'='1"_s}), "CURP0");
}

void TestStore::displayDates_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("iso"); // empty: refused
    QTest::newRow("20/05/2003") << u"20/05/2003"_s << u"2003-05-20"_s;
    QTest::newRow("29/02/2000") << u"29/02/2000"_s << u"2000-02-29"_s;
    for (const char* bad : {"31/02/2003", "29/02/1900", "2003-05-20", "2/5/2003"})
        QTest::newRow(bad) << QString(bad) << QString();
}

void TestStore::displayDates() {
    QFETCH(QString, display);
    QFETCH(QString, iso);
    QCOMPARE(isoFromDisplayDate(display).value_or(QString()), iso);
    QVariant bound;
    const auto refused = bindDisplayDate(display, &bound);
    QCOMPARE(bool(refused), iso.isEmpty());
    QCOMPARE(bound, iso.isEmpty() ? QVariant() : QVariant(iso));
    QVERIFY(iso.isEmpty() ? refused->message().contains(display)
                          : displayFromIsoDate(iso) == display);
}

// Qt's driver and the program's direct calls share one connection: the
// start-up refuses two versions of the engine, naming both.
void TestStore::oneSqliteCopy() {
    QCOMPARE(sqliteVersionsDiffer(), QString()); // this build links one copy
    const QString own = QString::fromLatin1(sqlite3_sourceid()),
                  other = u"2019-02-25 16:06:06 bd49a8271d650fa89e446b42e513b595"_s;
    QCOMPARE(sqliteVersionsDiffer(own), QString());
    const QString said = sqliteVersionsDiffer(other);
    QVERIFY2(said.contains(own) && said.contains(other), qPrintable(said));
}

QTEST_MAIN(TestStore)
#include "tst_store.moc"
