// Page 3 and the representative editor, driven by control names through the
// seam: the editor's checks, the rows it writes and moves, one transaction
// per action, the office and declaration dialogs, and what the page shows.
#include "entry/Grid.h"
#include "support/WizardDriver.h"

#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace {

template <class T = QWidget> T* child(QWidget& d, const QString& name) {
    T* c = d.findChild<T*>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}
QLineEdit* txt(QWidget& d, const QString& n) {
    return child<QLineEdit>(d, n);
}
QComboBox* cmb(QWidget& d, const QString& n) {
    return child<QComboBox>(d, n);
}
void click(QWidget& d, const QString& n) {
    child<QAbstractButton>(d, n)->click();
}
void choose(QComboBox* c, const QString& text) {
    const int i = c->findText(text);
    if (i < 0)
        qFatal("no entry %s in %s", qPrintable(text), qPrintable(c->objectName()));
    c->setCurrentIndex(i);
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

void fillAddress(QWidget& d, const QString& prefix, const QString& calle) {
    txt(d, u"txt%1Calle"_s.arg(prefix))->setText(calle);
    txt(d, u"txt%1NoExt"_s.arg(prefix))->setText(u"S/N"_s);
    txt(d, u"txt%1Colonia"_s.arg(prefix))->setText(u"CENTRO"_s);
    txt(d, u"txt%1CP"_s.arg(prefix))->setText(u"06000"_s);
    txt(d, u"txt%1Telefono"_s.arg(prefix))->setText(u"555 12 34"_s);
    txt(d, u"txt%1Fax"_s.arg(prefix))->setText(u"555 12 35"_s);
    choose(cmb(d, u"cmb%1EntFed"_s.arg(prefix)), u"Ciudad de México"_s);
    choose(cmb(d, u"cmb%1MDeleg"_s.arg(prefix)), u"Cuauhtémoc"_s);
}

// Everything but the offices; the requirement file comes through the file
// dialog like a person would choose it.
void fillPerson(QWidget& d, seam::Script& script, const Person& p) {
    txt(d, u"txtNombre"_s)->setText(p.nombre);
    txt(d, u"txtApPaterno"_s)->setText(p.apPaterno);
    txt(d, u"txtApMaterno"_s)->setText(p.apMaterno);
    txt(d, u"txtCURP"_s)->setText(p.curp);
    txt(d, u"txtRFC"_s)->setText(p.rfc);
    fillAddress(d, QString(), u"REFORMA"_s);
    fillAddress(d, u"Fiscal"_s, u"O'DONNELL'; DROP TABLE AA;--"_s);
    cmb(d, u"cmbMandato"_s)->setCurrentIndex(p.tipo - 1);
    script.chooseFile(p.requerimiento);
    click(d, u"cmdBuscar"_s);
    child<QRadioButton>(d, u"optSi"_s)->setChecked(true);
    if (p.tipo == 2)
        child<QRadioButton>(d, u"optNTCL"_s)->setChecked(true);
}

// Queues the answer of the next office dialog: choose by name (or
// nothing), Aceptar.
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
        child<QDateEdit>(d, u"dtpFPed"_s)->setDate(fecha);
        click(d, u"cmdAceptar"_s);
        return d.result();
    });
}

// A representative stored directly, with his addresses; a type-1 one with
// offices 200 and 430, a declaration at each, and a history period.
void storeRepresentative(Database& db, const Person& p, const QString& curp) {
    QVERIFY(!db.exec(u"insert into Mandatarios values (?,?,?,?,?,?,?,?,1,0)"_s,
                     {curp, p.rfc, p.nombre, p.apPaterno, p.apMaterno, p.tipo, p.requerimiento,
                      p.tipo == 1 ? 0 : 2}));
    for (int t : {1, 2})
        QVERIFY(!db.exec(u"insert into Domicilios_MM values (?,'09',15,'CALLE','1',"
                         "'','COL','06000','1','2',?)"_s,
                         {curp, t}));
    QVERIFY(!db.exec(u"insert into Periodos_H_MM values (?,200,3001,'1999-01-01',"
                     "'1999-12-31')"_s,
                     {curp}));
    if (p.tipo != 1)
        return;
    for (int office : {200, 430}) {
        QVERIFY(!db.exec(u"insert into Aduanas_MM values (?,?)"_s, {curp, office}));
        QVERIFY(!db.exec(u"insert into Pedimentos_MM values (?,?,'7001',"
                         "'2000-03-04')"_s,
                         {curp, office}));
    }
}

