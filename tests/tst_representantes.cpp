// Page 3 and the representative editor, driven by control names through the
// seam: the editor's checks, the rows it writes and moves, one transaction
// per action, the office and declaration dialogs, and what the page shows.
#include "entry/Grid.h"
#include "support/WizardDriver.h"

#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace {

QLineEdit* txt(QWidget& d, const QString& n) {
    return named<QLineEdit>(d, n);
}
QComboBox* cmb(QWidget& d, const QString& n) {
    return named<QComboBox>(d, n);
}
void click(QWidget& d, const QString& n) {
    named<QAbstractButton>(d, n)->click();
}

struct Person {
    QString nombre, apPaterno, apMaterno, curp, rfc;
    int tipo; // 1 or 2
    QString requerimiento;
};
// Names, CURP, RFC, type and requirement path, as "|"-separated text.
Person person(const QString& fields) {
    const QStringList f = fields.split(u'|');
    return Person{f[0], f[1], f[2], f[3], f[4], f[5].toInt(), f[6]};
}
const Person rosa = person(
    u"ROSA|GARCIA|MARTINEZ|GAMR800202MDFRRS01|GAMR800202XY2|1|C:\\DOCS\\gamr800202xy2.req"_s);
const Person luis =
    person(u"LUIS|MORA|DIAZ|MODL750505HDFRZS02|MODL750505AB3|2|/home/luis/MODL750505AB3.REQ"_s);

// Everything but the offices; the requirement file comes through the file
// dialog like a person would choose it.
void fillPerson(QWidget& d, seam::Script& script, const Person& p) {
    for (const auto& [field, value] : {std::pair{u"txtNombre"_s, p.nombre},
                                       {u"txtApPaterno"_s, p.apPaterno},
                                       {u"txtApMaterno"_s, p.apMaterno},
                                       {u"txtCURP"_s, p.curp},
                                       {u"txtRFC"_s, p.rfc}})
        txt(d, field)->setText(value);
    fillAddress(d, QString());
    fillAddress(d, u"Fiscal"_s, u"O'DONNELL'; DROP TABLE AA;--"_s);
    cmb(d, u"cmbMandato"_s)->setCurrentIndex(p.tipo - 1);
    script.chooseFile(p.requerimiento);
    click(d, u"cmdBuscar"_s);
    named<QRadioButton>(d, u"optSi"_s)->setChecked(true);
    if (p.tipo == 2)
        named<QRadioButton>(d, u"optNTCL"_s)->setChecked(true);
}

void nextOffice(seam::Script& script, const QString& name) {
    script.onDialog(u"frmAduanaAct"_s, [name](QDialog& d) {
        if (!name.isEmpty())
            choose(cmb(d, u"cmbAduana"_s), name);
        click(d, u"cmdAceptar"_s);
        return d.result();
    });
}

void nextDeclaration(seam::Script& script, const QString& office, const QString& numero,
                     QDate fecha) {
    script.onDialog(u"frmPedTramitados"_s, [=](QDialog& d) {
        choose(cmb(d, u"cmbAduana"_s), office);
        txt(d, u"txtPedimento"_s)->setText(numero);
        named<QDateEdit>(d, u"dtpFPed"_s)->setDate(fecha);
        click(d, u"cmdAceptar"_s);
        return d.result();
    });
}

// A representative stored directly, with his addresses and a history
// period; a type-1 one with offices 200 and 430 and a declaration at each.
void storeRepresentative(Database& db, const Person& p) {
    storeMandatario(db,
                    u"('%1','%2','%3','%4','%5',%6,'%7',%8,1,0)"_s.arg(
                        p.curp, p.rfc, p.nombre, p.apPaterno, p.apMaterno, QString::number(p.tipo),
                        p.requerimiento, p.tipo == 1 ? u"0"_s : u"2"_s));
    must(db, u"insert into Periodos_H_MM values (?,200,3001,'1999-01-01','1999-12-31')"_s,
         {p.curp});
    for (int office : p.tipo == 1 ? QList<int>{200, 430} : QList<int>()) {
        must(db, u"insert into Aduanas_MM values (?,?)"_s, {p.curp, office});
        must(db, u"insert into Pedimentos_MM values (?,?,'7001','2000-03-04')"_s, {p.curp, office});
    }
}

