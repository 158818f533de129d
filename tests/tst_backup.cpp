// The automatic copies of kestro.mdb, the way back from a damaged file, the
// restoring of a chosen copy and the lock that keeps one KESTRO per folder.
#include "data/BackupFolder.h"
#include "data/DataFolder.h"
#include "data/DatabaseFile.h"
#include "data/FaultPoint.h"
#include "data/FolderLock.h"
#include "data/Upgrade.h"
#include "entry/BackupKeeper.h"
#include "entry/BackupRestore.h"
#include "support/WizardDriver.h"

#include <QLockFile>

using namespace Qt::StringLiterals;

namespace {

const QDateTime Morning(QDate(2026, 3, 2), QTime(9, 0));

void storeAgent30(Database& db) {
    must(db, u"insert into AA values (3001,'JUAN','PEREZ','LOPEZ','PELJ700101AB1',"
             u"'PELJ700101HDFRPN09',0,470)"_s);
}

QString agentCount(const QString& path) {
    return dump(*Database::openFile(path).value, u"select count(*) from AA"_s);
}

// Garbage over `length` bytes from `offset`: a disk fault in the file.
void damage(const QString& path, qint64 offset, qint64 length = 4096) {
    QByteArray bytes = readWholeFile(path);
    bytes.replace(offset, length, QByteArray(length, '\x5a'));
    writeWholeFile(path, bytes);
}

// What a crafted copy plants: a trigger that points a saved
// representative's requirement at a file of its author's choosing, or a
// view whose query never ends.
void plant(const QString& path, const QString& what) {
    auto db = Database::openFile(path);
    must(*db.value, what == u"trigger"
                        ? u"create trigger Planta after insert on Mandatarios begin update "
                          u"Mandatarios set Requerimiento='/etc/hostname'; end"_s
                        : u"create view Eterna as with recursive r(n) as (select 1 union all "
                          u"select n + 1 from r) select n from r"_s);
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copyBeforeTheChange_data();
    void copyBeforeTheChange();
    void keepsTenAndTheCopyBeforeTheUpgrade();
    void copiesUnderAClockSetBack();
    void dailyCopyOnlyWhenDue_data();
    void dailyCopyOnlyWhenDue();
    void damagedDatabaseAtStartUp_data();
    void damagedDatabaseAtStartUp();
    void saveCutShortIsNoDamage();
    void unreadableIsNotDamaged();
    void damageTheQuickCheckMisses();
    void restoreCutShort_data();
    void restoreCutShort();
    void somethingBetweenTheStepsOfARestore_data();
    void somethingBetweenTheStepsOfARestore();
    void restoreRefusesWhatIsNotAKestroCopy_data();
    void restoreRefusesWhatIsNotAKestroCopy();
    void plantedCopyIsNeverTaken();
    void failedCopyIsToldOnceAndLosesNothing_data();
    void failedCopyIsToldOnceAndLosesNothing();
    void oneKestroPerFolder_data();
    void oneKestroPerFolder();
    void lockRenewedWhileInUse();
};

// Today's copy already taken: the upgrade or the import takes its own, of
// the file as it was just before.
void TestBackup::copyBeforeTheChange_data() {
    QTest::addColumn<bool>("upgrade");
    row("upgrade", true);
    row("import", false);
}

void TestBackup::copyBeforeTheChange() {
    QFETCH(bool, upgrade);
    Wizard wz(upgrade ? ProgramDir::Kind::Version30 : ProgramDir::Kind::Delivered);
    if (upgrade) {
        storeAgent30(*wz.dir.open());
    } else {
        wz.state.previousVersionDir = wz.dir.path() + u"/anterior"_s;
        QDir().mkpath(wz.state.previousVersionDir);
        QFile::copy(fixture(u"Recupera.txt"_s), wz.state.previousVersionDir + u"/Recupera.txt"_s);
    }
    BackupFolder folder(wz.dir.path());
    QCOMPARE(folder.take(*wz.dir.open()), QString());
    wz.start();
    const QList<BackupFolder::Copy> copies = folder.copies();
    QCOMPARE(copies.size(), 2);
    const QString before = copies.first().path;
    QCOMPARE(DatabaseFile::version(before), upgrade ? 300 : 305);
    QCOMPARE(DatabaseFile::version(wz.dir.dbPath()), 305);
    QCOMPARE(agentCount(before), upgrade ? u"1"_s : u"0"_s);
    QCOMPARE(agentCount(wz.dir.dbPath()), u"1"_s);
}

void TestBackup::keepsTenAndTheCopyBeforeTheUpgrade() {
    ProgramDir dir(ProgramDir::Kind::Version30);
    auto db = dir.open();
    BackupFolder folder(dir.path());
    QDir().mkpath(folder.path());
    writeWholeFile(folder.path() + u"/notas.txt"_s, "del agente");
    QCOMPARE(folder.take(*db, Morning), QString());
    QVERIFY(Inicializa_DB(*db).upgraded);
    // Two within one second, then one a minute.
    QCOMPARE(folder.take(*db, Morning), QString());
    for (int minute = 1; minute <= 11; ++minute)
        QCOMPARE(folder.take(*db, Morning.addSecs(60 * minute)), QString());
    QStringList expected{u"kestro 2026-03-02 09.00.00.mdb"_s};
    for (int minute = 2; minute <= 11; ++minute)
        expected << u"kestro 2026-03-02 09.%1.00.mdb"_s.arg(minute, 2, 10, QLatin1Char('0'));
    expected << u"notas.txt"_s;
    QCOMPARE(namesIn(folder.path()), expected);
    QCOMPARE(DatabaseFile::version(folder.copies().last().path), 300);
}

// The clock once ran a year ahead, and so did the names and file times of
// the copies taken then. Set right, each new copy is the newest and stays.
void TestBackup::copiesUnderAClockSetBack() {
    ProgramDir dir;
    auto db = dir.open();
    BackupFolder folder(dir.path());
    const QDateTime ahead = QDateTime::currentDateTime().addYears(1);
    for (int i = 0; i < BackupFolder::Kept; ++i) {
        QCOMPARE(folder.take(*db, ahead.addSecs(i)), QString());
        setModified(folder.copies().first().path, ahead.addSecs(i));
    }
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(folder.take(*db, now.addSecs(i)), QString());
        QCOMPARE(DatabaseFile::stamp(folder.copies().first().taken),
                 DatabaseFile::stamp(now.addSecs(i)));
    }
    QCOMPARE(folder.copies().size(), BackupFolder::Kept);
    QVERIFY(!folder.dailyDue(dir.dbPath(), now.date()));
}

