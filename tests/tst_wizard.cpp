// The main window driven as a person would: by control names, through the
// message seam.
#include "entry/Grid.h"
#include "entry/MandatoLabel.h"
#include "support/TestKey.h"
#include "support/WizardDriver.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QLabel>

class TestWizard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsOnPage1WithCataloguesAndNoAgent();
    void page1ChecksInOrderWithFocus();
    void page2ChecksOnlyTheOfficesInUse();
    void savingStoresRowsForEachOfficeCount_data();
    void savingStoresRowsForEachOfficeCount();
    void reSavingPage1KeepsDeclaredOffices();
    void failedSaveLeavesDatabaseUnchanged();
    void patentHasOneTextEverywhere();
    void lockedDatabaseIsToldAtStart();
    void loadingOddStoredRows();
    void addressListsFollowAndStateClearsMunicipality();
    void representativesCompletenessMessages();
    void wizardEndsOnTheRightPage();
    void previousVersionIsTakenOverAtStart();
    void exitAsksUntilTheFileExists();
    void oldFileIsUpgradedOnStart();
    void keyboardDrivesTheWizardAndTheLists();
    void listsShowIdentifiersAndOfficesWhole();
};

void TestWizard::startsOnPage1WithCataloguesAndNoAgent() {
    Wizard wz;
    wz.start();
    QCOMPARE(wz.script.dialogsShown.value(0), QStringLiteral("frmInicio"));
    // No previous version to take over, then nothing stored to show.
    QCOMPARE(
        wz.messages(),
        (QStringList{QStringLiteral("No hay una versión anterior de KESTRO en su computadora"),
                     QStringLiteral("No se encontó información de la vesión anterior de KESTRO")}));
    // Both come before the window is placed: centred on the screen instead.
    for (const seam::Shown& m : wz.script.shown)
        QCOMPARE(m.parent, nullptr);
    for (const char* f : {"frDirValidAA", "frApoderado", "frAA21311", "frMandatarios"})
        QVERIFY2(!wz.pageShown(f), f);
    QVERIFY(!wz.cmd("cmdAtras")->isEnabled());
    // Offices are ordered by name and their keys carry the leading blank.
    QCOMPARE(wz.cmb("cmbAAAduanaA")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbAAAduanaA")->itemText(0), QStringLiteral("ACAPULCO, GRO."));
    QCOMPARE(wz.cmb("cmbAANoAduanaA")->itemText(0), QStringLiteral(" 10"));

    // The questions dialog opens modally and changes nothing.
    answerDialog(wz.script, QStringLiteral("frmDudas"), {}, {QStringLiteral("cmdAceptar")});
    wz.cmd("cmdDudas")->click();
    QCOMPARE(wz.script.dialogsShown.last(), QStringLiteral("frmDudas"));
    QVERIFY(wz.pageShown("frAA"));
}

void TestWizard::page1ChecksInOrderWithFocus() {
    Wizard wz;
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(wz.window.get()));
    // Typed letters arrive as capitals.
    QTest::keyClicks(wz.txt("txtAANombre"), QStringLiteral("jos"));
    QTest::sendKeyEvent(QTest::Click, wz.txt("txtAANombre"), Qt::Key_unknown, QStringLiteral("é"),
                        Qt::NoModifier);
    QCOMPARE(wz.txt("txtAANombre")->text(), QStringLiteral("JOSÉ"));

    // Each step: a field, a bad value, the message, then the good value.
    // "12AB" reads as a number but cannot be stored.
    struct Step {
        const char* field;
        QString bad, message, good;
    };
    const QList<Step> steps{
        {"txtPatente", "4001", "No de Patente invalido", "12AB"},
        {"txtPatente", "12AB", "No de Patente invalido", "3001"},
        {"txtAANombre", "   ", "El Nombre no puede estar vacio", "JUAN"},
        {"txtAAApPat", "", "El Ap.Paterno no puede estar vacio", "PEREZ"},
        {"txtAAApMat", "", "El Ap.Materno no puede estar vacio", "LOPEZ"},
        {"txtAACURP", "PELJ700101XDFRPN09", "Formato de CURP incorrecto", "PELJ700101HDFRPN09"},
        {"txtAARFC", "PELJ701301AB1", "Formato de RFC incorrecto", "PELJ700101AB1"},
        {"cmbAAAduanaA", "", "Indique la Aduana de Adscripción", "MEXICO, D.F."},
        {"txtNoAduanasAut", "", "Numero de aduanas adicionales no puede estar vacio", "X"},
        {"txtNoAduanasAut", "X", "Formato de Numero de aduanas adicionales es invalido", "4"},
        {"txtNoAduanasAut", "4", "Número de aduanas adicionales es invalido", "0"},
        {"txtFiscalCalle", "", "Calle no puede estar vacio", ""},
        {"txtOirRCP", "0600", "Formato de C.P. invalido", "06000"},
        {"txtOirRNoExt", "  ",
         "El No. Externo no puede estar vacio, si no tiene número escriba S/N", "S/N"},
        {"cmbOirRMDeleg", "", "Mpio. o Delegación no puede estar vacio", ""},
        {"txtV0Fax", "", "El Fax no puede estar vacio", ""},
    };
    const auto set = [&](const char* field, const QString& value) {
        if (field[0] == 'c')
            value.isEmpty() ? void() : wz.choose(field, value);
        else
            wz.txt(field)->setText(value);
    };
    for (const Step& s : steps) {
        if (s.field == QByteArray("txtFiscalCalle")) {
            for (const char* b : {"Fiscal", "OirR", "V0"})
                wz.fillAddress(QLatin1String(b));
            wz.txt("txtFiscalCalle")->clear();
        } else if (s.field == QByteArray("cmbOirRMDeleg")) {
            wz.choose("cmbOirREntFed", QStringLiteral("Jalisco")); // municipality goes with it
        } else {
            set(s.field, s.bad);
        }
        wz.next();
        QCOMPARE(wz.script.lastText(), s.message);
        QCOMPARE(QApplication::focusWidget(), wz.w(s.field));
        if (s.field == QByteArray("txtFiscalCalle"))
            wz.txt("txtFiscalCalle")->setText(QStringLiteral("REFORMA"));
        else if (s.field == QByteArray("cmbOirRMDeleg"))
            wz.fillAddress(QStringLiteral("OirR"));
        else
            set(s.field, s.good);
    }
    auto db = wz.dir.open();
    QVERIFY(rows(*db, QStringLiteral("select * from AA")).isEmpty());
    wz.txt("txtV0Fax")->setText(QStringLiteral("1"));
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
}

