// Pages 4 and 5 and their dialogs, driven through the seam by control names.
#include "entry/Grid.h"
#include "support/LlavesPrueba.h"
#include "support/WizardDriver.h"

#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QTableWidget>

namespace {

const QString Luis = QStringLiteral("MODL800101HDFRZS01");
const QString Eva = QStringLiteral("PAGE810202MDFZLV02");
const QString Hist = QStringLiteral("HIRF700101HDFRZL03");

template <class T = QWidget> T* in(QDialog& d, const char* name) {
    T* found = d.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s in %s", name, qPrintable(d.objectName()));
    return found;
}
void set(QDialog& d, const char* field, const QString& text) {
    in<QLineEdit>(d, field)->setText(text);
}
void press(QDialog& d, const char* button) {
    in<QPushButton>(d, button)->click();
}

// Answers a period dialog: patent (only the representative's has one),
// office by name ("" = none), dates; then Aceptar, and Cancelar when the
// period was refused.
auto periodo(seam::Script& s, const QString& office, QDate ini, QDate fin,
             const QString& patente = QString()) {
    return [&s, office, ini, fin, patente](QDialog& d) {
        if (d.objectName() == QLatin1String("frmPeriodo_Mandatario"))
            set(d, "txtPatente", patente);
        auto* names = in<QComboBox>(d, "cmbAduana");
        if (!office.isEmpty())
            names->setCurrentIndex(names->findText(office));
        in<QDateEdit>(d, "dtpIni")->setDate(ini);
        in<QDateEdit>(d, "dtpFin")->setDate(fin);
        const qsizetype before = s.shown.size();
        press(d, "cmdAceptar");
        // A refused period leaves the dialog open: Cancel it.
        if (d.result() != QDialog::Accepted && s.shown.size() > before)
            press(d, "cmdCancelar");
        return d.result();
    };
}

// Query results as text, one line per row, "NULL" for a null value.
QString dump(Database& db, const QString& sql, const QVariantList& params = {}) {
    const Rows r = db.select(sql, params);
    if (!r.ok())
        qFatal("%s", qPrintable(r.error->message()));
    QStringList lines;
    for (const QVariantList& row : r.rows) {
        QStringList cells;
        for (const QVariant& v : row)
            cells << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        lines << cells.join(u'|');
    }
    return lines.join(u'\n');
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
// and (optionally) one earlier representative with two periods.
void storeScene(Database& db, const QString& reqFolder, bool withHistory) {
    storeAgent(db);
    const auto must = [&](const QString& sql, const QVariantList& v = {}) {
        if (MaybeError e = db.exec(sql, v))
            qFatal("%s", qPrintable(e->message()));
    };
    int n = 0;
    for (const QString& curp : {Luis, Eva}) {
        const QString req = QDir(reqFolder).filePath(curp + QStringLiteral(".req"));
        escribeArchivo(req, "req");
        must(QStringLiteral("insert into Mandatarios values (?,?,?,?,?,2,?,1,1,null)"),
             {curp, curp.left(10) + QStringLiteral("AB1"), n ? "EVA" : "LUIS", n ? "PAZ" : "MORA",
              n ? "GIL" : "DIAZ", req});
        for (int t : {1, 2})
            must(QStringLiteral("insert into Domicilios_MM values (?,'09',15,'A','1','','B',"
                                "'06000','1','2',?)"),
                 {curp, t});
        ++n;
    }
    if (!withHistory)
        return;
    must(QStringLiteral("update AA set SinHistorico=0"));
    must(QStringLiteral("insert into Historico_AA values ('HIRF700101AB1',?,'FELIPE','HARO',"
                        "'RUIZ')"),
         {Hist});
    must(QStringLiteral("insert into Historico_AA values ('SOTA750505XX1','SOTA750505XX1',"
                        "'ANA','SOTO','TAPIA')"));
    must(QStringLiteral("insert into Periodos_H_AA values (?,200,'1999-01-02','2000-03-04')"),
         {Hist});
    must(QStringLiteral("insert into Periodos_H_AA values ('SOTA750505XX1',430,'2001-05-06',"
                        "'2002-07-08')"));
}

QTableWidget* grid(Wizard& wz, const char* name) {
    return wz.w<QTableWidget>(name);
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
    QTest::addRow("null") << QVariant() << QStringLiteral("No Definido") << QStringLiteral("NULL");
    QTest::addRow("1") << QVariant(1) << QStringLiteral("Sin Historico") << QStringLiteral("1");
    QTest::addRow("2") << QVariant(2) << QStringLiteral("Con Historico") << QStringLiteral("0");
}

void TestHistorico::agentStatusLabel() {
    QFETCH(QVariant, stored);
    QFETCH(QString, label);
    QFETCH(QString, writtenBack);
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), false);
        QVERIFY(!db->exec(QStringLiteral("update AA set SinHistorico=?"),
                          {stored.isNull() ? QVariant(QMetaType(QMetaType::Int)) : stored}));
    }
    wz.start();
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), label);
    wz.fillPage1(0);
    wz.next();
    auto db = wz.dir.open();
    QCOMPARE(dump(*db, QStringLiteral("select SinHistorico from AA")), writtenBack);
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
    wz.script.shown.clear();
    wz.next();
    // Only an undefined status keeps the wizard on page 4.
    QCOMPARE(wz.pageShown("frAA21311"), stored.isNull());
    QCOMPARE(wz.script.shown.size(), stored.isNull() ? 1 : 0);
}

