// Taking over the previous version's data: its dump tool run and waited
// for, the dump read and stored, or nothing stored and the reason told.
#include "entry/Seam.h"
#include "exchange/DumpImport.h"
#include "rules/Cp1252.h"
#include "support/TestSupport.h"
#include "wizard/PreviousVersionImport.h"

using namespace Qt::StringLiterals;

namespace {

// A dump of every kind of record, with quotes, a blank line, an unknown
// record and a record after the end.
const QByteArray completeDump = readWholeFile(fixture(u"Recupera.txt"_s));

// Every stored row of the imported tables, each table introduced by its name.
QStringList imported(Database& db) {
    QStringList out;
    for (const char* t :
         {"AA", "Domicilios_AA", "Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM"})
        out << QLatin1String(t)
            << dump(db, u"select * from %1"_s.arg(QLatin1String(t)))
                   .split(u'\n', Qt::SkipEmptyParts);
    return out;
}

// Runs the import from `folder`, or from a fresh one holding `dump` (none
// when null); returns what was told.
QStringList runImport(Database& db, const QString& program, const QByteArray& dump,
                      const QString& folder = {}) {
    QTemporaryDir previous;
    if (!dump.isNull())
        writeWholeFile(previous.filePath(u"Recupera.txt"_s), dump);
    seam::Script s;
    Viejo_KESTRO(nullptr, db, program, folder.isEmpty() ? previous.path() : folder);
    QStringList told;
    for (const seam::Shown& m : s.shown)
        told << m.text;
    return told;
}

// The previous version's dump tool, played by a stand-in placed in
// `toolDir`: on Windows a small program started directly, as the real tool
// is; elsewhere a stand-in for wine, first on PATH while it lives. It waits
// `seconds`, then (when given one) writes `dump` as Recupera.txt where it
// was started.
class DumpToolStandIn {
public:
    DumpToolStandIn(const QString& toolDir, int seconds, const QByteArray& dump) {
        const QString tool = QDir(toolDir).filePath(u"Trasvase.exe"_s);
#ifdef Q_OS_WIN
        QFile::copy(QStringLiteral(KESTRO_DUMP_STAND_IN), tool);
        const QString dumpFile = dir_.filePath(u"volcado"_s);
        writeWholeFile(dumpFile, dump);
        qputenv("KESTRO_STAND_IN_SECONDS", QByteArray::number(seconds));
        qputenv("KESTRO_STAND_IN_DUMP", dump.isEmpty() ? QByteArray() : dumpFile.toLocal8Bit());
#else
        const QString wine = dir_.filePath(u"wine"_s);
        const QByteArray wait = "sleep " + QByteArray::number(seconds) + "\n";
        writeWholeFile(wine,
                       "#!/bin/sh\n" + (dump.isEmpty() ? "exec " + wait
                                                       : wait + "cp \"$1\" Recupera.tmp && "
                                                                "mv Recupera.tmp Recupera.txt\n"));
        QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeWholeFile(tool, dump.isEmpty() ? QByteArray("MZ") : dump);
        qputenv("PATH", dir_.path().toLocal8Bit() + ':' + path_);
#endif
    }
    ~DumpToolStandIn() {
        qputenv("PATH", path_);
        qunsetenv("KESTRO_STAND_IN_SECONDS");
        qunsetenv("KESTRO_STAND_IN_DUMP");
    }

private:
    QTemporaryDir dir_;
    QByteArray path_ = qgetenv("PATH");
};

} // namespace

class TestDumpImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void completeDumpAfterTheToolEnds();
    void nothingImported_data();
    void nothingImported();
};

void TestDumpImport::completeDumpAfterTheToolEnds() {
    // The tool writes its dump only after a pause: reading before it ends
    // would find no dump.
    ProgramDir pd(ProgramDir::Kind::Version30);
    const DumpToolStandIn tool(pd.path(), 1, completeDump);
    QTemporaryDir previous;
    auto db = pd.open();
    QCOMPARE(runImport(*db, pd.path(), {}, previous.path()), QStringList());
    QVERIFY(QFileInfo::exists(previous.filePath(u"Trasvase.exe"_s)));
    // Recupera.stored.txt: each imported table's name, then its rows.
    QCOMPARE(imported(*db).join(u'\n') + u'\n',
             QString::fromUtf8(readWholeFile(fixture(u"Recupera.stored.txt"_s))));
    // Once the agent is there, the previous version is never looked at.
    QCOMPARE(runImport(*db, pd.path(), {}, pd.path() + u"/no-existe"_s), QStringList());
}

void TestDumpImport::nothingImported_data() {
    QTest::addColumn<QByteArray>("dump"); // none when null
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("told"); // a pattern: the fault's line and why, or what is missing
    const QList<QByteArray> lines = completeDump.split('\n');
    // The first five lines of the complete dump, then `bad` and the end.
    const auto row = [&](const char* name, const QString& bad, const char* told) {
        QTest::newRow(name) << lines.mid(0, 5).join('\n') + '\n' + Cp1252::encode(bad) +
                                   "\r\n800|1111111|1|\r\n"
                            << true << QString::fromUtf8(told);
    };
    QTest::newRow("no folder") << QByteArray() << false
                               << u"No hay una versión anterior de KESTRO"_s;
    QTest::newRow("no dump") << QByteArray() << true << u"No se encontró el archivo"_s;
    QTest::newRow("no end") << lines.mid(0, 8).join('\n') << true << u"800"_s;
    row("fields missing", u"Domicilios_AA|3001|1|09|15|REFORMA|10||CENTRO|06000|555"_s,
        "línea 6 .*campos y necesita");
    row("bad type", u"Mandatarios|3001|X|Y|N|P|M|2"_s, "línea 6 .*tipo de mandatario");
    row("bad number", u"AA|30O1|JUAN|PEREZ|LOPEZ|R|C|1|470"_s, "línea 6 .*no es un número");
    row("bad date", u"Pedimentos_MM|3001|C|470|1|2003-02-30"_s, "línea 6 .*no es una fecha");
}

// (A failure while storing leaves nothing either: tst_faults.)
void TestDumpImport::nothingImported() {
    QFETCH(QByteArray, dump);
    QFETCH(bool, folder);
    QFETCH(QString, told);
    ProgramDir pd(ProgramDir::Kind::Version30);
    auto db = pd.open();
    const QStringList empty = imported(*db);
    const QStringList said =
        runImport(*db, pd.path(), dump, folder ? QString() : pd.path() + u"/no-existe"_s);
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().contains(QRegularExpression(told)), qPrintable(said.first()));
    QCOMPARE(imported(*db), empty);
}

QTEST_MAIN(TestDumpImport)
#include "tst_dumpimport.moc"