void TestWizard::page2ChecksOnlyTheOfficesInUse() {
    Wizard wz;
    wz.start();
    wz.fillPage1(2);
    wz.next();
    QVERIFY(wz.pageShown("frDirValidAA"));
    QVERIFY(wz.cmb("cmbAduana2")->isEnabled() && !wz.cmb("cmbAduana3")->isEnabled());
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Indique la Aduana No.1 autorizada"));
    wz.choose("cmbAduana1", QStringLiteral("NUEVO LAREDO, TAMPS."));
    wz.fillAddress(QStringLiteral("V1"));
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Indique la Aduana No.2 autorizada"));
    wz.choose("cmbAduana2", QStringLiteral("VERACRUZ, VER."));
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Calle no puede estar vacio"));
    wz.fillAddress(QStringLiteral("V2"));
    const qsizetype before = wz.script.shown.size();
    wz.next();
    QCOMPARE(wz.script.shown.size(), before); // office 3 is not asked for
    QVERIFY(wz.pageShown("frApoderado"));
}

const QStringList officeNames{"NUEVO LAREDO, TAMPS.", "VERACRUZ, VER.", "MANZANILLO, COL."};

void fillOffices(Wizard& wz, int offices) {
    for (int i = 1; i <= offices; ++i) {
        wz.choose(QByteArray("cmbAduana") + QByteArray::number(i), officeNames[i - 1]);
        wz.fillAddress(QStringLiteral("V%1").arg(i), QStringLiteral("CALLE %1").arg(i));
    }
}

void TestWizard::savingStoresRowsForEachOfficeCount_data() {
    QTest::addColumn<int>("offices");
    for (int n = 0; n <= 3; ++n)
        QTest::addRow("N=%d", n) << n;
}

