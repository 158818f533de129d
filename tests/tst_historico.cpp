// Pages 4 and 5 and their dialogs, driven through the seam by control names.
#include "entry/Grid.h"
#include "support/TestKey.h"
#include "support/WizardDriver.h"

#include <QDateEdit>
#include <QDir>
#include <QLabel>

namespace {

const QString Luis = QStringLiteral("MODL800101HDFRZS01");
const QString Eva = QStringLiteral("PAGE810202MDFZLV02");
const QString Hist = QStringLiteral("HIRF700101HDFRZL03");

void press(QDialog& d, const char* button) {
    named<QPushButton>(d, QLatin1String(button))->click();
}

// Answers a period dialog: patent (only the representative's has one),
// office by name ("" = none), dates; then Aceptar, and Cancelar when the
// period was refused.
auto periodo(seam::Script& s, const QString& office, QDate ini, QDate fin,
             const QString& patente = QString()) {
    return [&s, office, ini, fin, patente](QDialog& d) {
        if (d.objectName() == QLatin1String("frmPeriodo_Mandatario"))
            named<QLineEdit>(d, "txtPatente")->setText(patente);
        if (!office.isEmpty())
            choose(named<QComboBox>(d, "cmbAduana"), office);
        named<QDateEdit>(d, "dtpIni")->setDate(ini);
        named<QDateEdit>(d, "dtpFin")->setDate(fin);
        const qsizetype before = s.shown.size();
        press(d, "cmdAceptar");
        if (d.result() != QDialog::Accepted && s.shown.size() > before)
            press(d, "cmdCancelar");
        return d.result();
    };
}

void acceptNoHistory(seam::Script& s) {
    answerDialog(s, QStringLiteral("frmSinHIstorico"), {}, {QStringLiteral("cmdAceptar")});
}

// The history tables and flags, to see that nothing else changed.
QString historyDump(Database& db) {
    QStringList all;
    for (const char* sql :
         {"select * from Historico_AA order by CURP", "select * from Periodos_H_AA order by 1,2,3",
          "select * from Periodos_H_MM order by 1,2,3,4", "select SinHistorico from AA",
          "select CURP,SinHistorico from Mandatarios order by 1"})
        all << dump(db, QLatin1String(sql));
    return all.join(QStringLiteral("\n--\n"));
}

// An agent with two representatives of the 2.13.11 type, complete for page 3,
// and (optionally) two earlier representatives, one keyed by his RFC.
void storeScene(Database& db, const QString& reqFolder, bool withHistory) {
    storeAgent(db);
    for (const auto& [curp, names] :
         {std::pair{Luis, "LUIS','MORA','DIAZ"}, {Eva, "EVA','PAZ','GIL"}}) {
        const QString req = QDir(reqFolder).filePath(curp + QStringLiteral(".req"));
        writeWholeFile(req, "req");
        storeMandatario(db, QStringLiteral("('%1','%2AB1','%3',2,'%4',1,1,null)")
                                .arg(curp, curp.left(10), QLatin1String(names), req));
    }
    if (!withHistory)
        return;
    must(db, "update AA set SinHistorico=0");
    must(db, "insert into Historico_AA values ('HIRF700101AB1',?,'FELIPE','HARO','RUIZ')", {Hist});
    must(db, "insert into Historico_AA values ('SOTA750505XX1','SOTA750505XX1','ANA','SOTO',"
             "'TAPIA')");
    must(db, "insert into Periodos_H_AA values (?,200,'1999-01-02','2000-03-04')", {Hist});
    must(db, "insert into Periodos_H_AA values ('SOTA750505XX1',430,'2001-05-06','2002-07-08')");
}

void storeLuisPeriod(Database& db, int office = 200, int patent = 3001) {
    must(db, "insert into Periodos_H_MM values (?,?,?,'2001-01-01','2002-02-02')",
         {Luis, office, patent});
}

} // namespace

class TestHistorico : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void agentStatusLabel_data();
    void agentStatusLabel();
    void historicAgentEditor();
    void periodDialogsRefuseBadPeriods();
    void page4Deleting();
    void noHistoryDeclarations();
    void page5Periods();
    void failureHalfWayChangesNothing();
    void wholeWizardToSignedFile();
};