void TestHistorico::historicAgentEditor() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), true);
    }
    wz.start();
    seam::Script& s = wz.script;
    const QDate d1(2000, 3, 15);

    // Checks in order, each with its message, no icon, and the focus where
    // it belongs; nothing is stored while one fails.
    s.onDialog(QStringLiteral("frmAgentes_Aduanales"), [&](QDialog& d) {
        if (d.windowTitle() != QStringLiteral("Datos del Representante que  actuó con el Agente "
                                              "Aduanal") ||
            in<QLineEdit>(d, "txtCURP")->maxLength() != 18 ||
            in<QLineEdit>(d, "txtRFC")->maxLength() != 13 ||
            in<QTableWidget>(d, "fgAA_Periodos")->columnWidth(1) != 3970 / 15)
            return int(QDialog::Rejected);
        d.show();
        QTest::keyClicks(in(d, "txtApMaterno"), QStringLiteral("orta"));
        if (in<QLineEdit>(d, "txtApMaterno")->text() != QStringLiteral("ORTA"))
            return int(QDialog::Rejected);
        const QList<std::tuple<const char*, QString, QString, const char*>> steps{
            {"txtNombre", "   ", "PEDRO", "Nombre no puede estar vacio"},
            {"txtApPaterno", "", "NAVA", "Ap. Paterno no puede estar vacio"},
            {"txtApMaterno", "", "ORTA", "Ap. Materno no puede estar vacio"},
            {"txtRFC", "NAOP8001011", "NAOP800101AB1", "RFC no valido"},
            {"txtCURP", "NAOP800101XDFRZS09", "", "CURP no valido"},
        };
        for (const auto& [field, bad, good, msg] : steps)
            set(d, field, bad);
        for (const auto& [field, bad, good, msg] : steps) {
            press(d, "cmdAceptar");
            if (s.lastText() != QString::fromUtf8(msg) || s.shown.last().icon != seam::Icon::None ||
                s.shown.last().title != QStringLiteral("Mensaje") ||
                d.focusWidget() != in(d, field))
                return int(QDialog::Rejected);
            set(d, field, good);
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
    QVERIFY(!db->exec(QStringLiteral("update AA set SinHistorico=null")));
    wz.cmd("cmdAANuevo")->click();
    // Without a CURP he is stored under his RFC, with both periods.
    QCOMPARE(
        rows(*db, QStringLiteral("select * from Historico_AA where CURP='NAOP800101AB1'")).value(0),
        (QVariantList{"NAOP800101AB1", "NAOP800101AB1", "PEDRO", "NAVA", "ORTA"}));
    QCOMPARE(rows(*db, QStringLiteral("select NoAduana,FechaIni,FechaFin from Periodos_H_AA "
                                      "where CURP='NAOP800101AB1' order by NoAduana")),
             (QList<QVariantList>{{160, "2000-03-15", "2000-03-16"},
                                  {430, "2000-03-15", "2000-03-15"}}));
    QCOMPARE(dump(*db, QStringLiteral("select SinHistorico from AA")), QStringLiteral("0"));
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("Con Historico"));
    // The first row is made current and shows its periods.
    QCOMPARE(grid(wz, "fgDatosAA")->currentRow(), 0);
    QVERIFY(wz.cmd("cmdAAEditar")->isEnabled());

    // Reopened: empty CURP, his RFC, his periods (also one whose office the
    // catalogue lacks, which the page does not list but a save must keep). A
    // CURP of another stored agent is a duplicate; keeping his own key is not.
    QVERIFY(!db->exec(QStringLiteral("insert into Periodos_H_AA values ('NAOP800101AB1',9999,"
                                     "'1990-01-01','1991-01-01')")));
    const int row = int(gridDataRows(grid(wz, "fgDatosAA"))) - 1;
    grid(wz, "fgDatosAA")->setCurrentCell(row, 0);
    QCOMPARE(gridCell(grid(wz, "fgDatosAA"), row, 3), QString());
    QCOMPARE(gridDataRows(grid(wz, "fgPeriodosAA")), 2);
    QStringList seen;
    s.onDialog(QStringLiteral("frmAgentes_Aduanales"), [&](QDialog& d) {
        auto* periods = in<QTableWidget>(d, "fgAA_Periodos");
        seen << in<QLineEdit>(d, "txtCURP")->text() << in<QLineEdit>(d, "txtRFC")->text()
             << QString::number(gridDataRows(periods));
        set(d, "txtCURP", Hist);
        press(d, "cmdAceptar");
        seen << s.lastText();
        set(d, "txtCURP", QString());
        set(d, "txtNombre", QStringLiteral("PEDRO LUIS"));
        // Removing a period: asked first, and only from the list.
        periods->setCurrentCell(0, 0);
        s.answer(seam::Answer::Cancel);
        press(d, "cmdBorrar");
        seen << s.lastText() << QString::number(gridDataRows(periods));
        press(d, "cmdBorrar");
        seen << QString::number(gridDataRows(periods))
             << (in(d, "cmdBorrar")->isEnabled() ? "Borrar" : "-");
        press(d, "cmdAceptar");
        return d.result();
    });
    wz.cmd("cmdAAEditar")->click();
    QCOMPARE(seen, (QStringList{"", "NAOP800101AB1", "3",
                                "YA EXISTE EL AGENTE ADUANAL EN LA BASE DE DATOS.",
                                "¿DESEA BORRAR EL PERIODO SELECCIONADO?", "3", "2", "-"}));
    QCOMPARE(dump(*db, QStringLiteral("select Nombre from Historico_AA where "
                                      "CURP='NAOP800101AB1'")),
             QStringLiteral("PEDRO LUIS"));
    QCOMPARE(dump(*db, QStringLiteral("select NoAduana from Periodos_H_AA where "
                                      "CURP='NAOP800101AB1' order by 1")),
             QStringLiteral("160\n9999"));

    // A new record under a stored CURP is refused.
    s.onDialog(QStringLiteral("frmAgentes_Aduanales"), [&](QDialog& d) {
        for (auto [f, v] : {std::pair{"txtNombre", "X"},
                            {"txtApPaterno", "Y"},
                            {"txtApMaterno", "Z"},
                            {"txtRFC", "HIRF700101AB1"}})
            set(d, f, QLatin1String(v));
        set(d, "txtCURP", Hist);
        press(d, "cmdNuevo");
        press(d, "cmdAceptar");
        return d.result();
    });
    s.onDialog(QStringLiteral("frmPeriodo_Agente"),
               periodo(s, QStringLiteral("VERACRUZ, VER."), d1, d1));
    const QString before = historyDump(*db);
    wz.cmd("cmdAANuevo")->click();
    QCOMPARE(s.lastText(), QStringLiteral("YA EXISTE EL AGENTE ADUANAL EN LA BASE DE DATOS."));
    QCOMPARE(historyDump(*db), before);
}

void TestHistorico::periodDialogsRefuseBadPeriods() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), false);
    }
    wz.start();
    seam::Script& s = wz.script;
    grid(wz, "fgMandatarios")->setCurrentCell(1, 0);
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
        {"4000", "", a, a, "Seleccione la Aduana en la que actuó"},
        {"0012", "VERACRUZ, VER.", a, a, ""},
    };
    auto db = wz.dir.open();
    for (const Case& c : cases) {
        s.shown.clear();
        s.onDialog(QStringLiteral("frmPeriodo_Mandatario"), [&](QDialog& d) {
            // The representative is shown, not editable; the office lists
            // follow one another.
            if (in<QLineEdit>(d, "txtCURP")->text() != Eva ||
                !in<QLineEdit>(d, "txtNombre")->isReadOnly())
                return int(QDialog::Rejected);
            // The patent keeps letters as typed (and is then refused).
            d.show();
            QTest::keyClicks(in(d, "txtPatente"), QStringLiteral("1a"));
            if (in<QLineEdit>(d, "txtPatente")->text() != QStringLiteral("1a"))
                return int(QDialog::Rejected);
            in<QComboBox>(d, "cmbNoAduana")->setCurrentIndex(2);
            if (in<QComboBox>(d, "cmbAduana")->currentIndex() != 2)
                return int(QDialog::Rejected);
            in<QComboBox>(d, "cmbNoAduana")->setCurrentIndex(-1);
            return periodo(s, c.office, c.ini, c.fin, c.patente)(d);
        });
        wz.cmd("cmdMandNuevo")->click();
        QCOMPARE(s.lastText(), c.message);
        if (!c.message.isEmpty()) {
            QCOMPARE(s.shown.last().title, QStringLiteral("KESTRO"));
            QCOMPARE(s.shown.last().icon, seam::Icon::None);
        }
    }
    QCOMPARE(rows(*db, QStringLiteral("select * from Periodos_H_MM")),
             (QList<QVariantList>{{Eva, 430, 12, "2003-10-10", "2003-10-10"}}));

    // The agent's period dialog: same rules, same title; Cancelar and the
    // close box add nothing.
    QStringList seen;
    s.onDialog(QStringLiteral("frmAgentes_Aduanales"), [&](QDialog& d) {
        press(d, "cmdNuevo");
        press(d, "cmdNuevo");
        press(d, "cmdNuevo");
        seen << QString::number(gridDataRows(in<QTableWidget>(d, "fgAA_Periodos")));
        return d.result();
    });
    s.onDialog(QStringLiteral("frmPeriodo_Agente"),
               periodo(s, QStringLiteral("VERACRUZ, VER."), a.addDays(1), a));
    s.onDialog(QStringLiteral("frmPeriodo_Agente"), [](QDialog& d) {
        press(d, "cmdCancelar");
        return d.result();
    });
    s.onDialog(QStringLiteral("frmPeriodo_Agente"), [](QDialog& d) {
        d.show();
        d.close();
        return d.result();
    });
    s.shown.clear();
    wz.cmd("cmdAANuevo")->click();
    QCOMPARE(seen, QStringList(QStringLiteral("0")));
    QCOMPARE(wz.messages(), QStringList(QStringLiteral("Periodo no valido")));
    QCOMPARE(s.shown.last().title, QStringLiteral("KESTRO"));
}