void TestWizard::savingStoresRowsForEachOfficeCount() {
    QFETCH(int, offices);
    Wizard wz;
    wz.start();
    wz.fillPage1(offices);
    wz.txt("txtAAApPat")->setText(QStringLiteral("O'HIGGINS"));
    wz.txt("txtV0NoExt")->setText(QStringLiteral("12"));
    wz.next();
    if (offices > 0) {
        QVERIFY(wz.pageShown("frDirValidAA"));
        fillOffices(wz, offices);
        wz.next();
    }
    QVERIFY(wz.pageShown("frApoderado"));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(),
             offices == 0 ? QStringLiteral("Finaliza") : QStringLiteral("Siguiente >"));

    auto db = wz.dir.open();
    const QStringList keys{"240", "430", "160"};
    QCOMPARE(dump(*db, QStringLiteral("select * from AA")),
             QStringLiteral("3001|JUAN|O'HIGGINS|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|0|200|") +
                 (keys.mid(0, offices) + QStringList(3 - offices, "NULL")).join(u'|') +
                 QStringLiteral("|%1|NULL").arg(offices));
    QStringList streets{"1|09|15|REFORMA|10", "2|09|15|REFORMA|10", "3|09|15|REFORMA|12"};
    for (int i = 1; i <= offices; ++i)
        streets << QStringLiteral("%1|09|15|CALLE %2|10").arg(3 + i).arg(i);
    QCOMPARE(dump(*db, QStringLiteral("select Tipo_Dom, EntFed, MDeleg, Calle, NoExt "
                                      "from Domicilios_AA order by Tipo_Dom")),
             streets.join(u'\n'));

    // Back again: page 2 only when offices are declared.
    wz.back();
    QVERIFY(wz.pageShown(offices > 0 ? "frDirValidAA" : "frAA"));
    QCOMPARE(wz.cmd("cmdAtras")->isEnabled(), offices > 0);

    // The stored agent comes back after a restart, on both pages.
    wz.window.reset();
    wz.start();
    QCOMPARE(wz.txt("txtAAApPat")->text(), QStringLiteral("O'HIGGINS"));
    QCOMPARE(wz.cmb("cmbAAAduanaA")->currentText(), QStringLiteral("MEXICO, D.F."));
    QCOMPARE(wz.txt("txtNoAduanasAut")->text(), QString::number(offices));
    QCOMPARE(wz.cmb("cmbFiscalMDeleg")->currentText(), QStringLiteral("Cuauhtémoc"));
    QCOMPARE(wz.txt("txtV0NoExt")->text(), QStringLiteral("12"));
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(wz.cmb(QByteArray("cmbAduana") + QByteArray::number(i))->currentText(),
                 i <= offices ? officeNames[i - 1] : QString());
        QCOMPARE(wz.txt(QByteArray("txtV") + QByteArray::number(i) + "Calle")->text(),
                 i <= offices ? QStringLiteral("CALLE %1").arg(i) : QString());
    }
}

void TestWizard::reSavingPage1KeepsDeclaredOffices() {
    Wizard wz;
    wz.start();
    wz.fillPage1(3);
    wz.next();
    fillOffices(wz, 3);
    wz.next();
    wz.back();
    wz.back();
    // Fewer offices now: the ones no longer declared leave the database.
    wz.txt("txtNoAduanasAut")->setText(QStringLiteral("1"));
    wz.next();
    auto db = wz.dir.open();
    QCOMPARE(dump(*db, QStringLiteral("select Aduana1, Aduana2, Aduana3 from AA")),
             "240|NULL|NULL");
    QCOMPARE(dump(*db, QStringLiteral("select Tipo_Dom from Domicilios_AA order by 1")),
             "1\n2\n3\n4");
    QVERIFY(!wz.cmb("cmbAduana2")->isEnabled());
    QVERIFY(wz.txt("txtV2Calle")->text().isEmpty());
    QCOMPARE(wz.cmb("cmbAduana1")->currentText(), officeNames[0]);
}

