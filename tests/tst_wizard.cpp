// The main window driven as a person would: by control names, through the
// message seam.
#include "entry/Grid.h"
#include "support/TestKey.h"
#include "support/WizardDriver.h"

#include <QLabel>

class TestWizard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsOnPage1WithCataloguesAndNoAgent();
    void moves_data();
    void moves();
    void page1ChecksInOrderWithFocus();
    void page2ChecksOnlyTheOfficesInUse();
    void savingStoresRowsForEachOfficeCount_data();
    void savingStoresRowsForEachOfficeCount();
    void reSavingPage1KeepsDeclaredOffices();
    void lockedDatabaseIsToldAtStart();
    void damagedOrForeignDatabase_data();
    void damagedOrForeignDatabase();
    void loadingOddStoredRows();
    void pairedListsFollowEachOther();
    void listRowsShorterThanTheColumns();
    void representativesCompletenessMessages();
    void exitAsksUntilTheFileExists();
    void keyboardDrivesTheWizardAndTheLists();
};

void TestWizard::startsOnPage1WithCataloguesAndNoAgent() {
    Wizard wz;
    wz.start();
    QCOMPARE(wz.script.dialogsShown.value(0), QStringLiteral("frmInicio"));
    // No previous version to take over, then nothing stored to show; both
    // before the window is placed, so centred on the screen.
    QCOMPARE(
        wz.messages(),
        (QStringList{QStringLiteral("No hay una versión anterior de KESTRO en su computadora"),
                     QStringLiteral("No se encontó información de la vesión anterior de KESTRO")}));
    QCOMPARE(wz.script.shown.last().parent, nullptr);
    QVERIFY(wz.pageShown("frAA") && !wz.pageShown("frApoderado"));
    QVERIFY(!wz.cmd("cmdAtras")->isEnabled());
    // Offices are ordered by name and their keys carry the leading blank.
    QCOMPARE(wz.cmb("cmbAAAduanaA")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbAAAduanaA")->itemText(0), QStringLiteral("ACAPULCO, GRO."));
    QCOMPARE(wz.cmb("cmbAANoAduanaA")->itemText(0), QStringLiteral(" 10"));
    // A CURP is shown whole in the representatives' list.
    const QTableWidget* fgAA = wz.grid("fgAA");
    QVERIFY(fgAA->columnWidth(4) > fgAA->fontMetrics().horizontalAdvance("GAMR800215MDFRRS09"));
}

// After each move ('N' Siguiente, 'B' Atrás): page, forward caption, back
// button enabled. `rule`: the representatives are of the 2.13.11 kind, which
// brings in the history pages; otherwise one complete one of the earlier kind.
void TestWizard::moves_data() {
    QTest::addColumn<int>("offices");
    QTest::addColumn<bool>("rule");
    QTest::addColumn<QString>("moves");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("no offices, earlier kind")
        << 0 << false << "NBN" << QStringList{"3|Finaliza|1", "1|Siguente >|0", "3|Finaliza|1"};
    QTest::newRow("no offices, 2.13.11")
        << 0 << true << "NNNNBBB"
        << QStringList{"3|Siguente >|1",  "4|Siguente >|1", "5|Finaliza|1",  "5|Finaliza|1",
                       "4|Siguiente >|1", "3|Siguente >|1", "1|Siguente >|0"};
    QTest::newRow("two offices, 2.13.11")
        << 2 << true << "NNBBNNN"
        << QStringList{"2|Siguiente >|1", "3|Siguiente >|1", "2|Siguente >|1", "1|Siguente >|0",
                       "2|Siguente >|1",  "3|Siguente >|1",  "4|Siguente >|1"};
    // Page 3 reached from page 2 leads to page 4 whatever the kind.
    QTest::newRow("one office, earlier kind")
        << 1 << false << "NNN" << QStringList{"2|Siguiente >|1", "3|Siguiente >|1", "4|Finaliza|1"};
}

void TestWizard::moves() {
    QFETCH(int, offices);
    QFETCH(bool, rule);
    QFETCH(QString, moves);
    QFETCH(QStringList, after);
    Wizard wz;
    {
        auto db = wz.dir.open();
        if (rule) {
            storeHistory(*db, wz.dir.path(), false);
            must(*db, "update AA set SinHistorico=1");
        } else {
            storeAgent(*db);
            storeMandatario(*db, "('C1','R1','ANA','RUIZ','SOTO',1,'C:\\R.REQ',0,1,null)");
            must(*db, "insert into Aduanas_MM values ('C1',470)");
        }
    }
    wz.start();
    wz.fillPage1(offices);
    wz.fillOffices(offices);
    const char* frames[] = {"frAA", "frDirValidAA", "frApoderado", "frAA21311", "frMandatarios"};
    for (int i = 0; i < moves.size(); ++i) {
        moves[i] == u'N' ? wz.next() : wz.back();
        int page = 0;
        for (int p = 0; p < 5; ++p)
            page += wz.pageShown(frames[p]) ? p + 1 : 0;
        QCOMPARE(QStringLiteral("%1|%2|%3")
                     .arg(page)
                     .arg(wz.cmd("cmdSiguiente")->text())
                     .arg(int(wz.cmd("cmdAtras")->isEnabled())),
                 after[i]);
        QVERIFY(wz.cmd("cmdSiguiente")->isEnabled());
    }
}

void TestWizard::page1ChecksInOrderWithFocus() {
    Wizard wz;
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(wz.window.get()));
    // "12AB" reads as a number but cannot be stored; a state change takes
    // the municipality with it.
    walkChecks(
        *wz.window, wz.script, [&] { wz.next(); },
        {{"txtPatente", "4001", "No de Patente invalido", "12AB"},
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
         {"txtFiscalCalle", "", "Calle no puede estar vacio", "",
          [&] {
              for (const char* b : {"Fiscal", "OirR", "V0"})
                  wz.fillAddress(QLatin1String(b));
              wz.choose("cmbOirREntFed", QStringLiteral("Jalisco"));
              wz.txt("txtV0Fax")->clear();
          }},
         {"cmbOirRMDeleg", "", "Mpio. o Delegación no puede estar vacio", "",
          [&] { wz.fillAddress(QStringLiteral("OirR")); }},
         {"txtOirRCP", "0600", "Formato de C.P. invalido", "06000"},
         {"txtOirRNoExt", "  ",
          "El No. Externo no puede estar vacio, si no tiene número escriba S/N", "S/N"},
         {"txtV0Fax", "", "El Fax no puede estar vacio", "1"}});
    QVERIFY(rows(*wz.dir.open(), QStringLiteral("select * from AA")).isEmpty());
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
}

