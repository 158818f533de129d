// Pages 4 and 5 and their dialogs, driven through the seam by control names.
#include "entry/Grid.h"
#include "support/WizardDriver.h"
#include "wizard/AgentHistoryPage.h"

#include <QDateEdit>
#include <QLabel>

class TestHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { wz.reset(); }
    void agentStatusLabel_data();
    void agentStatusLabel();
    void historicAgentEditor();
    void periodDialogs_data();
    void periodDialogs();
    void page4Deleting();
    void noHistoryDeclarations();
    void page5Periods();

private:
    // Every case: the agent with an earlier history and two representatives
    // under rule 2.13.11, Luis with one period at another agent.
    std::unique_ptr<Wizard> wz;
    std::unique_ptr<Database> db;
    QString history() { return dumpAll(*db); }
};

void TestHistory::init() {
    wz = std::make_unique<Wizard>();
    db = wz->dir.open();
    storeHistory(*db, wz->dir.path(), true);
    must(*db, "insert into Periodos_H_MM values (?,200,3001,'2001-01-01','2002-02-02')", {Luis});
    wz->start();
}

void TestHistory::agentStatusLabel_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("label");
    QTest::addRow("null") << QVariant(QMetaType(QMetaType::Int)) << "No Definido";
    QTest::addRow("1") << QVariant(1) << "Sin Historico";
    QTest::addRow("2") << QVariant(2) << "Con Historico";
}

void TestHistory::agentStatusLabel() {
    QFETCH(QVariant, stored);
    QFETCH(QString, label);
    must(*db, "update AA set SinHistorico=?", {stored});
    wz->start();
    QCOMPARE(wz->w<QLabel>("lblHistAA")->text(), label);
    wz->fillPage1(0);
    wz->next();
    wz->next();
    QVERIFY(wz->pageShown("frAA21311"));
    wz->script.shown.clear();
    wz->next();
    // Only an undefined status keeps the wizard on page 4.
    QCOMPARE(wz->pageShown("frAA21311"), stored.isNull());
    QCOMPARE(wz->messages(),
             stored.isNull()
                 ? QStringList{"Debe definir si el Agente Aduanal tiene o no historico, "
                               "en caso de tener historico debe proporcionar los "
                               "Representantes que ha tenido"}
                 : QStringList());
}

void TestHistory::historicAgentEditor() {
    seam::Script& s = wz->script;
    const QDate d1(2000, 3, 15);
    answerPeriod(s, "frmPeriodo_Agente", "VERACRUZ, VER.", d1, d1);
    answerPeriod(s, "frmPeriodo_Agente", "MANZANILLO, COL.", d1, d1.addDays(1));
    // Checks in order, each with its message and the focus where it belongs.
    wz->withDialog("frmAgentes_Aduanales", "cmdAANuevo", [&](QDialog& d) {
        d.show();
        walkChecks(d, s, [&] { press(d, "cmdAceptar"); },
                   {{"txtNombre", "   ", "Nombre no puede estar vacio", "PEDRO"},
                    {"txtApPaterno", "", "Ap. Paterno no puede estar vacio", "NAVA"},
                    {"txtApMaterno", "", "Ap. Materno no puede estar vacio", "ORTA"},
                    {"txtRFC", "NAOP8001011", "RFC no valido", "NAOP800101AB1"},
                    {"txtCURP", "NAOP800101XDFRZS09", "CURP no valido", ""},
                    {"", "", "Debe existir un periodo de trabajo", "", [&] {
                         press(d, "cmdNuevo");
                         press(d, "cmdNuevo");
                     }}});
        QCOMPARE(s.shown.last().title, QStringLiteral("Mensaje"));
        QCOMPARE(s.shown.last().icon, seam::Icon::None);
        press(d, "cmdAceptar");
    });
    // Without a CURP he is stored under his RFC, with both periods.
    const QString pedro = QStringLiteral("NAOP800101AB1");
    QCOMPARE(dump(*db, "select * from Historico_AA where CURP=?", {pedro}),
             "NAOP800101AB1|NAOP800101AB1|PEDRO|NAVA|ORTA");
    QCOMPARE(dump(*db,
                  "select NoAduana,FechaIni,FechaFin from Periodos_H_AA where CURP=? "
                  "order by 1",
                  {pedro}),
             "160|2000-03-15|2000-03-16\n430|2000-03-15|2000-03-15");
    QCOMPARE(wz->w<QLabel>("lblHistAA")->text(), QStringLiteral("Con Historico"));
    QCOMPARE(wz->grid("fgDatosAA")->currentRow(), 0);
    QVERIFY(!wz->cmd("cmdAAEditar")->isEnabled()); // buttons as they were

    // Reopened: empty CURP, his periods (also one whose office the catalogue
    // lacks, listed without a name, which a save must keep). A CURP of
    // another stored agent is a duplicate; keeping his own key is not.
    must(*db, "insert into Periodos_H_AA values (?,9999,'1990-01-01','1991-01-01')", {pedro});
    must(*db, "update Historico_AA set ApPaterno='NAVA DE LA GARZA Y VILLANUEVA' where CURP=?",
         {pedro}); // past the limit, saved back whole
    wz->start();
    wz->pick("fgDatosAA", wz->grid("fgDatosAA")->rowCount() - 1);
    QCOMPARE(wz->grid("fgPeriodosAA")->rowCount(), 3);
    wz->withDialog("frmAgentes_Aduanales", "cmdAAEditar", [&](QDialog& d) {
        auto* periods = named<QTableWidget>(d, "fgAA_Periodos");
        QCOMPARE(named<QLineEdit>(d, "txtCURP")->text(), QString());
        QCOMPARE(periods->rowCount(), 3);
        setValue(d, "txtCURP", Hist);
        press(d, "cmdAceptar");
        QCOMPARE(s.lastText(), QStringLiteral("YA EXISTE EL AGENTE ADUANAL EN LA BASE DE DATOS."));
        setValue(d, "txtCURP", "");
        setValue(d, "txtNombre", "PEDRO LUIS");
        periods->setCurrentCell(0, 0);
        s.answer(seam::Answer::Cancel);
        press(d, "cmdBorrar"); // asked first
        QCOMPARE(s.lastText(), QStringLiteral("¿DESEA BORRAR EL PERIODO SELECCIONADO?"));
        QCOMPARE(periods->rowCount(), 3);
        press(d, "cmdBorrar");
        QCOMPARE(periods->rowCount(), 2);
        press(d, "cmdAceptar");
    });
    QCOMPARE(dump(*db, "select Nombre, ApPaterno from Historico_AA where CURP=?", {pedro}),
             "PEDRO LUIS|NAVA DE LA GARZA Y VILLANUEVA");
    QCOMPARE(dump(*db, "select NoAduana from Periodos_H_AA where CURP=? order by 1", {pedro}),
             "160\n9999");
}

