// Page 3 and the representative editor, driven by control names through the
// seam: the editor's checks, the rows it writes and moves, one transaction
// per action, the office and declaration dialogs, and what the page shows.
#include "entry/Grid.h"
#include "support/WizardDriver.h"

#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>

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
QTableWidget* grid(QWidget& d, const QString& n) {
    return child<QTableWidget>(d, n);
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
const Person rosa{QStringLiteral("ROSA"),
                  QStringLiteral("GARCIA"),
                  QStringLiteral("MARTINEZ"),
                  QStringLiteral("GAMR800202MDFRRS01"),
                  QStringLiteral("GAMR800202XY2"),
                  1,
                  QStringLiteral("C:\\DOCS\\gamr800202xy2.req")};
const Person luis{QStringLiteral("LUIS"),
                  QStringLiteral("MORA"),
                  QStringLiteral("DIAZ"),
                  QStringLiteral("MODL750505HDFRZS02"),
                  QStringLiteral("MODL750505AB3"),
                  2,
                  QStringLiteral("/home/luis/MODL750505AB3.REQ")};

void fillAddress(QWidget& d, const QString& prefix, const QString& calle) {
    txt(d, QStringLiteral("txt%1Calle").arg(prefix))->setText(calle);
    txt(d, QStringLiteral("txt%1NoExt").arg(prefix))->setText(QStringLiteral("S/N"));
    txt(d, QStringLiteral("txt%1Colonia").arg(prefix))->setText(QStringLiteral("CENTRO"));
    txt(d, QStringLiteral("txt%1CP").arg(prefix))->setText(QStringLiteral("06000"));
    txt(d, QStringLiteral("txt%1Telefono").arg(prefix))->setText(QStringLiteral("555 12 34"));
    txt(d, QStringLiteral("txt%1Fax").arg(prefix))->setText(QStringLiteral("555 12 35"));
    choose(cmb(d, QStringLiteral("cmb%1EntFed").arg(prefix)), QStringLiteral("Ciudad de México"));
    choose(cmb(d, QStringLiteral("cmb%1MDeleg").arg(prefix)), QStringLiteral("Cuauhtémoc"));
}

// Everything but the offices; the requirement file comes through the file
// dialog like a person would choose it.
void fillPerson(QWidget& d, seam::Script& script, const Person& p) {
    txt(d, QStringLiteral("txtNombre"))->setText(p.nombre);
    txt(d, QStringLiteral("txtApPaterno"))->setText(p.apPaterno);
    txt(d, QStringLiteral("txtApMaterno"))->setText(p.apMaterno);
    txt(d, QStringLiteral("txtCURP"))->setText(p.curp);
    txt(d, QStringLiteral("txtRFC"))->setText(p.rfc);
    fillAddress(d, QString(), QStringLiteral("REFORMA"));
    fillAddress(d, QStringLiteral("Fiscal"), QStringLiteral("O'DONNELL'; DROP TABLE AA;--"));
    cmb(d, QStringLiteral("cmbMandato"))->setCurrentIndex(p.tipo - 1);
    script.chooseFile(p.requerimiento);
    click(d, QStringLiteral("cmdBuscar"));
    child<QRadioButton>(d, QStringLiteral("optSi"))->setChecked(true);
    if (p.tipo == 2)
        child<QRadioButton>(d, QStringLiteral("optNTCL"))->setChecked(true);
}

// Queues the answer of the next office dialog: choose by name, Aceptar.
void nextOffice(seam::Script& script, const QString& name) {
    script.onDialog(QStringLiteral("frmAduanaAct"), [name](QDialog& d) {
        choose(cmb(d, QStringLiteral("cmbAduana")), name);
        click(d, QStringLiteral("cmdAceptar"));
        return d.result();
    });
}

void nextDeclaration(seam::Script& script, const QString& office, const QString& numero,
                     QDate fecha) {
    script.onDialog(QStringLiteral("frmPedTramitados"), [=](QDialog& d) {
        choose(cmb(d, QStringLiteral("cmbAduana")), office);
        txt(d, QStringLiteral("txtPedimento"))->setText(numero);
        child<QDateEdit>(d, QStringLiteral("dtpFPed"))->setDate(fecha);
        click(d, QStringLiteral("cmdAceptar"));
        return d.result();
    });
}

// A representative stored directly, with his addresses; a type-1 one with
// offices 200 and 430, a declaration at each, and a history period.
void storeRepresentative(Database& db, const Person& p, const QString& curp) {
    QVERIFY(!db.exec(QStringLiteral("insert into Mandatarios values (?,?,?,?,?,?,?,?,1,0)"),
                     {curp, p.rfc, p.nombre, p.apPaterno, p.apMaterno, p.tipo, p.requerimiento,
                      p.tipo == 1 ? 0 : 2}));
    for (int t : {1, 2})
        QVERIFY(!db.exec(QStringLiteral("insert into Domicilios_MM values (?,'09',15,'CALLE','1',"
                                        "'','COL','06000','1','2',?)"),
                         {curp, t}));
    QVERIFY(!db.exec(QStringLiteral("insert into Periodos_H_MM values (?,200,3001,'1999-01-01',"
                                    "'1999-12-31')"),
                     {curp}));
    if (p.tipo != 1)
        return;
    for (int office : {200, 430}) {
        QVERIFY(!db.exec(QStringLiteral("insert into Aduanas_MM values (?,?)"), {curp, office}));
        QVERIFY(!db.exec(QStringLiteral("insert into Pedimentos_MM values (?,?,'7001',"
                                        "'2000-03-04')"),
                         {curp, office}));
    }
}

// His rows in every table keyed by CURP, without the CURP, sorted per table.
QStringList owned(Database& db, const QString& curp) {
    QStringList out;
    for (const char* t :
         {"Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM", "Periodos_H_MM"}) {
        const Rows r = db.select(
            QStringLiteral("select * from %1 where CURP=?").arg(QLatin1String(t)), {curp});
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
    for (const QVariantList& r :
         rows(db, QStringLiteral("select CURP from Mandatarios union select CURP from "
                                 "Periodos_H_MM order by 1")))
        out << r.at(0).toString() << owned(db, r.at(0).toString());
    return out;
}

// Runs `body` on the editor opened by the named page button.
void withEditor(Wizard& wz, const char* button, std::function<void(QDialog&)> body) {
    wz.script.onDialog(QStringLiteral("frmApoderado"), [&](QDialog& d) {
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
        QCOMPARE(d.windowTitle(), QStringLiteral("Datos del Apoderado o Reprersentante"));
        QCOMPARE(txt(d, QStringLiteral("txtNombre"))->maxLength(), 25);
        QVERIFY(!txt(d, QStringLiteral("txtRequerimiento"))->isEnabled());
        auto expect = [&](const QString& message, const QString& focus) {
            wz.script.shown.clear();
            click(d, QStringLiteral("cmdAceptar"));
            QCOMPARE(wz.script.lastText(), message);
            QCOMPARE(wz.script.shown.last().title, QStringLiteral("Mensaje"));
            if (!focus.isEmpty())
                QCOMPARE(d.focusWidget() ? d.focusWidget()->objectName() : QString(), focus);
            QVERIFY(d.result() != QDialog::Accepted);
        };
        const QList<std::tuple<QString, QString, std::function<void()>>> steps{
            {QStringLiteral("Nombre no puede estar vacio"), QStringLiteral("txtNombre"),
             [&] { txt(d, QStringLiteral("txtNombre"))->setText(QStringLiteral("   ")); }},
            {QStringLiteral("Nombre no puede estar vacio"), QStringLiteral("txtNombre"),
             [&] { txt(d, QStringLiteral("txtNombre"))->setText(rosa.nombre); }},
            {QStringLiteral("Ap. Paterno no puede estar vacio"), QStringLiteral("txtApPaterno"),
             [&] { txt(d, QStringLiteral("txtApPaterno"))->setText(rosa.apPaterno); }},
            {QStringLiteral("Ap. Materno no puede estar vacio"), QStringLiteral("txtApMaterno"),
             [&] { txt(d, QStringLiteral("txtApMaterno"))->setText(rosa.apMaterno); }},
            {QStringLiteral("CURP no valido"), QStringLiteral("txtCURP"),
             [&] { txt(d, QStringLiteral("txtCURP"))->setText(luis.curp); }},
            {QStringLiteral("RFC no valido"), QStringLiteral("txtRFC"),
             [&] { txt(d, QStringLiteral("txtRFC"))->setText(rosa.rfc); }},
            {QStringLiteral("Calle no puede estar vacio"), QStringLiteral("txtCalle"),
             [&] { fillAddress(d, QString(), QStringLiteral("REFORMA")); }},
            {QStringLiteral("Calle no puede estar vacio"), QStringLiteral("txtFiscalCalle"),
             [&] { fillAddress(d, QStringLiteral("Fiscal"), QStringLiteral("REFORMA")); }},
            {QStringLiteral("Tipo de Mandato no puede estar vacio"), QStringLiteral("cmbMandato"),
             [&] { cmb(d, QStringLiteral("cmbMandato"))->setCurrentIndex(0); }},
            {QStringLiteral("El Requerimiento Electrónico no puede estar vacio"),
             QStringLiteral("cmdBuscar"),
             [&] {
                 wz.script.chooseFile(QStringLiteral("C:\\DOCS\\GAMR800202XY3.REQ"));
                 click(d, QStringLiteral("cmdBuscar"));
             }},
            {QStringLiteral("El Requerimiento Electrónico se debe llamar igual al RFC"),
             QStringLiteral("cmdBuscar"),
             [&] {
                 // Cancelling the file dialog keeps the path; the name may
                 // stand anywhere in it and in any case.
                 click(d, QStringLiteral("cmdBuscar"));
                 QCOMPARE(wz.script.fileFilters.last(), QStringLiteral("Archivo_llave (*.req)"));
                 wz.script.chooseFile(rosa.requerimiento);
                 click(d, QStringLiteral("cmdBuscar"));
             }},
            {QStringLiteral("Debe existir almenos una Aduana donde ha actuado"),
             QStringLiteral("cmdNuevaAduana"),
             [&] {
                 nextOffice(wz.script, QStringLiteral("MEXICO, D.F."));
                 click(d, QStringLiteral("cmdNuevaAduana"));
             }},
            {QStringLiteral("Debe elegir si el Manandatario o Representante se encuentra Operando"),
             QStringLiteral("optSi"),
             [&] {
                 child<QRadioButton>(d, QStringLiteral("optNo"))->setChecked(true);
                 cmb(d, QStringLiteral("cmbMandato"))->setCurrentIndex(1);
             }},
            {QStringLiteral("Debe elegir el tipo de acreditación"), QStringLiteral("optNTCL"),
             [&] { child<QRadioButton>(d, QStringLiteral("optExamen"))->setChecked(true); }},
            {QStringLiteral("YA EXISTE EL MANDATARIO EN LA BASE DE DATOS."), QString(),
             [&] { txt(d, QStringLiteral("txtCURP"))->setText(rosa.curp); }},
        };
        for (const auto& [message, focus, fix] : steps) {
            expect(message, focus);
            if (QTest::currentTestFailed())
                return;
            fix();
        }
        QCOMPARE(wz.script.shown.last().icon, seam::Icon::None); // the duplicate's box
        QCOMPARE(everything(*db), before);                       // nothing written so far
        click(d, QStringLiteral("cmdAceptar"));
        QCOMPARE(d.result(), int(QDialog::Accepted));
    });
    QCOMPARE(wz.state.Respuesta, QStringLiteral("A"));
    QCOMPARE(rows(*db, QStringLiteral("select Mandato, Acreditacion, Operando, Requerimiento "
                                      "from Mandatarios where CURP='GAMR800202MDFRRS01'")),
             (QList<QVariantList>{{2, 2, 0, rosa.requerimiento}}));
}

void TestRepresentantes::acceptedRepresentativesAreStoredAndShown() {
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.next();
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Finaliza"));
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        fillPerson(d, wz.script, rosa);
        nextOffice(wz.script, QStringLiteral("MEXICO, D.F."));
        nextOffice(wz.script, QStringLiteral("VERACRUZ, VER."));
        click(d, QStringLiteral("cmdNuevaAduana"));
        click(d, QStringLiteral("cmdNuevaAduana"));
        nextDeclaration(wz.script, QStringLiteral("MEXICO, D.F."), QStringLiteral("1000001"),
                        QDate(2000, 3, 4));
        nextDeclaration(wz.script, QStringLiteral("VERACRUZ, VER."), QStringLiteral("1000002"),
                        QDate(1999, 12, 31));
        nextDeclaration(wz.script, QStringLiteral("MEXICO, D.F."), QStringLiteral("1000003"),
                        QDate(1998, 1, 2));
        for (int i = 0; i < 3; ++i)
            click(d, QStringLiteral("cmdNuevoPed"));
        click(d, QStringLiteral("cmdAceptar"));
    });
    auto db = wz.dir.open();
    QCOMPARE(
        owned(*db, rosa.curp),
        (QStringList{
            QStringLiteral("Mandatarios:GAMR800202XY2|ROSA|GARCIA|MARTINEZ|1|"
                           "C:\\DOCS\\gamr800202xy2.req|0|1|"),
            QStringLiteral("Domicilios_MM:09|15|O'DONNELL'; DROP TABLE "
                           "AA;--|S/N||CENTRO|06000|555 12 34|555 12 35|2"),
            QStringLiteral("Domicilios_MM:09|15|REFORMA|S/N||CENTRO|06000|555 12 34|555 12 35|1"),
            QStringLiteral("Aduanas_MM:200"), QStringLiteral("Aduanas_MM:430"),
            QStringLiteral("Pedimentos_MM:200|1000001|2000-03-04"),
            QStringLiteral("Pedimentos_MM:200|1000003|1998-01-02"),
            QStringLiteral("Pedimentos_MM:430|1000002|1999-12-31")}));
    // The page shows him at once, chosen, with his details.
    auto* fgAA = wz.w<QTableWidget>("fgAA");
    QCOMPARE(gridRow(fgAA, 0),
             (QStringList{rosa.nombre, rosa.apPaterno, rosa.apMaterno, rosa.rfc, rosa.curp,
                          QStringLiteral("Anterior 01/01/2001"), QStringLiteral("Si")}));
    QCOMPARE(fgAA->currentRow(), 0);
    QCOMPARE(gridDataRows(wz.w<QTableWidget>("fgPedTramitados")), 3);
    QCOMPARE(gridDataRows(wz.w<QTableWidget>("fgMandatarios")), 1);
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Finaliza"));

    // A 2.13.11 representative brings in the history pages.
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        fillPerson(d, wz.script, luis);
        click(d, QStringLiteral("cmdAceptar"));
    });
    QCOMPARE(owned(*db, luis.curp).mid(0, 1),
             (QStringList{QStringLiteral("Mandatarios:MODL750505AB3|LUIS|MORA|DIAZ|2|"
                                         "/home/luis/MODL750505AB3.REQ|1|1|")}));
    QCOMPARE(owned(*db, luis.curp).size(), 3); // and his two addresses, nothing else
    QCOMPARE(fgAA->currentRow(), 1);
    QVERIFY(!wz.w("frAcreditacion")->isHidden());
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Siguiente >"));
    QCOMPARE(gridDataRows(wz.w<QTableWidget>("fgMandatarios")), 2);
    wz.next(); // both complete: on to the agent's history
    QVERIFY(wz.pageShown("frAA21311"));
}