void TestHistorico::agentStatusLabel_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("writtenBack");
    QTest::addRow("null") << QVariant() << "No Definido"
                          << "NULL";
    QTest::addRow("1") << QVariant(1) << "Sin Historico"
                       << "1";
    QTest::addRow("2") << QVariant(2) << "Con Historico"
                       << "0";
}

void TestHistorico::agentStatusLabel() {
    QFETCH(QVariant, stored);
    QFETCH(QString, label);
    QFETCH(QString, writtenBack);
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), false);
        must(*db, "update AA set SinHistorico=?",
             {stored.isNull() ? QVariant(QMetaType(QMetaType::Int)) : stored});
    }
    wz.start();
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), label);
    wz.fillPage1(0);
    wz.next();
    auto db = wz.dir.open();
    QCOMPARE(dump(*db, "select SinHistorico from AA"), writtenBack);
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
    wz.script.shown.clear();
    wz.next();
    // Only an undefined status keeps the wizard on page 4.
    QCOMPARE(wz.pageShown("frAA21311"), stored.isNull());
    QCOMPARE(wz.messages(),
             stored.isNull()
                 ? QStringList{"Debe definir si el Agente Aduanal tiene o no historico, "
                               "en caso de tener historico debe proporcionar los "
                               "Representantes que ha tenido"}
                 : QStringList());
}

