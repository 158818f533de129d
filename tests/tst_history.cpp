// Pages 4 and 5 and their dialogs, driven through the seam by control names.
#include "data/FaultPoint.h"
#include "entry/Grid.h"
#include "support/WizardDriver.h"
#include "wizard/AgentHistoryPage.h"

using namespace Qt::StringLiterals;

class TestHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { wz.reset(); }
    void periodDialogs_data();
    void periodDialogs();
    void page4EditorAndDeleting();
    void page5PeriodsAndNoHistory();
    void listsReadOnceNeeded_data();
    void listsReadOnceNeeded();

private:
    // Every case: the agent with an earlier history and two representatives
    // under rule 2.13.11, Luis with one period at another agent.
    std::unique_ptr<Wizard> wz;
    std::unique_ptr<Database> db;
    QString stored(const QString& sql, const QVariantList& v = {}) { return dump(*db, sql, v); }
};

void TestHistory::init() {
    wz = std::make_unique<Wizard>();
    db = wz->dir.open();
    storeHistory(*db, wz->dir.path(), true);
    must(*db, "insert into Periodos_H_MM values (?,200,3001,'2001-01-01','2002-02-02')", {Luis});
    wz->start();
}

void TestHistory::periodDialogs_data() {
    QTest::addColumn<QString>("patent");
    QTest::addColumn<QString>("office");
    QTest::addColumn<int>("days");        // from today to the end
    QTest::addColumn<QString>("message"); // "" = accepted
    const char* ver = "VERACRUZ, VER.";
    row("patent 0", "0", "", -1, "No. de Patente no valido");
    row("patent 12AB", "12AB", ver, 0, "No. de Patente no valido");
    row("ends before", "4000", ver, -1,
        "Periodo no valido\nLa fecha final es anterior a la inicial.");
    row("no office", "4000", "", 0, "Aduana no puede estar vacio");
    row("patent with blanks", " 0012 ", ver, 0, "");
}

// The representative's period dialog opens on today's date (kept here);
// what it refuses is told and nothing is added; an accepted period for a
// CURP past the field's limit is stored under the whole CURP, which becomes
// "with history".
void TestHistory::periodDialogs() {
    QFETCH(QString, patent);
    QFETCH(QString, office);
    QFETCH(int, days);
    QFETCH(QString, message);
    const QDate today = QDate::currentDate();
    answerPeriod(wz->script, "frmPeriodo_Mandatario", office, QDate(), today.addDays(days), patent);
    must(*db, "update Mandatarios set CURP=CURP||'X' where CURP=?", {Eva});
    wz->start();
    wz->show();
    wz->pick("fgMandatarios", 1);
    QPushButton* nuevo = wz->cmd("cmdMandNuevo");
    nuevo->setFocus();
    nuevo->click();
    // The list rebuilt, the button pressed keeps the focus: it still acts.
    QCOMPARE(stored("select SinHistorico, group_concat(p.NoAduana || p.FechaIni) from "
                    "Mandatarios m left join Periodos_H_MM p using (CURP) where CURP=?",
                    {Eva + 'X'}) +
                 gridCell(wz->grid("fgMandatarios"), 1, 4) +
                 wz->showing({"fgPeriodosMandatario", "cmdMandBorrar"}) +
                 wz->script.shown.value(0).title + wz->script.shown.value(0).text +
                 QString::number(QApplication::focusWidget() == nuevo),
             message.isEmpty() ? "0|430" + today.toString(Qt::ISODate) + "SI1|01"
                               : "NULL|NULLSin Definir0|0KESTRO" + message + '1');
}

