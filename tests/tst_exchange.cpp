// The exchange with the outside: the information file (its bytes from the
// stored rows, the refusals that keep its layout, the one run from
// "Finaliza" to a signed file) and the previous version's data taken over
// (its dump tool waited for, the dump read and stored, or nothing stored and
// the reason told). A failure at any step: tst_faults.
#include "data/BackupFolder.h"
#include "data/FaultPoint.h"
#include "entry/Seam.h"
#include "exchange/DumpImport.h"
#include "exchange/EnvioStage.h"
#include "exchange/InformationFile.h"
#include "exchange/SignedEnvio.h"
#include "exchange/Signing.h"
#include "rules/Cp1252.h"
#include "support/WizardDriver.h"
#include "wizard/InformationFileFlow.h"
#include "wizard/PreviousVersionImport.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

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

// Runs the import from `folder`, answering a question with `answer`;
// returns what was told.
QStringList runImport(Database& db, const QString& program, const QString& folder,
                      seam::Answer answer = seam::Answer::Ok) {
    seam::Script s;
    s.answer(answer);
    Viejo_KESTRO(nullptr, db, program, folder);
    QStringList told;
    for (const seam::Shown& m : s.shown)
        told << m.text;
    return told;
}

// The previous version's dump tool, played by a stand-in placed in
// `toolDir`: on Windows a small program started directly, as the real tool
// is; elsewhere a stand-in for wine, first on PATH while it lives. It waits
// `seconds`, then (when given one) writes `dump` as Recupera.txt where it
// was started, and ends with `exitCode`.
class DumpToolStandIn {
public:
    DumpToolStandIn(const QString& toolDir, int seconds, const QByteArray& dump, int exitCode = 0) {
        const QString tool = QDir(toolDir).filePath(u"Trasvase.exe"_s);
#ifdef Q_OS_WIN
        QFile::copy(QStringLiteral(KESTRO_DUMP_STAND_IN), tool);
        const QString dumpFile = dir_.filePath(u"volcado"_s);
        writeWholeFile(dumpFile, dump);
        qputenv("KESTRO_STAND_IN_SECONDS", QByteArray::number(seconds));
        qputenv("KESTRO_STAND_IN_DUMP", dump.isEmpty() ? QByteArray() : dumpFile.toLocal8Bit());
        qputenv("KESTRO_STAND_IN_EXIT", QByteArray::number(exitCode));
#else
        const QString wine = dir_.filePath(u"wine"_s);
        writeWholeFile(wine, "#!/bin/sh\nsleep " + QByteArray::number(seconds) + "\n" +
                                 (dump.isEmpty() ? QByteArray()
                                                 : "cp \"$1\" Recupera.tmp && "
                                                   "mv Recupera.tmp Recupera.txt\n") +
                                 "exit " + QByteArray::number(exitCode) + "\n");
        QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeWholeFile(tool, dump.isEmpty() ? QByteArray("MZ") : dump);
        qputenv("PATH", dir_.path().toLocal8Bit() + ':' + path_);
#endif
    }
    ~DumpToolStandIn() {
        qputenv("PATH", path_);
        qunsetenv("KESTRO_STAND_IN_SECONDS");
        qunsetenv("KESTRO_STAND_IN_DUMP");
        qunsetenv("KESTRO_STAND_IN_EXIT");
    }

private:
    QTemporaryDir dir_;
    QByteArray path_ = qgetenv("PATH");
};

} // namespace

class TestExchange : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void contents_data();
    void contents();
    void refusedGeneration_data();
    void refusedGeneration();
    void envioHoldsThePackage_data();
    void envioHoldsThePackage();
    void earlierCopyThatCannotGoBack();
#ifdef Q_OS_WIN
    void fileHeldOpenByAnotherProgram();
#else
    void envioThroughALink();
#endif
    void fromFinalizaToASignedFile();
    void packageInEnvio_data();
    void packageInEnvio();
    void completeDumpAfterTheToolEnds();
    void nothingImported_data();
    void nothingImported();