void TestHistorico::historicAgentEditor() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), true);
        must(*db, "update AA set SinHistorico=null");
    }
    wz.start();
    seam::Script& s = wz.script;
    const QDate d1(2000, 3, 15);

    // Checks in order, each with its message, no icon, and the focus where
    // it belongs; nothing is stored while one fails.
    s.onDialog(QStringLiteral("frmAgentes_Aduanales"), [&](QDialog& d) {
        d.show();
        const QList<std::tuple<const char*, QString, QString, QString>> steps{
            {"txtNombre", "   ", "PEDRO", "Nombre no puede estar vacio"},
            {"txtApPaterno", "", "NAVA", "Ap. Paterno no puede estar vacio"},
            {"txtApMaterno", "", "ORTA", "Ap. Materno no puede estar vacio"},
            {"txtRFC", "NAOP8001011", "NAOP800101AB1", "RFC no valido"},
            {"txtCURP", "NAOP800101XDFRZS09", "", "CURP no valido"},
        };
        for (const auto& [field, bad, good, msg] : steps)
            named<QLineEdit>(d, field)->setText(bad);
        for (const auto& [field, bad, good, msg] : steps) {
            press(d, "cmdAceptar");
            if (s.lastText() != msg || s.shown.last().icon != seam::Icon::None ||
                s.shown.last().title != QStringLiteral("Mensaje") ||
                d.focusWidget() != named(d, field))
                return int(QDialog::Rejected);
            named<QLineEdit>(d, field)->setText(good);
        }
        press(d, "cmdAceptar");
        if (s.lastText() != QStringLiteral("Debe existir un periodo de trabajo"))
            return int(QDialog::Rejected);
        press(d, "cmdNuevo");
        press(d, "cmdNuevo");
        press(d, "cmdAceptar");
        return d.result();
    });
    s.onDialog(QStringLiteral("frmPeriodo_Agente"),
               periodo(s, QStringLiteral("VERACRUZ, VER."), d1, d1));
    s.onDialog(QStringLiteral("frmPeriodo_Agente"),
               periodo(s, QStringLiteral("MANZANILLO, COL."), d1, d1.addDays(1)));
    auto db = wz.dir.open();
    wz.cmd("cmdAANuevo")->click();
    // Without a CURP he is stored under his RFC, with both periods.
    const QString pedro = QStringLiteral("NAOP800101AB1");
    QCOMPARE(dump(*db, "select * from Historico_AA where CURP=?", {pedro}),
             "NAOP800101AB1|NAOP800101AB1|PEDRO|NAVA|ORTA");
    QCOMPARE(dump(*db,
                  "select NoAduana,FechaIni,FechaFin from Periodos_H_AA where CURP=? order by 1",
                  {pedro}),
             "160|2000-03-15|2000-03-16\n430|2000-03-15|2000-03-15");
    QCOMPARE(dump(*db, "select SinHistorico from AA"), "0");
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("Con Historico"));
    QCOMPARE(wz.grid("fgDatosAA")->currentRow(), 0);
    QVERIFY(!wz.cmd("cmdAAEditar")->isEnabled()); // buttons as they were

    // Reopened: empty CURP, his RFC, his periods (also one whose office the
    // catalogue lacks, which the page does not list but a save must keep). A
    // CURP of another stored agent is a duplicate; keeping his own key is not.
    must(*db, "insert into Periodos_H_AA values (?,9999,'1990-01-01','1991-01-01')", {pedro});
    must(*db, "update Historico_AA set ApPaterno='NAVA DE LA GARZA Y VILLANUEVA' where CURP=?",
         {pedro}); // past the limit, saved back whole
    QVERIFY(!wz.window->Llena_Hist_AA());
    const int row = int(wz.grid("fgDatosAA")->rowCount()) - 1;
    wz.pick("fgDatosAA", row);
    QCOMPARE(gridCell(wz.grid("fgDatosAA"), row, 3), QString());
    QCOMPARE(wz.grid("fgPeriodosAA")->rowCount(), 2);
    QStringList seen;
    s.onDialog(QStringLiteral("frmAgentes_Aduanales"), [&](QDialog& d) {
        auto* periods = named<QTableWidget>(d, "fgAA_Periodos");
        auto* curp = named<QLineEdit>(d, "txtCURP");
        seen << curp->text() << QString::number(periods->rowCount());
        curp->setText(Hist);
        press(d, "cmdAceptar");
        seen << s.lastText();
        curp->clear();
        named<QLineEdit>(d, "txtNombre")->setText(QStringLiteral("PEDRO LUIS"));
        // Removing a period: asked first.
        periods->setCurrentCell(0, 0);
        s.answer(seam::Answer::Cancel);
        press(d, "cmdBorrar");
        seen << s.lastText() << QString::number(periods->rowCount());
        press(d, "cmdBorrar");
        seen << QString::number(periods->rowCount());
        press(d, "cmdAceptar");
        return d.result();
    });
    wz.cmd("cmdAAEditar")->click();
    QCOMPARE(seen, (QStringList{"", "3", "YA EXISTE EL AGENTE ADUANAL EN LA BASE DE DATOS.",
                                "¿DESEA BORRAR EL PERIODO SELECCIONADO?", "3", "2"}));
    QCOMPARE(dump(*db, "select Nombre, ApPaterno from Historico_AA where CURP=?", {pedro}),
             "PEDRO LUIS|NAVA DE LA GARZA Y VILLANUEVA");
    QCOMPARE(dump(*db, "select NoAduana from Periodos_H_AA where CURP=? order by 1", {pedro}),
             "160\n9999");
}