void TestBackup::dailyCopyOnlyWhenDue_data() {
    QTest::addColumn<int>("copyDaysAgo");  // -1: no copy yet
    QTest::addColumn<int>("changedAfter"); // the file's last change, in seconds after the copy
    QTest::addColumn<bool>("due");
    row("no copy yet", -1, 0, true);
    row("a copy today", 0, 60, false);
    row("yesterday's copy, changed since", 1, 60, true);
    row("yesterday's copy, unchanged since", 1, -60, false);
}

void TestBackup::dailyCopyOnlyWhenDue() {
    QFETCH(int, copyDaysAgo);
    QFETCH(int, changedAfter);
    QFETCH(bool, due);
    ProgramDir dir;
    BackupFolder folder(dir.path());
    if (copyDaysAgo >= 0) {
        QCOMPARE(folder.take(*dir.open(), Morning.addDays(-copyDaysAgo)), QString());
        const QDateTime copied = QFileInfo(folder.copies().first().path).lastModified();
        setModified(dir.dbPath(), copied.addSecs(changedAfter));
    }
    QCOMPARE(folder.dailyDue(dir.dbPath(), Morning.date()), due);
}

void TestBackup::damagedDatabaseAtStartUp_data() {
    QTest::addColumn<qint64>("offset"); // where the garbage goes
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<bool>("restored");
    row("header, copy accepted", qint64(0), true, true, false);
    row("a table page, copy accepted", qint64(8192), true, true, false);
    row("header, copy declined", qint64(0), false, false, false);
    row("a table page, copy declined", qint64(8192), false, true, false);
    row("restored, then damaged", qint64(0), true, true, true);
}