void TestHistory::periodDialogs_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("patente");
    QTest::addColumn<QString>("office");
    QTest::addColumn<int>("days");        // from start to end
    QTest::addColumn<QString>("message"); // "" = accepted
    const auto row = [](const char* name, const char* dialog, const char* patente,
                        const char* office, int days, const char* message) {
        QTest::newRow(name) << QString::fromLatin1(dialog) << QString::fromLatin1(patente)
                            << QString::fromLatin1(office) << days << QString::fromLatin1(message);
    };
    const char *m = "frmPeriodo_Mandatario", *a = "frmPeriodo_Agente", *ver = "VERACRUZ, VER.";
    row("patent 0", m, "0", "", -1, "No. de Patente no valido");
    row("patent 12AB", m, "12AB", ver, 0, "No. de Patente no valido");
    row("ends before", m, "4000", ver, -1, "Periodo no valido");
    row("no office", m, "4000", "", 0, "Aduana no puede estar vacio");
    row("patent with blanks", m, " 0012 ", ver, 0, "");
    row("agent, ends before", a, "", ver, -1, "Periodo no valido");
    row("agent, no office", a, "", "", 0, "Aduana no puede estar vacio");
    row("agent", a, "", ver, 1, "");
}

void TestHistory::periodDialogs() {
    QFETCH(QString, dialog);
    QFETCH(QString, patente);
    QFETCH(QString, office);
    QFETCH(int, days);
    QFETCH(QString, message);
    const QDate a(2003, 10, 10);
    seam::Script& s = wz->script;
    bool today = false; // the first opening only looks: it starts on today
    s.onDialog(dialog, [&today](QDialog& d) {
        today = named<QDateEdit>(d, "dtpIni")->date() == QDate::currentDate() &&
                named<QDateEdit>(d, "dtpFin")->date() == QDate::currentDate();
        return int(QDialog::Rejected);
    });
    answerPeriod(s, dialog, office, a, a.addDays(days), patente);
    s.shown.clear();
    int periods = 0;
    if (dialog == QLatin1String("frmPeriodo_Mandatario")) {
        must(*db, "update Mandatarios set CURP=CURP||'X' where CURP=?", {Eva}); // past the limit
        wz->start();
        wz->pick("fgMandatarios", 1);
        wz->cmd("cmdMandNuevo")->click();
        wz->cmd("cmdMandNuevo")->click();
        periods = wz->grid("fgPeriodosMandatario")->rowCount();
        QCOMPARE(dump(*db, "select * from Periodos_H_MM where CURP<>?", {Luis}),
                 message.isEmpty() ? Eva + "X|430|12|2003-10-10|2003-10-10" : QString());
        QCOMPARE(dump(*db, "select SinHistorico from Mandatarios where CURP<>?", {Luis}),
                 message.isEmpty() ? "0" : "NULL");
    } else {
        wz->withDialog("frmAgentes_Aduanales", "cmdAANuevo", [&](QDialog& d) {
            press(d, "cmdNuevo");
            QCOMPARE(named<QTableWidget>(d, "fgAA_Periodos")->rowCount(), 0);
            press(d, "cmdNuevo");
            periods = named<QTableWidget>(d, "fgAA_Periodos")->rowCount();
        });
    }
    QVERIFY(today);
    QCOMPARE(s.lastText(), message);
    QCOMPARE(periods, message.isEmpty() ? 1 : 0);
    if (!message.isEmpty())
        QCOMPARE(s.shown.last().title, QStringLiteral("KESTRO"));
}