void TestHistorico::periodDialogsRefuseBadPeriods() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), false);
        must(*db, "update Mandatarios set CURP=CURP||'X' where CURP=?", {Eva}); // past the limit
    }
    wz.start();
    seam::Script& s = wz.script;
    wz.pick("fgMandatarios", 1);
    const QDate a(2003, 10, 10);
    struct Case {
        QString patente, office;
        QDate ini, fin;
        QString message; // "" = accepted
    };
    const QList<Case> cases{
        {"0", "", a, a.addDays(-1), "No. de Patente no valido"},
        {"12AB", "VERACRUZ, VER.", a, a, "No. de Patente no valido"},
        {"4000", "VERACRUZ, VER.", a, a.addDays(-1), "Periodo no valido"},
        {"4000", "", a, a, "Aduana no puede estar vacio"},
        {" 0012 ", "VERACRUZ, VER.", a, a, ""},
    };
    for (const Case& c : cases) {
        s.shown.clear();
        s.onDialog(QStringLiteral("frmPeriodo_Mandatario"),
                   periodo(s, c.office, c.ini, c.fin, c.patente));
        wz.cmd("cmdMandNuevo")->click();
        QCOMPARE(s.lastText(), c.message);
        if (!c.message.isEmpty())
            QCOMPARE(s.shown.last().title, QStringLiteral("KESTRO"));
    }
    auto db = wz.dir.open();
    QCOMPARE(dump(*db, "select * from Periodos_H_MM"), Eva + "X|430|12|2003-10-10|2003-10-10");
    QCOMPARE(dump(*db, "select SinHistorico from Mandatarios where CURP=?", {Eva + "X"}), "0");

    // The agent's period dialog: same rules; Cancelar and the close box add
    // nothing.
    QStringList seen;
    s.onDialog(QStringLiteral("frmAgentes_Aduanales"), [&](QDialog& d) {
        for (int i = 0; i < 3; ++i)
            press(d, "cmdNuevo");
        seen << QString::number(named<QTableWidget>(d, "fgAA_Periodos")->rowCount());
        return d.result();
    });
    s.onDialog(QStringLiteral("frmPeriodo_Agente"),
               periodo(s, QStringLiteral("VERACRUZ, VER."), a.addDays(1), a));
    answerDialog(s, QStringLiteral("frmPeriodo_Agente"), {}, {"cmdCancelar"});
    s.onDialog(QStringLiteral("frmPeriodo_Agente"), [](QDialog& d) {
        d.show();
        d.close();
        return d.result();
    });
    s.shown.clear();
    wz.cmd("cmdAANuevo")->click();
    QCOMPARE(seen, QStringList{"0"});
    QCOMPARE(wz.messages(), QStringList{"Periodo no valido"});
}

void TestHistorico::page4Deleting() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), true);
        must(*db, "insert into Historico_AA values ('TRES750505XX1','TRES750505XX1','LEO','TRES',"
                  "'VEZ')");
    }
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(wz.window.get()));
    wz.fillPage1(0);
    wz.next();
    wz.next();
    QTableWidget* list = wz.grid("fgDatosAA");
    // Shown and focused, the page chooses no row by itself.
    QTRY_COMPARE(QApplication::focusWidget(), list);
    QCOMPARE(list->currentRow(), -1);
    QVERIFY(!wz.cmd("cmdAABorrar")->isEnabled());
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(wz.grid("fgPeriodosAA")->rowCount(), 1);
    // Enter opens the chosen row in its editor (closed unanswered here).
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(wz.script.dialogsShown.last(), QStringLiteral("frmAgentes_Aduanales"));
    QCOMPARE(list->currentRow(), 0);
    // A click on the agent without CURP shows his periods.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1, 0)).center());
    QCOMPARE(gridRow(wz.grid("fgPeriodosAA"), 0),
             (QStringList{"430", "VERACRUZ, VER.", "06/05/2001", "08/07/2002"}));

    // Cancelled: nothing. Then a later row: it goes, buttons stay enabled.
    auto db = wz.dir.open();
    const QString before = historyDump(*db);
    wz.script.answer(seam::Answer::Cancel);
    wz.cmd("cmdAABorrar")->click();
    QCOMPARE(wz.script.lastText(), QStringLiteral("¿DESEA BORRAR EL AGENTE ADUANAL \n\nANA SOTO "
                                                  "TAPIA \n\n Y TODOS SUS PERIODOS DE LABOR?"));
    QCOMPARE(wz.script.shown.last().title, QStringLiteral("Mendaje"));
    QCOMPARE(historyDump(*db), before);
    wz.cmd("cmdAABorrar")->click();
    QCOMPARE(dump(*db, "select CURP from Historico_AA order by CURP"), Hist + "\nTRES750505XX1");
    QCOMPARE(dump(*db, "select CURP from Periodos_H_AA"), Hist);
    QVERIFY(wz.cmd("cmdAABorrar")->isEnabled() && wz.cmd("cmdAAEditar")->isEnabled());

    // The first row: Borrar and Editar wait for a new choice.
    list->setCurrentCell(0, 0);
    wz.cmd("cmdAABorrar")->click();
    QCOMPARE(list->rowCount(), 1);
    QVERIFY(!wz.cmd("cmdAABorrar")->isEnabled() && !wz.cmd("cmdAAEditar")->isEnabled());
    // The only row, clicked: empty lists; the status is to be defined again.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0, 0)).center());
    wz.cmd("cmdAABorrar")->click();
    QCOMPARE(list->rowCount(), 0);
    QCOMPARE(wz.grid("fgPeriodosAA")->rowCount(), 0);
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("No Definido"));
    QCOMPARE(dump(*db, "select count(*), (select SinHistorico from AA) from Historico_AA"),
             "0|NULL");
}