void TestHistorico::page4Deleting() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), true);
        QVERIFY(!db->exec(QStringLiteral("insert into Historico_AA values ('TRES750505XX1',"
                                         "'TRES750505XX1','LEO','TRES','VEZ')")));
    }
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(wz.window.get()));
    wz.fillPage1(0);
    wz.next();
    wz.next();
    QTableWidget* list = grid(wz, "fgDatosAA");
    // Shown and focused, the page chooses no row by itself.
    QVERIFY(wz.pageShown("frAA21311"));
    QTRY_COMPARE(QApplication::focusWidget(), list);
    QCOMPARE(list->currentRow(), -1);
    QVERIFY(!wz.cmd("cmdAABorrar")->isEnabled());
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(gridDataRows(grid(wz, "fgPeriodosAA")), 1);
    // Enter opens the chosen row in its editor (closed unanswered here).
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(wz.script.dialogsShown.last(), QStringLiteral("frmAgentes_Aduanales"));
    QCOMPARE(list->currentRow(), 0);

    // A click on the agent without CURP shows his periods.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1, 0)).center());
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(gridRow(grid(wz, "fgPeriodosAA"), 0),
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
    QCOMPARE(rows(*db, QStringLiteral("select CURP from Historico_AA order by CURP")),
             (QList<QVariantList>{{Hist}, {"TRES750505XX1"}}));
    QCOMPARE(rows(*db, QStringLiteral("select CURP from Periodos_H_AA")),
             (QList<QVariantList>{{Hist}}));
    QCOMPARE(gridDataRows(list), 2);
    QVERIFY(wz.cmd("cmdAABorrar")->isEnabled() && wz.cmd("cmdAAEditar")->isEnabled());

    // The first row: Borrar and Editar wait for a new choice.
    list->setCurrentCell(0, 0);
    wz.cmd("cmdAABorrar")->click();
    QCOMPARE(gridDataRows(list), 1);
    QVERIFY(!wz.cmd("cmdAABorrar")->isEnabled() && !wz.cmd("cmdAAEditar")->isEnabled());
    QCOMPARE(
        rows(*db, QStringLiteral("select count(*) from Periodos_H_AA")).first().first().toInt(), 0);

    // The only row: empty lists; the status stays.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0, 0)).center());
    QVERIFY(wz.cmd("cmdAABorrar")->isEnabled());
    wz.cmd("cmdAABorrar")->click();
    QCOMPARE(gridDataRows(list), 0);
    QCOMPARE(gridDataRows(grid(wz, "fgPeriodosAA")), 0);
    QVERIFY(!wz.cmd("cmdAABorrar")->isEnabled() && !wz.cmd("cmdAAEditar")->isEnabled());
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("Con Historico"));
    QCOMPARE(dump(*db, QStringLiteral("select count(*) from Historico_AA")), QStringLiteral("0"));
}