void TestWizard::failedSaveLeavesDatabaseUnchanged() {
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.next();
    auto db = wz.dir.open();
    const QString everything = QStringLiteral("select * from AA, Domicilios_AA");
    const QString before = dump(*db, everything);
    must(*db, QStringLiteral("create trigger falla before insert on Domicilios_AA when "
                             "new.Tipo_Dom = 3 begin select raise(abort, 'disco lleno'); end"));
    wz.back();
    wz.txt("txtAANombre")->setText(QStringLiteral("PEDRO"));
    wz.script.shown.clear();
    wz.next();
    QCOMPARE(wz.script.shown.size(), 1);
    QVERIFY2(wz.script.lastText().startsWith(seam::nothingSaved() + QStringLiteral(" 1811")) &&
                 wz.script.lastText().endsWith(QStringLiteral("disco lleno")),
             qPrintable(wz.script.lastText()));
    QCOMPARE(wz.script.shown[0].title, QStringLiteral("Mensaje"));
    QVERIFY(wz.pageShown("frAA"));
    QCOMPARE(dump(*db, everything), before);
}

void TestWizard::patentHasOneTextEverywhere() {
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.txt("txtPatente")->setText(QStringLiteral("0012"));
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
    // The stored number's text, in this run and after a restart.
    QCOMPARE(wz.txt("txtPatente")->text(), QStringLiteral("12"));
    QCOMPARE(wz.state.NoPat, QStringLiteral("12"));
    wz.window.reset();
    wz.state.NoPat.clear();
    wz.start();
    QCOMPARE(wz.txt("txtPatente")->text(), QStringLiteral("12"));
    QCOMPARE(wz.state.NoPat, QStringLiteral("12"));
}

void TestWizard::lockedDatabaseIsToldAtStart() {
    Wizard wz;
    auto other = wz.dir.open();
    // Another program writing: the data can be seen, not saved.
    QVERIFY(!other->exec(QStringLiteral("BEGIN IMMEDIATE")));
    wz.start();
    const QString told = wz.messages().value(0);
    QVERIFY2(told.startsWith(QStringLiteral("No se podrá guardar ningún dato")) &&
                 told.contains(QDir::toNativeSeparators(wz.dir.dbPath())) &&
                 told.contains(QStringLiteral("otro programa")),
             qPrintable(told));
    other->exec(QStringLiteral("ROLLBACK"));
    // Holding it whole: the program cannot even read it, and says so.
    QVERIFY(!other->exec(QStringLiteral("BEGIN EXCLUSIVE")));
    other->exec(QStringLiteral("create table bloqueo(x)"));
    wz.window.reset();
    wz.script.shown.clear();
    wz.window = std::make_unique<frmMain>(wz.state);
    QVERIFY(!wz.window->startUp());
    QVERIFY2(wz.messages().value(0).contains(QStringLiteral("otro programa la tiene abierta")),
             qPrintable(wz.messages().value(0)));
    other->exec(QStringLiteral("ROLLBACK"));
    // Once the other program lets go, nothing is said.
    wz.window.reset();
    wz.script.shown.clear();
    wz.start();
    QVERIFY(wz.messages().filter(QStringLiteral("No se podrá guardar")).isEmpty());
}

void TestWizard::loadingOddStoredRows() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        // Two agent rows: the fields come from the last, the office count,
        // history flag and offices from the first. A key the catalogue
        // lacks must neither hang nor end the program.
        must(*db, "insert into AA values (1111,'PRIMERO','A','B','AAAA700101AB1',"
                  "'AAAA700101HDFRPN09',0,null,null,null,null,null,null)");
        must(*db, "insert into AA values (2222,'ULTIMO','A','B','AAAA700101AB1',"
                  "'AAAA700101HDFRPN09',0,null,null,null,null,2,1)");
        must(*db, "insert into Domicilios_AA values (1,'20',5,'X','1',null,'C','68000','1','2')");
        must(*db,
             "insert into Domicilios_AA values (2,'77',9999,'Y','1',null,'C','68000','1','2')");
    }
    wz.start();
    QVERIFY(wz.messages().isEmpty());
    QCOMPARE(wz.txt("txtAANombre")->text(), QStringLiteral("ULTIMO"));
    QCOMPARE(wz.state.NoPat, QStringLiteral("2222"));
    QCOMPARE(wz.cmb("cmbAAAduanaA")->currentIndex(), 0); // Null office: the first by name
    QCOMPARE(wz.txt("txtNoAduanasAut")->text(), QString());
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("No Definido"));
    QCOMPARE(wz.cmb("cmbFiscalMDeleg")->currentText(), QStringLiteral("Asunción Ixtaltepec"));
    QCOMPARE(wz.txt("txtOirRCalle")->text(), QStringLiteral("Y"));
    QCOMPARE(wz.cmb("cmbOirRMDeleg")->currentIndex(), -1);
}

