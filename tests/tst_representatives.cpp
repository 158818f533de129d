// Page 3 and the representative editor, driven by control names through the
// seam: the editor's checks and dialogs, the rows it writes, what the page shows.
#include "entry/Grid.h"
#include "support/WizardDriver.h"

using namespace Qt::StringLiterals;

namespace {

// clang-format off
const Person rosa{"ROSA", "GARCIA", "MARTINEZ", "GAMR800202MDFRRS01", "GAMR800202XY2", 1,
                  "C:\\DOCS\\gamr800202xy2.req"};
// clang-format on
const QString luisCurp = u"MODL750505HDFRZS02"_s;

// His rows in every table keyed by CURP, without the CURP, sorted per table.
QStringList owned(Database& db, const QString& curp) {
    QStringList out;
    for (const char* t :
         {"Mandatarios", "Domicilios_MM", "Aduanas_MM", "Pedimentos_MM", "Periodos_H_MM"}) {
        QStringList table =
            dump(db, u"select * from %1 where CURP=?"_s.arg(QLatin1String(t)), {curp})
                .split(u'\n', Qt::SkipEmptyParts);
        for (QString& row : table)
            row = QLatin1String(t) + u':' + row.mid(curp.size() + 1).replace(u"NULL"_s, QString());
        table.sort();
        out << table;
    }
    return out;
}

} // namespace

class TestRepresentatives : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editorChecksOfficesAndDeclarations();
    void pageShowsEditsAndDeletesTheChosenOne();
    void typeThreeKeepsHisType();
};