private:
    // The office of patent 3001 with Rosa, a representative of the earlier kind.
    std::unique_ptr<ProgramDir> pd;
    std::unique_ptr<Database> db;
    QString req;
    QString envio() const {
        return envioFolder(pd->path());
    }
    QString file() const {
        return informationFilePath(pd->path(), u"3001"_s);
    }
    // What Finaliza starts from, for this office.
    std::unique_ptr<AppState> state() const {
        auto s = std::make_unique<AppState>();
        s->dataDir = pd->path();
        s->NoPat = u"3001"_s;
        return s;
    }
    bool finaliza(AppState& s) {
        return Genera_archivo(nullptr, s, *db, u"PELJ700101AB1"_s, u"3001"_s);
    }
    QStringList inEnvio() const {
        return QDir(envio()).entryList(QDir::Files | QDir::Hidden);
    }
    std::optional<QString> write(QString* why) {
        const Fallible<QString> r = writeInformationFile(*db, pd->path(), u"3001"_s);
        *why = r.why();
        return r ? std::optional(r.value) : std::nullopt;
    }
};

void TestExchange::init() {
    QStandardPaths::setTestModeEnabled(true); // remembered settings stay out of the user's
    pd = std::make_unique<ProgramDir>();
    db = pd->open();
    req = storeOffice(*db, pd->path());
}

void TestExchange::cleanup() {
    db.reset();
    pd.reset();
}