// His rows in every table keyed by CURP, without the CURP, sorted per table.
QStringList owned(Database& db, const QString& curp) {
    QStringList out;
    for (const char* t :
         {"Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM", "Periodos_H_MM"}) {
        const Rows r = db.select(u"select * from %1 where CURP=?"_s.arg(QLatin1String(t)), {curp});
        if (!r.ok())
            qFatal("%s", qPrintable(r.error->message()));
        QStringList table;
        for (const QVariantList& row : r.rows) {
            QStringList cells;
            for (int i = 1; i < row.size(); ++i)
                cells << row.at(i).toString();
            table << QLatin1String(t) + u':' + cells.join(u'|');
        }
        table.sort();
        out << table;
    }
    return out;
}

QStringList everything(Database& db) {
    QStringList out;
    for (const QVariantList& r : rows(db, u"select CURP from Mandatarios union select CURP from "
                                          "Periodos_H_MM order by 1"_s))
        out << r.at(0).toString() << owned(db, r.at(0).toString());
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

void startWithAgent(Wizard& wz, const QList<std::pair<Person, QString>>& people = {}) {
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        for (const auto& [p, curp] : people)
            storeRepresentative(*db, p, curp);
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
    startWithAgent(wz, {{luis, luis.curp}});
    auto db = wz.dir.open();
    const QStringList before = everything(*db);
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto expect = [&](const QString& message, const QString& focus) {
            wz.script.shown.clear();
            click(d, u"cmdAceptar"_s);
            QCOMPARE(wz.script.lastText(), message);
            QCOMPARE(wz.script.shown.last().title, u"Mensaje"_s);
            if (!focus.isEmpty())
                QCOMPARE(d.focusWidget() ? d.focusWidget()->objectName() : QString(), focus);
            QVERIFY(d.result() != QDialog::Accepted);
        };
        auto type = [&](const char* field, const QString& text) {
            return [&d, field, text] { txt(d, QLatin1String(field))->setText(text); };
        };
        const QList<std::tuple<QString, QString, std::function<void()>>> steps{
            {u"Nombre no puede estar vacio"_s, u"txtNombre"_s, type("txtNombre", u"   "_s)},
            {u"Nombre no puede estar vacio"_s, u"txtNombre"_s, type("txtNombre", rosa.nombre)},
            {u"Ap. Paterno no puede estar vacio"_s, u"txtApPaterno"_s,
             type("txtApPaterno", rosa.apPaterno)},
            {u"Ap. Materno no puede estar vacio"_s, u"txtApMaterno"_s,
             type("txtApMaterno", rosa.apMaterno)},
            {u"CURP no valido"_s, u"txtCURP"_s, type("txtCURP", luis.curp)},
            {u"RFC no valido"_s, u"txtRFC"_s, type("txtRFC", rosa.rfc)},
            {u"Calle no puede estar vacio"_s, u"txtCalle"_s,
             [&] { fillAddress(d, QString(), u"REFORMA"_s); }},
            {u"Calle no puede estar vacio"_s, u"txtFiscalCalle"_s,
             [&] { fillAddress(d, u"Fiscal"_s, u"REFORMA"_s); }},
            {u"Tipo de Mandato no puede estar vacio"_s, u"cmbMandato"_s,
             [&] { cmb(d, u"cmbMandato"_s)->setCurrentIndex(0); }},
            {u"El Requerimiento Electrónico no puede estar vacio"_s, u"cmdBuscar"_s,
             [&] {
                 wz.script.chooseFile(u"C:\\DOCS\\GAMR800202XY3.REQ"_s);
                 click(d, u"cmdBuscar"_s);
             }},
            {u"El Requerimiento Electrónico se debe llamar igual al RFC"_s, u"cmdBuscar"_s,
             [&] {
                 // Cancelling the file dialog keeps the path; the name may
                 // stand anywhere in it and in any case.
                 click(d, u"cmdBuscar"_s);
                 QCOMPARE(wz.script.fileFilters.last(), u"Archivo_llave (*.req)"_s);
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
                 child<QRadioButton>(d, u"optNo"_s)->setChecked(true);
                 cmb(d, u"cmbMandato"_s)->setCurrentIndex(1);
             }},
            {u"Debe elegir el tipo de acreditación"_s, u"optNTCL"_s,
             [&] { child<QRadioButton>(d, u"optExamen"_s)->setChecked(true); }},
            {u"YA EXISTE EL MANDATARIO EN LA BASE DE DATOS."_s, QString(),
             type("txtCURP", rosa.curp)},
        };
        for (const auto& [message, focus, fix] : steps) {
            expect(message, focus);
            if (QTest::currentTestFailed())
                return;
            fix();
        }
        QCOMPARE(wz.script.shown.last().icon, seam::Icon::None); // the duplicate's box
        QCOMPARE(everything(*db), before);                       // nothing written so far
        click(d, u"cmdAceptar"_s);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    });
    QCOMPARE(wz.state.Respuesta, u"A"_s);
    QCOMPARE(rows(*db, u"select Mandato, Acreditacion, Operando, Requerimiento "
                       "from Mandatarios where CURP='GAMR800202MDFRRS01'"_s),
             (QList<QVariantList>{{2, 2, 0, rosa.requerimiento}}));
}

