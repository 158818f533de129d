// The main window driven by control names, through the message seam.
#include "dialogs/frmAduanaAct.h"
#include "entry/Grid.h"
#include "exchange/InformationFile.h"
#include "support/WizardDriver.h"

using namespace Qt::StringLiterals;

class TestWizard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsOnPage1AndAsksBeforeLeaving();
    void unsavedTypingOnAnyPageIsAsked_data();
    void unsavedTypingOnAnyPageIsAsked();
    void moves_data();
    void moves();
    void pageChecksInOrderWithFocus();
    void savingStoresRowsForEachOfficeCount_data();
    void savingStoresRowsForEachOfficeCount();
    void startUpWithABadDatabase_data();
    void startUpWithABadDatabase();
    void pairedListsFollowEachOther();
    void representativesCompletenessMessages();
    void nothingChangesAfterSigning_data();
    void nothingChangesAfterSigning();
    void envioPutRightOnceShown();
};

// Leaving asks while no file was produced (the close box too), unsaved typing first.
void TestWizard::startsOnPage1AndAsksBeforeLeaving() {
    Wizard wz;
    wz.start();
    // Both messages before the window is placed, so centred on the screen.
    QCOMPARE(wz.script.dialogsShown.value(0) + u'/' + wz.messages().join(u'/'),
             u"frmInicio/No hay una versión anterior de KESTRO en su computadora/"
             "No se encontó información de la vesión anterior de KESTRO"_s);
    QCOMPARE(wz.script.shown.last().parent, nullptr);
    // Page 1, nothing to go back to, no office chosen.
    QCOMPARE(wz.showing({"pageAgent", "pageRepresentatives", "cmdAtras", "cmbAAAduanaA"}),
             u"1|0|0|"_s);

    wz.window->show();
    wz.cmd("cmdSiguiente")->setEnabled(false); // as when the file was produced
    wz.cmd("cmdSalir")->click();
    QVERIFY(!wz.window->isVisible());
    wz.window->show();
    wz.cmd("cmdSiguiente")->setEnabled(true);
    QTest::keyClicks(wz.txt("txtAANombre"), "J");
    using enum seam::Answer;
    for (seam::Answer a : {Cancel, Ok, Cancel, Ok, Ok})
        wz.script.answer(a);
    wz.cmd("cmdSalir")->click(); // kept unsaved
    QVERIFY2(!wz.window->close() && wz.script.shown.last().title == u"Mendaje"_s, "not left");
    wz.cmd("cmdSalir")->click();
    QVERIFY(!wz.window->isVisible());
    const QString leave =
        u"¿Desea salir de la aplicación?, aun no a generado el archivo de información"_s;
    const QString unsaved = u"Los datos de la página \"Datos del Agente Aduanal\" no se han "
                            "guardado (se guardan con \"Siguiente >\"). ¿Desea salir sin "
                            "guardarlos?"_s;
    QCOMPARE(wz.messages().mid(2), (QStringList{unsaved, unsaved, leave, unsaved, leave}));
    // Enter leaves only where nothing unsaved is lost.
    QCOMPARE(wz.script.shown.value(2).onEnter, Cancel);
    QCOMPARE(wz.script.shown.value(4).onEnter, Ok);
}

// Typing left on a page not shown is asked about too, naming the page;
// "Siguiente >" on a page stores it. From page 2: 'T' types, 'N' forward, 'B' back.
void TestWizard::unsavedTypingOnAnyPageIsAsked_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("question"); // its start; "" = only the usual one
    const char* offices = "\"Domicilios donde Transmitan para Validación Pedimentos en las "
                          "Aduanas Adicionales\"";
    row("page 2, closed on page 1", "TB", u"Los datos de la página %1"_s.arg(offices));
    row("both pages", "TBT",
        u"Los datos de las páginas \"Datos del Agente Aduanal\" y %1"_s.arg(offices));
    row("page 2 stored", "TNBB", "");
}