// Each case's changes to the office (<case>.sql) and the file expected
// (<case>.txt), in fixtures/. No representative: the filler line and no
// history, even though there are historic agents; names in Windows-1252. A
// 2.13.11 representative brings the history sections, as fillers when empty;
// his requirement is not wanted.
void TestExchange::contents_data() {
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"3001", "3001-no-representative", "3001-empty-history", "3001-history"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestExchange::contents() {
    QFETCH(QString, name);
    if (name != u"3001"_s)
        runScene(*db, name + u".sql"_s, pd->path());
    // What an interrupted run left: a file set aside comes back, a half-written one goes.
    QDir().mkpath(envio());
    writeWholeFile(envio() + u"/nota.txt.kestro-anterior"_s, "nota");
    writeWholeFile(envio() + u"/3001.txt.kestro-nuevo"_s, "a medias");
    QString why;
    const auto path = write(&why);
    QVERIFY2(path, qPrintable(why));
    QCOMPARE(*path, file());
    QCOMPARE(readWholeFile(file()), readWholeFile(fixture(name + u".txt"_s)));
    // A second run copies the current requirement over the earlier copy and
    // leaves nothing temporary behind.
    writeWholeFile(req, "requerimiento nuevo");
    QVERIFY2(write(&why), qPrintable(why));
    const bool hasRosa = readWholeFile(file()).contains("GAMR800202MDFRRS01");
    QCOMPARE(inEnvio(), QStringList({"3001.txt", "GAMR800202XY2.req"}).mid(0, 1 + hasRosa));
    QCOMPARE(filesUnder(envio()).value(u"anteriores/<fecha>/nota.txt"_s), QByteArray("nota"));
    if (hasRosa)
        QCOMPARE(readWholeFile(envio() + u"/GAMR800202XY2.req"_s),
                 QByteArray("requerimiento nuevo"));
}

void TestExchange::refusedGeneration_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("value"); // <d>: the program folder
    QTest::addColumn<QStringList>("told");
    const QString rosa = RosaCurp, third = "TERC820404HDFRRS03";
    const char* thirdRow = "insert into Mandatarios values "
                           "('TERC820404HDFRRS03','GAMR800202XY2','A','B','C',3,?,0,1,NULL)";
    const QString name = u"ROSA GARCIA MARTINEZ"_s;
    row("separator", "update Domicilios_MM set Calle=?", "JUAREZ|5",
        QStringList{"Domicilios_MM", "Calle", rosa, name, "\"|\""});
    row("line break", "update Mandatarios set Nombre=?", "ROSA\rM",
        QStringList{"Mandatarios", "Nombre", rosa, "ROSA\rM GARCIA", "salto de"});
    row("outside the code page", "update AA set ApMaterno=?", "L\u0150PEZ",
        QStringList{"tabla AA", "ApMaterno", "PELJ700101HDFRPN09", "JUAN PEREZ"});
    // What the verifier refuses (each rule: tst_verify), as an older database
    // or an import leaves it: found before the key, each with whom it is of.
    const QString agent = u"PELJ700101HDFRPN09"_s;
    row("delete character", "update Domicilios_AA set Calle=? where Tipo_Dom=1", "REF\x7f",
        QStringList{agent, "JUAN PEREZ LOPEZ", "(0x7f)", "página 1"});
    row("historic agent's CURP holding an RFC",
        "update Mandatarios set Mandato=2, Acreditacion=1;"
        "insert into Historico_AA values (?,?,'FELIPE','HARO','RUIZ')",
        "HIRF700101AB1",
        QStringList{"HIRF700101AB1", "FELIPE HARO RUIZ", "CURP HIRF700101AB1 no es válida"});
    row("address type out of range", "update Domicilios_MM set Tipo_Dom=? where Tipo_Dom=2", "9",
        QStringList{rosa, "\"9\" de Tipo_Dom"});
    row("accreditation out of range", "update Mandatarios set Acreditacion=?", "5",
        QStringList{rosa, "de Acreditacion"});
    row("operating out of range", "update Mandatarios set Operando=?", "4",
        QStringList{rosa, "de Operando"});
    row("representative's history flag", "update Mandatarios set SinHistorico=?", "3",
        QStringList{rosa, "de SinHistorico", "vacío, 0 o 1", "página 5"});
    row("agent's history flag", "update AA set SinHistorico=?", "2",
        QStringList{agent, "de SinHistorico", "página 4"});
    row("office outside the catalogue",
        "update Aduanas_MM set NoAduana=?; update Pedimentos_MM set NoAduana=?", "999",
        QStringList{rosa, "aduana 999 (NoAduana) no está en el catálogo"});
    row("RFC", "update Mandatarios set RFC=?", "1234", QStringList{rosa, "RFC 1234 no es válido"});
    row("state outside the catalogue", "update Domicilios_MM set EntFed=?", "99",
        QStringList{rosa, "entidad federativa 99"});
    // Longer than the entry field lets it be typed.
    row("agent's street longer than its field", "update Domicilios_AA set Calle=? where Tipo_Dom=1",
        QString(101, u'R'), QStringList{agent, "JUAN PEREZ LOPEZ", "Calle tiene 101", "página 1"});
    row("declaration number longer than its field", "update Pedimentos_MM set NoPedimento=?",
        "12345678901", QStringList{rosa, name, "NoPedimento tiene 11 caracteres; admite 10"});
    row("offices authorized past one digit", "update AA set NoAduanasAut=?", "12",
        QStringList{agent, "NoAduanasAut tiene 2 caracteres; admite 1"});
    const QString missing = QDir::toNativeSeparators("/no/existe/GAMR.req");
    row("missing requirement", "update Mandatarios set Requerimiento=?", "/no/existe/GAMR.req",
        QStringList{rosa, name, missing});
    row("no requirement", "update Mandatarios set Mandato=3, Requerimiento=?", "",
        QStringList{rosa, name, "proporcione su archivo"});
    // Two files of one name would leave only one of them in ENVIO; Windows
    // takes names that differ only in case for one file.
    row("same name", thirdRow, "<d>/otra/GAMR800202XY2.req",
        QStringList{rosa, name, third, "A B C"});
    row("same name but case", thirdRow, "<d>/otra/gamr800202xy2.REQ",
        QStringList{rosa, third, "mismo nombre"});
    // Whatever the database names, only her own regular <RFC>.req travels.
    row("another's file", "update Mandatarios set Requerimiento=?", "<d>/otra/3001.txt",
        QStringList{rosa, name, "no se llama como su RFC (GAMR800202XY2.req)"});
#ifndef Q_OS_WIN
    row("a FIFO", "update Mandatarios set Requerimiento=?", "<d>/raro/fifo/GAMR800202XY2.req",
        QStringList{rosa, "no es un archivo común"});
    row("a link", "update Mandatarios set Requerimiento=?", "<d>/raro/enlace/GAMR800202XY2.req",
        QStringList{rosa, "es un enlace"});
#endif
}