// His rows in every table keyed by CURP, without the CURP, sorted per table.
QStringList owned(Database& db, const QString& curp) {
    QStringList out;
    for (const char* t :
         {"Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM", "Periodos_H_MM"}) {
        const QString sql = u"select * from %1 where CURP=?"_s.arg(QLatin1String(t));
        QStringList table = dump(db, sql, {curp}).split(u'\n', Qt::SkipEmptyParts);
        for (QString& row : table)
            row = QLatin1String(t) + u':' + row.mid(curp.size() + 1).replace(u"NULL"_s, QString());
        table.sort();
        out << table;
    }
    return out;
}

QStringList everything(Database& db) {
    QStringList out;
    for (const QString& curp : dump(db, u"select CURP from Mandatarios union select CURP from "
                                        "Periodos_H_MM order by 1"_s)
                                   .split(u'\n'))
        out << curp << owned(db, curp);
    return out;
}

// Runs `body` on the editor opened by the named page button.
void withEditor(Wizard& wz, const char* button, std::function<void(QDialog&)> body) {
    wz.script.onDialog(u"frmApoderado"_s, [&](QDialog& d) {
        body(d);
        return d.result();
    });
    wz.cmd(button)->click();
}

void startWithAgent(Wizard& wz, const QList<Person>& people = {}) {
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        for (const Person& p : people)
            storeRepresentative(*db, p);
    }
    wz.start();
}

} // namespace

class TestRepresentantes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editorChecksInOrderWithMessageAndFocus();
    void acceptedRepresentativesAreStoredAndShown();
    void editingMovesOrDropsWhatBelongsToHim();
    void failedActionsLeaveTheDatabaseAsItWas();
    void officeAndDeclarationDialogs();
    void pageShowsDetailsOnlyOfTheChosenRowAndDeletes();
    void storedValuesLongerThanTheLimitComeBackWhole();
};