// Page 4: its editor's checks in order, a duplicate CURP, a period deleted
// once confirmed. Borrar asks first; a later row leaves the buttons as they
// were, the first waits for a new choice, the last leaves the status undefined.
void TestHistory::page4EditorAndDeleting() {
    seam::Script& s = wz->script;
    wz->show();
    wz->fillPage1(0);
    wz->next();
    wz->next();
    QTableWidget* list = wz->grid("fgDatosAA");
    const QStringList state{"fgDatosAA", "cmdAABorrar", "cmdAAEditar", "fgPeriodosAA"};
    QTRY_COMPARE(QApplication::focusWidget(), list);
    // No row chosen by itself; the stored status told.
    QCOMPARE(wz->showing(state + QStringList{"lblHistAA"}), u"2|0|0|0|Con Historico"_s);
    QTRY_VERIFY(showsWhole(list, {3, 4}));

    const QDate d1(2000, 3, 15);
    answerPeriod(s, "frmPeriodo_Agente", "", d1, d1); // refused
    answerPeriod(s, "frmPeriodo_Agente", "VERACRUZ, VER.", d1, d1);
    answerPeriod(s, "frmPeriodo_Agente", "MANZANILLO, COL.", d1, d1.addDays(1));
    wz->withDialog("frmAgentes_Aduanales", "cmdAANuevo", [&](QDialog& d) {
        d.show();
        press(d, "cmdNuevo");
        // Refused, then Cancelar leaves what was typed: asked first.
        QCOMPARE(wz->messages().mid(wz->messages().size() - 2),
                 (QStringList{u"Aduana no puede estar vacio"_s, DiscardQuestion}));
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
        QCOMPARE(gridRow(named<QTableWidget>(d, "fgAA_Periodos"), 1),
                 (QStringList{"160", "MANZANILLO, COL.", "15/03/2000", "16/03/2000"}));
        QVERIFY(s.shown.last().title == u"Mensaje"_s && s.shown.last().icon == seam::Icon::None);
        press(d, "cmdAceptar");
    });
    // The first row chosen, as by a click: its periods shown, its buttons
    // live, and Enter edits it.
    QCOMPARE(wz->showing({"lblHistAA", "cmdAAEditar", "cmdAABorrar", "fgPeriodosAA"}),
             u"Con Historico|1|1|1"_s);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(s.dialogsShown.count(u"frmAgentes_Aduanales"_s), 2);
    // Stored past the field's limit, and a period in an office the catalogue
    // lacks: an edit keeps both whole.
    must(*db, "update Historico_AA set ApPaterno='NAVA DE LA GARZA Y VILLANUEVA' where RFC=?",
         {"NAOP800101AB1"});
    must(*db, "insert into Periodos_H_AA values ('NAOP800101AB1',9999,'1990-01-01','1991-01-01')");
    QVERIFY(!wz->window->findChild<AgentHistoryPage*>()->Llena_Hist_AA());
    wz->pick("fgDatosAA", 2);
    wz->withDialog("frmAgentes_Aduanales", "cmdAAEditar", [&](QDialog& d) {
        QCOMPARE(showing(d, {"txtCURP", "fgAA_Periodos"}), u"|3"_s);
        setValue(d, "txtCURP", Hist);
        press(d, "cmdAceptar");
        QCOMPARE(s.lastText(), u"YA EXISTE EL AGENTE ADUANAL EN LA BASE DE DATOS."_s);
        setValue(d, "txtCURP", "");
        setValue(d, "txtNombre", "PEDRO LUIS");
        named<QTableWidget>(d, "fgAA_Periodos")->setCurrentCell(0, 0);
        s.answer(seam::Answer::Cancel);
        press(d, "cmdBorrar"); // asked first
        QCOMPARE(s.lastText() + showing(d, {"fgAA_Periodos"}),
                 u"¿DESEA BORRAR EL PERIODO SELECCIONADO?3"_s);
        QCOMPARE(s.shown.last().onEnter, seam::Answer::Cancel); // Enter keeps it
        press(d, "cmdBorrar");
        press(d, "cmdAceptar");
    });
    // Without a CURP he is stored under his RFC.
    QCOMPARE(stored("select h.*, NoAduana, FechaIni, FechaFin from Historico_AA h join "
                    "Periodos_H_AA using (CURP) where CURP='NAOP800101AB1'"),
             "NAOP800101AB1|NAOP800101AB1|PEDRO LUIS|NAVA DE LA GARZA Y VILLANUEVA|ORTA|160|"
             "2000-03-15|2000-03-16\nNAOP800101AB1|NAOP800101AB1|PEDRO LUIS|NAVA DE LA GARZA Y "
             "VILLANUEVA|ORTA|9999|1990-01-01|1991-01-01");

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1, 0)).center());
    QTableWidget* periods = wz->grid("fgPeriodosAA");
    periods->setFocus(Qt::TabFocusReason); // the user, not the focus, picks a period
    QCOMPARE(gridRow(periods, 0) << QString::number(periods->currentRow()),
             (QStringList{"430", "VERACRUZ, VER.", "06/05/2001", "08/07/2002", "-1"}));
    const QString before = dumpAll(*db);
    s.answer(seam::Answer::Cancel);
    wz->cmd("cmdAABorrar")->click();
    QCOMPARE(s.lastText() + dumpAll(*db), u"¿DESEA BORRAR EL AGENTE ADUANAL \n\nANA SOTO TAPIA "
                                          "\n\n Y TODOS SUS PERIODOS DE LABOR?"_s +
                                              before);
    QCOMPARE(s.shown.last().onEnter, seam::Answer::Cancel);
    wz->cmd("cmdAABorrar")->click();
    QCOMPARE(wz->showing(state).left(6) + stored("select CURP, (select group_concat(CURP) from "
                                                 "Periodos_H_AA) from Historico_AA"),
             "2|1|1|" + Hist + '|' + Hist + ",NAOP800101AB1,NAOP800101AB1\nNAOP800101AB1|" + Hist +
                 ",NAOP800101AB1,NAOP800101AB1");
    list->setCurrentCell(0, 0);
    wz->cmd("cmdAABorrar")->click();
    QCOMPARE(wz->showing(state).left(5), u"1|0|0"_s);
    wz->pick("fgDatosAA", 0);
    wz->cmd("cmdAABorrar")->click();
    QCOMPARE(wz->showing(state + QStringList{"lblHistAA"}) + stored("select SinHistorico from AA"),
             u"0|0|0|0|No DefinidoNULL"_s);
    wz->next(); // an undefined status keeps the wizard here
    QCOMPARE(s.lastText() + QString::number(wz->pageShown("frAA21311")),
             "Debe definir si el Agente Aduanal tiene o no historico, en caso de tener historico "
             "debe proporcionar los Representantes que ha tenido1");
}

