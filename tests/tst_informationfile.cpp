// The information file: its bytes from the stored rows, the refusals that
// keep its layout, and the one run from "Finaliza" to a signed file (and
// what the key dialog remembers of it). (ENVIO
// after a failure at any step: tst_faults.)
#include "exchange/InformationFile.h"
#include "exchange/Signing.h"
#include "support/WizardDriver.h"
#include "wizard/InformationFileFlow.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

class TestInformationFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void contents_data();
    void contents();
    void refusedGeneration_data();
    void refusedGeneration();
#ifdef Q_OS_WIN
    void fileHeldOpenByAnotherProgram();
#endif
    void fromFinalizaToASignedFile();

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
    QStringList inEnvio() const {
        return QDir(envio()).entryList(QDir::Files | QDir::Hidden);
    }
    std::optional<QString> write(QString* why) {
        const Fallible<QString> r = writeInformationFile(*db, pd->path(), u"3001"_s);
        *why = r.why();
        return r ? std::optional(r.value) : std::nullopt;
    }
};

void TestInformationFile::init() {
    QStandardPaths::setTestModeEnabled(true); // remembered settings stay out of the user's
    pd = std::make_unique<ProgramDir>();
    db = pd->open();
    req = storeOffice(*db, pd->path());
}

void TestInformationFile::cleanup() {
    db.reset();
    pd.reset();
}

// Each case's changes to the office (<case>.sql) and the file expected
// (<case>.txt), in fixtures/. No representative: the filler line and no
// history, even though there are historic agents; names in Windows-1252. A
// 2.13.11 representative brings the history sections, as fillers when empty;
// his requirement is not wanted.
void TestInformationFile::contents_data() {
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"3001", "3001-no-representative", "3001-empty-history", "3001-history"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestInformationFile::contents() {
    QFETCH(QString, name);
    if (name != u"3001"_s)
        runScene(*db, name + u".sql"_s, pd->path());
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
    if (hasRosa)
        QCOMPARE(readWholeFile(envio() + u"/GAMR800202XY2.req"_s),
                 QByteArray("requerimiento nuevo"));
}

void TestInformationFile::refusedGeneration_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("value"); // <d>: the program folder
    QTest::addColumn<QStringList>("told");
    const QString rosa = RosaCurp, third = "TERC820404HDFRRS03";
    const char* thirdRow = "insert into Mandatarios values "
                           "('TERC820404HDFRRS03','T','A','B','C',3,?,0,1,NULL)";
    row("separator", "update Domicilios_MM set Calle=?", "JUAREZ|5",
        QStringList{"Domicilios_MM", "Calle", rosa, "\"|\""});
    row("line break", "update Mandatarios set Nombre=?", "ROSA\rM",
        QStringList{"Mandatarios", "Nombre", rosa, "salto de"});
    row("LF in a number", "update Pedimentos_MM set NoPedimento=?", "12\n3",
        QStringList{"Pedimentos_MM", "NoPedimento", rosa});
    row("outside the code page", "update AA set ApMaterno=?", "L\u0150PEZ",
        QStringList{"tabla AA", "ApMaterno", "3001"});
    const QString missing = QDir::toNativeSeparators("/no/existe/GAMR.req");
    row("missing requirement", "update Mandatarios set Requerimiento=?", "/no/existe/GAMR.req",
        QStringList{rosa, missing});
    row("no requirement", "update Mandatarios set Mandato=3, Requerimiento=?", "",
        QStringList{rosa});
    // Two files of one name would leave only one of them in ENVIO; Windows
    // takes names that differ only in case for one file.
    row("same name", thirdRow, "<d>/otra/GAMR800202XY2.req", QStringList{rosa, third});
    row("same name but case", thirdRow, "<d>/otra/gamr800202xy2.REQ",
        QStringList{rosa, third, "mismo nombre"});
}

void TestInformationFile::refusedGeneration() {
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
    must(*db, sql, {value});
    QVERIFY(!write(&why));
    for (const QString& t : told)
        QVERIFY2(why.contains(t), qPrintable(why + u" / "_s + t));
    QCOMPARE(readWholeFile(file()), before);
    QCOMPARE(inEnvio().size(), 2);
}

#ifdef Q_OS_WIN
// Windows refuses to replace a file that another program holds open without
// delete sharing, as a spreadsheet or an editor does.
void TestInformationFile::fileHeldOpenByAnotherProgram() {
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
    CloseHandle(h);
    QVERIFY(!written);
    QVERIFY2(why.contains(held) && why.contains(u"abierto en otro programa"_s), qPrintable(why));
    QCOMPARE(readWholeFile(file()), before);
    QCOMPARE(inEnvio(), files);
}
#endif

void TestInformationFile::fromFinalizaToASignedFile() {
    AppState state;
    state.dataDir = pd->path();
    state.NoPat = u"3001"_s;
    const QString key = QDir(pd->path()).filePath(u"PELJ700101AB1.key"_s);
    QFile::copy(fixture(u"keys/rsa.key"_s), key);
    QDir().mkpath(envio());
    writeWholeFile(file(), "archivo anterior");
    // Cancel to the question; then the key dialog left with Cancelar; then
    // the key picked through "&Buscar..", the password typed, Aceptar.
    seam::Script s;
    s.answer(seam::Answer::Cancel);
    for (const char* button : {"cmdCancelar", "cmdAceptar"})
        s.onDialog(u"frmKey"_s, [&s, &key, button](QDialog& d) {
            s.chooseFile(key);
            press(d, u"cmdBuscar"_s);
            setValue(d, u"txtPassword"_s, u"clave"_s);
            press(d, QLatin1String(button));
            return d.result();
        });
    const auto finaliza = [&] {
        return Genera_archivo(nullptr, state, *db, "PELJ700101AB1", "3001");
    };
    QVERIFY(!finaliza());
    QVERIFY(s.lastText().startsWith(u"¿DESEA GENERAR EL ARCHIVO"_s));
    QCOMPARE(s.shown.first().buttons, seam::Buttons::OkCancel);
    QVERIFY(s.dialogsShown.isEmpty());
    QVERIFY(!finaliza());
    QCOMPARE(readWholeFile(file()), QByteArray("archivo anterior"));

    QVERIFY2(finaliza(), qPrintable(s.lastText()));
    QCOMPARE(s.lastText(), u"Se genero el archivo %1 correctamente y se agrego Firma Digital, no "
                           "olvide enviarlo y los requerimientos manualmente a %2"_s.arg(
                               QDir::toNativeSeparators(file()), state.contact.authorityMail));
    const QByteArray signed_ = readWholeFile(file());
    QVERIFY(signed_.startsWith(ExpectedSample));
    QVERIFY(verifySignature(signed_, readWholeFile(fixture(u"keys/rsa.cer"_s))).intact);
    QCOMPARE(inEnvio(), (QStringList{"3001.txt", "GAMR800202XY2.req"}));
    // The second key dialog opened where the key was; no password is kept.
    QCOMPARE(s.fileFolders.value(1), pd->path());
    const QSettings stored(QSettings::UserScope, u"KESTRO"_s, u"KESTRO"_s);
    for (const QString& k : stored.allKeys())
        QVERIFY(!stored.value(k).toString().contains(u"clave"_s));
}

QTEST_MAIN(TestInformationFile)
#include "tst_informationfile.moc"