void TestWizard::addressListsFollowAndStateClearsMunicipality() {
    Wizard wz;
    wz.start();
    wz.choose("cmbV2EntFed", QStringLiteral("Oaxaca"));
    QCOMPARE(wz.cmb("cmbV2CveEntFed")->currentText(), QStringLiteral("20"));
    wz.choose("cmbV2MDeleg", QStringLiteral("Asunción Ixtaltepec"));
    QCOMPARE(wz.cmb("cmbV2NoMDeleg")->currentText(), QStringLiteral(" 5"));
    wz.choose("cmbV2EntFed", QStringLiteral("Colima"));
    QCOMPARE(wz.cmb("cmbV2MDeleg")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbV2NoMDeleg")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbV2MDeleg")->count(), 10);
    wz.choose("cmbAduana3", QStringLiteral("VERACRUZ, VER."));
    QCOMPARE(wz.cmb("cmbNoAduana3")->currentText(), QStringLiteral(" 430"));
}

void TestWizard::representativesCompletenessMessages() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        storeMandatario(*db, "('CURP1','RFC1','ANA','RUIZ','SOTO',1,'C:\\R.REQ',0,2,null)", {});
        storeMandatario(*db, "('CURP2','RFC2','LUIS','MORA','DIAZ',2,'',null,1,null)");
    }
    wz.start();
    wz.fillPage1(0);
    wz.next();
    QCOMPARE(gridRow(wz.grid("fgAA"), 1).mid(5),
             (QStringList{"Conforme 2.13.11 (Posterior 01/01/2001)", "Si"}));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Siguente >"));
    // Each gap reported, then filled in the database.
    const QString ana = QStringLiteral("ANA RUIZ SOTO CURP=CURP1");
    const QString luis = QStringLiteral("LUIS MORA DIAZ CURP=CURP2");
    const QList<std::pair<QString, QString>> gaps{
        {"Proporcione el Domicilo Particular del Representante " + ana,
         "insert into Domicilios_MM select 'CURP1','09',15,'A','1','','B','06000','1','2',1"},
        {"Proporcione el Domicilo Fiscal del Representante " + ana,
         "insert into Domicilios_MM select 'CURP1','09',15,'A','1','','B','06000','1','2',2"},
        {"Defina si se encuentra operando actualemente del Representante " + ana,
         "update Mandatarios set Operando=1 where CURP='CURP1'"},
        {"Proporcione las Aduanas ante las que aha actuado el Representante " + ana,
         "insert into Aduanas_MM values ('CURP1', 470)"},
        {"Proporcione el archivo de Requerimiento del mandatario " + luis,
         "update Mandatarios set Requerimiento='X.REQ' where CURP='CURP2'"},
        {"Proporcione el Tipo de acreditamiento del mandatario " + luis,
         "update Mandatarios set Acreditacion=0 where CURP='CURP2'"}};
    auto db = wz.dir.open();
    for (const auto& [message, fix] : gaps) {
        wz.next();
        QCOMPARE(wz.script.lastText(), message);
        QVERIFY(wz.pageShown("frApoderado"));
        must(*db, fix);
    }
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
}