// The editor's checks in order, each with its message and focus; then, for
// the earlier kind, what the office and declaration dialogs refuse, the list
// buttons, and an office deleted with its own declarations only.
void TestRepresentatives::editorChecksOfficesAndDeclarations() {
    Wizard wz;
    auto db = wz.dir.open();
    storeAgent(*db);
    runScene(*db, u"luis.sql"_s, wz.dir.path()); // with his addresses and a history period
    wz.start();
    const QString before = dumpAll(*db);
    seam::Script& s = wz.script;
    wz.withDialog("frmApoderado", "cmdNuevo", [&](QDialog& d) {
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        walkChecks(
            d, s, [&] { press(d, u"cmdAceptar"_s); },
            {{"txtNombre", "   ", "Nombre no puede estar vacio", rosa.name},
             {"txtApPaterno", "", "Ap. Paterno no puede estar vacio", rosa.paternal},
             {"txtApMaterno", "", "Ap. Materno no puede estar vacio", rosa.maternal},
             {"txtCURP", "", "CURP no valido", luisCurp},
             {"txtRFC", "", "RFC no valido", rosa.rfc},
             {"txtCalle", "", "Calle no puede estar vacio", "", [&] { fillAddress(d, ""); }},
             {"txtFiscalCalle", "", "Calle no puede estar vacio", "",
              [&] { fillAddress(d, u"Fiscal"_s); }},
             {"cmbMandato", "", "Tipo de Mandato no puede estar vacio", "",
              [&] { named<QComboBox>(d, u"cmbMandato"_s)->setCurrentIndex(0); }},
             {"cmdBuscar", "", "El Requerimiento Electrónico no puede estar vacio", "",
              [&] {
                  s.chooseFile(u"C:\\GAMR800202XY2.REQ\\COPIA_GAMR800202XY2.REQ"_s);
                  press(d, u"cmdBuscar"_s);
              }},
             // Cancelling the file dialog keeps the path; the file's own
             // name counts, in any case.
             {"cmdBuscar", "", "El Requerimiento Electrónico se debe llamar igual al RFC", "",
              [&] {
                  press(d, u"cmdBuscar"_s);
                  s.chooseFile(rosa.requirement);
                  press(d, u"cmdBuscar"_s);
              }},
             {"cmdNuevaAduana", "", "Debe existir almenos una Aduana donde ha actuado", "",
              [&] {
                  answerDialog(s, "frmAduanaAct", {{"cmbAduana", "MEXICO, D.F."}}, {"cmdAceptar"});
                  press(d, u"cmdNuevaAduana"_s);
              }},
             {"optSi", "", "Debe elegir si el Manandatario o Representante se encuentra Operando",
              "",
              [&] {
                  QVERIFY(d.frameGeometry().height() <= 728); // type 1, the tallest
                  named<QRadioButton>(d, u"optNo"_s)->setChecked(true);
                  named<QComboBox>(d, u"cmbMandato"_s)->setCurrentIndex(1);
              }},
             {"optNTCL", "", "Debe elegir el tipo de acreditación", "",
              [&] { named<QRadioButton>(d, u"optExamen"_s)->setChecked(true); }},
             {"", "", "YA EXISTE EL MANDATARIO EN LA BASE DE DATOS.", "",
              [&] { setValue(d, u"txtCURP"_s, rosa.curp); }}});
        QCOMPARE(s.shown.last().title + dumpAll(*db), u"Mensaje"_s + before); // nothing written
        press(d, u"cmdAceptar"_s);
    });
    // Stored with both addresses; a 2.13.11 one brings in the history pages,
    // and the page shows him at once, chosen, with his details.
    const QString address = u"Domicilios_MM:09|15|REFORMA|10||CENTRO|06000|555 12 34|555 12 35|"_s;
    QCOMPARE(
        owned(*db, rosa.curp) + gridRow(wz.grid("fgAA"), 1),
        (QStringList{u"Mandatarios:GAMR800202XY2|ROSA|GARCIA|MARTINEZ|2|"_s + rosa.requirement +
                         u"|2|0|"_s,
                     address + u'1', address + u'2', rosa.name, rosa.paternal, rosa.maternal,
                     rosa.rfc, rosa.curp, u"Conforme 2.13.11 (Posterior 01/01/2001)"_s, u"No"_s}));
    QCOMPARE(wz.showing({"frAcreditacion", "fgMandatarios", "cmdSiguiente"}) +
                 wz.cmd("cmdSiguiente")->text() + QString::number(wz.grid("fgAA")->currentRow()),
             u"1|2|1&Siguiente >1"_s);

    wz.withDialog("frmApoderado", "cmdEditar", [&](QDialog& d) {
        named<QComboBox>(d, u"cmbMandato"_s)->setCurrentIndex(0);
        const QStringList buttons{"cmdBorrarAduana", "cmdBorrarPed", "cmdNuevoPed"};
        QCOMPARE(showing(d, buttons), u"0|0|0"_s);
        const QString ver = u"VERACRUZ, VER."_s, mex = u"MEXICO, D.F."_s;
        // Offices, then declarations (a date of "" keeps the one it opens on).
        for (const auto& [button, office, number, date, refusal] : QList<std::array<QString, 5>>{
                 {"cmdNuevaAduana", "", "", "", "Aduana no puede estar vacio"},
                 {"cmdNuevaAduana", mex, "", "", ""},
                 {"cmdNuevaAduana", mex, "", "",
                  "Ya existe la aduana en la lista de aduanas que actuo"},
                 {"cmdNuevaAduana", ver, "", "", ""},
                 {"cmdNuevoPed", "MANZANILLO, COL.", "1", "01/01/2000",
                  "No existe la aduana del pedimento en la lista de aduanas que actuo"},
                 {"cmdNuevoPed", ver, "", "01/01/2000", "Pedimento no puede estar vacio"},
                 {"cmdNuevoPed", ver, "12A", "01/01/2000", "El Pedimento debe ser numérico"},
                 {"cmdNuevoPed", ver, "1", "01/01/2001",
                  "La Fecha debe ser anterior al 1 de Enero de 2001"},
                 {"cmdNuevoPed", mex, "1", "", ""},
                 {"cmdNuevoPed", ver, "2", "16/06/2000", ""},
                 {"cmdNuevoPed", mex, "3", "17/06/2000", ""}}) {
            s.shown.clear();
            if (button == u"cmdNuevaAduana"_s)
                answerDialog(s, "frmAduanaAct", {{"cmbAduana", office}}, {"cmdAceptar"});
            else
                answerDialog(s, "frmPedTramitados",
                             {{"cmbAduana", office}, {"txtPedimento", number}, {"dtpFPed", date}},
                             {"cmdAceptar"});
            press(d, button);
            QCOMPARE(s.lastText(), refusal);
        }
        auto* declarations = named<QTableWidget>(d, u"fgPedTramitados"_s);
        QCOMPARE(gridRow(named<QTableWidget>(d, u"fgAduanasAct"_s), 0) + gridRow(declarations, 0),
                 (QStringList{u" 200"_s, mex, u" 200"_s, mex, u"1"_s, u"31/12/2000"_s}));
        named<QTableWidget>(d, u"fgAduanasAct"_s)->setCurrentCell(0, 0);
        s.answer(seam::Answer::Cancel);
        press(d, u"cmdBorrarAduana"_s);
        QCOMPARE(s.lastText(),
                 u"¿DESEA BORRAR LA ADUANA SELECCIONADA Y LOS PEDIMENTOS RELACIONADOS?"_s);
        QCOMPARE(s.shown.last().onEnter, seam::Answer::Cancel); // Enter keeps them
        QCOMPARE(showing(d, buttons + QStringList{"fgAduanasAct", "fgPedTramitados"}),
                 u"1|0|1|2|3"_s); // kept
        press(d, u"cmdBorrarAduana"_s);
        declarations->setCurrentCell(0, 0);
        QCOMPARE(showing(d, buttons + QStringList{"fgAduanasAct", "fgPedTramitados"}),
                 u"1|1|1|1|1"_s);
        press(d, u"cmdAceptar"_s);
    });
    QCOMPARE(owned(*db, rosa.curp).mid(3),
             (QStringList{u"Aduanas_MM:430"_s, u"Pedimentos_MM:430|2|2000-06-16"_s}));
}