void TestExchange::refusedGeneration() {
    QFETCH(QString, sql);
    QFETCH(QString, value);
    QFETCH(QStringList, told);
    QString why;
    QVERIFY2(write(&why), qPrintable(why));
    const QByteArray before = readWholeFile(file());
    value.replace(u"<d>"_s, pd->path());
    QDir().mkpath(pd->path() + u"/otra"_s);
    writeWholeFile(pd->path() + u"/otra/GAMR800202XY2.req"_s, "otro");
    writeWholeFile(pd->path() + u"/otra/gamr800202xy2.REQ"_s, "otro más");
    writeWholeFile(pd->path() + u"/otra/3001.txt"_s, "otro");
#ifndef Q_OS_WIN
    for (const char* sub : {"/raro/fifo", "/raro/enlace"})
        QDir().mkpath(pd->path() + QLatin1String(sub));
    QCOMPARE(mkfifo(QFile::encodeName(pd->path() + u"/raro/fifo/GAMR800202XY2.req"_s), 0600), 0);
    QVERIFY(QFile::link(u"/etc/hostname"_s, pd->path() + u"/raro/enlace/GAMR800202XY2.req"_s));
#endif
    for (const QString& statement : sql.split(u';'))
        must(*db, statement, QVariantList(statement.count(u'?'), value));
    const Fallible<InformationFileContent> prepared = prepareInformationFile(*db, u"3001"_s);
    QVERIFY(!prepared);
    why = prepared.why();
    for (const QString& t : told)
        QVERIFY2(why.contains(t), qPrintable(why + u" / "_s + t));

    // Listed right after the question, before the user looks for his key:
    // the key dialog never opens and ENVIO stays as it was.
    seam::Script s;
    QString listed;
    bool mayGoOn = true;
    s.onDialog(u"FindingsDialog"_s, [&listed, &mayGoOn](QDialog& d) {
        const auto* list = named<QTreeWidget>(d, u"twHallazgos"_s);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            for (int c = 0; c < 4; ++c)
                listed += list->topLevelItem(i)->text(c) + u' ';
        mayGoOn = !named(d, u"cmdContinuar"_s)->isHidden();
        return int(QDialog::Rejected);
    });
    QVERIFY(!finaliza(*state()));
    QCOMPARE(s.dialogsShown, QStringList{u"FindingsDialog"_s});
    QVERIFY(!mayGoOn);
    for (const QString& t : told)
        QVERIFY2(listed.contains(t), qPrintable(listed + u" / "_s + t));
    QCOMPARE(readWholeFile(file()), before);
    QCOMPARE(inEnvio().size(), 2);
}

// What stood in ENVIO before a generation ('|' between files, each
// name=content, "@" for the very bytes this generation writes; a name may
// lead into a folder). After a successful one ENVIO holds just the package
// and all of that lies, as it was, in anteriores/<date>/; after one that
// fails at any step ENVIO is unchanged.
void TestExchange::envioHoldsThePackage_data() {
    QTest::addColumn<QString>("before");
    row("empty", "");
    row("earlier patent's file", "2999.txt=firmado antes");
    row("earlier file of this patent", "3001.txt=firmado antes");
    row("copy no longer due", "VIEJ700101AB1.req=ya no");
    row("the user's own", "nota.txt=del agente|cartas/oficio.txt=carta");
    row("due copy already there", "GAMR800202XY2.req=copia anterior");
    row("set aside by an interrupted run, its place taken",
        "nota.txt=nueva|nota.txt.kestro-anterior=anterior");
    row("the system's hidden file stays", ".oculto=miniaturas|nota.txt=del agente");
    row("all at once", "2999.txt=a|3001.txt=b|VIEJ700101AB1.req=c|nota.txt=d|"
                       "GAMR800202XY2.req=e|anteriores/2020-01-01 10.00.00/1.txt=f");
    // The same data signed with the same key give the same bytes.
    row("the same package again", "3001.txt=@|GAMR800202XY2.req=requerimiento de ROSA");
}