void TestRepresentantes::editingMovesOrDropsWhatBelongsToHim() {
    Wizard wz;
    startWithAgent(wz, {{rosa, rosa.curp}, {luis, luis.curp}});
    auto db = wz.dir.open();
    auto* fgAA = wz.w<QTableWidget>("fgAA");
    const QString newCurp = QStringLiteral("MODL750505HDFRZS09");

    // Type 2, new CURP: everything of his moves, his history flag stays.
    fgAA->setCurrentCell(1, 0);
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        QCOMPARE(txt(d, QStringLiteral("txtCURP"))->text(), luis.curp);
        QVERIFY(child<QRadioButton>(d, QStringLiteral("optExamen"))->isChecked());
        txt(d, QStringLiteral("txtCURP"))->setText(rosa.curp);
        click(d, QStringLiteral("cmdAceptar"));
        QCOMPARE(wz.script.lastText(),
                 QStringLiteral("YA EXISTE EL MANDATARIO EN LA BASE DE DATOS."));
        txt(d, QStringLiteral("txtCURP"))->setText(newCurp);
        click(d, QStringLiteral("cmdAceptar"));
    });
    QVERIFY(owned(*db, luis.curp).isEmpty());
    QCOMPARE(owned(*db, newCurp).filter(QStringLiteral("Periodos_H_MM")).size(), 1);
    QCOMPARE(owned(*db, newCurp).filter(QStringLiteral("Domicilios_MM")).size(), 2);
    QCOMPARE(
        rows(*db,
             QStringLiteral("select SinHistorico from Mandatarios where CURP='%1'").arg(newCurp)),
        (QList<QVariantList>{{0}}));

    // Type 1, new CURP: offices and declarations move, history periods go.
    fgAA->setCurrentCell(0, 0);
    const QString rosa2 = QStringLiteral("GAMR800202MDFRRS02");
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        QCOMPARE(gridRow(grid(d, QStringLiteral("fgPedTramitados")), 0),
                 (QStringList{QStringLiteral(" 200"), QStringLiteral("MEXICO, D.F."),
                              QStringLiteral("7001"), QStringLiteral("04/03/2000")}));
        QVERIFY(child<QWidget>(d, QStringLiteral("cmdNuevoPed"))->isEnabled());
        txt(d, QStringLiteral("txtCURP"))->setText(rosa2);
        click(d, QStringLiteral("cmdAceptar"));
    });
    QVERIFY(owned(*db, rosa.curp).isEmpty());
    const QStringList moved = owned(*db, rosa2);
    QCOMPARE(moved.filter(QStringLiteral("Aduanas_MM")).size(), 2);
    QCOMPARE(moved.filter(QStringLiteral("Pedimentos_MM")).size(), 2);
    QCOMPARE(moved.filter(QStringLiteral("Periodos_H_MM")).size(), 0);
    QVERIFY(moved.first().endsWith(u'|')); // "has a history" no longer holds

    // Type 1 -> 2 with the CURP unchanged: his offices and declarations go.
    QCOMPARE(gridCell(fgAA, fgAA->currentRow(), 4), rosa2); // the edited one stays chosen
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        cmb(d, QStringLiteral("cmbMandato"))->setCurrentIndex(1);
        child<QRadioButton>(d, QStringLiteral("optNTCL"))->setChecked(true);
        click(d, QStringLiteral("cmdAceptar"));
    });
    QCOMPARE(owned(*db, rosa2).size(), 3);
    QCOMPARE(gridCell(fgAA, fgAA->currentRow(), 5),
             QStringLiteral("Conforme 2.13.11 (Posterior 01/01/2001)"));
}