void TestHistory::page4Deleting() {
    must(*db, "insert into Historico_AA values ('TRES750505XX1','TRES750505XX1','LEO','TRES',"
              "'VEZ')");
    wz->start();
    wz->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(wz->window.get()));
    wz->fillPage1(0);
    wz->next();
    wz->next();
    QTableWidget* list = wz->grid("fgDatosAA");
    // Shown and focused, the page chooses no row by itself.
    QTRY_COMPARE(QApplication::focusWidget(), list);
    QCOMPARE(list->currentRow(), -1);
    QVERIFY(!wz->cmd("cmdAABorrar")->isEnabled());
    // A click on the agent without CURP shows his periods.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1, 0)).center());
    QCOMPARE(gridRow(wz->grid("fgPeriodosAA"), 0),
             (QStringList{"430", "VERACRUZ, VER.", "06/05/2001", "08/07/2002"}));

    // Cancelled: nothing. Then a later row: it goes, buttons stay enabled.
    const QString before = history();
    wz->script.answer(seam::Answer::Cancel);
    wz->cmd("cmdAABorrar")->click();
    QCOMPARE(wz->script.lastText(), QStringLiteral("¿DESEA BORRAR EL AGENTE ADUANAL \n\nANA SOTO "
                                                   "TAPIA \n\n Y TODOS SUS PERIODOS DE LABOR?"));
    QCOMPARE(history(), before);
    wz->cmd("cmdAABorrar")->click();
    QCOMPARE(dump(*db, "select CURP from Historico_AA order by CURP"), Hist + "\nTRES750505XX1");
    QCOMPARE(dump(*db, "select CURP from Periodos_H_AA"), Hist);
    QVERIFY(wz->cmd("cmdAABorrar")->isEnabled() && wz->cmd("cmdAAEditar")->isEnabled());

    // The first row: Borrar and Editar wait for a new choice.
    list->setCurrentCell(0, 0);
    wz->cmd("cmdAABorrar")->click();
    QCOMPARE(list->rowCount(), 1);
    QVERIFY(!wz->cmd("cmdAABorrar")->isEnabled() && !wz->cmd("cmdAAEditar")->isEnabled());
    // The only row: empty lists; the status is to be defined again.
    wz->pick("fgDatosAA", 0);
    wz->cmd("cmdAABorrar")->click();
    QCOMPARE(list->rowCount(), 0);
    QCOMPARE(wz->grid("fgPeriodosAA")->rowCount(), 0);
    QCOMPARE(wz->w<QLabel>("lblHistAA")->text(), QStringLiteral("No Definido"));
    QCOMPARE(dump(*db, "select SinHistorico from AA"), "NULL");
}