void TestExchange::envioHoldsThePackage() {
    QFETCH(QString, before);
    QMap<QString, QByteArray> earlier;
    // Names that start with a dot are hidden, as Windows marks Thumbs.db.
    const auto place = [this](const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(envio() + u'/' + name).path());
        writeWholeFile(envio() + u'/' + name, bytes);
#ifdef Q_OS_WIN
        if (name.startsWith(u'.'))
            SetFileAttributesW(reinterpret_cast<const wchar_t*>(
                                   QDir::toNativeSeparators(envio() + u'/' + name).utf16()),
                               FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
#endif
    };
    for (const QString& f : before.split(u'|', Qt::SkipEmptyParts)) {
        const QByteArray bytes = f.section(u'=', 1) == u"@" ? readWholeFile(fixture(u"3001.txt"_s))
                                                            : f.section(u'=', 1).toUtf8();
        earlier.insert(f.section(u'=', 0, 0), bytes);
        place(f.section(u'=', 0, 0), bytes);
    }
    QString why;
    faultpoint::arm(0);
    QVERIFY2(write(&why), qPrintable(why));
    const int steps = faultpoint::seen();
    const QMap<QString, QByteArray> done = filesUnder(envio());
    // Undone, then every step made to fail in turn.
    QVERIFY(QDir(envio()).removeRecursively());
    for (auto f = earlier.cbegin(); f != earlier.cend(); ++f)
        place(f.key(), f.value());
    const QMap<QString, QByteArray> asBefore = filesUnder(envio());
    QCOMPARE(asBefore.size(), earlier.size());
    // Alone (j == k), then with a second failure at each later step, the
    // undoing's included: what is not as before is told so, and the next
    // start brings it back, even after a start that met the disk still
    // failing.
    for (int k = 1; k <= steps; ++k) {
        for (int j = k;; ++j) {
            faultpoint::arm(k);
            if (j > k)
                faultpoint::armAlso(j);
            const bool written = write(&why).has_value();
            const bool reached = faultpoint::seen() >= j;
            faultpoint::disarm();
            if (!reached)
                break;
            const QString at = u"%1 and %2: "_s.arg(k).arg(j) + why;
            QVERIFY2(!written && !why.isEmpty(), qPrintable(at));
            if (filesUnder(envio()) != asBefore) {
                QVERIFY2(!why.contains(u"quedó como estaba"_s), qPrintable(at));
                faultpoint::arm(1, true);
                EnvioStage::recover(envio());
                faultpoint::disarm();
                EnvioStage::recover(envio());
            }
            QCOMPARE(filesUnder(envio()), asBefore);
        }
    }

    QMap<QString, QByteArray> expected{{u"3001.txt"_s, readWholeFile(fixture(u"3001.txt"_s))},
                                       {u"GAMR800202XY2.req"_s, "requerimiento de ROSA"}};
    for (auto f = earlier.cbegin(); f != earlier.cend(); ++f)
        expected.insert(f.key().startsWith(u"anteriores/"_s) ? u"anteriores/<fecha>/1.txt"_s
                        : f.key().startsWith(u'.')           ? f.key()
                                                             : u"anteriores/<fecha>/"_s + f.key(),
                        f.value());
    QCOMPARE(done, expected);
}

#ifndef Q_OS_WIN
// ENVIO that is a link to another folder, or holds a link: a generation
// would move the other folder's contents, so it is refused and nothing
// there moves.
void TestExchange::envioThroughALink() {
    QTemporaryDir other;
    writeWholeFile(other.filePath(u"suyo.txt"_s), "de otro");
    for (const bool itself : {true, false}) {
        QDir(envio()).removeRecursively();
        if (itself) {
            QVERIFY(QFile::link(other.path(), envio()));
        } else {
            QDir().mkpath(envio());
            QVERIFY(QFile::link(other.filePath(u"suyo.txt"_s), envio() + u"/suyo.txt"_s));
        }
        QString why;
        QVERIFY(!write(&why));
        VERIFY_HOLDS(why, u"es un enlace"_s);
        QCOMPARE(QDir(other.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"suyo.txt"_s});
        QFile::remove(envio());
    }
}
#endif

// The disk gives out while the package takes its place and stays broken
// while it is undone (an antivirus holding the new file, say): the user is
// told which file could not go back and where its earlier copy is, and the
// next start puts it back, never deleting it while its place is taken.
void TestExchange::earlierCopyThatCannotGoBack() {
    QDir().mkpath(envio());
    writeWholeFile(file(), "firmado antes");
    writeWholeFile(envio() + u"/nota.txt"_s, "del agente");
    QString why;
    faultpoint::arm(0);
    QVERIFY(write(&why));
    const int last = faultpoint::seen(); // the step that ends the placing
    writeWholeFile(file(), "firmado antes");
    writeWholeFile(envio() + u"/nota.txt"_s, "del agente");
    QFile::remove(envio() + u"/GAMR800202XY2.req"_s);
    QVERIFY(QDir(EnvioStage::archiveFolder(envio())).removeRecursively());

    faultpoint::arm(last, true);
    QVERIFY(!write(&why));
    faultpoint::disarm();
    const QStringList dated =
        QDir(EnvioStage::archiveFolder(envio())).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(dated.size(), 1);
    const QString aside = EnvioStage::archiveFolder(envio()) + u'/' + dated.first();
    QVERIFY2(!why.contains(u"quedó como estaba"_s) &&
                 why.contains(QDir::toNativeSeparators(aside + u"/3001.txt"_s)) &&
                 why.contains(QDir::toNativeSeparators(aside + u"/nota.txt"_s)),
             qPrintable(why));
    QCOMPARE(readWholeFile(aside + u"/3001.txt"_s), QByteArray("firmado antes"));

    // The user put something of his own where his note was.
    writeWholeFile(envio() + u"/nota.txt"_s, "otra nota");
    EnvioStage::recover(envio());
    QCOMPARE(filesUnder(envio()),
             (QMap<QString, QByteArray>{{u"3001.txt"_s, "firmado antes"},
                                        {u"nota.txt"_s, "otra nota"},
                                        {u"anteriores/<fecha>/nota.txt"_s, "del agente"}}));
}