void TestWizard::wizardEndsOnTheRightPage() {
    // Page 3 reached from page 2 leads to page 4 even without a
    // representative of the 2.13.11 type; page 4 then finishes.
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        storeMandatario(*db, "('CURP3','RFC3','EVA','PAZ','GIL',3,'',0,1,null)");
    }
    wz.start();
    wz.fillPage1(1);
    wz.next();
    fillOffices(wz, 1);
    wz.next();
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Siguiente >"));
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Finaliza"));
    // Finishing that fails (here: the question is cancelled) keeps the wizard open.
    wz.w<QLabel>("lblHistAA")->setText(QStringLiteral("Sin Historico"));
    wz.script.answer(seam::Answer::Cancel);
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
    QVERIFY(wz.cmd("cmdSiguiente")->isEnabled() && wz.cmd("cmdAtras")->isEnabled());
}

void TestWizard::exitAsksUntilTheFileExists() {
    Wizard wz;
    wz.start();
    wz.window->show();
    wz.script.shown.clear();
    wz.script.answer(seam::Answer::Cancel);
    wz.cmd("cmdSalir")->click();
    QCOMPARE(wz.script.lastText(),
             QStringLiteral("¿Desea salir de la aplicación?, aun no a generado "
                            "el archivo de información"));
    QCOMPARE(wz.script.shown[0].title, QStringLiteral("Mendaje"));
    QVERIFY(wz.window->isVisible());
    // The close box asks the same question.
    wz.script.answer(seam::Answer::Cancel);
    QVERIFY(!wz.window->close());
    wz.script.answer(seam::Answer::Ok);
    wz.cmd("cmdSalir")->click();
    QVERIFY(!wz.window->isVisible());
    QCOMPARE(wz.script.shown.size(), 3);
    // Once the file is produced (both buttons disabled) there is no question.
    wz.window->show();
    wz.cmd("cmdSiguiente")->setEnabled(false);
    wz.cmd("cmdSalir")->click();
    QCOMPARE(wz.script.shown.size(), 3);
    QVERIFY(!wz.window->isVisible());
    // Typing not stored yet is asked about first: Cancel keeps it; OK goes
    // on to the question above.
    wz.window->show();
    wz.cmd("cmdSiguiente")->setEnabled(true);
    QTest::keyClicks(wz.txt("txtAANombre"), "J");
    wz.script.answer(seam::Answer::Cancel);
    wz.cmd("cmdSalir")->click();
    wz.script.answer(seam::Answer::Ok);
    wz.script.answer(seam::Answer::Cancel);
    wz.cmd("cmdSalir")->click();
    QVERIFY(wz.window->isVisible());
    const QString unsaved = QStringLiteral("Los datos de esta página no se han guardado (se "
                                           "guardan con \"Siguiente >\"). ¿Desea salir sin "
                                           "guardarlos?");
    QCOMPARE(wz.messages().mid(3), (QStringList{unsaved, unsaved, wz.messages().at(0)}));
}

void TestWizard::oldFileIsUpgradedOnStart() {
    Wizard wz(ProgramDir::Kind::Version30);
    wz.start();
    auto db = wz.dir.open();
    QCOMPARE(dump(*db, QStringLiteral("select count(*) from Versiones where VPrin=3 and VSec=5")),
             "1");
    QCOMPARE(wz.txt("txtNoAduanasAut")->text(), QStringLiteral("0")); // nothing stored to load
}

void TestWizard::previousVersionIsTakenOverAtStart() {
    Wizard wz(ProgramDir::Kind::Version30);
    QDir().mkpath(wz.state.previousVersionDir);
    writeWholeFile(wz.state.previousVersionDir + QStringLiteral("/Recupera.txt"),
                   "Volcado KESTRO\r\n"
                   "AA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|0|470\r\n"
                   "Domicilios_AA|3001|1|09|15|REFORMA|10||CENTRO|06000|555 12 34|555 12 35\r\n"
                   "Mandatarios|3001|GAMR800202MDFRRS01|GAMR800202XY2|ROSA|GARCIA|MARTINEZ|1\r\n"
                   "800|1111111|1|\r\n");
    wz.start();
    QVERIFY2(wz.messages().isEmpty(), qPrintable(wz.messages().join(u'|')));
    QCOMPARE(wz.cmb("cmbAANoAduanaA")->currentText(), QStringLiteral(" 470"));
    QCOMPARE(wz.txt("txtFiscalCalle")->text(), QStringLiteral("REFORMA"));
    // Imported before the upgrade: the columns it adds are empty.
    QCOMPARE(wz.txt("txtNoAduanasAut")->text(), QString());
    QCOMPARE(gridCell(wz.grid("fgMandatarios"), 0, 4), QStringLiteral("Sin Definir"));
}