// The tooltip of the first cell when the first column is this wide.
static QString cellTip(QTableWidget* grid, int width) {
    grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    grid->setColumnWidth(0, width);
    const QPoint at = grid->visualRect(grid->model()->index(0, 0)).center();
    QHelpEvent hover(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &hover);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// Page 3 from the keyboard; only the chosen one's details, read again on a
// click, and after a deletion nobody's. A new CURP takes everything of his
// along (his history flag too); type 1 to 2 drops offices and declarations.
void TestRepresentatives::pageShowsEditsAndDeletesTheChosenOne() {
    Wizard wz;
    auto db = wz.dir.open();
    storeAgent(*db);
    for (const char* p : {"rosa.sql", "luis.sql"}) // Rosa, of type 1, with two offices
        runScene(*db, QLatin1String(p), wz.dir.path());
    storeMandatario(*db, "('C3','R3','EVA','PAZ','GIL',null,'',null,2,null)", {1});
    const QString fax = u"(01 55) 5512-3457 ext 790"_s;
    must(*db, u"update Domicilios_MM set Fax=? where CURP=?"_s, {fax, rosa.curp});
    must(*db, u"update Domicilios_MM set Calle=Calle||' '||Tipo_Dom"_s); // each block its own
    wz.start();
    wz.show();
    wz.fillPage1(0);
    wz.txt("txtPatente")->setFocus();
    // Forward and back from the keyboard, without reaching the buttons.
    for (const auto& [key, modifier, page] :
         {std::tuple{Qt::Key_Right, Qt::AltModifier, "frApoderado"},
          {Qt::Key_Left, Qt::AltModifier, "frAA"},
          {Qt::Key_Return, Qt::ControlModifier, "frApoderado"}}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifier);
        QVERIFY(wz.pageShown(page));
    }
    // The list takes the keyboard; Enter opens Editar once a row is chosen.
    auto* fgAA = wz.grid("fgAA");
    const QStringList details{"cmdEditar",      "cmdBorrar",   "lblTipoMandato",
                              "frAcreditacion", "txtApRCalle", "txtFiscalApRCalle"};
    QCOMPARE(QApplication::focusWidget(), fgAA);
    QCOMPARE(wz.showing(details) + QString::number(fgAA->currentRow()), u"0|0||0||-1"_s);
    QTest::keyClick(fgAA, Qt::Key_Return);
    QTest::keyClick(fgAA, Qt::Key_Down);
    QTest::keyClick(fgAA, Qt::Key_Enter, Qt::KeypadModifier);
    // Enter did not reach the wizard's buttons.
    QVERIFY(wz.script.dialogsShown.count(u"frmApoderado"_s) == 1 && wz.pageShown("frApoderado"));
    QCOMPARE(wz.showing(details + QStringList{"txtRequerimiento", "txtApRFax", "cmbApREntFed"}),
             u"1|1|Anterior 01/01/2001|0|CALLE 1|CALLE 2|"_s + rosa.requirement + u'|' + fax +
                 u"|Ciudad de México"_s);
    // Shown, not typed: nothing may be cut where it cannot be scrolled, nor
    // taken for a field to fill.
    QLineEdit* faxField = wz.txt("txtApRFax");
    QVERIFY(faxField->fontMetrics().horizontalAdvance(fax) <= faxField->width() - 12 &&
            wz.w("lblTipoMandato")->isVisible());
    QTRY_VERIFY(showsWhole(fgAA, {3, 4, 5, 6})); // the type of 2.13.11 is the longest
    QVERIFY(!faxField->isEnabled() && !wz.cmb("cmbApRMDeleg")->isEnabled() &&
            !wz.cmb("cmbApREntFed")->isEnabled() && !wz.txt("txtRequerimiento")->isEnabled());
    auto* declarations = wz.grid("fgPedTramitados");
    QCOMPARE(gridRow(wz.grid("fgAduanasAct"), 0) + gridRow(declarations, 0),
             (QStringList{u"MEXICO, D.F."_s, u"MEXICO, D.F."_s, u"7001"_s, u"04/03/2000"_s}));
    QCOMPARE(cellTip(declarations, 3380 / 15), QString()); // a tip only when cut
    QCOMPARE(cellTip(declarations, 30), u"MEXICO, D.F."_s);

    QTest::keyClick(fgAA, Qt::Key_Down);
    must(*db, u"update Domicilios_MM set Calle='NUEVA' where CURP=?"_s, {luisCurp});
    QTest::mouseClick(fgAA->viewport(), Qt::LeftButton, {},
                      fgAA->visualRect(fgAA->currentIndex()).center());
    QCOMPARE(wz.showing({"txtFiscalApRCalle", "frAduanasAct", "frAcreditacion", "optExCon"}),
             u"NUEVA|0|1|1"_s); // a click reads him again
    // No type: the addresses change (none fiscal), the rest stays as it was.
    QTest::keyClick(fgAA, Qt::Key_Down);
    QCOMPARE(gridRow(fgAA, 2).mid(5), (QStringList{QString(), u"No Definido"_s}));
    QCOMPARE(wz.showing(details + QStringList{"cmbFiscalApREntFed", "cmbFiscalApRCveEntFed"}),
             u"1|1|Conforme 2.13.11 (Posterior 01/01/2001)|1|CALLE 1|||"_s);

    const QString rosa2 = u"GAMR800202MDFRRS02"_s;
    const auto edit = [&](int row, const std::function<void(QDialog&)>& change) {
        fgAA->setCurrentCell(row, 0);
        wz.withDialog("frmApoderado", "cmdEditar", [&](QDialog& d) {
            change(d);
            press(d, u"cmdAceptar"_s);
        });
    };
    edit(1, [&](QDialog& d) {
        QCOMPARE(showing(d, {"txtCURP", "optExamen"}), luisCurp + u"|1"_s);
    });
    edit(0, [&](QDialog& d) {
        QCOMPARE(gridRow(named<QTableWidget>(d, u"fgPedTramitados"_s), 0),
                 (QStringList{u" 200"_s, u"MEXICO, D.F."_s, u"7001"_s, u"04/03/2000"_s}));
        setValue(d, u"txtCURP"_s, rosa2);
    });
    // Edited, she keeps her place in the list: the order of first entry.
    QCOMPARE(gridCell(fgAA, 0, 4) + QString::number(fgAA->currentRow()), rosa2 + u'0');
    const QStringList moved = owned(*db, rosa2);
    QCOMPARE(QList({owned(*db, rosa.curp).size(), moved.size(),
                    moved.filter(u"Periodos_H_MM"_s).size()}),
             QList<qsizetype>({0, 8, 1}));
    QVERIFY(moved.first().endsWith(u"|0"_s));  // and he still has a history
    edit(fgAA->currentRow(), [&](QDialog& d) { // the edited one stays chosen
        named<QComboBox>(d, u"cmbMandato"_s)->setCurrentIndex(1);
        named<QRadioButton>(d, u"optNTCL"_s)->setChecked(true);
        wz.script.answer(seam::Answer::Cancel); // asked first; kept open, nothing stored
        press(d, u"cmdAceptar"_s);
        QCOMPARE(wz.script.lastText() + QString::number(d.result()) +
                     QString::number(owned(*db, rosa2).size()),
                 u"Con este tipo de mandato se borrarán 2 aduanas ante las que ha actuado y 2 "
                 "pedimentos tramitados con anterioridad al 1 de Enero de 2001. ¿Desea "
                 "continuar?08"_s);
        QCOMPARE(wz.script.shown.last().onEnter, seam::Answer::Cancel);
    });
    QCOMPARE(gridCell(fgAA, fgAA->currentRow(), 5) + QString::number(owned(*db, rosa2).size()),
             u"Conforme 2.13.11 (Posterior 01/01/2001)4"_s);

    wz.script.answer(seam::Answer::Cancel);
    wz.cmd("cmdBorrar")->click();
    QCOMPARE(wz.script.lastText() + QString::number(fgAA->rowCount()),
             u"¿DESEA BORRAR EL MANDATARIO\n\nROSA GARCIA MARTINEZ "_s + rosa2 + u" ?3"_s);
    QCOMPARE(wz.script.shown.last().onEnter, seam::Answer::Cancel);
    wz.cmd("cmdBorrar")->click(); // her history period goes too
    QCOMPARE(QList({owned(*db, rosa2).size(), owned(*db, luisCurp).size()}),
             QList<qsizetype>({0, 4}));
    QCOMPARE(wz.showing(QStringList{"fgAA", "fgMandatarios"} + details), u"2|2|0|0||0||"_s);
}