// The newest copy is damaged too: the one before it, sound, is offered.
// Restored (the morning's copy), then damaged: the copy offered holds what
// was restored, not what the restore replaced.
void TestBackup::damagedDatabaseAtStartUp() {
    QFETCH(qint64, offset);
    QFETCH(bool, accept);
    QFETCH(bool, starts);
    QFETCH(bool, restored);
    Wizard wz;
    storeAgent(*wz.dir.open());
    BackupFolder folder(wz.dir.path());
    QCOMPARE(folder.take(*wz.dir.open(), Morning), QString());
    must(*wz.dir.open(), u"delete from AA"_s);
    QCOMPARE(folder.take(*wz.dir.open(), Morning.addSecs(3600)), QString());
    if (restored)
        QCOMPARE(restoreBackup(wz.dir.path(), folder.copies().last().path), 0);
    else
        damage(folder.copies().first().path, 8192);
    damage(wz.dir.dbPath(), offset);
    const QByteArray damaged = readWholeFile(wz.dir.dbPath());
    wz.script.shown.clear(); // what the restore told
    wz.script.answer(accept ? seam::Answer::Ok : seam::Answer::Cancel);
    wz.window = std::make_unique<frmMain>(wz.state);
    QCOMPARE(wz.window->startUp(), starts);
    QVERIFY2(restored || wz.messages().value(0).contains(u"tomada el 02/03/2026 a las 09:00:00"_s),
             qPrintable(wz.messages().join(u'/')));
    const QStringList kept = QDir(wz.dir.path()).entryList({u"kestro.mdb.dañado *"_s}, QDir::Files);
    if (!accept) {
        QCOMPARE(readWholeFile(wz.dir.dbPath()), damaged);
        QCOMPARE(kept, QStringList());
        return;
    }
    QCOMPARE(wz.txt("txtAANombre")->text(), u"JUAN"_s);
    QCOMPARE(kept.size(), 1);
    QVERIFY2(wz.messages().value(0).contains(u'"' + kept.first() + u'"'), "named as asked");
    QCOMPARE(readWholeFile(wz.dir.path() + u'/' + kept.first()), damaged);
}

// A save cut short leaves a journal beside the file, which the start rolls
// back: that is no damage, and no copy is offered.
void TestBackup::saveCutShortIsNoDamage() {
    Wizard wz;
    ProgramDir source;
    auto db = source.open();
    QCOMPARE(BackupFolder(wz.dir.path()).take(*db), QString());
    // A small cache makes the engine write pages into the file before the
    // end, as a long save does.
    must(*db, u"pragma cache_size = 2"_s);
    must(*db, u"begin"_s);
    for (int i = 0; i < 400; ++i)
        must(*db, u"insert into AA (Patente, Nombre) values (?, ?)"_s, {i, QString(200, u'X')});
    for (const QString& suffix : {u""_s, u"-journal"_s}) {
        QFile::remove(wz.dir.dbPath() + suffix);
        QVERIFY(QFile::copy(source.dbPath() + suffix, wz.dir.dbPath() + suffix));
    }
    must(*db, u"rollback"_s);
    wz.start();
    QCOMPARE(wz.messages().filter(u"respaldo"_s), QStringList());
    QCOMPARE(agentCount(wz.dir.dbPath()), u"0"_s);
}

// A file that cannot be read (held by another program, no permission) says
// nothing of its pages: told as such, and no copy takes its place.
void TestBackup::unreadableIsNotDamaged() {
    Wizard wz;
    storeAgent(*wz.dir.open());
    QCOMPARE(BackupFolder(wz.dir.path()).take(*wz.dir.open(), Morning), QString());
    wz.window = std::make_unique<frmMain>(wz.state);
    faultpoint::arm(1); // the first look at it, while another program holds it
    const bool started = wz.window->startUp();
    faultpoint::disarm();
    QVERIFY(!started);
    const QString told = wz.messages().join(u'/');
    QVERIFY2(told.contains(u"No se pudo leer la base de datos %1: error de entrada o salida"_s.arg(
                 QDir::toNativeSeparators(wz.dir.dbPath()))) &&
                 !told.contains(u"dañad"_s) && wz.messages().size() == 1,
             qPrintable(told));
    QCOMPARE(QDir(wz.dir.path()).entryList({u"kestro.mdb.*"_s}), QStringList());
}

