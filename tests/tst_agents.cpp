// Several agents on one computer: the list of them, the window that chooses
// one, --agente, and each agent's folders untouched by the work of another.
#include "data/AgentFolder.h"
#include "data/BackupFolder.h"
#include "data/CommandLine.h"
#include "data/FolderLock.h"
#include "data/KnownAgents.h"
#include "dialogs/frmAgentes.h"
#include "entry/BackupRestore.h"
#include "exchange/InformationFile.h"
#include "support/WizardDriver.h"
#include "wizard/AgentStart.h"
#include "wizard/InformationFileFlow.h"

using namespace Qt::StringLiterals;

namespace {

// The office of one installation: its own agent A (3001) in the program's
// folder, agent B (3002) elsewhere, and where the user's settings live.
struct Office {
    Office() {
        storeOffice(*a.open(), a.path());
        auto db = b.open();
        storeAgent(*db);
        must(*db, u"update AA set Patente = 3002, Nombre = 'LUIS', RFC = 'MODL800101AB2'"_s);
    }
    QString listFile() const { return home.filePath(QLatin1String(KnownAgents::FileName)); }
    KnownAgents& known(bool withB) {
        if (!list) {
            list = std::make_unique<KnownAgents>(listFile(), a.path(), settings);
            list->load();
            if (withB)
                list->add(b.path());
        }
        return *list;
    }

    QTemporaryDir home;
    QSettings settings{home.filePath(u"KESTRO.ini"_s), QSettings::IniFormat};
    ProgramDir a, b, delivered;
    std::unique_ptr<KnownAgents> list;
};

// One run as the program makes it; nothing when the window started, else
// the exit code.
struct Run {
    std::optional<int> start(KnownAgents& known, const QString& templatePath,
                             const QStringList& arguments) {
        agent = std::make_unique<AgentStart>(known, templatePath,
                                             readCommandLine(QStringList{u"kestro"_s} + arguments));
        if (const std::optional<int> ended = agent->beforeWindow())
            return ended;
        state.previousVersionDir = u"/no-existe"_s;
        window = std::make_unique<frmMain>(state);
        return agent->startUp(*window, state) ? std::nullopt : std::optional(1);
    }
    seam::Script script;
    AppState state;
    std::unique_ptr<AgentStart> agent;
    std::unique_ptr<frmMain> window;
};

// The list answered as a person would: "Down" moves, "Enter" opens, any
// other word presses the button cmd<word>.
void answerList(seam::Script& s, const QString& keys) {
    s.onDialog(u"frmAgentes"_s, [keys](QDialog& d) {
        d.show();
        auto* list = named<QTableWidget>(d, u"tblAgentes"_s);
        for (const QString& k : keys.split(u' '))
            if (k == u"Down"_s || k == u"Enter"_s)
                QTest::keyClick(list, k == u"Down"_s ? Qt::Key_Down : Qt::Key_Return);
            else
                press(d, u"cmd"_s + k);
        return d.result();
    });
}

QString rowsOf(const QDialog& d) {
    const auto* t = named<QTableWidget>(d, u"tblAgentes"_s);
    QStringList rows;
    for (int r = 0; r < t->rowCount(); ++r)
        for (int c = 0; c < 4; ++c)
            rows << t->item(r, c)->text();
    return rows.join(u' ');
}

} // namespace

class TestAgents : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void startsTheAgentChosen_data();
    void startsTheAgentChosen();
    void sameAgentTwiceIsRefused();
    void oneAgentsWorkLeavesAnothersFolders_data();
    void oneAgentsWorkLeavesAnothersFolders();
    void addsAnExistingFolderUnchanged_data();
    void addsAnExistingFolderUnchanged();
    void lostOrDamagedList_data();
    void lostOrDamagedList();
    void commandLine_data();
    void commandLine();
};

void TestAgents::startsTheAgentChosen_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("withB");
    QTest::addColumn<QString>("keys");   // in the list; "" when it must not be shown
    QTest::addColumn<QString>("opened"); // "A", "B", "nuevo", or "" when the program ends
    QTest::addColumn<QString>("caption");
    const QString juan = u"KESTRO 3.5 - 3001 JUAN PEREZ LOPEZ"_s;
    const QString luis = u"KESTRO 3.5 - 3002 LUIS PEREZ LOPEZ"_s;
    row("one agent: as always", QStringList(), false, "", "A", "KESTRO 3.5");
    row("one agent, --agentes asks", QStringList{"--agentes"}, false, "Enter", "A", "KESTRO 3.5");
    row("two: the last used chosen", QStringList(), true, "Enter", "A", juan);
    row("two: the second with the arrow", QStringList(), true, "Down Enter", "B", luis);
    row("--agente by patent", QStringList{"--agente", "3002"}, true, "", "B", luis);
    row("--agente by an unlisted folder", QStringList{"--agente", "<B>"}, false, "", "B", luis);
    row("--agente of no one", QStringList{"--agente", "9999"}, true, "", "", "");
    row("a new agent", QStringList(), true, "Nuevo", "nuevo",
        "KESTRO 3.5 - agente sin capturar (<nuevo>)");
    row("left without choosing", QStringList(), true, "Salir", "", "");
    row("--restaurar asks which", QStringList{"--restaurar"}, true, "Down Enter", "", "");
    row("--restaurar --agentes, one agent", QStringList{"--restaurar", "--agentes"}, false, "Enter",
        "", "");
}