void TestWizard::unsavedTypingOnAnyPageIsAsked() {
    QFETCH(QString, steps);
    QFETCH(QString, question);
    Wizard wz;
    wz.start();
    wz.show();
    wz.fillPage1(1);
    wz.fillOffices(1);
    wz.next();
    for (QChar step : steps)
        step == u'T'
            ? QTest::keyClicks(wz.txt(wz.pageShown("frAA") ? "txtAANombre" : "txtV1Calle"), "X")
        : step == u'N' ? wz.next()
                       : wz.back();
    QVERIFY(wz.pageShown("frAA"));
    wz.script.shown.clear();
    wz.script.answer(seam::Answer::Cancel);
    QVERIFY(!wz.window->close());
    const QString asked = wz.script.lastText();
    QVERIFY2(question.isEmpty() ? asked.startsWith(u"¿Desea salir"_s)
                                : asked.startsWith(question + u" no se han guardado"_s),
             qPrintable(asked));
}

// After each move ('N' Siguiente, 'B' Atrás): page, forward caption, Atrás enabled; Finaliza
// asks before generating. `rule`: representatives of the 2.13.11 kind, with history pages.
void TestWizard::moves_data() {
    QTest::addColumn<int>("offices");
    QTest::addColumn<bool>("rule");
    QTest::addColumn<QString>("steps"); // each a move and what follows it, ';' between
    row("no offices, earlier kind", 0, false,
        "N3|Finaliza|1;B1|Siguente >|0;N3|Finaliza|1;N3|Finaliza|1");
    row("no offices, 2.13.11", 0, true,
        "N3|Siguente >|1;N4|Siguente >|1;N5|Finaliza|1;N5|Finaliza|1;B4|Siguiente >|1;"
        "B3|Siguente >|1;B1|Siguente >|0");
    row("two offices, 2.13.11", 2, true,
        "N2|Siguiente >|1;N3|Siguiente >|1;B2|Siguente >|1;B1|Siguente >|0;N2|Siguente >|1;"
        "N3|Siguente >|1;N4|Siguente >|1");
    // Page 3 reached from page 2 leads to page 4 whatever the kind.
    row("one office, earlier kind", 1, false,
        "N2|Siguiente >|1;N3|Siguiente >|1;N4|Finaliza|1;N4|Finaliza|1");
}

void TestWizard::moves() {
    QFETCH(int, offices);
    QFETCH(bool, rule);
    QFETCH(QString, steps);
    Wizard wz;
    auto db = wz.dir.open();
    rule ? storeHistory(*db, wz.dir.path(), false) : void(storeOffice(*db, wz.dir.path()));
    must(*db, "update AA set SinHistorico=1"); // no history to ask for before finishing
    must(*db, "update Mandatarios set SinHistorico=1");
    wz.start();
    wz.fillPage1(offices);
    wz.fillOffices(offices);
    const QStringList pages{"pageAgent", "pageOffices", "pageRepresentatives", "pageAgentHistory",
                            "pageRepresentativeHistory"};
    // The caption without its Alt letter.
    const auto caption = [&] { return wz.cmd("cmdSiguiente")->text().remove(u'&'); };
    for (const QString& step : steps.split(u';')) {
        const bool finishing = step[0] == u'N' && caption() == u"Finaliza"_s;
        wz.script.shown.clear();
        if (finishing) // not generated: the page stays
            wz.script.answer(seam::Answer::Cancel);
        step[0] == u'N' ? wz.next() : wz.back();
        const int page = wz.showing(pages).indexOf(u'1') / 2 + 1; // the one not hidden
        QCOMPARE(u"%1|%2|%3"_s.arg(page).arg(caption(), wz.showing({"cmdAtras", "cmdSiguiente"})),
                 step.mid(1) + u"|1"_s);
        QCOMPARE(wz.script.lastText().startsWith(u"¿DESEA GENERAR EL ARCHIVO DE INFORMACION?"_s),
                 finishing);
    }
    QCOMPARE(dump(*db, u"select SinHistorico from AA"_s), u"1"_s); // page 1 saved again keeps it
}