void TestWizard::page2ChecksOnlyTheOfficesInUse() {
    Wizard wz;
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(wz.window.get()));
    wz.fillPage1(2);
    wz.next();
    QVERIFY(wz.cmb("cmbAduana2")->isEnabled() && !wz.cmb("cmbAduana3")->isEnabled());
    walkChecks(
        *wz.window, wz.script, [&] { wz.next(); },
        {{"cmbAduana1", "", "Indique la Aduana No.1 autorizada", "", [&] { wz.fillOffices(1); }},
         {"cmbAduana2", "", "Indique la Aduana No.2 autorizada", "VERACRUZ, VER."},
         {"txtV2Calle", "", "Calle no puede estar vacio", "", [&] {
              wz.fillAddress(QStringLiteral("V2"));
              wz.script.shown.clear();
          }}});
    wz.next();
    QCOMPARE(wz.messages(), QStringList()); // office 3 is not asked for
    QVERIFY(wz.pageShown("frApoderado"));
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
    wz.txt("txtPatente")->setText(QStringLiteral("0301"));
    wz.txt("txtV0NoExt")->setText(QStringLiteral("12"));
    wz.next();
    wz.fillOffices(offices);
    if (offices > 0)
        wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
    // The stored number's text, in this run and after a restart.
    QCOMPARE(wz.state.NoPat, QStringLiteral("301"));

    auto db = wz.dir.open();
    const QStringList keys{"240", "430", "160"};
    QCOMPARE(dump(*db, QStringLiteral("select * from AA")),
             QStringLiteral("301|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|0|200|") +
                 (keys.mid(0, offices) + QStringList(3 - offices, "NULL")).join(u'|') +
                 QStringLiteral("|%1|NULL").arg(offices));
    QStringList streets{"1|09|15|REFORMA|10", "2|09|15|REFORMA|10", "3|09|15|REFORMA|12"};
    for (int i = 1; i <= offices; ++i)
        streets << QStringLiteral("%1|09|15|CALLE %2|10").arg(3 + i).arg(i);
    QCOMPARE(dump(*db, QStringLiteral("select Tipo_Dom, EntFed, MDeleg, Calle, NoExt "
                                      "from Domicilios_AA order by Tipo_Dom")),
             streets.join(u'\n'));

    // The stored agent comes back after a restart, on both pages.
    wz.window.reset();
    wz.state.NoPat.clear();
    wz.start();
    QCOMPARE(wz.txt("txtPatente")->text(), QStringLiteral("301"));
    QCOMPARE(wz.state.NoPat, QStringLiteral("301"));
    QCOMPARE(wz.cmb("cmbAAAduanaA")->currentText(), QStringLiteral("MEXICO, D.F."));
    QCOMPARE(wz.txt("txtNoAduanasAut")->text(), QString::number(offices));
    QCOMPARE(wz.txt("txtV0NoExt")->text(), QStringLiteral("12"));
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("No Definido"));
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(wz.txt(QByteArray("txtV") + QByteArray::number(i) + "Calle")->text(),
                 i <= offices ? QStringLiteral("CALLE %1").arg(i) : QString());
    QCOMPARE(wz.cmb("cmbAduana1")->currentText(),
             offices ? QStringLiteral("NUEVO LAREDO, TAMPS.") : QString());
}