void TestRepresentantes::acceptedRepresentativesAreStoredAndShown() {
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.next();
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), u"Finaliza"_s);
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
                          "AA;--|S/N||CENTRO|06000|555 12 34|555 12 35|2"_s,
                          u"Domicilios_MM:09|15|REFORMA|S/N||CENTRO|06000|555 12 34|555 12 35|1"_s,
                          u"Aduanas_MM:200"_s, u"Aduanas_MM:430"_s,
                          u"Pedimentos_MM:200|1000001|2000-03-04"_s,
                          u"Pedimentos_MM:200|1000003|1998-01-02"_s,
                          u"Pedimentos_MM:430|1000002|1999-12-31"_s}));
    // The page shows him at once, chosen, with his details.
    auto* fgAA = wz.w<QTableWidget>("fgAA");
    QCOMPARE(gridRow(fgAA, 0), (QStringList{rosa.nombre, rosa.apPaterno, rosa.apMaterno, rosa.rfc,
                                            rosa.curp, u"Anterior 01/01/2001"_s, u"Si"_s}));
    QCOMPARE(fgAA->currentRow(), 0);
    QCOMPARE(gridDataRows(wz.w<QTableWidget>("fgPedTramitados")), 3);
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), u"Finaliza"_s);

    // A 2.13.11 representative brings in the history pages.
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        fillPerson(d, wz.script, luis);
        click(d, u"cmdAceptar"_s);
    });
    QCOMPARE(owned(*db, luis.curp).mid(0, 1),
             (QStringList{u"Mandatarios:MODL750505AB3|LUIS|MORA|DIAZ|2|"
                          "/home/luis/MODL750505AB3.REQ|1|1|"_s}));
    QCOMPARE(owned(*db, luis.curp).size(), 3); // and his two addresses, nothing else
    QCOMPARE(fgAA->currentRow(), 1);
    QVERIFY(!wz.w("frAcreditacion")->isHidden());
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), u"Siguiente >"_s);
    QCOMPARE(gridDataRows(wz.w<QTableWidget>("fgMandatarios")), 2);
    wz.next(); // both complete: on to the agent's history
    QVERIFY(wz.pageShown("frAA21311"));
}