// Pages 1 and 2 (two offices): checks in order, each with its message and focus on its field.
// "12AB" reads as a number but cannot be stored; a new state takes the municipality with it.
void TestWizard::pageChecksInOrderWithFocus() {
    Wizard wz;
    wz.start();
    wz.show();
    const auto next = [&] { wz.next(); };
    walkChecks(
        *wz.window, wz.script, next,
        {{"txtPatente", "12AB", "No de Patente invalido", "3001"},
         {"txtAANombre", "   ", "El Nombre no puede estar vacio", "JUAN"},
         {"txtAAApPat", "", "El Ap.Paterno no puede estar vacio", "PEREZ"},
         {"txtAAApMat", "", "El Ap.Materno no puede estar vacio", "LOPEZ"},
         {"txtAACURP", "PELJ700101XDFRPN09", "Formato de CURP incorrecto", "PELJ700101HDFRPN09"},
         {"txtAARFC", "PELJ701301AB1", "Formato de RFC incorrecto", "PELJ700101AB1"},
         {"cmbAAAduanaA", "", "Indique la Aduana de Adscripción", "MEXICO, D.F."},
         {"txtNoAduanasAut", "", "Numero de aduanas adicionales no puede estar vacio", "X"},
         {"txtNoAduanasAut", "X", "Formato de Numero de aduanas adicionales es invalido", "4"},
         {"txtNoAduanasAut", "4", "Número de aduanas adicionales es invalido", "2"},
         {"txtFiscalCalle", "", "Calle no puede estar vacio", "",
          [&] {
              for (const char* b : {"Fiscal", "OirR", "V0"})
                  wz.fillAddress(QLatin1String(b));
              wz.choose("cmbOirREntFed", u"Jalisco"_s);
              wz.txt("txtV0Fax")->clear();
          }},
         {"cmbOirRMDeleg", "", "Mpio. o Delegación no puede estar vacio", "",
          [&] { wz.fillAddress(u"OirR"_s); }},
         {"txtOirRCP", "0600", "Formato de C.P. invalido", "06000"},
         {"txtOirRNoExt", "  ",
          "El No. Externo no puede estar vacio, si no tiene número escriba S/N", "S/N"},
         {"txtV0Fax", "", "El Fax no puede estar vacio", "1"}});
    QVERIFY(dump(*wz.dir.open(), u"select * from AA"_s).isEmpty());
    // Telephones and faxes show all 25 characters, and postal codes their
    // five beside them; the window still fits a 1366×768 screen with its
    // taskbar.
    const QString phone = u"(01 55) 5512-3457 EXT 790"_s;
    for (const auto& [f, text] : {std::pair{"txtFiscalTelefono", phone},
                                  {"txtOirRFax", phone},
                                  {"txtV0Fax", phone},
                                  {"txtFiscalCP", u"00000"_s}})
        QVERIFY2(wz.txt(f)->fontMetrics().horizontalAdvance(text) <= wz.txt(f)->width() - 12, f);
    QVERIFY(wz.window->frameGeometry().width() <= 1366 &&
            wz.window->frameGeometry().height() <= 728);
    wz.next();
    QVERIFY(wz.cmb("cmbAduana2")->isEnabled() && !wz.cmb("cmbAduana3")->isEnabled());
    walkChecks(
        *wz.window, wz.script, next,
        {{"cmbAduana1", "", "Indique la Aduana No.1 autorizada", "", [&] { wz.fillOffices(1); }},
         {"cmbAduana2", "", "Indique la Aduana No.2 autorizada", "VERACRUZ, VER."},
         {"cmbAduana2", "NUEVO LAREDO, TAMPS.",
          "La Aduana No.2 autorizada es la misma que la Aduana No.1; indique otra",
          "VERACRUZ, VER."},
         {"txtV2Calle", "", "Calle no puede estar vacio", "", [&] { wz.fillAddress(u"V2"_s); }}});
    const qsizetype told = wz.script.shown.size();
    wz.next(); // office 3 is not asked for
    QVERIFY(wz.pageShown("frApoderado") && wz.script.shown.size() == told);
}

// Each count of offices is stored and comes back after a restart; declaring fewer drops the
// rest. A stored name longer than its field comes back and is saved back whole.
void TestWizard::savingStoresRowsForEachOfficeCount_data() {
    QTest::addColumn<int>("offices");
    QTest::addColumn<int>("fewer"); // declared afterwards, -1 none
    for (int n = 0; n <= 3; ++n)
        QTest::addRow("N=%d", n) << n << -1;
    QTest::addRow("3 then 1") << 3 << 1;
}