void TestHistorico::noHistoryDeclarations() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), true);
        for (const QString& c : {Luis, Eva})
            QVERIFY(!db->exec(QStringLiteral("insert into Periodos_H_MM values (?,200,3001,"
                                             "'2001-01-01','2002-02-02')"),
                              {c}));
    }
    wz.start();
    seam::Script& s = wz.script;
    auto db = wz.dir.open();
    QStringList sentences;
    const auto answer = [&](const char* button) {
        s.onDialog(QStringLiteral("frmSinHIstorico"), [&sentences, button](QDialog& d) {
            sentences << d.windowTitle() + u':' + in<QLabel>(d, "lblAsustador")->text();
            if (QLatin1String(button) == QLatin1String("close")) {
                d.show();
                d.close();
            } else {
                press(d, button);
            }
            return d.result();
        });
    };
    // Cancelled (button or close box): nothing changes, yet the lists are
    // rebuilt and the periods list emptied.
    const QString before = historyDump(*db);
    grid(wz, "fgDatosAA")->setCurrentCell(0, 0);
    answer("cmdCancelar");
    wz.cmd("cmdSinHistAA")->click();
    grid(wz, "fgMandatarios")->setCurrentCell(0, 0);
    answer("close");
    wz.cmd("cmdSinHistMM")->click();
    QCOMPARE(historyDump(*db), before);
    QCOMPARE(gridDataRows(grid(wz, "fgPeriodosAA")), 0);
    QCOMPARE(gridDataRows(grid(wz, "fgPeriodosMandatario")), 0);
    QCOMPARE(
        sentences,
        (QStringList{"Sin Historico:Por este medio les informo que no he tenido "
                     "representantes, por tal motivo no tengo historico",
                     "Sin Historico:Por este medio les informo que el mandatario no ha "
                     "actuado para ningún Agente Aduanal, por tal motivo no tiene historico"}));

    // One representative: only his periods and flag.
    grid(wz, "fgMandatarios")->setCurrentCell(1, 0);
    answer("cmdAceptar");
    wz.cmd("cmdSinHistMM")->click();
    QCOMPARE(rows(*db, QStringLiteral("select CURP from Periodos_H_MM")),
             (QList<QVariantList>{{Luis}}));
    QCOMPARE(dump(*db, QStringLiteral("select SinHistorico from Mandatarios order by CURP")),
             QStringLiteral("NULL\n1"));
    QCOMPARE(gridCell(grid(wz, "fgMandatarios"), 1, 4), QStringLiteral("NO"));

    // The agent: every earlier representative and period goes.
    answer("cmdAceptar");
    wz.cmd("cmdSinHistAA")->click();
    QCOMPARE(dump(*db, QStringLiteral("select count(*) from Historico_AA")), QStringLiteral("0"));
    QCOMPARE(
        rows(*db, QStringLiteral("select count(*) from Periodos_H_AA")).first().first().toInt(), 0);
    QCOMPARE(dump(*db, QStringLiteral("select SinHistorico from AA")), QStringLiteral("1"));
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("Sin Historico"));
    QCOMPARE(gridDataRows(grid(wz, "fgDatosAA")), 0);
}

