// The information file: its bytes from the stored rows, the refusals that
// keep its layout, and the one run from "Finaliza" to a signed file. (ENVIO
// after a failure at any step: tst_faults.)
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "exchange/InformationFile.h"
#include "exchange/Signing.h"
#include "support/SampleFile.h"
#include "support/TestKey.h"
#include "support/TestSupport.h"
#include "wizard/InformationFileFlow.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

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
        return informationFilePath(pd->path(), QStringLiteral("3001"));
    }
    QStringList inEnvio() const {
        return QDir(envio()).entryList(QDir::Files | QDir::Hidden);
    }
    std::optional<QString> write(QString* why) {
        const Fallible<QString> r = writeInformationFile(*db, pd->path(), QStringLiteral("3001"));
        *why = r.why();
        return r ? std::optional(r.value) : std::nullopt;
    }
};

void TestInformationFile::init() {
    pd = std::make_unique<ProgramDir>();
    db = pd->open();
    req = storeOffice(*db, pd->path());
}

void TestInformationFile::cleanup() {
    db.reset();
    pd.reset();
}

namespace {
QByteArray filler(const char* tag, int n) {
    return tag + QByteArray("|3001") + QByteArray("|No Aplica").repeated(n) + "\r\n";
}
const QByteArray Rosa = ExpectedSample.sliced(ExpectedSample.indexOf("Mandatarios"));
const QByteArray Agent = ExpectedSample.first(ExpectedSample.indexOf("Mandatarios"));
const QByteArray End = "800|1111111|1|\r\n";
} // namespace

void TestInformationFile::contents_data() {
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("example") << QStringList() << ExpectedSample;
    // No representative: the filler line and no history, even though there
    // are historic agents. Names in Windows-1252.
    QTest::newRow("no representative")
        << QStringList{"delete from Mandatarios",
                       "delete from Domicilios_MM",
                       "delete from Aduanas_MM",
                       "delete from Pedimentos_MM",
                       "insert into Historico_AA values ('H','HC','F','H','R')",
                       "update AA set Nombre='PEÑA', ApPaterno='ÁLVAREZ'"}
        << QByteArray(Agent).replace("JUAN|PEREZ", "PE\xD1"
                                                   "A|\xC1LVAREZ") +
               filler("Mandatarios", 7) + End;
    // A 2.13.11 representative brings the history sections, as fillers when
    // empty; his requirement is not wanted.
    const QString luis = "insert into Mandatarios values ('MAHR810303HDFRRS02','MAHR810303XY2',"
                         "'LUIS','HARO','RUIZ',2,'/no/MAHR.req',0,1,NULL)";
    const QByteArray luisLine = "Mandatarios|3001|MAHR810303HDFRRS02|MAHR810303XY2|LUIS|HARO|"
                                "RUIZ|2|0|1\r\n";
    QByteArray withLuis = ExpectedSample.chopped(End.size());
    withLuis.insert(withLuis.indexOf("Domicilios_MM"), luisLine);
    QTest::newRow("empty history")
        << QStringList{luis}
        << withLuis + filler("Historico_AA", 4) + filler("Periodos_H_MM", 5) + End;
    QTest::newRow("history")
        << QStringList{luis, "insert into Historico_AA values ('HR','HC','FELIPE','HARO','RUIZ')",
                       "insert into Periodos_H_AA values ('HC',470,'1999-01-02','2000-03-04')",
                       "insert into Periodos_H_MM values ('MC',240,1234,'2001-02-03',"
                       "'2002-04-05')"}
        << withLuis +
               "Historico_AA|3001|HR|HC|FELIPE|HARO|RUIZ\r\n"
               "Periodos_H_AA|3001|HC|470|1999-01-02|2000-03-04\r\n"
               "Periodos_H_MM|3001|MC|240|1234|2001-02-03|2002-04-05\r\n" +
               End;
}

void TestInformationFile::contents() {
    QFETCH(QStringList, changes);
    QFETCH(QByteArray, expected);
    for (const QString& sql : changes)
        must(*db, sql);
    QString why;
    const auto path = write(&why);
    QVERIFY2(path, qPrintable(why));
    QCOMPARE(*path, file());
    QCOMPARE(readWholeFile(file()), expected);
    // A second run copies the current requirement over the earlier copy and
    // leaves nothing temporary behind.
    writeWholeFile(req, "requerimiento nuevo");
    QVERIFY2(write(&why), qPrintable(why));
    const bool hasRosa = expected.contains("GAMR800202MDFRRS01");
    QCOMPARE(inEnvio(), QStringList({"3001.txt", "GAMR800202XY2.req"}).mid(0, 1 + hasRosa));
    if (hasRosa)
        QCOMPARE(readWholeFile(envio() + QStringLiteral("/GAMR800202XY2.req")),
                 QByteArray("requerimiento nuevo"));
}