void TestWizard::savingStoresRowsForEachOfficeCount() {
    QFETCH(int, offices);
    QFETCH(int, fewer);
    Wizard wz;
    wz.start();
    wz.fillPage1(offices);
    wz.txt("txtPatente")->setText(u"0301"_s);
    wz.txt("txtV0NoExt")->setText(u"12"_s);
    wz.txt("txtV0NoInt")->setText(u"B"_s);
    wz.next();
    wz.fillOffices(offices);
    if (offices > 0)
        wz.next();
    QCOMPARE(wz.state.NoPat, u"301"_s); // the stored number's text
    if (fewer >= 0) {
        wz.back();
        wz.back();
        wz.txt("txtNoAduanasAut")->setText(QString::number(fewer));
        wz.next();
        offices = fewer;
        QVERIFY(!wz.cmb("cmbAduana2")->isEnabled() && wz.txt("txtV2Calle")->text().isEmpty());
    }
    const QStringList codes =
        QStringList{"240", "430", "160"}.mid(0, offices) + QStringList(3 - offices, "NULL");
    QStringList stored{u"301|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|0|200|%1|%2|NULL"_s
                           .arg(codes.join(u'|'))
                           .arg(offices),
                       "1|09|15|REFORMA|10", "2|09|15|REFORMA|10", "3|09|15|REFORMA|12"};
    for (int i = 1; i <= offices; ++i)
        stored << u"%1|09|15|CALLE %2|10"_s.arg(3 + i).arg(i);
    auto db = wz.dir.open();
    QCOMPARE(dump(*db, u"select * from AA"_s) + u'\n' +
                 dump(*db, u"select Tipo_Dom, EntFed, MDeleg, Calle, NoExt "
                           "from Domicilios_AA order by Tipo_Dom"_s),
             stored.join(u'\n'));

    const QString name30 = u"MARIA DEL CARMEN GUADALUPE ANA"_s;
    must(*db, u"update AA set Nombre=?"_s, {name30});
    must(*db, "update Domicilios_AA set Calle='DOMICILIO '||Tipo_Dom where Tipo_Dom<=3");
    wz.window.reset();
    wz.state.NoPat.clear();
    wz.start();
    QString shown = name30 + u"|301|MEXICO, D.F.|%1|12|B|No Definido|%2"_s.arg(offices).arg(
                                 offices ? "NUEVO LAREDO, TAMPS." : "");
    for (int i = 1; i <= 3; ++i)
        shown += u'|' + (i <= offices ? u"CALLE %1"_s.arg(i) : QString());
    // The name's beginning shown, the patent known again.
    QCOMPARE(wz.showing({"txtAANombre", "txtPatente", "cmbAAAduanaA", "txtNoAduanasAut",
                         "txtV0NoExt", "txtV0NoInt", "lblHistAA", "cmbAduana1", "txtV1Calle",
                         "txtV2Calle", "txtV3Calle"}) +
                 u"|%1|%2"_s.arg(wz.txt("txtAANombre")->cursorPosition()).arg(wz.state.NoPat),
             shown + u"|0|301"_s);
    QCOMPARE(wz.showing({"txtFiscalCalle", "txtOirRCalle", "txtV0Calle"}),
             u"DOMICILIO 1|DOMICILIO 2|DOMICILIO 3"_s); // each on its own block
    wz.next();
    wz.txt("txtAANombre")->clear(); // typing still stops at the limit
    QTest::keyClicks(wz.txt("txtAANombre"), name30);
    QCOMPARE(dump(*db, u"select Nombre from AA"_s) + u'|' + wz.txt("txtAANombre")->text(),
             name30 + u'|' + name30.left(25));
}