// An index that no longer matches its table passes the quick check at
// start; every copy then carries it. The copy is not blamed, the sound copy
// stays and the next start offers it.
void TestBackup::damageTheQuickCheckMisses() {
    ProgramDir dir;
    storeAgent(*dir.open());
    BackupFolder folder(dir.path());
    QCOMPARE(folder.take(*dir.open(), Morning), QString());
    {
        auto db = dir.open();
        must(*db, u"create index Roto on AA(Nombre)"_s);
        must(*db, u"pragma writable_schema = on"_s);
        must(*db, u"update sqlite_master set sql='CREATE INDEX Roto ON AA(ApPaterno)' where "
                  u"name='Roto'"_s);
    }
    QCOMPARE(DatabaseFile::fault(dir.dbPath(), DatabaseFile::Depth::Quick), QString());
    seam::Script s;
    BackupKeeper().copy(nullptr, *dir.open());
    QVERIFY2(
        s.lastText().contains(QDir::toNativeSeparators(dir.dbPath()) + u" no es una base "_s) &&
            !s.lastText().contains(u"no se afectó"_s) && s.shown.size() == 1,
        qPrintable(s.lastText()));
    QCOMPARE(folder.copies().size(), 1);
    s.answer(seam::Answer::Cancel);
    QVERIFY(offerNewestBackup(nullptr, dir.path()));
    VERIFY_HOLDS(s.lastText(), u"tomada el 02/03/2026 a las 09:00:00"_s);
}

// What a crash in the middle of a restore leaves in a portable folder: the
// copy written whole beside the file, which had moved aside or not yet; or
// the file moved aside and the copy gone. The next start, once it holds
// the folder, finishes or undoes it.
void TestBackup::restoreCutShort_data() {
    QTest::addColumn<bool>("movedAside");
    QTest::addColumn<bool>("copyGone");
    row("between the two renames: finished", true, false);
    row("before the first: undone", false, false);
    row("the copy gone: the kept file back", true, true);
}

void TestBackup::restoreCutShort() {
    QFETCH(bool, movedAside);
    QFETCH(bool, copyGone);
    ProgramDir program, restored;
    QTemporaryDir perUser;
    storeAgent(*restored.open());
    const QString mdb = program.dbPath(), kept = mdb + u".anterior 2026-03-02 09.00.00"_s;
    if (!copyGone)
        QVERIFY(QFile::copy(restored.dbPath(), mdb + u".entrante"_s));
    writeWholeFile(mdb + u".restaurando"_s, QFileInfo(kept).fileName().toUtf8());
    if (movedAside)
        QVERIFY(QFile::rename(mdb, kept));
    const DataFolder data = chooseDataFolder(program.path(), perUser.path(), restored.dbPath());
    QCOMPARE(data.path, program.path());
    FolderLock lock(data.path);
    QCOMPARE(lockOrRestore(lock, data.path, {u"kestro"_s}), std::nullopt);
    QCOMPARE(agentCount(mdb), movedAside && !copyGone ? u"1"_s : u"0"_s);
    QCOMPARE(QDir(program.path()).entryList({u"kestro.mdb.*"_s}),
             movedAside && !copyGone ? QStringList{QFileInfo(kept).fileName()} : QStringList());
}

// Between two steps of a restore: a second start (it finds the folder held
// and touches nothing), the copy vanishing, or a failure. The restore says
// it restored only when what stands in place is the whole copy; otherwise
// kestro.mdb is as it was, and it says so.
void TestBackup::somethingBetweenTheStepsOfARestore_data() {
    QTest::addColumn<QString>("meanwhile"); // "start", "vanish" or "fault"
    row("a second start", "start");
    row("the copy vanishes", "vanish");
    row("a failure", "fault");
}