void TestRepresentantes::editingMovesOrDropsWhatBelongsToHim() {
    Wizard wz;
    startWithAgent(wz, {{rosa, rosa.curp}, {luis, luis.curp}});
    auto db = wz.dir.open();
    auto* fgAA = wz.w<QTableWidget>("fgAA");
    const QString newCurp = u"MODL750505HDFRZS09"_s;

    // Type 2, new CURP: everything of his moves, his history flag stays.
    fgAA->setCurrentCell(1, 0);
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        QCOMPARE(txt(d, u"txtCURP"_s)->text(), luis.curp);
        QVERIFY(child<QRadioButton>(d, u"optExamen"_s)->isChecked());
        txt(d, u"txtCURP"_s)->setText(rosa.curp);
        click(d, u"cmdAceptar"_s);
        QCOMPARE(wz.script.lastText(), u"YA EXISTE EL MANDATARIO EN LA BASE DE DATOS."_s);
        txt(d, u"txtCURP"_s)->setText(newCurp);
        click(d, u"cmdAceptar"_s);
    });
    QVERIFY(owned(*db, luis.curp).isEmpty());
    QCOMPARE(owned(*db, newCurp).filter(u"Periodos_H_MM"_s).size(), 1);
    QCOMPARE(owned(*db, newCurp).filter(u"Domicilios_MM"_s).size(), 2);
    QCOMPARE(rows(*db, u"select SinHistorico from Mandatarios where CURP='%1'"_s.arg(newCurp)),
             (QList<QVariantList>{{0}}));

    // Type 1, new CURP: offices and declarations move, history periods go.
    fgAA->setCurrentCell(0, 0);
    const QString rosa2 = u"GAMR800202MDFRRS02"_s;
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        QCOMPARE(gridRow(child<QTableWidget>(d, u"fgPedTramitados"_s), 0),
                 (QStringList{u" 200"_s, u"MEXICO, D.F."_s, u"7001"_s, u"04/03/2000"_s}));
        txt(d, u"txtCURP"_s)->setText(rosa2);
        click(d, u"cmdAceptar"_s);
    });
    QVERIFY(owned(*db, rosa.curp).isEmpty());
    const QStringList moved = owned(*db, rosa2);
    QCOMPARE(moved.filter(u"Aduanas_MM"_s).size(), 2);
    QCOMPARE(moved.filter(u"Pedimentos_MM"_s).size(), 2);
    QCOMPARE(moved.filter(u"Periodos_H_MM"_s).size(), 0);
    QVERIFY(moved.first().endsWith(u'|')); // "has a history" no longer holds

    // Type 1 -> 2 with the CURP unchanged: his offices and declarations go.
    QCOMPARE(gridCell(fgAA, fgAA->currentRow(), 4), rosa2); // the edited one stays chosen
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        cmb(d, u"cmbMandato"_s)->setCurrentIndex(1);
        child<QRadioButton>(d, u"optNTCL"_s)->setChecked(true);
        click(d, u"cmdAceptar"_s);
    });
    QCOMPARE(owned(*db, rosa2).size(), 3);
    QCOMPARE(gridCell(fgAA, fgAA->currentRow(), 5), u"Conforme 2.13.11 (Posterior 01/01/2001)"_s);
}

void TestRepresentantes::failedActionsLeaveTheDatabaseAsItWas() {
    Wizard wz;
    startWithAgent(wz, {{rosa, rosa.curp}});
    auto db = wz.dir.open();
    const QStringList before = everything(*db);
    QVERIFY(!db->exec(u"create trigger t before insert on Pedimentos_MM begin "
                      "select raise(abort,'x'); end"_s));
    wz.w<QTableWidget>("fgAA")->setCurrentCell(0, 0);
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        txt(d, u"txtNombre"_s)->setText(u"ROSALBA"_s);
        txt(d, u"txtCURP"_s)->setText(u"GAMR800202MDFRRS03"_s);
        click(d, u"cmdAceptar"_s);
        QVERIFY(wz.script.lastText().startsWith(seam::nothingSaved() + u" 1"_s));
        QVERIFY(wz.script.lastText().endsWith(u" x"_s));
        QVERIFY(d.result() != QDialog::Accepted); // still open, as typed
        QCOMPARE(txt(d, u"txtNombre"_s)->text(), u"ROSALBA"_s);
    });
    QCOMPARE(wz.state.Respuesta, u"C"_s);
    QCOMPARE(everything(*db), before);

    QVERIFY(!db->exec(u"create trigger u before delete on Periodos_H_MM begin "
                      "select raise(abort,'y'); end"_s));
    wz.script.shown.clear();
    wz.cmd("cmdBorrar")->click();
    QVERIFY(wz.script.lastText().endsWith(u" y"_s));
    QCOMPARE(everything(*db), before);
    QCOMPARE(gridDataRows(wz.w<QTableWidget>("fgAA")), 1);
}