namespace {
void storeRepresentatives(Database& db, int count) {
    for (int i = 0; i < count; ++i)
        must(db, "insert into Mandatarios values (?,?,?,'GARCIA','MARTINEZ',1,'',0,1,null)",
             {QStringLiteral("GAMR800215MDFRRS0%1").arg(i), QStringLiteral("GAMR800215AB%1").arg(i),
              QStringLiteral("MARIA GUADALUPE %1").arg(i)});
}
} // namespace

void TestWizard::keyboardDrivesTheWizardAndTheLists() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        storeRepresentatives(*db, 2);
    }
    wz.start();
    wz.window->show();
    wz.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(wz.window.get()));
    wz.fillPage1(0);
    QWidget* focus = wz.txt("txtPatente");
    focus->setFocus();

    // Forward and back without reaching the buttons; captions stay as they are.
    QTest::keyClick(focus, Qt::Key_Right, Qt::AltModifier);
    QVERIFY(wz.pageShown("frApoderado"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::AltModifier);
    QVERIFY(wz.pageShown("frAA"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(wz.pageShown("frApoderado"));
    QCOMPARE(wz.cmd("cmdAtras")->text(), QStringLiteral("< Atrás"));

    // The list takes the keyboard: arrows choose a row, Enter opens Editar.
    auto* grid = wz.w<QTableWidget>("fgAA");
    QCOMPARE(QApplication::focusWidget(), grid);
    QSignalSpy edits(wz.cmd("cmdEditar"), &QPushButton::clicked);
    QCOMPARE(grid->currentRow(), -1); // the user chooses the row
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(edits.count(), 0);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->currentRow(), 1);
    QCOMPARE(wz.w<QLabel>("lblTipoMandato")->text(), MandatoLabel::of(1));
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(edits.count(), 2);
    QCOMPARE(wz.script.dialogsShown.count(QStringLiteral("frmApoderado")), 2);
    QVERIFY(wz.pageShown("frApoderado")); // Enter did not reach the wizard's buttons
}

void TestWizard::listsShowIdentifiersAndOfficesWhole() {
    Wizard wz;
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(wz.window.get()));
    const auto* grid = wz.w<QTableWidget>("fgAA");
    const QFontMetrics fm = grid->fontMetrics();
    const struct {
        int column;
        QString widest;
    } columns[] = {{0, QStringLiteral("MARIA GUADALUPE")},
                   {3, QStringLiteral("GAMR800215AB1")},
                   {4, QStringLiteral("GAMR800215MDFRRS09")},
                   {5, MandatoLabel::of(2)},
                   {5, MandatoLabel::of(3)}};
    for (const auto& c : columns)
        QVERIFY2(grid->columnWidth(c.column) > fm.horizontalAdvance(c.widest) + 7,
                 qPrintable(c.widest)); // text margins and the grid line besides
    const int last = grid->columnCount() - 1;
    QVERIFY(grid->columnWidth(last) >= grid->horizontalHeader()->sectionSizeHint(last));

    const QString longest = QStringLiteral("AEROPUERTO INTERNAL. CD. DE MEXICO, D.F.");
    for (const char* name : {"cmbAAAduanaA", "cmbAduana1"}) {
        QComboBox* office = wz.cmb(name);
        QVERIFY2(office->view()->minimumWidth() > office->fontMetrics().horizontalAdvance(longest),
                 name);
    }
    // On page 1 the chosen office fits the field too, not only the open list.
    QVERIFY(wz.cmb("cmbAAAduanaA")->width() >= wz.cmb("cmbAAAduanaA")->sizeHint().width());
    QComboBox* states = wz.cmb("cmbFiscalEntFed");
    QVERIFY(states->view()->minimumWidth() > states->fontMetrics().horizontalAdvance(QStringLiteral(
                                                 "Veracruz de Ignacio de la Llave")));
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