void TestHistory::noHistoryDeclarations() {
    must(*db, "insert into Periodos_H_MM values (?,200,3001,'2001-01-01','2002-02-02')", {Eva});
    seam::Script& s = wz->script;
    QStringList sentences;
    const auto answer = [&](const char* button) {
        s.onDialog(QStringLiteral("frmSinHIstorico"), [&sentences, button](QDialog& d) {
            sentences << named<QLabel>(d, "lblAsustador")->text();
            d.show();
            QLatin1String(button) == "close" ? void(d.close()) : press(d, button);
            return d.result();
        });
    };
    // Cancelled (button or close box): nothing changes, yet the periods
    // list is emptied.
    const QString before = history();
    wz->pick("fgDatosAA", 0);
    answer("cmdCancelar");
    wz->cmd("cmdSinHistAA")->click();
    wz->pick("fgMandatarios", 0);
    answer("close");
    wz->cmd("cmdSinHistMM")->click();
    QCOMPARE(history(), before);
    QCOMPARE(wz->grid("fgPeriodosAA")->rowCount(), 0);
    QCOMPARE(wz->grid("fgPeriodosMandatario")->rowCount(), 0);
    QCOMPARE(sentences, (QStringList{"Por este medio les informo que no he tenido representantes, "
                                     "por tal motivo no tengo historico",
                                     "Por este medio les informo que el mandatario no ha actuado "
                                     "para ningún Agente Aduanal, por tal motivo no tiene "
                                     "historico"}));

    // One representative: only his periods and flag.
    wz->pick("fgMandatarios", 1);
    answer("cmdAceptar");
    wz->cmd("cmdSinHistMM")->click();
    QCOMPARE(dump(*db, "select CURP from Periodos_H_MM"), Luis);
    QCOMPARE(dump(*db, "select SinHistorico from Mandatarios order by CURP"), "NULL\n1");
    QCOMPARE(gridCell(wz->grid("fgMandatarios"), 1, 4), QStringLiteral("NO"));

    // The agent: every earlier representative and period goes.
    answer("cmdAceptar");
    wz->cmd("cmdSinHistAA")->click();
    QCOMPARE(dump(*db, "select (select count(*) from Historico_AA), (select count(*) from "
                       "Periodos_H_AA), SinHistorico from AA"),
             "0|0|1");
    QCOMPARE(wz->w<QLabel>("lblHistAA")->text(), QStringLiteral("Sin Historico"));
    QCOMPARE(wz->grid("fgDatosAA")->rowCount(), 0);
}

void TestHistory::page5Periods() {
    // Luis has four periods, all shown: the file sends them all, also the one
    // in an office the catalogue lacks, which shows without a name.
    for (auto [office, patent] : {std::pair{9999, 3002}, {430, 3003}, {160, 3004}})
        must(*db, "insert into Periodos_H_MM values (?,?,?,'2001-01-01','2002-02-02')",
             {Luis, office, patent});
    must(*db, "update Mandatarios set SinHistorico=0 where CURP=?", {Luis});
    wz->start();
    seam::Script& s = wz->script;
    QTableWidget* reps = wz->grid("fgMandatarios");
    QTableWidget* periods = wz->grid("fgPeriodosMandatario");
    QVERIFY(!wz->cmd("cmdMandNuevo")->isEnabled());
    reps->setCurrentCell(0, 0);
    QVERIFY(wz->cmd("cmdMandNuevo")->isEnabled());
    QCOMPARE(gridRow(periods, 0),
             (QStringList{"3001", "200", "MEXICO, D.F.", "01/01/2001", "02/02/2002"}));
    QCOMPARE(gridRow(periods, 1), (QStringList{"3002", "9999", "", "01/01/2001", "02/02/2002"}));
    QVERIFY(!wz->cmd("cmdMandBorrar")->isEnabled());

    // The chosen one goes; the rest stays stored as it was.
    periods->setCurrentCell(2, 0);
    wz->cmd("cmdMandBorrar")->click();
    QCOMPARE(s.lastText(), "¿DESEA BORRAR EL PERIODO DE LABOR SELECCIONADO DEL MANDATARIO\n\nLUIS "
                           "MORA DIAZ " +
                               Luis + " ?");
    QCOMPARE(dump(*db, "select Patente_MM from Periodos_H_MM order by 1"), "3001\n3002\n3004");
    QCOMPARE(periods->rowCount(), 3);
    wz->cmd("cmdMandBorrar")->click(); // nothing chosen: nothing happens
    QCOMPARE(dump(*db, "select count(*) from Periodos_H_MM"), "3");

    // A new period for Eva: stored, she becomes "SI", she stays current.
    reps->setCurrentCell(1, 0);
    answerPeriod(s, "frmPeriodo_Mandatario", "VERACRUZ, VER.", QDate(2003, 1, 2), QDate(2004, 3, 4),
                 "1234");
    wz->cmd("cmdMandNuevo")->click();
    QCOMPARE(gridCell(reps, 1, 4), QStringLiteral("SI"));
    QCOMPARE(gridRow(periods, 0),
             (QStringList{"1234", "430", "VERACRUZ, VER.", "02/01/2003", "04/03/2004"}));

    // Her only period deleted: none left, "NO", Borrar disabled.
    periods->setCurrentCell(0, 0);
    wz->cmd("cmdMandBorrar")->click();
    QCOMPARE(dump(*db, "select SinHistorico from Mandatarios where CURP=?", {Eva}), "1");
    QCOMPARE(gridCell(reps, 1, 4), QStringLiteral("NO"));
    QCOMPARE(reps->currentRow(), 1);
    QCOMPARE(periods->rowCount(), 0);
    QVERIFY(!wz->cmd("cmdMandBorrar")->isEnabled());
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
