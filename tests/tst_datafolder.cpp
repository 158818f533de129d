// Where the agent's database lives: beside the program, or in his own
// folder seeded from the delivered template.
#include "data/DataFolder.h"
#include "data/Database.h"
#include "entry/Contact.h"
#include "support/TestKey.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestDataFolder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosesAndSeedsTheFolder();
    void firstStartGivesAWritableDatabase();
    void contactComesFromTheDeploymentFile();
};

void TestDataFolder::choosesAndSeedsTheFolder() {
    enum class Beside { Nothing, Database };
    enum class User { Missing, Empty, HasDatabase, UnderAFile };
    struct Case {
        const char* name;
        Beside beside;
        User user;
        bool templateExists;
        bool portable;
        QByteArray userDatabase; // afterwards; "" when there must be none
        bool fails;
    };
    const QList<Case> cases = {
        {"portable layout wins", Beside::Database, User::HasDatabase, true, true, "MINE", false},
        {"portable needs no template", Beside::Database, User::Missing, false, true, "", false},
        {"first start creates and seeds", Beside::Nothing, User::Missing, true, false, "TEMPLATE",
         false},
        {"empty folder is seeded", Beside::Nothing, User::Empty, true, false, "TEMPLATE", false},
        {"existing work is never replaced", Beside::Nothing, User::HasDatabase, true, false, "MINE",
         false},
        {"existing work needs no template", Beside::Nothing, User::HasDatabase, false, false,
         "MINE", false},
        {"no template, nothing to start from", Beside::Nothing, User::Missing, false, false, "",
         true},
        {"folder cannot be made", Beside::Nothing, User::UnderAFile, true, false, "", true},
    };
    for (const Case& c : cases) {
        QTemporaryDir root;
        const QDir r(root.path());
        const QString program = r.filePath(QStringLiteral("bin"));
        QString user = r.filePath(QStringLiteral("datos/KESTRO"));
        const QString templ = r.filePath(QStringLiteral("share/kestro.mdb"));
        QDir().mkpath(program);
        QDir().mkpath(r.filePath(QStringLiteral("share")));
        if (c.beside == Beside::Database)
            writeWholeFile(QDir(program).filePath(QStringLiteral("kestro.mdb")), "BESIDE");
        if (c.templateExists)
            writeWholeFile(templ, "TEMPLATE");
        if (c.user == User::Empty || c.user == User::HasDatabase)
            QDir().mkpath(user);
        if (c.user == User::HasDatabase)
            writeWholeFile(QDir(user).filePath(QStringLiteral("kestro.mdb")), "MINE");
        if (c.user == User::UnderAFile) {
            writeWholeFile(r.filePath(QStringLiteral("archivo")), "x");
            user = r.filePath(QStringLiteral("archivo/KESTRO"));
        }

        const DataFolder d = chooseDataFolder(program, user, templ);
        QVERIFY2(d.error.isEmpty() != c.fails, c.name);
        QCOMPARE(d.path.isEmpty(), c.fails);
        if (!c.fails)
            QCOMPARE(d.path, c.portable ? program : user);
        QCOMPARE(d.portable, c.portable);
        const QString userDb = QDir(user).filePath(QStringLiteral("kestro.mdb"));
        QVERIFY2(readWholeFile(userDb) == c.userDatabase, c.name);
        QVERIFY2(QDir(user).entryList(QDir::Files).size() <= 1, c.name); // no partial copy left
        if (c.beside == Beside::Database)
            QCOMPARE(readWholeFile(QDir(program).filePath(QStringLiteral("kestro.mdb"))),
                     QByteArray("BESIDE"));
    }
}

void TestDataFolder::firstStartGivesAWritableDatabase() {
    // The installed template is read-only; the agent's copy must take his work.
    ProgramDir delivered;
    QVERIFY(QFile::setPermissions(delivered.dbPath(),
                                  QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QTemporaryDir root;
    const QString user = QDir(root.path()).filePath(QStringLiteral("KESTRO"));
    const DataFolder d = chooseDataFolder(root.path(), user, delivered.dbPath());
    QCOMPARE(d.path, user);
    const QString copy = QDir(user).filePath(QStringLiteral("kestro.mdb"));
    QVERIFY(QFile::permissions(copy) & QFile::WriteOwner);
    Database::Opened opened = Database::open(d.path);
    QVERIFY2(opened, qPrintable(opened.why()));
    auto db = std::move(opened.value);
    QVERIFY(!db->exec(QStringLiteral("insert into Historico_AA values ('R','C','N','P','M')")));
}

void TestDataFolder::contactComesFromTheDeploymentFile() {
    // As shipped: no one invented; each value says it is still to be set.
    const Contact shipped = Contact::read(QStringLiteral(KESTRO_CONTACTO));
    for (const QString& v : {shipped.person, shipped.phone, shipped.mail, shipped.authorityMail})
        QVERIFY2(v.contains(QStringLiteral("por definir")), qPrintable(v));
    QCOMPARE(Contact::read(QStringLiteral("/no/existe")).person, shipped.person);
    // Replaced by whoever distributes the program.
    QTemporaryDir dir;
    writeWholeFile(dir.filePath("contacto.ini"), "; de la oficina\nPersona=Lic. Ana Ruiz, Mesa 3\n"
                                                 "Telefono = 55 1234 5678\nCorreo=ana@example.org\n"
                                                 "CorreoAutoridad=envios@example.org\n");
    const Contact set = Contact::read(dir.filePath("contacto.ini"));
    QCOMPARE((QStringList{set.person, set.phone, set.mail, set.authorityMail}),
             (QStringList{"Lic. Ana Ruiz, Mesa 3", "55 1234 5678", "ana@example.org",
                          "envios@example.org"}));
}

QTEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