void TestHistorico::page5Periods() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), false);
        // Three periods of Luis, one in an office the catalogue lacks.
        for (auto [office, patent] : {std::pair{200, 3001}, {9999, 3002}, {430, 3003}, {160, 3004}})
            QVERIFY(!db->exec(QStringLiteral("insert into Periodos_H_MM values (?,?,?,"
                                             "'2001-01-01','2002-02-02')"),
                              {Luis, office, patent}));
        QVERIFY(!db->exec(QStringLiteral("update Mandatarios set SinHistorico=0 where CURP=?"),
                          {Luis}));
    }
    wz.start();
    seam::Script& s = wz.script;
    QTableWidget* reps = grid(wz, "fgMandatarios");
    QTableWidget* periods = grid(wz, "fgPeriodosMandatario");
    QVERIFY(!wz.cmd("cmdMandNuevo")->isEnabled());
    reps->setCurrentCell(0, 0);
    QVERIFY(wz.cmd("cmdMandNuevo")->isEnabled());
    QCOMPARE(gridDataRows(periods), 3);
    QCOMPARE(gridRow(periods, 0),
             (QStringList{"3001", "200", "MEXICO, D.F.", "01/01/2001", "02/02/2002"}));
    QVERIFY(!wz.cmd("cmdMandBorrar")->isEnabled());

    // The middle one of the three shown goes; the rest stays stored as it was.
    auto db = wz.dir.open();
    periods->setCurrentCell(1, 0);
    QVERIFY(wz.cmd("cmdMandBorrar")->isEnabled());
    wz.cmd("cmdMandBorrar")->click();
    QCOMPARE(s.lastText(), QStringLiteral("¿DESEA BORRAR EL PERIODO DE LABOR SELECCIONADO DEL "
                                          "MANDATARIO\n\nLUIS MORA DIAZ ") +
                               Luis + QStringLiteral(" ?"));
    QCOMPARE(rows(*db, QStringLiteral("select NoAduana,Patente_MM,FechaIni,FechaFin from "
                                      "Periodos_H_MM order by Patente_MM")),
             (QList<QVariantList>{{200, 3001, "2001-01-01", "2002-02-02"},
                                  {9999, 3002, "2001-01-01", "2002-02-02"},
                                  {160, 3004, "2001-01-01", "2002-02-02"}}));
    QCOMPARE(gridDataRows(periods), 2);
    // Nothing chosen: Borrar does nothing.
    wz.cmd("cmdMandBorrar")->click();
    QCOMPARE(
        rows(*db, QStringLiteral("select count(*) from Periodos_H_MM")).first().first().toInt(), 3);

    // A new period for Eva: stored, she becomes "SI", she stays current.
    reps->setCurrentCell(1, 0);
    s.onDialog(QStringLiteral("frmPeriodo_Mandatario"),
               periodo(s, QStringLiteral("VERACRUZ, VER."), QDate(2003, 1, 2), QDate(2004, 3, 4),
                       QStringLiteral("1234")));
    wz.cmd("cmdMandNuevo")->click();
    QCOMPARE(gridCell(reps, 1, 4), QStringLiteral("SI"));
    QCOMPARE(reps->currentRow(), 1);
    QCOMPARE(gridRow(periods, 0),
             (QStringList{"1234", "430", "VERACRUZ, VER.", "02/01/2003", "04/03/2004"}));

    // Her only period deleted: none left, "NO", Borrar disabled.
    periods->setCurrentCell(0, 0);
    wz.cmd("cmdMandBorrar")->click();
    QCOMPARE(dump(*db, QStringLiteral("select SinHistorico from Mandatarios where CURP=?"), {Eva}),
             QStringLiteral("1"));
    QCOMPARE(gridCell(reps, 1, 4), QStringLiteral("NO"));
    QCOMPARE(reps->currentRow(), 1);
    QCOMPARE(gridDataRows(periods), 0);
    QVERIFY(!wz.cmd("cmdMandBorrar")->isEnabled());
}