void TestRepresentantes::failedActionsLeaveTheDatabaseAsItWas() {
    Wizard wz;
    startWithAgent(wz, {{rosa, rosa.curp}});
    auto db = wz.dir.open();
    const QStringList before = everything(*db);
    QVERIFY(!db->exec(QStringLiteral("create trigger t before insert on Pedimentos_MM begin "
                                     "select raise(abort,'x'); end")));
    wz.w<QTableWidget>("fgAA")->setCurrentCell(0, 0);
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        txt(d, QStringLiteral("txtNombre"))->setText(QStringLiteral("ROSALBA"));
        txt(d, QStringLiteral("txtCURP"))->setText(QStringLiteral("GAMR800202MDFRRS03"));
        click(d, QStringLiteral("cmdAceptar"));
        QVERIFY(wz.script.lastText().startsWith(u' '));
        QVERIFY(wz.script.lastText().endsWith(QStringLiteral(" x")));
        QCOMPARE(wz.script.shown.last().title, QStringLiteral("Mensaje"));
        QVERIFY(d.result() != QDialog::Accepted);
        QCOMPARE(txt(d, QStringLiteral("txtNombre"))->text(), QStringLiteral("ROSALBA"));
    });
    QCOMPARE(wz.state.Respuesta, QStringLiteral("C"));
    QCOMPARE(everything(*db), before);

    QVERIFY(!db->exec(QStringLiteral("create trigger u before delete on Periodos_H_MM begin "
                                     "select raise(abort,'y'); end")));
    wz.script.shown.clear();
    wz.cmd("cmdBorrar")->click();
    QVERIFY(wz.script.lastText().endsWith(QStringLiteral(" y")));
    QCOMPARE(everything(*db), before);
    QCOMPARE(gridDataRows(wz.w<QTableWidget>("fgAA")), 1);
}

