// Where the agent's database lives: beside the program, or in his own
// folder seeded from the delivered template.
#include "data/DataFolder.h"
#include "data/Database.h"
#include "entry/Contact.h"
#include "support/TestSupport.h"

class TestDataFolder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosesAndSeedsTheFolder_data();
    void choosesAndSeedsTheFolder();
    void contactComesFromTheDeploymentFile();
};

// Beside the program: "db" a kestro.mdb. The user's folder: "missing",
// "empty", "db" (holding his work) or "under a file". `result`: the user's
// database afterwards ("" none); the folder chosen is "program", "user" or
// "" for a failure.
void TestDataFolder::choosesAndSeedsTheFolder_data() {
    QTest::addColumn<QString>("beside");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("templ");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QByteArray>("result");
    const auto row = [](const char* name, const char* beside, const char* user, bool templ,
                        const char* chosen, const char* result) {
        QTest::newRow(name) << QString(beside) << QString(user) << templ << QString(chosen)
                            << QByteArray(result);
    };
    row("portable layout wins", "db", "db", true, "program", "MINE");
    row("portable needs no template", "db", "missing", false, "program", "");
    row("first start creates and seeds", "", "missing", true, "user", "TEMPLATE");
    row("empty folder is seeded", "", "empty", true, "user", "TEMPLATE");
    row("existing work is never replaced", "", "db", true, "user", "MINE");
    row("existing work needs no template", "", "db", false, "user", "MINE");
    row("no template, nothing to start from", "", "missing", false, "", "");
    row("folder cannot be made", "", "under a file", true, "", "");
}

void TestDataFolder::choosesAndSeedsTheFolder() {
    QFETCH(QString, beside);
    QFETCH(QString, user);
    QFETCH(bool, templ);
    QFETCH(QString, chosen);
    QFETCH(QByteArray, result);
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
    QCOMPARE(readWholeFile(userDir + "/kestro.mdb"), result);
    QVERIFY(result.isEmpty() || QFile::permissions(userDir + "/kestro.mdb") & QFile::WriteOwner);
    QVERIFY(QDir(userDir).entryList(QDir::Files).size() <= 1); // no partial copy left
    if (beside == "db")
        QCOMPARE(readWholeFile(program + "/kestro.mdb"), QByteArray("BESIDE"));
}

void TestDataFolder::contactComesFromTheDeploymentFile() {
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

QTEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