// Two agents each open with the keyboard alone and see only their own
// data; one agent starts exactly as always, with no window added.
void TestAgents::startsTheAgentChosen() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, withB);
    QFETCH(QString, keys);
    QFETCH(QString, opened);
    QFETCH(QString, caption);
    Office o;
    KnownAgents& known = o.known(withB);
    QTemporaryDir newAgent;
    Run run;
    if (keys == u"Nuevo"_s)
        run.script.chooseFile(newAgent.path());
    if (!keys.isEmpty())
        answerList(run.script, keys);
    arguments.replaceInStrings(u"<B>"_s, o.b.path());
    const std::optional<int> ended = run.start(known, o.delivered.dbPath(), arguments);
    QCOMPARE(ended.has_value(), opened.isEmpty());
    QCOMPARE(run.script.dialogsShown.contains(u"frmAgentes"_s), !keys.isEmpty());
    if (arguments.contains(u"--restaurar"_s)) // the copy is asked in his respaldos
        QCOMPARE(run.script.fileFolders.value(0),
                 BackupFolder(keys.contains(u"Down"_s) ? o.b.path() : o.a.path()).path());
    if (opened.isEmpty())
        return;
    const auto [folder, patent] = opened == u"A"_s   ? std::pair(o.a.path(), u"3001"_s)
                                  : opened == u"B"_s ? std::pair(o.b.path(), u"3002"_s)
                                                     : std::pair(newAgent.path(), QString());
    QCOMPARE(run.state.dataDir, folder);
    QCOMPARE(run.window->windowTitle(),
             caption.replace(u"<nuevo>"_s, QDir::toNativeSeparators(newAgent.path())));
    // The start dialog first, then the list when it is due.
    QCOMPARE(run.script.dialogsShown.mid(0, 2),
             QStringList{u"frmInicio"_s} +
                 (keys.isEmpty() ? QStringList() : QStringList{u"frmAgentes"_s}));
    QCOMPARE(run.window->findChild<QLineEdit*>(u"txtPatente"_s)->text(), patent);
    if (opened == u"nuevo"_s) // a first run, the previous version looked for
        QCOMPARE(run.script.shown.value(0).text,
                 u"No hay una versión anterior de KESTRO en su computadora"_s);
    // Chosen or named, he comes first next time.
    KnownAgents reread(o.listFile(), o.a.path(), o.settings);
    QCOMPARE(reread.load(), QString());
    QVERIFY(KnownAgents::sameFolder(reread.last(), known.several() ? folder : o.a.path()));
}

// Two different agents open at once; the same one twice is refused as
// always, and the list comes back to choose another.
void TestAgents::sameAgentTwiceIsRefused() {
    Office o;
    Run first;
    QVERIFY(!first.start(o.known(true), o.delivered.dbPath(), {u"--agente"_s, u"3001"_s}));
    Run second;
    answerList(second.script, u"Enter"_s);
    answerList(second.script, u"Down Enter"_s);
    QVERIFY(!second.start(o.known(true), o.delivered.dbPath(), {}));
    QCOMPARE(second.state.dataDir, o.b.path());
    QCOMPARE(second.script.dialogsShown,
             (QStringList{u"frmInicio"_s, u"frmAgentes"_s, u"frmAgentes"_s}));
    VERIFY_HOLDS(second.script.shown.value(0).text, QDir::toNativeSeparators(o.a.path()));
    Run third;
    QCOMPARE(third.start(o.known(true), o.delivered.dbPath(), {u"--agente"_s, o.b.path()}), 1);
}

void TestAgents::oneAgentsWorkLeavesAnothersFolders_data() {
    QTest::addColumn<QString>("work");
    for (const char* work : {"signing", "backup", "restore", "damage recovery"})
        row(work, work);
}