void TestRepresentantes::officeAndDeclarationDialogs() {
    Wizard wz;
    startWithAgent(wz);
    withEditor(wz, "cmdNuevo", [&](QDialog& d) {
        cmb(d, QStringLiteral("cmbMandato"))->setCurrentIndex(0);
        QVERIFY(!child<QWidget>(d, QStringLiteral("cmdNuevoPed"))->isEnabled());
        auto* offices = grid(d, QStringLiteral("fgAduanasAct"));
        auto* declarations = grid(d, QStringLiteral("fgPedTramitados"));
        QCOMPARE(offices->horizontalHeaderItem(0)->text(), QStringLiteral("No.Aduana"));
        QCOMPARE(declarations->columnWidth(1), 2280 / 15);

        // An office must be chosen, and only once.
        auto officeDialog = [&](const QString& name, const QString& refusal) {
            wz.script.shown.clear();
            wz.script.onDialog(QStringLiteral("frmAduanaAct"), [name](QDialog& a) {
                if (!name.isEmpty())
                    choose(cmb(a, QStringLiteral("cmbAduana")), name);
                click(a, QStringLiteral("cmdAceptar"));
                return a.result();
            });
            click(d, QStringLiteral("cmdNuevaAduana"));
            QCOMPARE(wz.script.lastText(), refusal);
        };
        officeDialog(QString(), QStringLiteral("Aduana no puede estar vacio"));
        officeDialog(QStringLiteral("MEXICO, D.F."), QString());
        officeDialog(QStringLiteral("MEXICO, D.F."),
                     QStringLiteral("Ya existe la aduana en la lista de aduanas que actuo"));
        nextOffice(wz.script, QStringLiteral("VERACRUZ, VER."));
        click(d, QStringLiteral("cmdNuevaAduana"));
        QCOMPARE(gridRow(offices, 0),
                 (QStringList{QStringLiteral(" 200"), QStringLiteral("MEXICO, D.F.")}));
        QCOMPARE(gridDataRows(offices), 2);

        // A declaration: a listed office, a number, a date before 2001.
        const QList<std::tuple<QString, QString, QDate, QString>> refused{
            {QStringLiteral("MANZANILLO, COL."), QStringLiteral("123"), QDate(2000, 1, 1),
             QStringLiteral("No existe la aduana del pedimento en la lista de aduanas que actuo")},
            {QStringLiteral("VERACRUZ, VER."), QString(), QDate(2000, 1, 1),
             QStringLiteral("Pedimento no puede estar vacio")},
            {QStringLiteral("VERACRUZ, VER."), QStringLiteral("12A"), QDate(2000, 1, 1),
             QStringLiteral("El Pedimento debe ser numérico")},
            {QStringLiteral("VERACRUZ, VER."), QStringLiteral("123"), QDate(2001, 1, 1),
             QStringLiteral("La Fecha debe ser anterior al 1 de Enero de 2001")}};
        for (const auto& [office, numero, fecha, message] : refused) {
            QDate shownDate;
            bool paired = false;
            wz.script.onDialog(QStringLiteral("frmPedTramitados"), [&](QDialog& p) {
                auto* picker = child<QDateEdit>(p, QStringLiteral("dtpFPed"));
                shownDate = picker->date();
                choose(cmb(p, QStringLiteral("cmbAduana")), office);
                paired = cmb(p, QStringLiteral("cmbNoAduana"))->currentIndex() ==
                         cmb(p, QStringLiteral("cmbAduana"))->currentIndex();
                txt(p, QStringLiteral("txtPedimento"))->setText(numero);
                picker->setDate(fecha);
                click(p, QStringLiteral("cmdAceptar"));
                return p.result();
            });
            click(d, QStringLiteral("cmdNuevoPed"));
            QCOMPARE(wz.script.lastText(), message);
            QCOMPARE(shownDate, QDate::currentDate());
            QVERIFY(paired);
        }
        QCOMPARE(gridDataRows(declarations), 0);
        nextDeclaration(wz.script, QStringLiteral("MEXICO, D.F."), QStringLiteral("1"),
                        QDate(2000, 6, 15));
        nextDeclaration(wz.script, QStringLiteral("VERACRUZ, VER."), QStringLiteral("2"),
                        QDate(2000, 6, 16));
        nextDeclaration(wz.script, QStringLiteral("MEXICO, D.F."), QStringLiteral("3"),
                        QDate(2000, 6, 17));
        for (int i = 0; i < 3; ++i)
            click(d, QStringLiteral("cmdNuevoPed"));
        QCOMPARE(gridRow(declarations, 0),
                 (QStringList{QStringLiteral(" 200"), QStringLiteral("MEXICO, D.F."),
                              QStringLiteral("1"), QStringLiteral("15/06/2000")}));

        // Deleting an office takes only its own declarations with it.
        offices->setCurrentCell(0, 0);
        wz.script.answer(seam::Answer::Cancel);
        click(d, QStringLiteral("cmdBorrarAduana"));
        QCOMPARE(wz.script.lastText(),
                 QStringLiteral("¿DESEA BORRAR LA ADUANA SELECCIONADA Y LOS PEDIMENTOS "
                                "RELACIONADOS?"));
        QCOMPARE(gridDataRows(offices), 2);
        click(d, QStringLiteral("cmdBorrarAduana"));
        QCOMPARE(gridDataRows(offices), 1);
        QCOMPARE(gridDataRows(declarations), 1);
        QCOMPARE(gridCell(declarations, 0, 2), QStringLiteral("2"));
        declarations->setCurrentCell(0, 0);
        click(d, QStringLiteral("cmdBorrarPed"));
        QCOMPARE(wz.script.lastText(), QStringLiteral("¿DESEA BORRAR EL PERIODO SELECCIONADO?"));
        QCOMPARE(gridDataRows(declarations), 0);
        offices->setCurrentCell(0, 0);
        click(d, QStringLiteral("cmdBorrarAduana"));
        QCOMPARE(gridDataRows(offices), 0);
        QVERIFY(!child<QWidget>(d, QStringLiteral("cmdNuevoPed"))->isEnabled());
        click(d, QStringLiteral("cmdCancelar"));
    });
    QCOMPARE(wz.state.Respuesta, QStringLiteral("C"));
    QVERIFY(rows(*wz.dir.open(), QStringLiteral("select * from Mandatarios")).isEmpty());
}