// What start-up says of the file, and that it never changes it.
void TestWizard::startUpWithABadDatabase_data() {
    QTest::addColumn<int>("keep");    // bytes kept, garbage to the 2nd page; -1 all, -2 no file
    QTest::addColumn<QString>("sql"); // run on what was kept; "lock": another writer
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("told"); // how the message starts
    const QString damaged = u"El archivo "_s, missing = u"No se encontró"_s;
    row("missing", -2, "", false, missing);
    row("empty", 0, "", false, damaged);
    row("first page over garbage", 100, "", false, damaged);
    // Not KESTRO's schema: nothing of it is run or read.
    row("another schema", -2, "create table Clientes(Nombre text)", false, damaged);
    // Another program writing: the data can be seen, not saved.
    row("locked", -1, "lock", true, u"No se podrá guardar ningún dato"_s);
    // A key the catalogue lacks must neither hang nor end the program.
    row("unknown key", -1,
        "insert into AA (Patente) values (2222); insert into Domicilios_AA (Tipo_Dom, EntFed, "
        "MDeleg) values (2, '77', 9999)",
        true, QString());
}

void TestWizard::startUpWithABadDatabase() {
    QFETCH(int, keep);
    QFETCH(QString, sql);
    QFETCH(bool, starts);
    QFETCH(QString, told);
    Wizard wz;
    const QString path = wz.dir.dbPath();
    if (keep == -2)
        QFile::remove(path);
    else if (keep >= 0)
        writeWholeFile(path, readWholeFile(path).left(keep) + QByteArray(keep ? 8000 : 0, '\x01'));
    std::unique_ptr<Database> other;
    if (!sql.isEmpty())
        other = QFile::exists(path) ? wz.dir.open() : std::move(Database::createFile(path).value);
    for (const QString& s : sql.split(u';', Qt::SkipEmptyParts))
        must(*other, s == u"lock"_s ? u"BEGIN IMMEDIATE"_s : s);
    const auto files = [&] { // what the file holds and what lies beside it but its copies
        QStringList beside = QDir(wz.dir.path()).entryList(QDir::AllEntries);
        beside.removeOne(u"respaldos"_s);
        return readWholeFile(path) + beside.join(u'|').toUtf8();
    };
    const QByteArray before = files();
    wz.window = std::make_unique<frmMain>(wz.state);
    QCOMPARE(wz.window->startUp(), starts);
    const QString said = wz.messages().value(0);
    QVERIFY2(said.startsWith(told) &&
                 (told.isEmpty() || said.contains(QDir::toNativeSeparators(path))),
             qPrintable(said));
    wz.window.reset();
    other.reset();
    QCOMPARE(files(), before); // nothing lost or changed, nothing left beside it
}

// A name and its key are one choice (the first too); a new state brings its own, none chosen.
void TestWizard::pairedListsFollowEachOther() {
    Wizard wz;
    wz.start();
    const QStringList pair{"cmbV2EntFed", "cmbV2CveEntFed", "cmbV2MDeleg", "cmbV2NoMDeleg"};
    wz.choose("cmbV2EntFed", u"Aguascalientes"_s);
    wz.cmb("cmbV2MDeleg")->setCurrentIndex(0);
    QCOMPARE(wz.showing(pair), u"Aguascalientes|01|Aguascalientes| 1"_s);
    wz.choose("cmbV2EntFed", u"Oaxaca"_s);
    wz.choose("cmbV2MDeleg", u"Asunción Ixtaltepec"_s);
    QCOMPARE(wz.showing(pair), u"Oaxaca|20|Asunción Ixtaltepec| 5"_s);
    wz.choose("cmbV2EntFed", u"Colima"_s);
    QCOMPARE(wz.showing(pair) + u"%1%2"_s.arg(wz.cmb("cmbV2MDeleg")->count(), 3)
                                    .arg(wz.cmb("cmbV2NoMDeleg")->count(), 3),
             u"Colima|06|| 10 10"_s);
    wz.cmb("cmbAduana3")->setCurrentIndex(0);
    const QString first = wz.showing({"cmbAduana3", "cmbNoAduana3"});
    wz.choose("cmbAduana3", u"VERACRUZ, VER."_s);
    QCOMPARE(first + u'/' + wz.cmb("cmbNoAduana3")->currentText(), u"ACAPULCO, GRO.| 10/ 430"_s);

    // Typed as a person types: a blank inside a name, a number without its blank.
    wz.show();
    wz.choose("cmbV0EntFed", u"Nuevo León"_s);
    QTest::keyClicks(wz.cmb("cmbV0MDeleg"), "San Ni");
    QCOMPARE(wz.showing({"cmbV0MDeleg", "cmbV0NoMDeleg"}) +
                 (wz.cmb("cmbV0MDeleg")->view()->isVisible() ? "|open" : ""),
             u"San Nicolás de los Garza| 46"_s);
    auto db = wz.dir.open();
    QTableWidget acted;
    frmAduanaAct d(*db, &acted, wz.window.get());
    d.show();
    for (const char* typed : {"43", "430", "4"}) {
        QTest::qWait(QApplication::keyboardInputInterval() + 50); // a search of its own
        QTest::keyClicks(named<QComboBox>(d, u"cmbNoAduana"_s), typed);
        QCOMPARE(showing(d, {"cmbNoAduana", "cmbAduana"}),
                 typed[1] ? u" 430|VERACRUZ, VER."_s
                          : u" 470|AEROPUERTO INTERNAL. CD. DE MEXICO, D.F."_s);
    }
}