void TestRepresentantes::editorChecksInOrderWithMessageAndFocus() {
    Wizard wz;
    startWithAgent(wz, {luis});
    auto db = wz.dir.open();
    const QStringList before = everything(*db);
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto type = [&](const char* field, const QString& text) {
            return [&d, field, text] { txt(d, QLatin1String(field))->setText(text); };
        };
        // Each step: the message and focus of Aceptar, then the fix.
        const QList<std::tuple<QString, QString, std::function<void()>>> steps{
            {u"Nombre no puede estar vacio"_s, u"txtNombre"_s, type("txtNombre", u"   "_s)},
            {u"Nombre no puede estar vacio"_s, u"txtNombre"_s, type("txtNombre", rosa.nombre)},
            {u"Ap. Paterno no puede estar vacio"_s, u"txtApPaterno"_s,
             type("txtApPaterno", rosa.apPaterno)},
            {u"Ap. Materno no puede estar vacio"_s, u"txtApMaterno"_s,
             type("txtApMaterno", rosa.apMaterno)},
            {u"CURP no valido"_s, u"txtCURP"_s, type("txtCURP", luis.curp)},
            {u"RFC no valido"_s, u"txtRFC"_s, type("txtRFC", rosa.rfc)},
            {u"Calle no puede estar vacio"_s, u"txtCalle"_s, [&] { fillAddress(d, QString()); }},
            {u"Calle no puede estar vacio"_s, u"txtFiscalCalle"_s,
             [&] { fillAddress(d, u"Fiscal"_s); }},
            {u"Tipo de Mandato no puede estar vacio"_s, u"cmbMandato"_s,
             [&] { cmb(d, u"cmbMandato"_s)->setCurrentIndex(0); }},
            {u"El Requerimiento Electrónico no puede estar vacio"_s, u"cmdBuscar"_s,
             [&] {
                 wz.script.chooseFile(u"C:\\GAMR800202XY2.REQ\\COPIA_GAMR800202XY2.REQ"_s);
                 click(d, u"cmdBuscar"_s);
             }},
            {u"El Requerimiento Electrónico se debe llamar igual al RFC"_s, u"cmdBuscar"_s,
             [&] {
                 // Cancelling the file dialog keeps the path; the file's
                 // own name counts, in any case.
                 click(d, u"cmdBuscar"_s);
                 wz.script.chooseFile(rosa.requerimiento);
                 click(d, u"cmdBuscar"_s);
             }},
            {u"Debe existir almenos una Aduana donde ha actuado"_s, u"cmdNuevaAduana"_s,
             [&] {
                 nextOffice(wz.script, u"MEXICO, D.F."_s);
                 click(d, u"cmdNuevaAduana"_s);
             }},
            {u"Debe elegir si el Manandatario o Representante se encuentra Operando"_s, u"optSi"_s,
             [&] {
                 named<QRadioButton>(d, u"optNo"_s)->setChecked(true);
                 cmb(d, u"cmbMandato"_s)->setCurrentIndex(1);
             }},
            {u"Debe elegir el tipo de acreditación"_s, u"optNTCL"_s,
             [&] { named<QRadioButton>(d, u"optExamen"_s)->setChecked(true); }},
            {u"YA EXISTE EL MANDATARIO EN LA BASE DE DATOS."_s, QString(),
             type("txtCURP", rosa.curp)},
        };
        for (const auto& [message, focus, fix] : steps) {
            click(d, u"cmdAceptar"_s);
            QCOMPARE(wz.script.lastText(), message);
            QCOMPARE(wz.script.shown.last().title, u"Mensaje"_s);
            if (!focus.isEmpty())
                QCOMPARE(d.focusWidget() ? d.focusWidget()->objectName() : QString(), focus);
            QVERIFY(d.result() != QDialog::Accepted);
            fix();
        }
        QCOMPARE(everything(*db), before); // nothing written so far
        click(d, u"cmdAceptar"_s);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    });
    QCOMPARE(dump(*db,
                  u"select Mandato, Acreditacion, Operando, Requerimiento from Mandatarios "
                  "where CURP=?"_s,
                  {rosa.curp}),
             u"2|2|0|"_s + rosa.requerimiento);
}