void TestRepresentantes::pageShowsDetailsOnlyOfTheChosenRowAndDeletes() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        storeRepresentative(*db, rosa, rosa.curp);
        storeRepresentative(*db, luis, luis.curp);
        QVERIFY(!db->exec(QStringLiteral("update Mandatarios set Mandato=null, Operando=2 where "
                                         "CURP=?"),
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
    QCOMPARE(wz.w<QLabel>("lblTipoMandato")->text(), QStringLiteral("Anterior 01/01/2001"));
    QCOMPARE(gridCell(wz.w<QTableWidget>("fgPedTramitados"), 0, 2), QStringLiteral("04/03/2000"));

    // No type: the addresses change, the rest stays as it was.
    wz.txt("txtApRCalle")->clear();
    QTest::keyClick(fgAA, Qt::Key_Down);
    QCOMPARE(gridRow(fgAA, 1).mid(5), (QStringList{QString(), QStringLiteral("No Definido")}));
    QCOMPARE(wz.txt("txtApRCalle")->text(), QStringLiteral("CALLE"));
    QCOMPARE(wz.w<QLabel>("lblTipoMandato")->text(), QStringLiteral("Anterior 01/01/2001"));
    QVERIFY(!wz.w("frAduanasAct")->isHidden());

    wz.script.answer(seam::Answer::Cancel);
    wz.cmd("cmdBorrar")->click();
    const seam::Shown& q = wz.script.shown.last();
    QCOMPARE(q.text, QStringLiteral("¿DESEA BORRAR EL MANDATARIO\n\nLUIS MORA DIAZ "
                                    "MODL750505HDFRZS02 ?"));
    QCOMPARE(q.title, QStringLiteral("Mendaje"));
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
    const QString name30 = QStringLiteral("MARIA DEL CARMEN GUADALUPE ANA");
    const QString street120 = QStringLiteral("AVENIDA ").repeated(15);
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.next();
    {
        auto db = wz.dir.open();
        QVERIFY(!db->exec(QStringLiteral("update AA set Nombre=?"), {name30}));
        storeRepresentative(*db, rosa, rosa.curp);
        QVERIFY(!db->exec(QStringLiteral("update Domicilios_MM set Calle=?"), {street120}));
    }
    wz.start(); // a new run reads what is stored
    QLineEdit* nombre = wz.txt("txtAANombre");
    QCOMPARE(nombre->text(), name30);
    QCOMPARE(nombre->cursorPosition(), 0);
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
    auto db = wz.dir.open();
    QCOMPARE(rows(*db, QStringLiteral("select Nombre from AA")), (QList<QVariantList>{{name30}}));

    wz.w<QTableWidget>("fgAA")->setCurrentCell(0, 0);
    withEditor(wz, "cmdEditar", [&](QDialog& d) {
        QCOMPARE(txt(d, QStringLiteral("txtCalle"))->text(), street120);
        click(d, QStringLiteral("cmdAceptar"));
    });
    QCOMPARE(rows(*db, QStringLiteral("select distinct Calle from Domicilios_MM")),
             (QList<QVariantList>{{street120}}));

    // Typing still stops at the field's own limit.
    nombre->clear();
    QTest::keyClicks(nombre, name30);
    QCOMPARE(nombre->text(), name30.left(25));
}

QTEST_MAIN(TestRepresentantes)
#include "tst_representantes.moc"