// Page 5: every period listed (an office the catalogue lacks, unnamed); Borrar
// asks and takes the chosen one; without his last one he is "NO". "Sin
// historico": cancelled changes nothing; for one representative only his
// periods and flag; for the agent every earlier representative goes.
void TestHistory::page5PeriodsAndNoHistory() {
    must(*db, "insert into Periodos_H_MM values (?,9999,3002,'2001-01-01','2002-02-02')", {Luis});
    must(*db, "insert into Periodos_H_MM values (?,200,3001,'2001-01-01','2002-02-02')", {Eva});
    must(*db, "update Mandatarios set SinHistorico=0 where CURP=?", {Luis});
    wz->start();
    const QStringList state{"cmdMandNuevo", "cmdMandBorrar", "fgPeriodosMandatario"};
    QCOMPARE(wz->showing(state), u"0|0|0"_s);
    const QString before = dumpAll(*db);
    wz->pick("fgMandatarios", 1);
    QString told; // under the declaration, what it deletes
    wz->script.onDialog(u"frmSinHIstorico"_s, [&told](QDialog& d) {
        told = showing(d, {"lblSeBorra"});
        press(d, u"cmdCancelar"_s);
        return d.result();
    });
    answerDialog(wz->script, "frmSinHIstorico", {}, {"cmdAceptar"});
    wz->cmd("cmdSinHistMM")->click();
    QCOMPARE(dumpAll(*db), before);
    // Cancelled, he stays chosen: Nuevo and his periods are still there.
    QCOMPARE(told + u'|' + wz->showing(state),
             u"Al aceptar se borra el periodo de la lista.|1|0|1"_s);
    wz->cmd("cmdSinHistMM")->click();
    QCOMPARE(stored("select CURP, SinHistorico, (select count(*) from Periodos_H_MM p where "
                    "p.CURP=m.CURP) from Mandatarios m order by CURP") +
                 gridCell(wz->grid("fgMandatarios"), 1, 4),
             Luis + "|0|2\n" + Eva + "|1|0NO");

    wz->pick("fgMandatarios", 0);
    QCOMPARE(wz->showing(state), u"1|0|2"_s);
    QCOMPARE(gridRow(wz->grid("fgPeriodosMandatario"), 1),
             (QStringList{"3002", "9999", "", "01/01/2001", "02/02/2002"}));
    wz->grid("fgPeriodosMandatario")->setCurrentCell(0, 0);
    wz->cmd("cmdMandBorrar")->click();
    QCOMPARE(wz->script.lastText(), "¿DESEA BORRAR EL PERIODO DE LABOR SELECCIONADO DEL "
                                    "MANDATARIO\n\nLUIS MORA DIAZ " +
                                        Luis + " ?");
    QCOMPARE(wz->script.shown.last().onEnter, seam::Answer::Cancel);
    QCOMPARE(stored("select Patente_MM from Periodos_H_MM"), "3002");
    wz->pick("fgPeriodosMandatario", 0);
    wz->cmd("cmdMandBorrar")->click();
    QCOMPARE(stored("select SinHistorico from Mandatarios where CURP=?", {Luis}) +
                 gridCell(wz->grid("fgMandatarios"), 0, 4) + wz->showing(state),
             u"1NO1|0|0"_s);

    answerDialog(wz->script, "frmSinHIstorico", {}, {"cmdAceptar"});
    wz->cmd("cmdSinHistAA")->click();
    QCOMPARE(stored("select (select count(*) from Historico_AA), (select count(*) from "
                    "Periodos_H_AA), SinHistorico from AA") +
                 wz->showing({"lblHistAA", "fgDatosAA"}),
             u"0|0|1Sin Historico|0"_s);
}