void TestRepresentantes::acceptedRepresentativesAreStoredAndShown() {
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.next();
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        fillPerson(d, wz.script, rosa);
        nextOffice(wz.script, u"MEXICO, D.F."_s);
        nextOffice(wz.script, u"VERACRUZ, VER."_s);
        click(d, u"cmdNuevaAduana"_s);
        click(d, u"cmdNuevaAduana"_s);
        nextDeclaration(wz.script, u"MEXICO, D.F."_s, u"1000001"_s, QDate(2000, 3, 4));
        nextDeclaration(wz.script, u"VERACRUZ, VER."_s, u"1000002"_s, QDate(1999, 12, 31));
        nextDeclaration(wz.script, u"MEXICO, D.F."_s, u"1000003"_s, QDate(1998, 1, 2));
        for (int i = 0; i < 3; ++i)
            click(d, u"cmdNuevoPed"_s);
        click(d, u"cmdAceptar"_s);
    });
    auto db = wz.dir.open();
    QCOMPARE(owned(*db, rosa.curp),
             (QStringList{u"Mandatarios:GAMR800202XY2|ROSA|GARCIA|MARTINEZ|1|"
                          "C:\\DOCS\\gamr800202xy2.req|0|1|"_s,
                          u"Domicilios_MM:09|15|O'DONNELL'; DROP TABLE "
                          "AA;--|10||CENTRO|06000|555 12 34|555 12 35|2"_s,
                          u"Domicilios_MM:09|15|REFORMA|10||CENTRO|06000|555 12 34|555 12 35|1"_s,
                          u"Aduanas_MM:200"_s, u"Aduanas_MM:430"_s,
                          u"Pedimentos_MM:200|1000001|2000-03-04"_s,
                          u"Pedimentos_MM:200|1000003|1998-01-02"_s,
                          u"Pedimentos_MM:430|1000002|1999-12-31"_s}));
    // The page shows him at once, chosen, with his details.
    auto* fgAA = wz.grid("fgAA");
    QCOMPARE(gridRow(fgAA, 0), (QStringList{rosa.nombre, rosa.apPaterno, rosa.apMaterno, rosa.rfc,
                                            rosa.curp, u"Anterior 01/01/2001"_s, u"Si"_s}));
    QCOMPARE(fgAA->currentRow(), 0);
    QCOMPARE(wz.grid("fgPedTramitados")->rowCount(), 3);
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), u"Finaliza"_s);

    // A 2.13.11 representative brings in the history pages.
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        fillPerson(d, wz.script, luis);
        click(d, u"cmdAceptar"_s);
    });
    const QStringList his = owned(*db, luis.curp);
    QCOMPARE(his.first(), u"Mandatarios:MODL750505AB3|LUIS|MORA|DIAZ|2|"
                          "/home/luis/MODL750505AB3.REQ|1|1|"_s);
    QCOMPARE(his.size(), 3); // and his two addresses, nothing else
    QCOMPARE(fgAA->currentRow(), 1);
    QVERIFY(!wz.w("frAcreditacion")->isHidden());
    QCOMPARE(wz.grid("fgMandatarios")->rowCount(), 2);
    wz.next(); // both complete: on to the agent's history
    QVERIFY(wz.pageShown("frAA21311"));
}

void TestRepresentantes::editingMovesOrDropsWhatBelongsToHim() {
    Wizard wz;
    startWithAgent(wz, {rosa, luis});
    auto db = wz.dir.open();
    auto* fgAA = wz.grid("fgAA");
    const QString newCurp = u"MODL750505HDFRZS09"_s;

    // Type 2, new CURP: everything of his moves, his history flag stays.
    fgAA->setCurrentCell(1, 0);
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        QCOMPARE(txt(d, u"txtCURP"_s)->text(), luis.curp);
        QVERIFY(named<QRadioButton>(d, u"optExamen"_s)->isChecked());
        txt(d, u"txtCURP"_s)->setText(rosa.curp);
        click(d, u"cmdAceptar"_s);
        QCOMPARE(wz.script.lastText(), u"YA EXISTE EL MANDATARIO EN LA BASE DE DATOS."_s);
        txt(d, u"txtCURP"_s)->setText(newCurp);
        click(d, u"cmdAceptar"_s);
    });
    QVERIFY(owned(*db, luis.curp).isEmpty());
    QCOMPARE(owned(*db, newCurp).size(), 4);
    QCOMPARE(dump(*db, u"select SinHistorico from Mandatarios where CURP=?"_s, {newCurp}), "0");

    // Type 1, new CURP: offices, declarations and history periods move.
    fgAA->setCurrentCell(0, 0);
    const QString rosa2 = u"GAMR800202MDFRRS02"_s;
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        QCOMPARE(gridRow(named<QTableWidget>(d, u"fgPedTramitados"_s), 0),
                 (QStringList{u" 200"_s, u"MEXICO, D.F."_s, u"7001"_s, u"04/03/2000"_s}));
        txt(d, u"txtCURP"_s)->setText(rosa2);
        click(d, u"cmdAceptar"_s);
    });
    QVERIFY(owned(*db, rosa.curp).isEmpty());
    const QStringList moved = owned(*db, rosa2);
    QCOMPARE(moved.size(), 8);
    QCOMPARE(moved.filter(u"Periodos_H_MM"_s).size(), 1);
    QVERIFY(moved.first().endsWith(u"|0"_s)); // and he still has a history

    // Type 1 -> 2 with the CURP unchanged: his offices and declarations go.
    QCOMPARE(gridCell(fgAA, fgAA->currentRow(), 4), rosa2); // the edited one stays chosen
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        cmb(d, u"cmbMandato"_s)->setCurrentIndex(1);
        named<QRadioButton>(d, u"optNTCL"_s)->setChecked(true);
        click(d, u"cmdAceptar"_s);
    });
    QCOMPARE(owned(*db, rosa2).size(), 4);
    QCOMPARE(gridCell(fgAA, fgAA->currentRow(), 5), u"Conforme 2.13.11 (Posterior 01/01/2001)"_s);
}