#ifdef Q_OS_WIN
// Windows refuses to replace a file that another program holds open without
// delete sharing, as a spreadsheet or an editor does.
void TestExchange::fileHeldOpenByAnotherProgram() {
    QString why;
    QVERIFY2(write(&why), qPrintable(why));
    const QByteArray before = readWholeFile(file());
    const QStringList files = inEnvio();
    must(*db, "update Mandatarios set Nombre='ROSARIO'");
    const QString held = QDir::toNativeSeparators(file());
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(held.utf16()), GENERIC_READ,
                           FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    QVERIFY(h != INVALID_HANDLE_VALUE);
    const bool written = write(&why).has_value();
    // Finaliza tells it before the key is asked for.
    seam::Script s;
    goOnToTheKey(s); // past the fixture's CURP observations
    const bool generated = finaliza(*state());
    CloseHandle(h);
    QVERIFY(!written && !generated);
    QVERIFY2(why.contains(held) && why.contains(u"abierto en otro programa"_s), qPrintable(why));
    QCOMPARE(s.dialogsShown, QStringList{u"FindingsDialog"_s}); // never the key's
    QVERIFY2(s.lastText().contains(held) && s.lastText().contains(u"está abierto en"_s),
             qPrintable(s.lastText()));
    QCOMPARE(readWholeFile(file()), before);
    QCOMPARE(inEnvio(), files);
}
#endif

void TestExchange::fromFinalizaToASignedFile() {
    const auto office = state();
    const QString key = QDir(pd->path()).filePath(u"PELJ700101AB1.key"_s);
    QFile::copy(fixture(u"keys/rsa.key"_s), key);
    QDir().mkpath(envio());
    writeWholeFile(file(), "archivo anterior");
    // Cancel to the question; then the key picked through "&Buscar..", a
    // wrong password; then a retry that needs only the password.
    seam::Script s;
    s.answer(seam::Answer::Cancel);
    goOnToTheKey(s);
    goOnToTheKey(s);
    answerKey(s, key, u"Clave"_s);
    QString retry;
    s.onDialog(u"frmKey"_s, [&retry](QDialog& d) {
        retry = showing(d, {"txtLlave", "txtPassword"});
        setValue(d, u"txtPassword"_s, u"clave"_s);
        press(d, u"cmdAceptar"_s);
        return d.result();
    });
    QVERIFY(!finaliza(*office));
    QVERIFY(s.lastText().startsWith(u"¿DESEA GENERAR EL ARCHIVO"_s));
    QCOMPARE(s.shown.first().buttons, seam::Buttons::OkCancel);
    QVERIFY(s.dialogsShown.isEmpty());
    QVERIFY(!finaliza(*office));
    QCOMPARE(s.lastText() + readWholeFile(file()), u"Error en la contraseñaarchivo anterior"_s);

    // The agent reads the outcome a while: the copy and the summary taken
    // after it still carry the generation's time.
    s.whileShown = [&s] {
        if (s.lastText().startsWith(u"Se genero"_s))
            QTest::qSleep(1100);
    };
    QVERIFY2(finaliza(*office), qPrintable(s.lastText()));
    const QString generation = QDir(EnvioStage::archiveFolder(envio()))
                                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                   .value(0);
    QCOMPARE(QFileInfo(BackupFolder(pd->path()).copies().value(0).path).fileName(),
             u"kestro %1.mdb"_s.arg(generation));
    QCOMPARE(QFileInfo(office->summaryPath).fileName(), u"3001 %1.pdf"_s.arg(generation));
    QCOMPARE(s.lastText(), u"Se genero el archivo %1 correctamente y se agrego Firma Digital, no "
                           "olvide enviarlo y los requerimientos manualmente a %2"_s.arg(
                               QDir::toNativeSeparators(file()), office->contact.authorityMail));
    const QByteArray signed_ = readWholeFile(file());
    QVERIFY(signed_.startsWith(ExpectedSample));
    QVERIFY(verifySignature(signed_, readWholeFile(fixture(u"keys/rsa.cer"_s))).intact);
    QCOMPARE(inEnvio(), (QStringList{"3001.txt", "GAMR800202XY2.req"}));
    QCOMPARE(BackupFolder(pd->path()).copies().size(), 1); // after the signed file only
    QCOMPARE(retry, QDir::toNativeSeparators(key) + u'|'); // no password is kept
    QVERIFY(signedEnvio(*db, pd->path(), u"3001"_s).current());
    const QSettings stored(QSettings::UserScope, u"KESTRO"_s, u"KESTRO"_s);
    for (const QString& k : stored.allKeys())
        QVERIFY(!stored.value(k).toString().contains(u"clave"_s));
}