void TestRepresentantes::officeAndDeclarationDialogs() {
    Wizard wz;
    startWithAgent(wz);
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        cmb(d, u"cmbMandato"_s)->setCurrentIndex(0);
        QVERIFY(!child<QWidget>(d, u"cmdNuevoPed"_s)->isEnabled());
        auto* offices = child<QTableWidget>(d, u"fgAduanasAct"_s);
        auto* declarations = child<QTableWidget>(d, u"fgPedTramitados"_s);
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

        // A declaration: a listed office, a number, a date before 2001; the
        // picker starts on today.
        const QList<std::tuple<QString, QString, QDate, QString>> declared{
            {u"MANZANILLO, COL."_s, u"1"_s, QDate(2000, 1, 1),
             u"No existe la aduana del pedimento en la lista de aduanas que actuo"_s},
            {u"VERACRUZ, VER."_s, QString(), QDate(2000, 1, 1),
             u"Pedimento no puede estar vacio"_s},
            {u"VERACRUZ, VER."_s, u"12A"_s, QDate(2000, 1, 1), u"El Pedimento debe ser numérico"_s},
            {u"VERACRUZ, VER."_s, u"1"_s, QDate(2001, 1, 1),
             u"La Fecha debe ser anterior al 1 de Enero de 2001"_s},
            {u"MEXICO, D.F."_s, u"1"_s, QDate(2000, 6, 15), QString()},
            {u"VERACRUZ, VER."_s, u"2"_s, QDate(2000, 6, 16), QString()},
            {u"MEXICO, D.F."_s, u"3"_s, QDate(2000, 6, 17), QString()}};
        QDate shown;
        wz.script.onDialog(u"frmPedTramitados"_s, [&](QDialog& p) {
            shown = child<QDateEdit>(p, u"dtpFPed"_s)->date();
            return p.result();
        });
        click(d, u"cmdNuevoPed"_s);
        QCOMPARE(shown, QDate::currentDate());
        for (const auto& [office, numero, fecha, refusal] : declared) {
            wz.script.shown.clear();
            nextDeclaration(wz.script, office, numero, fecha);
            click(d, u"cmdNuevoPed"_s);
            QCOMPARE(wz.script.lastText(), refusal);
        }
        QCOMPARE(gridRow(declarations, 0),
                 (QStringList{u" 200"_s, u"MEXICO, D.F."_s, u"1"_s, u"15/06/2000"_s}));

        // Deleting an office takes only its own declarations with it.
        offices->setCurrentCell(0, 0);
        wz.script.answer(seam::Answer::Cancel);
        click(d, u"cmdBorrarAduana"_s);
        QCOMPARE(wz.script.lastText(),
                 u"¿DESEA BORRAR LA ADUANA SELECCIONADA Y LOS PEDIMENTOS RELACIONADOS?"_s);
        click(d, u"cmdBorrarAduana"_s);
        QCOMPARE(gridDataRows(offices), 1);
        QCOMPARE(gridDataRows(declarations), 1);
        QCOMPARE(gridCell(declarations, 0, 2), u"2"_s);
        declarations->setCurrentCell(0, 0);
        click(d, u"cmdBorrarPed"_s);
        QCOMPARE(wz.script.lastText(), u"¿DESEA BORRAR EL PERIODO SELECCIONADO?"_s);
        QCOMPARE(gridDataRows(declarations), 0);
        offices->setCurrentCell(0, 0);
        click(d, u"cmdBorrarAduana"_s);
        QVERIFY(!child<QWidget>(d, u"cmdNuevoPed"_s)->isEnabled());
    });
    QCOMPARE(wz.state.Respuesta, u"C"_s); // closed without Aceptar
    QVERIFY(rows(*wz.dir.open(), u"select * from Mandatarios"_s).isEmpty());
}