void TestBackup::somethingBetweenTheStepsOfARestore() {
    QFETCH(QString, meanwhile);
    QTemporaryDir elsewhere, perUser;
    const QString chosen = elsewhere.filePath(u"elegido.mdb"_s);
    int steps = 0; // counted by the plain restore, k = 0
    for (int k = 0; k <= steps; ++k) {
        ProgramDir dir;
        {
            const std::unique_ptr<Database> db = dir.open();
            storeAgent(*db);
            QFile::remove(chosen);
            QCOMPARE(db->copyTo(chosen), QString());
            must(*db, u"delete from AA"_s);
        }
        const QByteArray before = readWholeFile(dir.dbPath());
        seam::Script s;
        std::optional<int> second;
        faultpoint::arm(meanwhile == u"fault" ? k : 0);
        faultpoint::meanwhile(k, [&] {
            if (meanwhile == u"vanish")
                QFile::remove(dir.dbPath() + u".entrante"_s);
            if (meanwhile != u"start")
                return;
            // As the program starts: the folder, its lock.
            const DataFolder d = chooseDataFolder(dir.path(), perUser.path(), chosen);
            FolderLock lock(d.path);
            second = lockOrRestore(lock, d.path, {u"kestro"_s});
        });
        FolderLock lock(dir.path());
        const std::optional<int> code =
            lockOrRestore(lock, dir.path(), {u"kestro"_s, u"--restaurar"_s, chosen});
        if (k == 0)
            steps = faultpoint::seen();
        faultpoint::disarm();
        const QString at = u"step %1 of %2: "_s.arg(k).arg(steps) + s.lastText();
        if (meanwhile == u"start" && k > 0)
            QVERIFY2(second == 1 && s.shown.first().text.contains(u"ya está abierto"_s),
                     qPrintable(at));
        const bool restored = code == 0;
        QVERIFY2(restored ? s.lastText().startsWith(u"Se restauró"_s)
                          : code == 1 && s.lastText().contains(u"No se restauró nada"_s),
                 qPrintable(at));
        const QString why = DatabaseFile::whyNotKestro(dir.dbPath());
        QVERIFY2(why.isEmpty(), qPrintable(at + u'\n' + why));
        if (restored)
            QCOMPARE(agentCount(dir.dbPath()), u"1"_s);
        else
            QVERIFY2(readWholeFile(dir.dbPath()) == before, qPrintable(at));
        QCOMPARE(QDir(dir.path()).entryList({u"kestro.mdb.*"_s}).size(), restored ? 1 : 0);
    }
}

void TestBackup::restoreRefusesWhatIsNotAKestroCopy_data() {
    QTest::addColumn<QString>("make"); // "text", "other", "damaged", "trigger", "view", "sound"
    QTest::addColumn<QString>("told");
    row("a text file", "text", "no es una base de datos");
    row("another program's database", "other", "tiene la tabla clientes, que KESTRO no usa");
    row("a copy with a trigger", "trigger", "tiene un disparador (trigger) llamado planta");
    row("a copy with a view", "view", "tiene una vista llamada eterna");
    row("a damaged copy", "damaged", "no es una base de datos o está dañado");
    row("no such file", "", "No se encontró el archivo");
    row("a sound copy", "sound", "Se restauró");
}

void TestBackup::restoreRefusesWhatIsNotAKestroCopy() {
    QFETCH(QString, make);
    QFETCH(QString, told);
    seam::Script script;
    ProgramDir dir;
    QTemporaryDir elsewhere;
    const QString chosen = elsewhere.filePath(u"elegido.mdb"_s);
    if (make == u"text")
        writeWholeFile(chosen, "AA|3001|JUAN\r\n");
    if (make == u"other")
        must(*Database::createFile(chosen).value, u"create table Clientes(Nombre text)"_s);
    if (make != u"text" && make != u"other" && !make.isEmpty()) {
        auto copy = dir.open();
        storeAgent(*copy);
        QCOMPARE(copy->copyTo(chosen), QString());
        must(*copy, u"delete from AA"_s);
    }
    if (make == u"damaged")
        damage(chosen, 8192);
    if (make == u"trigger" || make == u"view")
        plant(chosen, make);
    const QByteArray current = readWholeFile(dir.dbPath());
    const bool restored = make == u"sound";
    QCOMPARE(restoreBackup(dir.path(), chosen), restored ? 0 : 1);
    VERIFY_HOLDS(script.lastText(), told);
    const QStringList kept = QDir(dir.path()).entryList({u"kestro.mdb.anterior *"_s});
    QCOMPARE(kept.size(), restored ? 1 : 0);
    QCOMPARE(agentCount(dir.dbPath()), restored ? u"1"_s : u"0"_s);
    if (restored) {
        QVERIFY(script.lastText().contains(u'"' + kept.first() + u'"'));
        QCOMPARE(readWholeFile(dir.path() + u'/' + kept.first()), current);
    } else
        QCOMPARE(readWholeFile(dir.dbPath()), current);
}