// What ENVIO holds after a signed generation and then one change: the
// package is current only while the file and every requirement copy are
// what would be written now; a file signed with the kept key that no longer
// matches is stale, with its signing time; anything else is no signed file.
// (Unchanged, the data or the requirement changed: tst_wizard, as page 1 tells it.)
void TestExchange::packageInEnvio_data() {
    QTest::addColumn<QString>(
        "change"); // rm: or write: the file, its key, a requirement or its copy
    QTest::addColumn<int>("state");
    const int none = int(EnvioPackage::State::None), stale = int(EnvioPackage::State::Stale);
    row("requirement copy deleted", "rm:envio", stale);
    row("requirement copy rewritten", "write:envio", stale);
    row("requirement unreadable", "rm:req", stale);
    row("file no longer as signed", "write:file", none);
    row("signing key not kept", "rm:key", none);
    row("no file", "rm:file", none);
}

void TestExchange::packageInEnvio() {
    QFETCH(QString, change);
    QFETCH(int, state);
    const QString keyPath = fixture(u"keys/rsa.key"_s);
    QByteArray publicKey;
    const SignStep sign = [&](QByteArray& bytes) {
        Signer s{agentCurpOf(bytes), keyPath.toUtf8(), "clave"};
        return signContent(bytes, s, &publicKey) == SignedOk;
    };
    const Fallible<QString> written = writeInformationFile(*db, pd->path(), u"3001"_s, sign);
    QVERIFY2(written, qPrintable(written.why()));
    writeWholeFile(lastSigningKeyPath(pd->path()), publicKey);
    const QDateTime signedAt = QFileInfo(file()).lastModified();
    const QString copy = envio() + u"/GAMR800202XY2.req"_s;
    const QString what = change.section(u':', 1);
    const QString path = what == u"envio"_s ? copy
                         : what == u"req"_s ? req
                         : what == u"key"_s ? lastSigningKeyPath(pd->path())
                                            : file();
    if (change.startsWith(u"rm:"_s))
        QVERIFY(QFile::remove(path));
    else if (change.startsWith(u"write:"_s))
        writeWholeFile(path, readWholeFile(path).replace("ROSA", "RosA"));

    const EnvioPackage package = signedEnvio(*db, pd->path(), u"3001"_s);
    QCOMPARE(int(package.state), state);
    QCOMPARE(package.signedAt, state == int(EnvioPackage::State::None) ? QDateTime() : signedAt);
    QCOMPARE(package.why.isEmpty(), state != int(EnvioPackage::State::Stale));
}

void TestExchange::completeDumpAfterTheToolEnds() {
    // The tool writes its dump only after a pause: reading before it ends
    // would find no dump.
    ProgramDir pd(ProgramDir::Kind::Version30);
    const DumpToolStandIn tool(pd.path(), 1, completeDump);
    QTemporaryDir previous;
    auto db = pd.open();
    QCOMPARE(runImport(*db, pd.path(), previous.path()), QStringList());
    QVERIFY(QFileInfo::exists(previous.filePath(u"Trasvase.exe"_s)));
    // Recupera.stored.txt: each imported table's name, then its rows.
    QCOMPARE(imported(*db).join(u'\n') + u'\n',
             QString::fromUtf8(readWholeFile(fixture(u"Recupera.stored.txt"_s))));
    // Once the agent is there, the previous version is never looked at.
    QCOMPARE(runImport(*db, pd.path(), pd.path() + u"/no-existe"_s), QStringList());
}