void TestHistorico::noHistoryDeclarations() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), true);
        storeLuisPeriod(*db);
        must(*db, "insert into Periodos_H_MM values (?,200,3001,'2001-01-01','2002-02-02')", {Eva});
    }
    wz.start();
    seam::Script& s = wz.script;
    auto db = wz.dir.open();
    QStringList sentences;
    const auto answer = [&](const char* button) {
        s.onDialog(QStringLiteral("frmSinHIstorico"), [&sentences, button](QDialog& d) {
            sentences << named<QLabel>(d, "lblAsustador")->text();
            if (QLatin1String(button) == "close") {
                d.show();
                d.close();
            } else {
                press(d, button);
            }
            return d.result();
        });
    };
    // Cancelled (button or close box): nothing changes, yet the periods
    // list is emptied.
    const QString before = historyDump(*db);
    wz.pick("fgDatosAA", 0);
    answer("cmdCancelar");
    wz.cmd("cmdSinHistAA")->click();
    wz.pick("fgMandatarios", 0);
    answer("close");
    wz.cmd("cmdSinHistMM")->click();
    QCOMPARE(historyDump(*db), before);
    QCOMPARE(wz.grid("fgPeriodosAA")->rowCount(), 0);
    QCOMPARE(wz.grid("fgPeriodosMandatario")->rowCount(), 0);
    QCOMPARE(sentences, (QStringList{"Por este medio les informo que no he tenido representantes, "
                                     "por tal motivo no tengo historico",
                                     "Por este medio les informo que el mandatario no ha actuado "
                                     "para ningún Agente Aduanal, por tal motivo no tiene "
                                     "historico"}));

    // One representative: only his periods and flag.
    wz.pick("fgMandatarios", 1);
    answer("cmdAceptar");
    wz.cmd("cmdSinHistMM")->click();
    QCOMPARE(dump(*db, "select CURP from Periodos_H_MM"), Luis);
    QCOMPARE(dump(*db, "select SinHistorico from Mandatarios order by CURP"), "NULL\n1");
    QCOMPARE(gridCell(wz.grid("fgMandatarios"), 1, 4), QStringLiteral("NO"));

    // The agent: every earlier representative and period goes.
    answer("cmdAceptar");
    wz.cmd("cmdSinHistAA")->click();
    QCOMPARE(dump(*db, "select (select count(*) from Historico_AA), (select count(*) from "
                       "Periodos_H_AA), SinHistorico from AA"),
             "0|0|1");
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("Sin Historico"));
    QCOMPARE(wz.grid("fgDatosAA")->rowCount(), 0);
}