void TestRepresentantes::failedActionsLeaveTheDatabaseAsItWas() {
    Wizard wz;
    startWithAgent(wz, {rosa});
    auto db = wz.dir.open();
    const QStringList before = everything(*db);
    must(*db,
         u"create trigger t before insert on Pedimentos_MM begin select raise(abort,'x'); end"_s);
    wz.pick("fgAA", 0);
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        txt(d, u"txtNombre"_s)->setText(u"ROSALBA"_s);
        txt(d, u"txtCURP"_s)->setText(u"GAMR800202MDFRRS03"_s);
        click(d, u"cmdAceptar"_s);
        QVERIFY(wz.script.lastText().startsWith(seam::nothingSaved() + u" 1"_s) &&
                wz.script.lastText().endsWith(u" x"_s));
        QVERIFY(d.result() != QDialog::Accepted); // still open, as typed
        QCOMPARE(txt(d, u"txtNombre"_s)->text(), u"ROSALBA"_s);
    });
    QCOMPARE(everything(*db), before);

    must(*db,
         u"create trigger u before delete on Periodos_H_MM begin select raise(abort,'y'); end"_s);
    wz.cmd("cmdBorrar")->click();
    QVERIFY(wz.script.lastText().endsWith(u" y"_s));
    QCOMPARE(everything(*db), before);
    QCOMPARE(wz.grid("fgAA")->rowCount(), 1);
}