void TestRepresentantes::pageShowsDetailsOnlyOfTheChosenRowAndDeletes() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        storeRepresentative(*db, rosa, rosa.curp);
        storeRepresentative(*db, luis, luis.curp);
        QVERIFY(!db->exec(u"update Mandatarios set Mandato=null, Operando=2 where "
                          "CURP=?"_s,
                          {luis.curp}));
    }
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowActive(wz.window.get()));
    wz.fillPage1(0);
    wz.next();
    auto* fgAA = wz.w<QTableWidget>("fgAA");
    QCOMPARE(QApplication::focusWidget(), fgAA);
    QCOMPARE(fgAA->currentRow(), -1);
    QVERIFY(!wz.cmd("cmdEditar")->isEnabled());
    QVERIFY(wz.w("lblTipoMandato")->isHidden());

    QTest::keyClick(fgAA, Qt::Key_Down);
    QCOMPARE(fgAA->currentRow(), 0);
    QVERIFY(wz.cmd("cmdEditar")->isEnabled());
    QCOMPARE(wz.w<QLabel>("lblTipoMandato")->text(), u"Anterior 01/01/2001"_s);
    QCOMPARE(gridCell(wz.w<QTableWidget>("fgPedTramitados"), 0, 2), u"04/03/2000"_s);

    // No type: the addresses change, the rest stays as it was.
    wz.txt("txtApRCalle")->clear();
    QTest::keyClick(fgAA, Qt::Key_Down);
    QCOMPARE(gridRow(fgAA, 1).mid(5), (QStringList{QString(), u"No Definido"_s}));
    QCOMPARE(wz.txt("txtApRCalle")->text(), u"CALLE"_s);
    QCOMPARE(wz.w<QLabel>("lblTipoMandato")->text(), u"Anterior 01/01/2001"_s);
    QVERIFY(!wz.w("frAduanasAct")->isHidden());

    wz.script.answer(seam::Answer::Cancel);
    wz.cmd("cmdBorrar")->click();
    const seam::Shown& q = wz.script.shown.last();
    QCOMPARE(q.text, u"¿DESEA BORRAR EL MANDATARIO\n\nLUIS MORA DIAZ "
                     "MODL750505HDFRZS02 ?"_s);
    QCOMPARE(q.title, u"Mendaje"_s);
    QCOMPARE(gridDataRows(fgAA), 2);
    wz.cmd("cmdBorrar")->click();
    auto db = wz.dir.open();
    QVERIFY(owned(*db, luis.curp).isEmpty()); // his history periods too
    QCOMPARE(owned(*db, rosa.curp).size(), 8);
    QCOMPARE(gridDataRows(fgAA), 1);
    QCOMPARE(gridDataRows(wz.w<QTableWidget>("fgMandatarios")), 1);
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
        QVERIFY(!db->exec(u"update AA set Nombre=?"_s, {name30}));
        storeRepresentative(*db, rosa, rosa.curp);
        QVERIFY(!db->exec(u"update Domicilios_MM set Calle=?"_s, {street120}));
    }
    wz.start(); // a new run reads what is stored
    QLineEdit* nombre = wz.txt("txtAANombre");
    QCOMPARE(nombre->text(), name30);
    QCOMPARE(nombre->cursorPosition(), 0);
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
    auto db = wz.dir.open();
    QCOMPARE(rows(*db, u"select Nombre from AA"_s), (QList<QVariantList>{{name30}}));

    wz.w<QTableWidget>("fgAA")->setCurrentCell(0, 0);
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        QCOMPARE(txt(d, u"txtCalle"_s)->text(), street120);
        click(d, u"cmdAceptar"_s);
    });
    QCOMPARE(rows(*db, u"select distinct Calle from Domicilios_MM"_s),
             (QList<QVariantList>{{street120}}));

    // Typing still stops at the field's own limit.
    nombre->clear();
    QTest::keyClicks(nombre, name30);
    QCOMPARE(nombre->text(), name30.left(25));
}

QTEST_MAIN(TestRepresentantes)
#include "tst_representantes.moc"