// Each gap of the stored representatives told in turn, page 3 kept.
void TestWizard::representativesCompletenessMessages() {
    Wizard wz;
    auto db = wz.dir.open();
    storeAgent(*db);
    storeMandatario(*db, "('CURP1','RFC1','ANA','RUIZ','SOTO',1,'C:\\R.REQ',0,2,null)", {});
    storeMandatario(*db, "('CURP2','RFC2','LUIS','MORA','DIAZ',2,'',null,1,null)");
    storeMandatario(*db, "('CURP3','RFC3','EVA','PAZ','GIL',3,'  ',0,1,null)");
    wz.start();
    wz.fillPage1(0);
    wz.next();
    const QString ana = u" del Representante ANA RUIZ SOTO CURP=CURP1"_s;
    const QString luis = u" del mandatario LUIS MORA DIAZ CURP=CURP2"_s;
    const QString address = u"insert into Domicilios_MM select 'CURP1','09',15,'A','1','','B',"
                            "'06000','1','2',"_s;
    for (const auto& [message, fix] : QList<std::pair<QString, QString>>{
             {"Proporcione el Domicilo Particular" + ana, address + '1'},
             {"Proporcione el Domicilo Fiscal" + ana, address + '2'},
             {"Defina si se encuentra operando actualemente" + ana,
              "update Mandatarios set Operando=1 where CURP='CURP1'"},
             {"Proporcione las Aduanas ante las que aha actuado el" + ana.mid(4),
              "insert into Aduanas_MM values ('CURP1', 470)"},
             {"Proporcione el archivo de Requerimiento" + luis,
              "update Mandatarios set Requerimiento='X.REQ' where CURP='CURP2'"},
             {"Proporcione el Tipo de acreditamiento" + luis,
              "update Mandatarios set Acreditacion=0 where CURP='CURP2'"},
             // Type 3 (only an earlier database has him) sends his file too.
             {"Proporcione el archivo de Requerimiento del mandatario EVA PAZ GIL CURP=CURP3",
              "update Mandatarios set Requerimiento='Y.REQ' where CURP='CURP3'"}}) {
        wz.next();
        QVERIFY2(wz.pageShown("frApoderado") && wz.script.lastText() == message,
                 qPrintable(wz.script.lastText()));
        must(*db, fix);
    }
    // An address that cannot be read is no answer: the page stays.
    must(*db, "alter table Domicilios_MM rename to Aparte");
    wz.next();
    QVERIFY2(wz.pageShown("frApoderado") && wz.script.lastText().contains("Domicilios_MM"),
             qPrintable(wz.script.lastText()));
    must(*db, "alter table Aparte rename to Domicilios_MM");
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
}