void TestRepresentantes::officeAndDeclarationDialogs() {
    Wizard wz;
    startWithAgent(wz);
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        cmb(d, u"cmbMandato"_s)->setCurrentIndex(0);
        QVERIFY(!named(d, u"cmdNuevoPed"_s)->isEnabled());
        auto* offices = named<QTableWidget>(d, u"fgAduanasAct"_s);
        auto* declarations = named<QTableWidget>(d, u"fgPedTramitados"_s);
        // An office must be chosen, and only once.
        for (const auto& [name, refusal] : QList<std::pair<QString, QString>>{
                 {QString(), u"Aduana no puede estar vacio"_s},
                 {u"MEXICO, D.F."_s, QString()},
                 {u"MEXICO, D.F."_s, u"Ya existe la aduana en la lista de aduanas que actuo"_s},
                 {u"VERACRUZ, VER."_s, QString()}}) {
            wz.script.shown.clear();
            nextOffice(wz.script, name);
            click(d, u"cmdNuevaAduana"_s);
            QCOMPARE(wz.script.lastText(), refusal);
        }
        QCOMPARE(gridRow(offices, 0), (QStringList{u" 200"_s, u"MEXICO, D.F."_s}));
        QDate opened;
        wz.script.onDialog(u"frmPedTramitados"_s, [&](QDialog& p) {
            opened = named<QDateEdit>(p, u"dtpFPed"_s)->date();
            return 0;
        });
        click(d, u"cmdNuevoPed"_s);
        QCOMPARE(opened, QDate(2000, 12, 31)); // not today, which is refused

        // A declaration: a listed office, a number, a date before 2001.
        const QList<std::tuple<QString, QString, QDate, QString>> declared{
            {u"MANZANILLO, COL."_s, u"1"_s, QDate(2000, 1, 1),
             u"No existe la aduana del pedimento en la lista de aduanas que actuo"_s},
            {u"VERACRUZ, VER."_s, QString(), QDate(2000, 1, 1),
             u"Pedimento no puede estar vacio"_s},
            {u"VERACRUZ, VER."_s, u"12A"_s, QDate(2000, 1, 1), u"El Pedimento debe ser numérico"_s},
            {u"VERACRUZ, VER."_s, u"1"_s, QDate(2001, 1, 1),
             u"La Fecha debe ser anterior al 1 de Enero de 2001"_s},
            {u"MEXICO, D.F."_s, u"1"_s, QDate(2000, 12, 31), QString()},
            {u"VERACRUZ, VER."_s, u"2"_s, QDate(2000, 6, 16), QString()},
            {u"MEXICO, D.F."_s, u"3"_s, QDate(2000, 6, 17), QString()}};
        for (const auto& [office, numero, fecha, refusal] : declared) {
            wz.script.shown.clear();
            nextDeclaration(wz.script, office, numero, fecha);
            click(d, u"cmdNuevoPed"_s);
            QCOMPARE(wz.script.lastText(), refusal);
        }
        QCOMPARE(gridRow(declarations, 0),
                 (QStringList{u" 200"_s, u"MEXICO, D.F."_s, u"1"_s, u"31/12/2000"_s}));

        // Deleting an office takes only its own declarations with it.
        offices->setCurrentCell(0, 0);
        wz.script.answer(seam::Answer::Cancel);
        click(d, u"cmdBorrarAduana"_s);
        QCOMPARE(wz.script.lastText(),
                 u"¿DESEA BORRAR LA ADUANA SELECCIONADA Y LOS PEDIMENTOS RELACIONADOS?"_s);
        QCOMPARE(offices->rowCount(), 2);
        click(d, u"cmdBorrarAduana"_s);
        QCOMPARE(offices->rowCount(), 1);
        QCOMPARE(gridRow(declarations, 0).value(2), u"2"_s);
        QCOMPARE(declarations->rowCount(), 1);
        declarations->setCurrentCell(0, 0);
        click(d, u"cmdBorrarPed"_s);
        QCOMPARE(declarations->rowCount(), 0);
        offices->setCurrentCell(0, 0);
        click(d, u"cmdBorrarAduana"_s);
        QVERIFY(!named(d, u"cmdNuevoPed"_s)->isEnabled());
    });
    QVERIFY(rows(*wz.dir.open(), u"select * from Mandatarios"_s).isEmpty());
}