// Whatever one agent's work writes, the other's folder stays byte for byte
// as it was, the lock of his open window included.
void TestAgents::oneAgentsWorkLeavesAnothersFolders() {
    QFETCH(QString, work);
    Office o;
    KnownAgents& known = o.known(true);
    FolderLock bOpen(o.b.path());
    QVERIFY(bOpen.acquire());
    BackupFolder(o.b.path()).take(*o.b.open());
    const QMap<QString, QByteArray> b = filesUnder(o.b.path());
    const QMap<QString, QByteArray> a = filesUnder(o.a.path());
    seam::Script s;
    if (work == u"signing"_s) {
        AppState state;
        state.dataDir = o.a.path();
        state.NoPat = u"3001"_s;
        state.keyFolderSetting = known.keyFolderSetting(o.a.path());
        QTemporaryDir keys;
        const QString key = keys.filePath(u"PELJ700101AB1.key"_s);
        QFile::copy(fixture(u"keys/rsa.key"_s), key);
        goOnToTheKey(s);
        answerKey(s, key);
        QVERIFY2(Genera_archivo(nullptr, state, *o.a.open(), u"PELJ700101AB1"_s, u"3001"_s),
                 qPrintable(s.lastText()));
        // The key's folder is remembered for this agent alone.
        QSettings remembered(QSettings::UserScope, u"KESTRO"_s, u"KESTRO"_s);
        QCOMPARE(remembered.value(state.keyFolderSetting).toString(), keys.path());
        QVERIFY(!remembered.contains(known.keyFolderSetting(o.b.path())));
        QVERIFY(AgentFolder::read(o.a.path()).lastSigned.has_value());
    } else {
        QCOMPARE(BackupFolder(o.a.path()).take(*o.a.open()), QString());
        const QString copy = BackupFolder(o.a.path()).copies().value(0).path;
        if (work == u"restore"_s) {
            QCOMPARE(restoreBackup(o.a.path(), copy), 0);
        } else if (work == u"damage recovery"_s) {
            QByteArray bytes = readWholeFile(o.a.dbPath());
            writeWholeFile(o.a.dbPath(), bytes.replace(0, 100, QByteArray(100, 'Z')));
            QVERIFY(offerNewestBackup(nullptr, o.a.path()));
            QVERIFY(s.lastText().contains(u"copia de respaldo sana"_s));
        }
    }
    QVERIFY(filesUnder(o.a.path()) != a);
    QCOMPARE(filesUnder(o.b.path()), b);
    QVERIFY(!AgentFolder::read(o.b.path()).lastSigned);
}

void TestAgents::addsAnExistingFolderUnchanged_data() {
    QTest::addColumn<QByteArray>("database"); // "" for a KESTRO database; "-" for none
    QTest::addColumn<QString>("told");
    row("a KESTRO database", QByteArray(), "");
    row("not a database", QByteArray("no soy una base"), "no es una base de datos");
    row("no kestro.mdb", QByteArray("-"), "No se encontró el archivo");
}

// Added, an existing folder is checked, listed and left byte for byte; a
// folder gone from its place shows as not available and stays listed.
void TestAgents::addsAnExistingFolderUnchanged() {
    QFETCH(QByteArray, database);
    QFETCH(QString, told);
    Office o;
    KnownAgents& known = o.known(true);
    QTemporaryDir brought;
    QDir(brought.path()).mkdir(u"ENVIO"_s);
    writeWholeFile(brought.filePath(u"ENVIO/3002.txt"_s), "firmado");
    if (database.isEmpty())
        QFile::copy(o.b.dbPath(), brought.filePath(u"kestro.mdb"_s));
    else if (database != "-")
        writeWholeFile(brought.filePath(u"kestro.mdb"_s), database);
    const QMap<QString, QByteArray> before = filesUnder(brought.path());
    QTemporaryDir gone;
    known.add(gone.path());
    gone.remove();
    seam::Script s;
    s.chooseFile(brought.path());
    frmAgentes list(known, o.delivered.dbPath(), frmAgentes::Purpose::Open);
    press(list, u"cmdAgregar"_s);
    QCOMPARE(filesUnder(brought.path()), before);
    QCOMPARE(known.contains(brought.path()), told.isEmpty());
    VERIFY_HOLDS(s.lastText(), told);
    QCOMPARE(rowsOf(list),
             u"3001 JUAN PEREZ LOPEZ PELJ700101AB1 Ninguno 3002 LUIS PEREZ LOPEZ MODL800101AB2 "
             "Ninguno  No disponible  "_s +
                 (told.isEmpty() ? u" 3002 LUIS PEREZ LOPEZ MODL800101AB2 "_s +
                                       QFileInfo(brought.filePath(u"ENVIO/3002.txt"_s))
                                           .lastModified()
                                           .toString(u"dd/MM/yyyy hh:mm"_s)
                                 : QString()));
    // The one not available refuses to open and stays listed; the next opens.
    list.show();
    auto* t = named<QTableWidget>(list, u"tblAgentes"_s);
    t->setCurrentCell(2, 0);
    QTest::keyClick(t, Qt::Key_Return);
    QVERIFY(list.isVisible() && !list.chosen());
    QVERIFY(s.lastText().startsWith(u"La carpeta de datos"_s) &&
            s.lastText().contains(u"no está disponible"_s));
    QCOMPARE(known.folders().size(), told.isEmpty() ? 4 : 3);
    // Taken off, an agent's folder stays whole, as the question says; the
    // installation's own cannot be taken off.
    const QMap<QString, QByteArray> b = filesUnder(o.b.path());
    QTest::keyClick(t, Qt::Key_Up);
    press(list, u"cmdQuitar"_s);
    QVERIFY2(s.lastText().contains(u"no se borra ni se mueve"_s) &&
                 s.lastText().contains(QDir::toNativeSeparators(o.b.path())),
             qPrintable(s.lastText()));
    QCOMPARE(filesUnder(o.b.path()), b);
    QVERIFY(!known.contains(o.b.path()) && !named<QPushButton>(list, u"cmdQuitar"_s)->isEnabled());
    QTest::keyClick(t, Qt::Key_Return);
    QCOMPARE(list.chosen(), o.a.path());
}