// Nothing stored, and each message told (patterns, in order): no previous
// version, no dump, or a dump cut short or with a bad line, read once the
// user accepts it with no tool to run. A dump an earlier run left in the
// folder is never read as the tool's own. (A failure while storing:
// tst_faults.)
void TestExchange::nothingImported_data() {
    QTest::addColumn<QByteArray>("dump"); // dated 14/03/2025 09:30; none when null, "-" no folder
    QTest::addColumn<int>("toolExit");    // -1: no tool beside the program
    QTest::addColumn<bool>("toolWrites");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QStringList>("told");
    const QList<QByteArray> lines = completeDump.split('\n');
    // The first five lines of the complete dump, then `bad` and the end.
    const auto row = [&](const char* name, const QString& bad, const char* told) {
        ::row(name,
              lines.mid(0, 5).join('\n') + '\n' + Cp1252::encode(bad) + "\r\n800|1111111|1|\r\n",
              -1, false, true,
              QStringList{u"^No se puede ejecutar Trasvase.exe"_s, QString::fromUtf8(told)});
    };
    ::row("no folder", QByteArray("-"), -1, false, true,
          QStringList{"No hay una versión anterior de KESTRO"});
    ::row("no dump", QByteArray(), -1, false, true, QStringList{"No se encontró el archivo"});
    ::row("no end", lines.mid(0, 8).join('\n'), -1, false, true,
          QStringList{u"^No se puede ejecutar Trasvase.exe"_s, u"800"_s});
    row("fields missing", u"Domicilios_AA|3001|1|09|15|REFORMA|10||CENTRO|06000|555"_s,
        "línea 6 .*campos y necesita");
    row("bad type", u"Mandatarios|3001|X|Y|N|P|M|2"_s, "línea 6 .*tipo de mandatario");
    row("bad number", u"AA|30O1|JUAN|PEREZ|LOPEZ|R|C|1|470"_s, "línea 6 .*no es un número");
    row("bad date", u"Pedimentos_MM|3001|C|470|1|2003-02-30"_s, "línea 6 .*no es una fecha");
    ::row("earlier dump, tool writes none", completeDump, 0, false, false,
          QStringList{"^No se encontró el archivo"});
    ::row("earlier dump, tool fails", completeDump, 3, true, false,
          QStringList{"código de error 3\\. No se importaron"});
    ::row("earlier dump, no tool, refused", completeDump, -1, false, false,
          QStringList{
              "^No se puede ejecutar Trasvase.exe.* hecho el 14/03/2025 a las 09:30\\..*¿Desea"});
}

void TestExchange::nothingImported() {
    QFETCH(QByteArray, dump);
    QFETCH(int, toolExit);
    QFETCH(bool, toolWrites);
    QFETCH(bool, accept);
    QFETCH(QStringList, told);
    ProgramDir pd(ProgramDir::Kind::Version30);
    std::optional<DumpToolStandIn> tool;
    if (toolExit >= 0)
        tool.emplace(pd.path(), 0, toolWrites ? completeDump : QByteArray(), toolExit);
    QTemporaryDir previous;
    if (!dump.isNull() && dump != "-") {
        writeWholeFile(previous.filePath(u"Recupera.txt"_s), dump);
        setModified(previous.filePath(u"Recupera.txt"_s),
                    QDateTime(QDate(2025, 3, 14), QTime(9, 30)));
    }
    auto db = pd.open();
    const QStringList empty = imported(*db);
    const QStringList said =
        runImport(*db, pd.path(), dump == "-" ? pd.path() + u"/no-existe"_s : previous.path(),
                  accept ? seam::Answer::Ok : seam::Answer::Cancel);
    QCOMPARE(said.size(), told.size());
    for (qsizetype i = 0; i < said.size(); ++i)
        VERIFY_HOLDS(said[i],
                     QRegularExpression(told[i], QRegularExpression::DotMatchesEverythingOption));
    QCOMPARE(imported(*db), empty);
}

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