void TestRepresentantes::pageShowsDetailsOnlyOfTheChosenRowAndDeletes() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        storeRepresentative(*db, rosa);
        storeRepresentative(*db, luis);
        storeMandatario(*db, "('C3','R3','EVA','PAZ','GIL',null,'',null,2,null)", {1});
        must(*db, u"update Domicilios_MM set Calle='OTRA' where CURP=?"_s, {luis.curp});
    }
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowActive(wz.window.get()));
    wz.fillPage1(0);
    wz.next();
    auto* fgAA = wz.grid("fgAA");
    QCOMPARE(QApplication::focusWidget(), fgAA);
    QCOMPARE(fgAA->currentRow(), -1);
    QVERIFY(!wz.cmd("cmdEditar")->isEnabled());
    QVERIFY(wz.w("lblTipoMandato")->isHidden());

    // Keyboard moves show each one's addresses and the details of his type.
    QTest::keyClick(fgAA, Qt::Key_Down);
    QVERIFY(wz.cmd("cmdEditar")->isEnabled() && wz.cmd("cmdBorrar")->isEnabled());
    QCOMPARE(wz.w<QLabel>("lblTipoMandato")->text(), u"Anterior 01/01/2001"_s);
    QVERIFY(wz.w("frAcreditacion")->isHidden());
    QCOMPARE(wz.grid("fgAduanasAct")->item(0, 0)->text(), u"MEXICO, D.F."_s);
    QCOMPARE(wz.grid("fgPedTramitados")->columnWidth(0), 3380 / 15);
    QCOMPARE(gridRow(wz.grid("fgPedTramitados"), 0),
             (QStringList{u"MEXICO, D.F."_s, u"7001"_s, u"04/03/2000"_s}));
    QCOMPARE(wz.txt("txtRequerimiento")->text(), rosa.requerimiento);
    QTest::keyClick(fgAA, Qt::Key_Down);
    QCOMPARE(wz.txt("txtFiscalApRCalle")->text(), u"OTRA"_s);
    must(*wz.dir.open(), u"update Domicilios_MM set Calle='NUEVA' where CURP=?"_s, {luis.curp});
    QTest::mouseClick(fgAA->viewport(), Qt::LeftButton, {},
                      fgAA->visualRect(fgAA->currentIndex()).center());
    QCOMPARE(wz.txt("txtFiscalApRCalle")->text(), u"NUEVA"_s); // a click reads him again
    QVERIFY(wz.w("frAduanasAct")->isHidden() && !wz.w("frAcreditacion")->isHidden());
    QVERIFY(named<QRadioButton>(*wz.window, u"optExCon"_s)->isChecked());

    // No type: the addresses change (none fiscal), the rest stays as it was.
    QTest::keyClick(fgAA, Qt::Key_Down);
    QCOMPARE(gridRow(fgAA, 2).mid(5), (QStringList{QString(), u"No Definido"_s}));
    QCOMPARE(wz.txt("txtApRCalle")->text(), u"CALLE"_s);
    QVERIFY(wz.txt("txtFiscalApRCalle")->text().isEmpty());
    QCOMPARE(wz.w<QLabel>("lblTipoMandato")->text(), u"Conforme 2.13.11 (Posterior 01/01/2001)"_s);

    fgAA->setCurrentCell(1, 0);
    wz.script.answer(seam::Answer::Cancel);
    wz.cmd("cmdBorrar")->click();
    QCOMPARE(wz.script.lastText(), u"¿DESEA BORRAR EL MANDATARIO\n\nLUIS MORA DIAZ "
                                   "MODL750505HDFRZS02 ?"_s);
    QCOMPARE(fgAA->rowCount(), 3);
    wz.cmd("cmdBorrar")->click();
    auto db = wz.dir.open();
    QVERIFY(owned(*db, luis.curp).isEmpty()); // his history periods too
    QCOMPARE(owned(*db, rosa.curp).size(), 8);
    QCOMPARE(fgAA->rowCount(), 2);
    QCOMPARE(wz.grid("fgMandatarios")->rowCount(), 2);
    QVERIFY(!wz.cmd("cmdEditar")->isEnabled() && !wz.cmd("cmdBorrar")->isEnabled());
    QVERIFY(wz.txt("txtApRCalle")->text().isEmpty());
}

void TestRepresentantes::storedValuesLongerThanTheLimitComeBackWhole() {
    const QString name30 = u"MARIA DEL CARMEN GUADALUPE ANA"_s;
    const QString street120 = u"AVENIDA "_s.repeated(15);
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.next();
    {
        auto db = wz.dir.open();
        must(*db, u"update AA set Nombre=?"_s, {name30});
        storeRepresentative(*db, rosa);
        must(*db, u"update Domicilios_MM set Calle=?"_s, {street120});
    }
    wz.start(); // a new run reads what is stored
    QLineEdit* nombre = wz.txt("txtAANombre");
    QCOMPARE(nombre->text(), name30);
    QCOMPARE(nombre->cursorPosition(), 0);
    wz.next();
    auto db = wz.dir.open();
    QCOMPARE(dump(*db, u"select Nombre from AA"_s), name30);

    wz.pick("fgAA", 0);
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        QCOMPARE(txt(d, u"txtCalle"_s)->text(), street120);
        click(d, u"cmdAceptar"_s);
    });
    QCOMPARE(dump(*db, u"select distinct Calle from Domicilios_MM"_s), street120);

    // Typing still stops at the field's own limit.
    nombre->clear();
    QTest::keyClicks(nombre, name30);
    QCOMPARE(nombre->text(), name30.left(25));
}

QTEST_MAIN(TestRepresentantes)
#include "tst_representantes.moc"