// Type 3 comes only with an earlier database: the editor shows it for him
// and takes his requirement file without a change of type (his own
// accreditation kept); a new representative is offered types 1 and 2 only.
void TestRepresentatives::typeThreeKeepsHisType() {
    Wizard wz;
    auto db = wz.dir.open();
    storeAgent(*db);
    storeMandatario(
        *db, u"('%1','%2','ROSA','GARCIA','MARTINEZ',3,'',5,1,null)"_s.arg(rosa.curp, rosa.rfc));
    const QString req = QDir::toNativeSeparators(wz.dir.path() + u"/GAMR800202XY2.req"_s);
    wz.start();
    wz.withDialog("frmApoderado", "cmdNuevo", [&](QDialog& d) {
        QCOMPARE(named<QComboBox>(d, u"cmbMandato"_s)->count(), 2);
        press(d, u"cmdCancelar"_s);
    });
    wz.pick("fgAA", 0);
    wz.withDialog("frmApoderado", "cmdEditar", [&](QDialog& d) {
        QCOMPARE(showing(d, {"cmbMandato", "frAduanasAct", "frAcreditacion", "cmdBuscar"}),
                 u"Con autorización de operar al 15/01/2004|0|0|1"_s);
        wz.script.chooseFile(req);
        press(d, u"cmdBuscar"_s);
        press(d, u"cmdBuscar"_s); // cancelled: opened beside the file, which stays
        QCOMPARE(wz.script.fileFolders, QStringList({seam::startFolder(), wz.dir.path()}));
        press(d, u"cmdAceptar"_s);
    });
    QCOMPARE(dump(*db, u"select Mandato, Requerimiento, Acreditacion from Mandatarios"_s),
             u"3|"_s + req + u"|5"_s);
}

QTEST_MAIN(TestRepresentatives)
#include "tst_representatives.moc"