// Once the file is signed nothing on any page can change the data it
// reflects, not even after choosing another row; the lists still scroll,
// and Dudas and Salir stay. The next start's page 1 tells whether ENVIO
// holds the package the stored data give, and leaving asks only when it
// does not: `change` is made between the two runs.
void TestWizard::nothingChangesAfterSigning_data() {
    QTest::addColumn<QString>("change"); // SQL, or "req" for the requirement file rewritten
    QTest::addColumn<QString>("line");   // page 1's line at the next start
    row("nothing changed", "",
        "ENVIO ya tiene el archivo de información firmado el %1, y "
        "corresponde a los datos guardados.");
    row("requirement file rewritten", "req",
        "El archivo de información que está en ENVIO, firmado el %1, ya no corresponde a los "
        "datos guardados (la copia de RFC2.req en ENVIO no es la del archivo de requerimiento "
        "actual). Genere uno nuevo con \"Finaliza\" antes de enviarlo.");
    row("restored or changed data", "update Mandatarios set Nombre='LUISA'",
        "El archivo de información que está en ENVIO, firmado el %1, ya no corresponde a los "
        "datos guardados (los datos guardados ya no son los del archivo). Genere uno nuevo con "
        "\"Finaliza\" antes de enviarlo.");
}

void TestWizard::nothingChangesAfterSigning() {
    QFETCH(QString, change);
    QFETCH(QString, line);
    Wizard wz;
    auto db = wz.dir.open();
    storeOffice(*db, wz.dir.path());
    storeMandatario(*db, "('CURP2','RFC2','LUIS','MORA','DIAZ',3,'" + wz.dir.path() +
                             "/RFC2.req',0,1,null)");
    writeWholeFile(wz.dir.path() + u"/RFC2.req"_s, "req");
    const QString key = wz.dir.path() + u"/PELJ700101AB1.key"_s;
    QFile::copy(fixture(u"keys/rsa.key"_s), key);
    wz.start();
    wz.fillPage1(0);
    wz.next();
    goOnToTheKey(wz.script);
    answerKey(wz.script, key);
    wz.pick("fgAA", 0);
    QVERIFY(wz.cmd("cmdEditar")->isEnabled());
    wz.next();
    QVERIFY2(wz.script.lastText().startsWith(u"Se genero el archivo"_s),
             qPrintable(wz.script.lastText()));
    wz.pick("fgAA", 1);
    QStringList usable;
    for (const char* page : {"pageAgent", "pageOffices", "pageRepresentatives", "pageAgentHistory",
                             "pageRepresentativeHistory"})
        for (QWidget* c : wz.w(page)->findChildren<QWidget*>())
            if (c->isEnabled() && (qobject_cast<QAbstractButton*>(c) ||
                                   qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c)))
                usable << c->objectName();
    QCOMPARE(usable, QStringList());
    QCOMPARE(wz.showing({"fgAA", "cmdAtras", "cmdSiguiente", "cmdDudas", "cmdSalir"}),
             u"2|0|0|1|1"_s);
    QVERIFY(wz.grid("fgAA")->isEnabled() && wz.grid("fgAA")->currentRow() == 1);
    wz.script.shown.clear();
    QVERIFY(wz.window->close() && wz.script.shown.isEmpty());

    const QDateTime signedAt =
        QFileInfo(informationFilePath(wz.dir.path(), u"3001"_s)).lastModified();
    if (change == u"req"_s)
        writeWholeFile(wz.dir.path() + u"/RFC2.req"_s, "otro req");
    else if (!change.isEmpty())
        must(*db, change);
    wz.start();
    QCOMPARE(wz.showing({"lblArchivoFirmado"}),
             line.arg(signedAt.toString(u"dd/MM/yyyy 'a las' HH:mm"_s)));
    wz.script.shown.clear();
    wz.script.answer(seam::Answer::Cancel);
    QCOMPARE(wz.window->close(), change.isEmpty());
    QCOMPARE(wz.messages(), change.isEmpty() ? QStringList()
                                             : QStringList{u"¿Desea salir de la aplicación?, aun "
                                                           "no a generado el archivo de "
                                                           "información"_s});
}

// An earlier version's generation, cut short, left the signed file set
// aside: a start puts it back once the window is on screen.
void TestWizard::envioPutRightOnceShown() {
    Wizard wz;
    const QString envio = wz.dir.path() + u"/ENVIO"_s;
    QDir().mkpath(envio);
    writeWholeFile(envio + u"/3001.txt.kestro-anterior"_s, "firmado antes");
    wz.window = std::make_unique<frmMain>(wz.state);
    QVERIFY(wz.window->startUp());
    wz.window->show();
    QTRY_COMPARE(filesUnder(envio), (QMap<QString, QByteArray>{{u"3001.txt"_s, "firmado antes"}}));
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