void TestWizard::reSavingPage1KeepsDeclaredOffices() {
    Wizard wz;
    wz.start();
    wz.fillPage1(3);
    wz.next();
    wz.fillOffices(3);
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
}

void TestWizard::lockedDatabaseIsToldAtStart() {
    Wizard wz;
    auto other = wz.dir.open();
    // Another program writing: the data can be seen, not saved.
    QVERIFY(!other->exec(QStringLiteral("BEGIN IMMEDIATE")));
    wz.start();
    const QString told = wz.messages().value(0);
    QVERIFY2(told.startsWith(QStringLiteral("No se podrá guardar ningún dato")) &&
                 told.contains(QDir::toNativeSeparators(wz.dir.dbPath())),
             qPrintable(told));
}

void TestWizard::damagedOrForeignDatabase_data() {
    QTest::addColumn<int>("keep"); // bytes of a sound file kept; -1 all, -2 no file
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<QString>("sql"); // run on what was kept
    QTest::addColumn<bool>("starts");
    QTest::newRow("missing") << -2 << QByteArray() << "" << false; // told as such
    QTest::newRow("empty") << 0 << QByteArray() << "" << false;
    QTest::newRow("text") << 0 << QByteArray("Patente|Nombre\r\n1234|JUAN\r\n") << "" << false;
    QTest::newRow("header over garbage") << 16 << QByteArray(4096, '\xff') << "" << false;
    QTest::newRow("first page over garbage") << 100 << QByteArray(8000, '\x01') << "" << false;
    QTest::newRow("truncated") << 8192 << QByteArray() << "" << false;
    QTest::newRow("another schema")
        << -2 << QByteArray() << "create table Clientes(Nombre text)" << true;
    QTest::newRow("a later version")
        << -1 << QByteArray()
        << "alter table AA add Futuro text; insert into Versiones values (3, 'KESTRO', 4, 0, 0)"
        << true;
}