void TestAgents::lostOrDamagedList_data() {
    QTest::addColumn<QByteArray>("list"); // what becomes of the file; "-" deleted
    QTest::addColumn<QString>("told");
    row("never made", QByteArray("never"), "");
    row("deleted", QByteArray("-"), "ya no está");
    row("damaged", QByteArray("{\"carpetas\": [\"/x\""), "está dañada");
    row("not a list", QByteArray("[1, 2]"), "está dañada");
}

// A lost or damaged list still starts the installation's own agent, says
// so once, and keeps a damaged file aside.
void TestAgents::lostOrDamagedList() {
    QFETCH(QByteArray, list);
    QFETCH(QString, told);
    Office o;
    if (list != "never") {
        QVERIFY(!o.known(true).add(o.b.path()));
        if (list == "-")
            QFile::remove(o.listFile());
        else
            writeWholeFile(o.listFile(), list);
    }
    KnownAgents again(o.listFile(), o.a.path(), o.settings);
    const QString said = again.load();
    QVERIFY2(told.isEmpty() ? said.isEmpty() : said.contains(told), qPrintable(said));
    if (!told.isEmpty())
        QVERIFY(said.contains(u"Agregar carpeta existente"_s) &&
                said.contains(QDir::toNativeSeparators(o.a.path())));
    QCOMPARE(again.folders(), QStringList{o.a.path()});
    QCOMPARE(again.load(), QString()); // told once
    QCOMPARE(QFileInfo::exists(o.listFile() + u".dañada"_s), told.contains(u"dañada"_s));
    Run run;
    QVERIFY(!run.start(again, o.delivered.dbPath(), {}));
    QCOMPARE(run.state.dataDir, o.a.path());
    QCOMPARE(run.script.dialogsShown, QStringList{u"frmInicio"_s});
}

void TestAgents::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("endWith");  // -1 goes on
    QTest::addColumn<QString>("read"); // agent|agents|restore|backup, or what is said
    row("nothing", QStringList(), -1, "|0|0|");
    row("--agente", QStringList{"--agente", "3001"}, -1, "3001|0|0|");
    row("--agente=", QStringList{"--agente=/datos/luis"}, -1, "/datos/luis|0|0|");
    row("--agentes", QStringList{"--agentes"}, -1, "|1|0|");
    row("--restaurar alone", QStringList{"--restaurar"}, -1, "|0|1|");
    row("--restaurar a copy, an agent", QStringList{"--restaurar", "c.mdb", "--agente", "12"}, -1,
        "12|0|1|c.mdb");
    row("--help", QStringList{"--help"}, 0, "Uso: kestro");
    row("-h", QStringList{"-h"}, 0, "--agente <patente|carpeta>");
    row("--version", QStringList{"--version"}, 0, "KESTRO 3.5");
    row("unknown", QStringList{"--firmar"}, 2, "Opción desconocida: --firmar.\n\nUso:");
    row("no patent", QStringList{"--agente"}, 2, "le falta la patente");
    row("a copy without --restaurar", QStringList{"c.mdb"}, 2, "Sobra el argumento \"c.mdb\"");
}

void TestAgents::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, endWith);
    QFETCH(QString, read);
    const CommandLine c = readCommandLine(QStringList{u"kestro"_s} + arguments);
    QCOMPARE(c.endWith.value_or(-1), endWith);
    QCOMPARE(c.error, endWith > 0);
    if (endWith < 0)
        QCOMPARE(u"%1|%2|%3|%4"_s.arg(c.agent).arg(c.agents).arg(c.restore).arg(c.backup), read);
    else
        VERIFY_HOLDS(c.say, read);
}

QTEST_MAIN(TestAgents)
#include "tst_agents.moc"