void TestInformationFile::refusedGeneration_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("value"); // <d>: the program folder
    QTest::addColumn<QStringList>("told");
    const QString curp = RosaCurp, third = "insert into Mandatarios values "
                                           "('TERC820404HDFRRS03','T','A','B','C',3,?,0,1,NULL)";
    QTest::newRow("separator") << "update Domicilios_MM set Calle=?"
                               << "JUAREZ|5"
                               << QStringList{"Domicilios_MM", "Calle", curp, "\"|\""};
    QTest::newRow("line break") << "update Mandatarios set Nombre=?"
                                << "ROSA\rM"
                                << QStringList{"Mandatarios", "Nombre", curp, "salto de"};
    QTest::newRow("LF in a number") << "update Pedimentos_MM set NoPedimento=?"
                                    << "12\n3" << QStringList{"Pedimentos_MM", "NoPedimento", curp};
    QTest::newRow("outside the code page")
        << "update AA set ApMaterno=?"
        << "L\u0150PEZ" << QStringList{"tabla AA", "ApMaterno", "3001"};
    QTest::newRow("missing requirement")
        << "update Mandatarios set Requerimiento=?"
        << "/no/existe/GAMR.req"
        << QStringList{curp, QDir::toNativeSeparators(QStringLiteral("/no/existe/GAMR.req"))};
    QTest::newRow("no requirement") << "update Mandatarios set Mandato=3, Requerimiento=?"
                                    << "" << QStringList{curp};
    // Two files of one name would leave only one of them in ENVIO; Windows
    // takes names that differ only in case for one file.
    QTest::newRow("same name") << third << "<d>/otra/GAMR800202XY2.req"
                               << QStringList{curp, "TERC820404HDFRRS03"};
    QTest::newRow("same name but case") << third << "<d>/otra/gamr800202xy2.REQ"
                                        << QStringList{curp, "TERC820404HDFRRS03", "mismo nombre"};
}

void TestInformationFile::refusedGeneration() {
    QFETCH(QString, sql);
    QFETCH(QString, value);
    QFETCH(QStringList, told);
    QString why;
    QVERIFY2(write(&why), qPrintable(why));
    const QByteArray before = readWholeFile(file());
    value.replace(QStringLiteral("<d>"), pd->path());
    QDir().mkpath(pd->path() + QStringLiteral("/otra"));
    writeWholeFile(pd->path() + QStringLiteral("/otra/GAMR800202XY2.req"), "otro");
    writeWholeFile(pd->path() + QStringLiteral("/otra/gamr800202xy2.REQ"), "otro más");
    must(*db, sql, {value});
    QVERIFY(!write(&why));
    for (const QString& t : told)
        QVERIFY2(why.contains(t), qPrintable(why + QStringLiteral(" / ") + t));
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
    QVERIFY2(why.contains(held) && why.contains(QStringLiteral("abierto en otro programa")),
             qPrintable(why));
    QCOMPARE(readWholeFile(file()), before);
    QCOMPARE(inEnvio(), files);
}
#endif

void TestInformationFile::fromFinalizaToASignedFile() {
    AppState state;
    state.dataDir = pd->path();
    state.NoPat = QStringLiteral("3001");
    const QString key = QDir(pd->path()).filePath(QStringLiteral("PELJ700101AB1.key"));
    const TestKey rsa(true);
    writeWholeFile(key, rsa.encryptedPrivate("secreta", false));
    QDir().mkpath(envio());
    writeWholeFile(file(), "archivo anterior");
    // Picks the key through "&Buscar..", types the password, then presses
    // `button`.
    const auto finaliza = [&](seam::Script& s, const char* button) {
        s.onDialog(QStringLiteral("frmKey"), [&s, &key, button](QDialog& d) {
            s.chooseFile(key);
            d.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
            d.findChild<QLineEdit*>(QStringLiteral("txtPassword"))
                ->setText(QStringLiteral("secreta"));
            d.findChild<QPushButton*>(QLatin1String(button))->click();
            return d.result();
        });
        return Genera_archivo(nullptr, state, *db, "PELJ700101AB1", "3001");
    };
    {
        seam::Script s;
        s.answer(seam::Answer::Cancel);
        QVERIFY(!Genera_archivo(nullptr, state, *db, "PELJ700101AB1", "3001"));
        QVERIFY(s.lastText().startsWith(QStringLiteral("¿DESEA GENERAR EL ARCHIVO")));
        QCOMPARE(s.shown.first().buttons, seam::Buttons::OkCancel);
        QVERIFY(s.dialogsShown.isEmpty());
    }
    {
        seam::Script s;
        QVERIFY(!finaliza(s, "cmdCancelar"));
    }
    QCOMPARE(readWholeFile(file()), QByteArray("archivo anterior"));

    seam::Script s;
    QVERIFY2(finaliza(s, "cmdAceptar"), qPrintable(s.lastText()));
    QCOMPARE(s.lastText(), QStringLiteral("Se genero el archivo %1 correctamente y se agrego Firma "
                                          "Digital, no olvide enviarlo y los requerimientos "
                                          "manualmente a %2")
                               .arg(QDir::toNativeSeparators(file()), state.contact.authorityMail));
    const QByteArray signed_ = readWholeFile(file());
    QVERIFY(signed_.startsWith(ExpectedSample));
    QVERIFY(verifySignature(signed_, rsa.certificate(false)).intact);
    QCOMPARE(inEnvio(), (QStringList{"3001.txt", "GAMR800202XY2.req"}));
}

QTEST_MAIN(TestInformationFile)
#include "tst_informationfile.moc"