void TestHistorico::failureHalfWayChangesNothing() {
    struct Case {
        const char* name;
        const char* trigger; // fails the action's later statement
        std::function<void(Wizard&)> act;
    };
    const QDate a(2003, 10, 10);
    const auto editAgent = [](Wizard& wz) {
        grid(wz, "fgDatosAA")->setCurrentCell(0, 0);
        wz.script.onDialog(QStringLiteral("frmAgentes_Aduanales"), [](QDialog& d) {
            press(d, "cmdAceptar");
            return d.result();
        });
        wz.cmd("cmdAAEditar")->click();
    };
    const QList<Case> cases{
        {"editor", "before insert on Periodos_H_AA", editAgent},
        {"editor flag", "before update on AA", editAgent},
        {"page 4 Borrar", "before delete on Historico_AA",
         [](Wizard& wz) {
             grid(wz, "fgDatosAA")->setCurrentCell(0, 0);
             wz.cmd("cmdAABorrar")->click();
         }},
        {"period dialog", "before update on Mandatarios",
         [a](Wizard& wz) {
             grid(wz, "fgMandatarios")->setCurrentCell(0, 0);
             wz.script.onDialog(
                 QStringLiteral("frmPeriodo_Mandatario"),
                 periodo(wz.script, QStringLiteral("VERACRUZ, VER."), a, a, QStringLiteral("1")));
             wz.cmd("cmdMandNuevo")->click();
         }},
        {"page 5 Borrar", "before update on Mandatarios",
         [](Wizard& wz) {
             grid(wz, "fgMandatarios")->setCurrentCell(0, 0);
             grid(wz, "fgPeriodosMandatario")->setCurrentCell(0, 0);
             wz.cmd("cmdMandBorrar")->click();
         }},
        {"no history AA", "before delete on Historico_AA",
         [](Wizard& wz) {
             wz.script.onDialog(QStringLiteral("frmSinHIstorico"), [](QDialog& d) {
                 press(d, "cmdAceptar");
                 return d.result();
             });
             wz.cmd("cmdSinHistAA")->click();
         }},
        {"no history MM", "before delete on Periodos_H_MM",
         [](Wizard& wz) {
             grid(wz, "fgMandatarios")->setCurrentCell(0, 0);
             wz.script.onDialog(QStringLiteral("frmSinHIstorico"), [](QDialog& d) {
                 press(d, "cmdAceptar");
                 return d.result();
             });
             wz.cmd("cmdSinHistMM")->click();
         }},
    };
    for (const Case& c : cases) {
        Wizard wz;
        {
            auto db = wz.dir.open();
            storeScene(*db, wz.dir.path(), true);
            QVERIFY(!db->exec(QStringLiteral("insert into Periodos_H_MM values (?,200,3001,"
                                             "'2001-01-01','2002-02-02')"),
                              {Luis}));
        }
        wz.start();
        auto db = wz.dir.open();
        QVERIFY(!db->exec(QStringLiteral("create trigger falla %1 begin "
                                         "select raise(abort,'falla simulada'); end")
                              .arg(QLatin1String(c.trigger))));
        const QString before = historyDump(*db);
        wz.script.shown.clear();
        c.act(wz);
        QVERIFY2(wz.script.lastText().endsWith(QStringLiteral(" falla simulada")), c.name);
        QCOMPARE(wz.script.shown.last().title, QStringLiteral("Mensaje"));
        QVERIFY2(historyDump(*db) == before, c.name);
    }
}