// Planted in the live file (by an earlier restore) or in the newest copy
// of the folder: the file is not opened, and the damage offer passes over
// the copy for the sound one before it.
void TestBackup::plantedCopyIsNeverTaken() {
    ProgramDir dir;
    storeAgent(*dir.open());
    BackupFolder folder(dir.path());
    QCOMPARE(folder.take(*dir.open(), Morning), QString());
    QCOMPARE(folder.take(*dir.open(), Morning.addSecs(3600)), QString());
    plant(folder.copies().first().path, u"trigger"_s);
    plant(dir.dbPath(), u"view"_s);
    const Database::Opened opened = Database::open(dir.path());
    QVERIFY(!opened);
    VERIFY_HOLDS(opened.why(), u"tiene una vista llamada eterna"_s);
    damage(dir.dbPath(), 0);
    seam::Script s;
    s.answer(seam::Answer::Cancel);
    QVERIFY(offerNewestBackup(nullptr, dir.path()));
    VERIFY_HOLDS(s.lastText(), u"tomada el 02/03/2026 a las 09:00:00"_s);
}

void TestBackup::failedCopyIsToldOnceAndLosesNothing_data() {
    QTest::addColumn<bool>("readOnly"); // else a file stands where the folder goes
    row("respaldos is a file", false);
    row("respaldos is read-only", true);
}

// A start of a 3.0 file tries twice: the day's copy and the one before the
// upgrade. The upgrade and the agent's data are there all the same.
void TestBackup::failedCopyIsToldOnceAndLosesNothing() {
    QFETCH(bool, readOnly);
    Wizard wz(ProgramDir::Kind::Version30);
    storeAgent30(*wz.dir.open());
    const QString folder = BackupFolder(wz.dir.path()).path();
    if (readOnly) {
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(folder + u"/prueba"_s);
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user writes in a read-only folder (an administrator)");
        }
    } else {
        writeWholeFile(folder, "no es una carpeta");
    }
    wz.start();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList told = wz.messages().filter(u"copia de respaldo automática"_s);
    QCOMPARE(told.size(), 1);
    VERIFY_HOLDS(told.first(), QDir::toNativeSeparators(folder));
    QCOMPARE(DatabaseFile::version(wz.dir.dbPath()), 305);
    QCOMPARE(wz.txt("txtAANombre")->text(), u"JUAN"_s);
}

// The lock a killed KESTRO leaves: as this system writes one (each system
// names the computer its own way), with a process number none hands out.
namespace {
// `pid` 0: a number no running process has.
QByteArray lockOfAKilledKestro(const QByteArray& computer = {}, qint64 pid = 0) {
    QTemporaryDir dir;
    QLockFile real(dir.filePath(u"probe.lock"_s));
    real.lock();
    QList<QByteArray> lines = readWholeFile(dir.filePath(u"probe.lock"_s)).split('\n');
    real.unlock();
    lines[0] = pid ? QByteArray::number(pid) : QByteArray("2147483000");
    if (!computer.isEmpty()) {
        lines[2] = computer;
        for (qsizetype i = 3; i < lines.size(); ++i) // its machine and boot ids
            lines[i].fill('f');
    }
    return lines.join('\n');
}
} // namespace