void TestWizard::damagedOrForeignDatabase() {
    QFETCH(int, keep);
    QFETCH(QByteArray, tail);
    QFETCH(QString, sql);
    QFETCH(bool, starts);
    Wizard wz;
    const QString path = wz.dir.dbPath();
    if (keep == -2)
        QFile::remove(path);
    else if (keep >= 0)
        writeWholeFile(path, readWholeFile(path).left(keep) + tail);
    if (!sql.isEmpty()) {
        auto db = QFile::exists(path) ? wz.dir.open() : std::move(Database::createFile(path).value);
        for (const QString& s : sql.split(u';'))
            must(*db, s);
    }
    const QByteArray before = readWholeFile(path);
    const QStringList files =
        QDir(wz.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    wz.window = std::make_unique<frmMain>(wz.state);
    QCOMPARE(wz.window->startUp(), starts);
    const QString told = wz.messages().value(0);
    if (!starts)
        QVERIFY2(told.contains(QDir::toNativeSeparators(path)) &&
                     told.contains("No se encontró") == (keep == -2),
                 qPrintable(told));
    wz.window.reset();
    // Nothing the file held was lost or changed, nothing left beside it.
    QCOMPARE(readWholeFile(path), before);
    QCOMPARE(QDir(wz.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
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

void TestWizard::pairedListsFollowEachOther() {
    Wizard wz;
    wz.start();
    // The first entries too: a name and its key are one choice.
    wz.choose("cmbV2EntFed", QStringLiteral("Aguascalientes"));
    QCOMPARE(wz.cmb("cmbV2CveEntFed")->currentText(), QStringLiteral("01"));
    wz.cmb("cmbV2MDeleg")->setCurrentIndex(0);
    QCOMPARE(wz.cmb("cmbV2NoMDeleg")->currentIndex(), 0);
    wz.choose("cmbV2EntFed", QStringLiteral("Oaxaca"));
    QCOMPARE(wz.cmb("cmbV2CveEntFed")->currentText(), QStringLiteral("20"));
    wz.choose("cmbV2MDeleg", QStringLiteral("Asunción Ixtaltepec"));
    QCOMPARE(wz.cmb("cmbV2NoMDeleg")->currentText(), QStringLiteral(" 5"));
    wz.choose("cmbV2EntFed", QStringLiteral("Colima"));
    QCOMPARE(wz.cmb("cmbV2MDeleg")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbV2NoMDeleg")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbV2MDeleg")->count(), 10);
    QCOMPARE(wz.cmb("cmbV2NoMDeleg")->count(), 10); // keys of the new state only
    wz.cmb("cmbAduana3")->setCurrentIndex(0);
    QCOMPARE(wz.cmb("cmbNoAduana3")->currentIndex(), 0);
    wz.choose("cmbAduana3", QStringLiteral("VERACRUZ, VER."));
    QCOMPARE(wz.cmb("cmbNoAduana3")->currentText(), QStringLiteral(" 430"));
}

void TestWizard::listRowsShorterThanTheColumns() {
    QTableWidget grid;
    gridSetup(&grid, {QStringLiteral("A"), QStringLiteral("B")}, {0, 0});
    gridFill(&grid, {{"1", "uno"}, {"2", "dos"}});
    gridFill(&grid, {{"3", "tres", "de más"}, {"4"}}); // cells reused, the missing one blank
    QCOMPARE(gridRow(&grid, 0), (QStringList{"3", "tres"}));
    QCOMPARE(gridRow(&grid, 1), (QStringList{"4", ""}));
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

void TestWizard::keyboardDrivesTheWizardAndTheLists() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeHistory(*db, wz.dir.path(), false);
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

    // The list takes the keyboard: arrows choose a row, Enter opens Editar.
    auto* grid = wz.grid("fgAA");
    QCOMPARE(QApplication::focusWidget(), grid);
    QSignalSpy edits(wz.cmd("cmdEditar"), &QPushButton::clicked);
    QCOMPARE(grid->currentRow(), -1); // the user chooses the row
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(edits.count(), 0);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->currentRow(), 1);
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(edits.count(), 2);
    QCOMPARE(wz.script.dialogsShown.count(QStringLiteral("frmApoderado")), 2);
    QVERIFY(wz.pageShown("frApoderado")); // Enter did not reach the wizard's buttons
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