void TestHistorico::wholeWizardToSignedFile() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeScene(*db, wz.dir.path(), false);
    }
    wz.start();
    seam::Script& s = wz.script;
    wz.fillPage1(0);
    wz.next();
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
    wz.next(); // undefined history: stays
    QVERIFY(wz.pageShown("frAA21311"));

    // One earlier representative with two periods.
    s.onDialog(QStringLiteral("frmAgentes_Aduanales"), [](QDialog& d) {
        for (auto [f, v] : {std::pair{"txtNombre", "FELIPE"},
                            {"txtApPaterno", "HARO"},
                            {"txtApMaterno", "RUIZ"},
                            {"txtRFC", "HIRF700101AB1"}})
            set(d, f, QLatin1String(v));
        set(d, "txtCURP", Hist);
        press(d, "cmdNuevo");
        press(d, "cmdNuevo");
        press(d, "cmdAceptar");
        return d.result();
    });
    s.onDialog(QStringLiteral("frmPeriodo_Agente"),
               periodo(s, QStringLiteral("MEXICO, D.F."), QDate(1999, 1, 2), QDate(2000, 3, 4)));
    s.onDialog(QStringLiteral("frmPeriodo_Agente"),
               periodo(s, QStringLiteral("VERACRUZ, VER."), QDate(2000, 5, 6), QDate(2001, 7, 8)));
    wz.cmd("cmdAANuevo")->click();
    wz.next();
    QVERIFY(wz.pageShown("frMandatarios"));
    wz.next(); // both representatives undefined
    QVERIFY(wz.pageShown("frMandatarios"));

    // Luis without history, Eva with two periods.
    grid(wz, "fgMandatarios")->setCurrentCell(0, 0);
    s.onDialog(QStringLiteral("frmSinHIstorico"), [](QDialog& d) {
        press(d, "cmdAceptar");
        return d.result();
    });
    wz.cmd("cmdSinHistMM")->click();
    grid(wz, "fgMandatarios")->setCurrentCell(1, 0);
    for (auto [patent, office] : {std::pair{"1234", "VERACRUZ, VER."}, {"56", "MEXICO, D.F."}})
        s.onDialog(QStringLiteral("frmPeriodo_Mandatario"),
                   periodo(s, QLatin1String(office), QDate(2002, 1, 1), QDate(2002, 12, 31),
                           QLatin1String(patent)));
    wz.cmd("cmdMandNuevo")->click();
    wz.cmd("cmdMandNuevo")->click();

    // Finaliza with the agent's key.
    const LlavePrueba key(true);
    const QString keyFile = QDir(wz.dir.path()).filePath(QStringLiteral("PELJ700101AB1.key"));
    escribeArchivo(keyFile, key.privadaCifrada("secreta", false));
    s.onDialog(QStringLiteral("frmKey"), [&s, keyFile](QDialog& d) {
        s.chooseFile(keyFile);
        press(d, "cmdBuscar");
        set(d, "txtPassword", QStringLiteral("secreta"));
        press(d, "cmdAceptar");
        return d.result();
    });
    wz.next();
    QVERIFY2(!wz.cmd("cmdSiguiente")->isEnabled(), qPrintable(s.lastText()));
    const QByteArray file =
        readWholeFile(QDir(wz.dir.path()).filePath(QStringLiteral("ENVIO/3001.txt")));
    const QByteArray history = file.sliced(file.indexOf("Historico_AA|"));
    QCOMPARE(history.first(history.indexOf("800|")),
             "Historico_AA|3001|HIRF700101AB1|" + Hist.toLatin1() +
                 "|FELIPE|HARO|RUIZ\r\n"
                 "Periodos_H_AA|3001|" +
                 Hist.toLatin1() +
                 "|200|1999-01-02|2000-03-04\r\n"
                 "Periodos_H_AA|3001|" +
                 Hist.toLatin1() +
                 "|430|2000-05-06|2001-07-08\r\n"
                 "Periodos_H_MM|3001|" +
                 Eva.toLatin1() +
                 "|430|1234|2002-01-01|2002-12-31\r\n"
                 "Periodos_H_MM|3001|" +
                 Eva.toLatin1() + "|200|56|2002-01-01|2002-12-31\r\n");
}

QTEST_MAIN(TestHistorico)
#include "tst_historico.moc"