void TestBackup::oneKestroPerFolder_data() {
    QTest::addColumn<QByteArray>("left"); // the lock file found; "held" by a live KESTRO
    QTest::addColumn<int>("hoursOld");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<bool>("offered"); // to take over another computer's lock
    row("held by a running KESTRO", QByteArray("held"), 0, false, false);
    row("left by a killed KESTRO", lockOfAKilledKestro(), 0, true, false);
    // Process numbers come round again (under Wine, at every start).
    row("left by a killed KESTRO with this run's number",
        lockOfAKilledKestro({}, QCoreApplication::applicationPid()), 0, true, false);
    row("cut short by a crash", QByteArray(), 0, true, false);
    row("another computer's, an hour old", lockOfAKilledKestro("OTRA-PC"), 1, false, false);
    row("another computer's, two days old", lockOfAKilledKestro("OTRA-PC"), 48, false, true);
}

void TestBackup::oneKestroPerFolder() {
    QFETCH(QByteArray, left);
    QFETCH(int, hoursOld);
    QFETCH(bool, starts);
    QFETCH(bool, offered);
    QTemporaryDir folder;
    const QString lockFile = folder.filePath(QLatin1String(FolderLock::FileName));
    FolderLock first(folder.path());
    if (left == "held") {
        QVERIFY(first.acquire());
    } else {
        writeWholeFile(lockFile, left);
        writeWholeFile(folder.filePath(QLatin1String(FolderLock::HolderFile)), "OTRA-PC\nmaria\n");
        setModified(lockFile, QDateTime::currentDateTime().addSecs(-3600 * hoursOld));
    }
    FolderLock second(folder.path());
    if (!offered) {
        FolderLock restorer(folder.path());
        seam::Script s; // a restore that starts gets as far as the missing copy
        QCOMPARE(lockOrRestore(restorer, folder.path(),
                               {u"kestro"_s, u"--restaurar"_s, folder.filePath(u"no.mdb"_s)}),
                 1);
        VERIFY_HOLDS(s.lastText(), starts ? u"No se encontró"_s : u"KESTRO debe estar cerrado"_s);
    }
    QCOMPARE(second.acquire(), starts);
    const QString told = second.alreadyOpen();
    VERIFY_HOLDS(told, QDir::toNativeSeparators(folder.path()));
    if (left.contains("OTRA-PC"))
        VERIFY_HOLDS(told, u"en la computadora OTRA-PC, por el usuario maria"_s);
    QCOMPARE(second.mayTakeOver(), offered);
    if (offered) {
        QVERIFY(second.takeOverQuestion().contains(u"¿Desea usar la carpeta"_s));
        QVERIFY(second.takeOver());
        QVERIFY(!FolderLock(folder.path()).acquire());
    }
}

// A KESTRO left open for days on one computer renews its lock every few
// minutes, and another computer sharing the folder never offers to take it
// over; once it stops (that computer switched off), a day later the other
// does, saying when it was last renewed.
void TestBackup::lockRenewedWhileInUse() {
    QTemporaryDir folder;
    FolderLock running(folder.path());
    QVERIFY(running.acquire());
    FolderLock neighbour(folder.path(), u"OTRA-PC"_s);
    QVERIFY(!neighbour.acquire());
    const qint64 every = FolderLock::RenewEverySecs;
    QDateTime clock = QDateTime::currentDateTime();
    for (const QDateTime end = clock.addDays(2); clock < end; clock = clock.addSecs(every)) {
        running.renew(clock);
        QVERIFY2(!neighbour.mayTakeOver(clock.addSecs(every - 1)), qPrintable(clock.toString()));
    }
    const QDateTime last = clock.addSecs(-every);
    QVERIFY(!neighbour.mayTakeOver(last.addSecs(FolderLock::TakeOverAfterSecs)));
    QVERIFY(neighbour.mayTakeOver(last.addSecs(FolderLock::TakeOverAfterSecs + 60)));
    const QString question = neighbour.takeOverQuestion();
    VERIFY_HOLDS(question, u"por última vez el %1 a las %2"_s.arg(last.toString(u"dd/MM/yyyy"_s),
                                                                  last.toString(u"hh:mm"_s)));
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