void TestHistorico::page5Periods() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), false);
        // Three periods of Luis shown, one in an office the catalogue lacks.
        for (auto [office, patent] : {std::pair{200, 3001}, {9999, 3002}, {430, 3003}, {160, 3004}})
            storeLuisPeriod(*db, office, patent);
        must(*db, "update Mandatarios set SinHistorico=0 where CURP=?", {Luis});
    }
    wz.start();
    seam::Script& s = wz.script;
    QTableWidget* reps = wz.grid("fgMandatarios");
    QTableWidget* periods = wz.grid("fgPeriodosMandatario");
    QVERIFY(!wz.cmd("cmdMandNuevo")->isEnabled());
    reps->setCurrentCell(0, 0);
    QVERIFY(wz.cmd("cmdMandNuevo")->isEnabled());
    QCOMPARE(gridRow(periods, 0),
             (QStringList{"3001", "200", "MEXICO, D.F.", "01/01/2001", "02/02/2002"}));
    QVERIFY(!wz.cmd("cmdMandBorrar")->isEnabled());

    // The middle one of the three shown goes; the rest stays stored as it was.
    auto db = wz.dir.open();
    periods->setCurrentCell(1, 0);
    wz.cmd("cmdMandBorrar")->click();
    QCOMPARE(s.lastText(), "¿DESEA BORRAR EL PERIODO DE LABOR SELECCIONADO DEL MANDATARIO\n\nLUIS "
                           "MORA DIAZ " +
                               Luis + " ?");
    QCOMPARE(dump(*db, "select Patente_MM from Periodos_H_MM order by 1"), "3001\n3002\n3004");
    QCOMPARE(periods->rowCount(), 2);
    // Nothing chosen: Borrar does nothing.
    wz.cmd("cmdMandBorrar")->click();
    QCOMPARE(dump(*db, "select count(*) from Periodos_H_MM"), "3");

    // A new period for Eva: stored, she becomes "SI", she stays current.
    reps->setCurrentCell(1, 0);
    s.onDialog(QStringLiteral("frmPeriodo_Mandatario"),
               periodo(s, QStringLiteral("VERACRUZ, VER."), QDate(2003, 1, 2), QDate(2004, 3, 4),
                       QStringLiteral("1234")));
    wz.cmd("cmdMandNuevo")->click();
    QCOMPARE(gridCell(reps, 1, 4), QStringLiteral("SI"));
    QCOMPARE(gridRow(periods, 0),
             (QStringList{"1234", "430", "VERACRUZ, VER.", "02/01/2003", "04/03/2004"}));

    // Her only period deleted: none left, "NO", Borrar disabled.
    periods->setCurrentCell(0, 0);
    wz.cmd("cmdMandBorrar")->click();
    QCOMPARE(dump(*db, "select SinHistorico from Mandatarios where CURP=?", {Eva}), "1");
    QCOMPARE(gridCell(reps, 1, 4), QStringLiteral("NO"));
    QCOMPARE(reps->currentRow(), 1);
    QCOMPARE(periods->rowCount(), 0);
    QVERIFY(!wz.cmd("cmdMandBorrar")->isEnabled());
}

void TestHistorico::failureHalfWayChangesNothing() {
    const auto editAgent = [](Wizard& wz) {
        wz.pick("fgDatosAA", 0);
        answerDialog(wz.script, QStringLiteral("frmAgentes_Aduanales"), {}, {"cmdAceptar"});
        wz.cmd("cmdAAEditar")->click();
    };
    const QDate a(2003, 10, 10);
    // The trigger fails the action's later statement.
    const QList<std::tuple<const char*, std::function<void(Wizard&)>>> cases{
        {"before insert on Periodos_H_AA", editAgent},
        {"before update on AA", editAgent},
        {"before delete on Historico_AA",
         [](Wizard& wz) {
             wz.pick("fgDatosAA", 0);
             wz.cmd("cmdAABorrar")->click();
         }},
        {"before update on Mandatarios",
         [a](Wizard& wz) {
             wz.pick("fgMandatarios", 0);
             wz.script.onDialog(
                 QStringLiteral("frmPeriodo_Mandatario"),
                 periodo(wz.script, QStringLiteral("VERACRUZ, VER."), a, a, QStringLiteral("1")));
             wz.cmd("cmdMandNuevo")->click();
         }},
        {"before update on Mandatarios",
         [](Wizard& wz) {
             wz.pick("fgMandatarios", 0);
             wz.pick("fgPeriodosMandatario", 0);
             wz.cmd("cmdMandBorrar")->click();
         }},
        {"before delete on Historico_AA",
         [](Wizard& wz) {
             acceptNoHistory(wz.script);
             wz.cmd("cmdSinHistAA")->click();
         }},
        {"before delete on Periodos_H_MM",
         [](Wizard& wz) {
             wz.pick("fgMandatarios", 0);
             acceptNoHistory(wz.script);
             wz.cmd("cmdSinHistMM")->click();
         }},
    };
    for (const auto& [trigger, act] : cases) {
        Wizard wz;
        {
            auto db = wz.dir.open();
            storeScene(*db, wz.dir.path(), true);
            storeLuisPeriod(*db);
        }
        wz.start();
        auto db = wz.dir.open();
        must(*db, QStringLiteral("create trigger falla %1 begin select raise(abort,'falla "
                                 "simulada'); end")
                      .arg(QLatin1String(trigger)));
        const QString before = historyDump(*db);
        act(wz);
        QVERIFY2(wz.script.lastText().endsWith(QStringLiteral(" falla simulada")), trigger);
        QCOMPARE(wz.script.shown.last().title, QStringLiteral("Mensaje"));
        QVERIFY2(historyDump(*db) == before, trigger);
    }
}