void TestHistory::listsReadOnceNeeded_data() {
    QTest::addColumn<bool>("painted");
    QTest::addColumn<int>("failing");  // the read that fails after the paint: pages 3, 5, 4
    QTest::addColumn<QString>("rows"); // of fgAA, fgMandatarios, fgDatosAA, page 3 shown
    row("page 3 shown before any paint", false, 0, "2|0|0");
    row("all after the first paint", true, 0, "2|2|2");
    row("page 3 unreadable", true, 1, "0|2|2");
    row("page 5 unreadable", true, 2, "2|0|2");
    row("page 4 unreadable", true, 3, "2|2|0");
}

// The start does not wait for the lists of pages 3 to 5: each is read when
// its page is first shown or right after the first paint, whole; a read
// that fails is told once and leaves only that list empty.
void TestHistory::listsReadOnceNeeded() {
    QFETCH(bool, painted);
    QFETCH(int, failing);
    QFETCH(QString, rows);
    const QStringList lists{"fgAA", "fgMandatarios", "fgDatosAA"};
    wz->window = std::make_unique<frmMain>(wz->state); // the start alone
    QVERIFY(wz->window->startUp());
    QCOMPARE(wz->showing(lists) + wz->messages().join(u'|'), u"0|0|0"_s);
    if (painted) {
        faultpoint::arm(failing);
        wz->show();
        QTRY_COMPARE(wz->showing(lists), rows);
        faultpoint::disarm();
    }
    wz->fillPage1(0);
    wz->next();
    QVERIFY(wz->pageShown("frApoderado"));
    QCOMPARE(wz->showing(lists), rows);
    QCOMPARE(wz->messages().size(), failing ? 1 : 0);
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