void TestHistorico::wholeWizardToSignedFile() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), true);
        must(*db, "delete from Historico_AA where RFC='SOTA750505XX1'");
        must(*db, "delete from Periodos_H_AA where CURP='SOTA750505XX1'");
        for (auto [patent, office] : {std::pair{1234, 430}, {56, 200}})
            must(*db, "insert into Periodos_H_MM values (?,?,?,'2002-01-01','2002-12-31')",
                 {Eva, office, patent});
        must(*db, "update Mandatarios set SinHistorico=0 where CURP=?", {Eva});
    }
    wz.start();
    seam::Script& s = wz.script;
    wz.fillPage1(0);
    for (int i = 0; i < 3; ++i)
        wz.next();
    QVERIFY(wz.pageShown("frMandatarios"));
    // Luis is undefined, and named.
    wz.next();
    QVERIFY(wz.pageShown("frMandatarios"));
    QCOMPARE(s.lastText(), QStringLiteral("Debe definir si el mandatario tiene o no historico, en "
                                          "caso de tener debe proporcionar el Agente Aduanal y los "
                                          "periodos en los cuales actuó el Mandatario LUIS MORA "
                                          "DIAZ"));
    // Back to page 4 and forward again: page 4 does not finish.
    wz.back();
    wz.next();
    QVERIFY(wz.pageShown("frMandatarios"));
    wz.pick("fgMandatarios", 0);
    acceptNoHistory(s);
    wz.cmd("cmdSinHistMM")->click();
    // Finaliza with the agent's key.
    const TestKey key(true);
    const QString keyFile = QDir(wz.dir.path()).filePath(QStringLiteral("PELJ700101AB1.key"));
    writeWholeFile(keyFile, key.encryptedPrivate("secreta", false));
    s.chooseFile(keyFile);
    s.onDialog(QStringLiteral("frmKey"), [](QDialog& d) {
        press(d, "cmdBuscar");
        named<QLineEdit>(d, "txtPassword")->setText(QStringLiteral("secreta"));
        press(d, "cmdAceptar");
        return d.result();
    });
    wz.next();
    QVERIFY2(!wz.cmd("cmdSiguiente")->isEnabled(), qPrintable(s.lastText()));
    const QByteArray file =
        readWholeFile(QDir(wz.dir.path()).filePath(QStringLiteral("ENVIO/3001.txt")));
    const QByteArray history = file.sliced(file.indexOf("Historico_AA|"));
    const QByteArray h = Hist.toLatin1(), e = Eva.toLatin1();
    QCOMPARE(history.first(history.indexOf("800|")),
             "Historico_AA|3001|HIRF700101AB1|" + h + "|FELIPE|HARO|RUIZ\r\n" +
                 "Periodos_H_AA|3001|" + h + "|200|1999-01-02|2000-03-04\r\n" +
                 "Periodos_H_MM|3001|" + e + "|430|1234|2002-01-01|2002-12-31\r\n" +
                 "Periodos_H_MM|3001|" + e + "|200|56|2002-01-01|2002-12-31\r\n");
}

QTEST_MAIN(TestHistorico)
#include "tst_historico.moc"
