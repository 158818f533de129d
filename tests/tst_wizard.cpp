// The main window driven as a person would: by control names, through the
// message seam.
#include "entry/Grid.h"
#include "entry/Seam.h"
#include "support/WizardDriver.h"
#include "wizard/frmMain.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

class TestWizard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsOnPage1WithCataloguesAndNoAgent();
    void page1ChecksInOrderWithFocus();
    void page2ChecksOnlyTheOfficesInUse();
    void savingStoresRowsForEachOfficeCount_data();
    void savingStoresRowsForEachOfficeCount();
    void reSavingPage1KeepsDeclaredOffices();
    void failedSaveLeavesDatabaseUnchanged();
    void namesWithApostrophesSurviveARestart();
    void patentHasOneTextEverywhere();
    void lockedDatabaseIsToldAtStart();
    void loadingOddStoredRows();
    void addressListsFollowAndStateClearsMunicipality();
    void representativesCompletenessMessages();
    void historyPagesGuardLeaving();
    void wizardEndsOnTheRightPage();
    void representativeDetailsFollowTheChosenRow();
    void previousVersionIsTakenOverAtStart();
    void exitAsksUntilTheFileExists();
    void oldFileIsUpgradedOnStart();
    void keyboardDrivesTheWizardAndTheLists();
    void listsShowIdentifiersAndOfficesWhole();
};

void TestWizard::startsOnPage1WithCataloguesAndNoAgent() {
    Wizard wz;
    wz.start();
    QCOMPARE(wz.script.dialogsShown.value(0), QStringLiteral("frmInicio"));
    // No previous version to take over, then nothing stored to show.
    QCOMPARE(
        wz.messages(),
        (QStringList{QStringLiteral("No hay una versión anterior de KESTRO en su computadora"),
                     QStringLiteral("No se encontó información de la vesión anterior de KESTRO")}));
    QCOMPARE(wz.script.shown[1].icon, seam::Icon::Exclamation);
    // Both come before the window is placed: centred on the screen instead.
    QCOMPARE(wz.script.shown[0].parent, nullptr);
    QCOMPARE(wz.script.shown[1].parent, nullptr);
    QCOMPARE(wz.window->windowTitle(), QStringLiteral("KESTRO 3.5"));
    QVERIFY(wz.pageShown("frAA"));
    for (const char* f : {"frDirValidAA", "frApoderado", "frAA21311", "frMandatarios"})
        QVERIFY2(!wz.pageShown(f), f);
    QVERIFY(!wz.cmd("cmdAtras")->isEnabled());
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Siguiente >"));
    QCOMPARE(wz.cmb("cmbAAAduanaA")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbAANoAduanaA")->count(), wz.cmb("cmbAAAduanaA")->count());
    QVERIFY(wz.cmb("cmbAANoAduanaA")->isHidden());
    // Offices are ordered by name and their keys carry the leading blank.
    QCOMPARE(wz.cmb("cmbAAAduanaA")->itemText(0), QStringLiteral("ACAPULCO, GRO."));
    QCOMPARE(wz.cmb("cmbAANoAduanaA")->itemText(0), QStringLiteral(" 10"));
    for (const char* s : {"cmbFiscalEntFed", "cmbOirREntFed", "cmbV0EntFed", "cmbV1EntFed",
                          "cmbV2EntFed", "cmbV3EntFed", "cmbApREntFed", "cmbFiscalApREntFed"})
        QVERIFY2(wz.cmb(s)->count() > 0, s);
    QVERIFY(wz.cmb("cmbV0cveEntFed")->isHidden());
    QCOMPARE(wz.cmb("cmbFiscalMDeleg")->count(), 0);
    // The irregular spellings of the display block exist.
    for (const char* n : {"txtFiscalAprNoInt", "txtFiscalAprCP", "txtFiscalAprFax"})
        QVERIFY(!wz.txt(n)->isEnabled());
    for (auto* g : {wz.w<QTableWidget>("fgAA"), wz.w<QTableWidget>("fgDatosAA")})
        QCOMPARE(g->rowCount(), 0);
    QCOMPARE(wz.w<QTableWidget>("fgAA")->columnCount(), 7);
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("No Definido"));

    // The questions dialog opens modally and changes nothing.
    wz.script.onDialog(QStringLiteral("frmDudas"), [](QDialog& d) {
        const auto* phone = d.findChild<QLabel*>(QStringLiteral("Label3"));
        if (d.windowTitle() != QStringLiteral("Dudas o competarios") || !phone ||
            !phone->text().startsWith(QStringLiteral("Telefono: ")))
            return int(QDialog::Rejected);
        d.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        return d.result();
    });
    wz.cmd("cmdDudas")->click();
    QCOMPARE(wz.script.dialogsShown.last(), QStringLiteral("frmDudas"));
    QVERIFY(wz.script.dialogs.value(QStringLiteral("frmDudas")).empty());
    QVERIFY(wz.pageShown("frAA"));
}

void TestWizard::page1ChecksInOrderWithFocus() {
    Wizard wz;
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(wz.window.get()));
    wz.script.shown.clear();

    // Typed letters arrive as capitals.
    QTest::keyClicks(wz.txt("txtAANombre"), QStringLiteral("jos"));
    QTest::sendKeyEvent(QTest::Click, wz.txt("txtAANombre"), Qt::Key_unknown, QStringLiteral("é"),
                        Qt::NoModifier);
    QCOMPARE(wz.txt("txtAANombre")->text(), QStringLiteral("JOSÉ"));

    struct Step {
        const char* field;
        QString bad;
        QString good;
        QString message;
    };
    const QList<Step> steps{
        {"txtPatente", QStringLiteral("4001"), QStringLiteral("3001"),
         QStringLiteral("No de Patente invalido")},
        {"txtAANombre", QStringLiteral("   "), QStringLiteral("JUAN"),
         QStringLiteral("El Nombre no puede estar vacio")},
        {"txtAAApPat", QString(), QStringLiteral("PEREZ"),
         QStringLiteral("El Ap.Paterno no puede estar vacio")},
        {"txtAAApMat", QString(), QStringLiteral("LOPEZ"),
         QStringLiteral("El Ap.Materno no puede estar vacio")},
        {"txtAACURP", QStringLiteral("PELJ700101XDFRPN09"), QStringLiteral("PELJ700101HDFRPN09"),
         QStringLiteral("Formato de CURP incorrecto")},
        {"txtAARFC", QStringLiteral("PELJ701301AB1"), QStringLiteral("PELJ700101AB1"),
         QStringLiteral("Formato de RFC incorrecto")},
    };
    for (const Step& s : steps) {
        wz.txt(s.field)->setText(s.bad);
        wz.next();
        QCOMPARE(wz.script.lastText(), s.message);
        QCOMPARE(QApplication::focusWidget(), wz.txt(s.field));
        wz.txt(s.field)->setText(s.good);
    }
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Indique la Aduana de Adscripción"));
    QCOMPARE(QApplication::focusWidget(), wz.cmb("cmbAAAduanaA"));
    wz.choose("cmbAAAduanaA", QStringLiteral("MEXICO, D.F."));
    for (const auto& [value, message] : QList<std::pair<QString, QString>>{
             {QString(), QStringLiteral("Numero de aduanas adicionales no puede estar vacio")},
             {QStringLiteral("X"),
              QStringLiteral("Formato de Numero de aduanas adicionales es invalido")},
             {QStringLiteral("4"), QStringLiteral("Número de aduanas adicionales es invalido")}}) {
        wz.txt("txtNoAduanasAut")->setText(value);
        wz.next();
        QCOMPARE(wz.script.lastText(), message);
        QCOMPARE(QApplication::focusWidget(), wz.txt("txtNoAduanasAut"));
    }
    wz.txt("txtNoAduanasAut")->setText(QStringLiteral("0"));
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Calle no puede estar vacio"));
    QCOMPARE(QApplication::focusWidget(), wz.txt("txtFiscalCalle"));

    // The address check, field by field, on the notification address.
    wz.fillAddress(QStringLiteral("Fiscal"));
    wz.fillAddress(QStringLiteral("OirR"));
    wz.txt("txtOirRCP")->setText(QStringLiteral("0600"));
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Formato de C.P. invalido"));
    QCOMPARE(QApplication::focusWidget(), wz.txt("txtOirRCP"));
    wz.txt("txtOirRCP")->setText(QStringLiteral("06000"));
    wz.txt("txtOirRNoExt")->setText(QStringLiteral("  "));
    wz.next();
    QCOMPARE(wz.script.lastText(),
             QStringLiteral("El No. Externo no puede estar vacio, si no tiene número escriba S/N"));
    wz.txt("txtOirRNoExt")->setText(QStringLiteral("S/N"));
    wz.choose("cmbOirREntFed", QStringLiteral("Jalisco")); // municipality goes with it
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Mpio. o Delegación no puede estar vacio"));
    QCOMPARE(QApplication::focusWidget(), wz.cmb("cmbOirRMDeleg"));
    wz.fillAddress(QStringLiteral("OirR"));
    wz.fillAddress(QStringLiteral("V0"));
    wz.txt("txtV0Fax")->clear();
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("El Fax no puede estar vacio"));

    // A patent that reads as a number but is not one cannot be stored.
    wz.txt("txtV0Fax")->setText(QStringLiteral("1"));
    wz.txt("txtPatente")->setText(QStringLiteral("12AB"));
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("No de Patente invalido"));
    auto db = wz.dir.open();
    QVERIFY(rows(*db, QStringLiteral("select * from AA")).isEmpty());
    QVERIFY(wz.pageShown("frAA"));
}

void TestWizard::page2ChecksOnlyTheOfficesInUse() {
    Wizard wz;
    wz.start();
    wz.fillPage1(2);
    wz.next();
    QVERIFY(wz.pageShown("frDirValidAA"));
    QVERIFY(wz.cmb("cmbAduana2")->isEnabled());
    QVERIFY(!wz.cmb("cmbAduana3")->isEnabled());
    QVERIFY(!wz.w<QGroupBox>("frDirAduana3")->isEnabled());
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Indique la Aduana No.1 autorizada"));
    wz.choose("cmbAduana1", QStringLiteral("NUEVO LAREDO, TAMPS."));
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Calle no puede estar vacio"));
    wz.fillAddress(QStringLiteral("V1"));
    wz.next();
    QCOMPARE(wz.script.lastText(), QStringLiteral("Indique la Aduana No.2 autorizada"));
    wz.choose("cmbAduana2", QStringLiteral("VERACRUZ, VER."));
    wz.fillAddress(QStringLiteral("V2"));
    const int before = int(wz.script.shown.size());
    wz.next();
    QCOMPARE(int(wz.script.shown.size()), before); // office 3 is not asked for
    QVERIFY(wz.pageShown("frApoderado"));
}

void TestWizard::savingStoresRowsForEachOfficeCount_data() {
    QTest::addColumn<int>("offices");
    QTest::addColumn<QString>("history"); // the label page 1 writes back
    QTest::addColumn<QVariant>("stored");
    QTest::addRow("N=0") << 0 << QStringLiteral("No Definido") << QVariant();
    QTest::addRow("N=1") << 1 << QStringLiteral("Sin Historico") << QVariant(1);
    QTest::addRow("N=2") << 2 << QStringLiteral("Con Historico") << QVariant(0);
    QTest::addRow("N=3") << 3 << QStringLiteral("No Definido") << QVariant();
}

void TestWizard::savingStoresRowsForEachOfficeCount() {
    QFETCH(int, offices);
    QFETCH(QString, history);
    QFETCH(QVariant, stored);
    Wizard wz;
    wz.start();
    wz.fillPage1(offices);
    wz.w<QLabel>("lblHistAA")->setText(history);
    wz.txt("txtV0NoExt")->setText(QStringLiteral("12"));
    wz.next();
    const QStringList names{QStringLiteral("NUEVO LAREDO, TAMPS."),
                            QStringLiteral("VERACRUZ, VER."), QStringLiteral("MANZANILLO, COL.")};
    if (offices > 0) {
        QVERIFY(wz.pageShown("frDirValidAA"));
        QVERIFY(wz.cmd("cmdAtras")->isEnabled());
        for (int i = 1; i <= offices; ++i) {
            wz.choose(QByteArray("cmbAduana") + QByteArray::number(i), names[i - 1]);
            wz.fillAddress(QStringLiteral("V%1").arg(i), QStringLiteral("CALLE %1").arg(i));
        }
        wz.next();
    }
    QVERIFY(wz.pageShown("frApoderado"));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(),
             offices == 0 ? QStringLiteral("Finaliza") : QStringLiteral("Siguiente >"));
    QCOMPARE(wz.state.NoPat, QStringLiteral("3001"));

    auto db = wz.dir.open();
    const auto aa = rows(*db, QStringLiteral("select * from AA"));
    QCOMPARE(aa.size(), 1);
    QCOMPARE(aa[0].mid(0, 8),
             (QVariantList{3001, QStringLiteral("JUAN"), QStringLiteral("PEREZ"),
                           QStringLiteral("LOPEZ"), QStringLiteral("PELJ700101AB1"),
                           QStringLiteral("PELJ700101HDFRPN09"), 0, 200}));
    QCOMPARE(aa[0].at(11).toInt(), offices);
    QCOMPARE(aa[0].at(12).isNull(), stored.isNull());
    QCOMPARE(aa[0].at(12).toInt(), stored.toInt());
    const QList<int> officeKeys{240, 430, 160};
    for (int i = 0; i < 3; ++i) {
        if (i < offices)
            QCOMPARE(aa[0].at(8 + i).toInt(), officeKeys[i]);
        else
            QVERIFY(aa[0].at(8 + i).isNull());
    }
    const auto dom = rows(*db, QStringLiteral("select Tipo_Dom, EntFed, MDeleg, Calle, NoExt "
                                              "from Domicilios_AA order by Tipo_Dom"));
    QCOMPARE(dom.size(), 3 + offices);
    QCOMPARE(dom[0], (QVariantList{1, QStringLiteral("09"), 15, QStringLiteral("REFORMA"),
                                   QStringLiteral("10")}));
    QCOMPARE(dom[2].at(4).toString(), QStringLiteral("12"));
    for (int i = 1; i <= offices; ++i)
        QCOMPARE(dom[2 + i].at(3).toString(), QStringLiteral("CALLE %1").arg(i));

    // Back again: page 2 only when offices are declared.
    wz.back();
    QVERIFY(wz.pageShown(offices > 0 ? "frDirValidAA" : "frAA"));
    QCOMPARE(wz.cmd("cmdAtras")->isEnabled(), offices > 0);
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Siguente >"));

    // The stored agent comes back after a restart, on both pages.
    wz.window.reset();
    wz.start();
    Wizard& again = wz;
    QCOMPARE(again.txt("txtPatente")->text(), QStringLiteral("3001"));
    QCOMPARE(again.cmb("cmbAAAduanaA")->currentText(), QStringLiteral("MEXICO, D.F."));
    QCOMPARE(again.txt("txtNoAduanasAut")->text(), QString::number(offices));
    QCOMPARE(again.cmb("cmbFiscalMDeleg")->currentText(), QStringLiteral("Cuauhtémoc"));
    QCOMPARE(again.cmb("cmbFiscalNoMDeleg")->currentText(), QStringLiteral(" 15"));
    QCOMPARE(again.txt("txtV0NoExt")->text(), QStringLiteral("12"));
    for (int i = 1; i <= 3; ++i) {
        const QByteArray list = QByteArray("cmbAduana") + QByteArray::number(i);
        QCOMPARE(again.cmb(list)->currentText(), i <= offices ? names[i - 1] : QString());
        QCOMPARE(again.txt(QByteArray("txtV") + QByteArray::number(i) + "Calle")->text(),
                 i <= offices ? QStringLiteral("CALLE %1").arg(i) : QString());
    }
}

void TestWizard::reSavingPage1KeepsDeclaredOffices() {
    Wizard wz;
    wz.start();
    wz.fillPage1(3);
    wz.next();
    const QStringList names{QStringLiteral("NUEVO LAREDO, TAMPS."),
                            QStringLiteral("VERACRUZ, VER."), QStringLiteral("MANZANILLO, COL.")};
    for (int i = 1; i <= 3; ++i) {
        wz.choose(QByteArray("cmbAduana") + QByteArray::number(i), names[i - 1]);
        wz.fillAddress(QStringLiteral("V%1").arg(i));
    }
    wz.next();
    wz.back();
    wz.back();
    QVERIFY(wz.pageShown("frAA"));
    // Fewer offices now: the ones no longer declared leave the database.
    wz.txt("txtNoAduanasAut")->setText(QStringLiteral("1"));
    wz.next();
    auto db = wz.dir.open();
    const auto aa = rows(*db, QStringLiteral("select Aduana1, Aduana2, Aduana3 from AA"));
    QCOMPARE(aa[0].at(0).toInt(), 240);
    QVERIFY(aa[0].at(1).isNull() && aa[0].at(2).isNull());
    QCOMPARE(rows(*db, QStringLiteral("select Tipo_Dom from Domicilios_AA order by 1")),
             (QList<QVariantList>{{1}, {2}, {3}, {4}}));
    QVERIFY(!wz.cmb("cmbAduana2")->isEnabled());
    QCOMPARE(wz.cmb("cmbAduana2")->currentIndex(), -1);
    QVERIFY(wz.txt("txtV2Calle")->text().isEmpty());
    QCOMPARE(wz.cmb("cmbAduana1")->currentText(), names[0]);
}

void TestWizard::failedSaveLeavesDatabaseUnchanged() {
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.next();
    auto db = wz.dir.open();
    const auto before = rows(*db, QStringLiteral("select * from AA")) +
                        rows(*db, QStringLiteral("select * from Domicilios_AA"));
    QVERIFY(!db->exec(QStringLiteral("create trigger falla before insert on Domicilios_AA "
                                     "when new.Tipo_Dom = 3 begin select raise(abort, 'disco "
                                     "lleno'); end")));
    wz.back();
    wz.txt("txtAANombre")->setText(QStringLiteral("PEDRO"));
    wz.script.shown.clear();
    wz.next();
    QCOMPARE(wz.script.shown.size(), 1);
    QVERIFY2(wz.script.lastText().startsWith(seam::nothingSaved() + QStringLiteral(" 1811")) &&
                 wz.script.lastText().contains(QStringLiteral("disco lleno")),
             qPrintable(wz.script.lastText()));
    QCOMPARE(wz.script.shown[0].title, QStringLiteral("Mensaje"));
    QVERIFY(wz.pageShown("frAA"));
    const auto after = rows(*db, QStringLiteral("select * from AA")) +
                       rows(*db, QStringLiteral("select * from Domicilios_AA"));
    QCOMPARE(after, before);
}

void TestWizard::namesWithApostrophesSurviveARestart() {
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.txt("txtAAApPat")->setText(QStringLiteral("O'HIGGINS"));
    wz.txt("txtFiscalCalle")->setText(QStringLiteral("D'ARTAGNAN; DROP TABLE AA"));
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
    wz.window.reset();
    wz.start();
    QCOMPARE(wz.txt("txtAAApPat")->text(), QStringLiteral("O'HIGGINS"));
    QCOMPARE(wz.txt("txtFiscalCalle")->text(), QStringLiteral("D'ARTAGNAN; DROP TABLE AA"));
}

void TestWizard::patentHasOneTextEverywhere() {
    Wizard wz;
    wz.start();
    wz.fillPage1(0);
    wz.txt("txtPatente")->setText(QStringLiteral("0012"));
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
    // The stored number's text, in this run and after a restart.
    QCOMPARE(wz.txt("txtPatente")->text(), QStringLiteral("12"));
    QCOMPARE(wz.state.NoPat, QStringLiteral("12"));
    wz.window.reset();
    wz.state.NoPat.clear();
    wz.start();
    QCOMPARE(wz.txt("txtPatente")->text(), QStringLiteral("12"));
    QCOMPARE(wz.state.NoPat, QStringLiteral("12"));
}

void TestWizard::lockedDatabaseIsToldAtStart() {
    Wizard wz;
    auto other = wz.dir.open();
    // Another program writing: the data can be seen, not saved.
    QVERIFY(!other->exec(QStringLiteral("BEGIN IMMEDIATE")));
    wz.start();
    const QString told = wz.messages().value(0);
    QVERIFY2(told.startsWith(QStringLiteral("No se podrá guardar ningún dato")) &&
                 told.contains(QDir::toNativeSeparators(wz.dir.dbPath())) &&
                 told.contains(QStringLiteral("otro programa")),
             qPrintable(told));
    other->exec(QStringLiteral("ROLLBACK"));
    // Holding it whole: the program cannot even read it, and says so.
    QVERIFY(!other->exec(QStringLiteral("BEGIN EXCLUSIVE")));
    other->exec(QStringLiteral("create table bloqueo(x)"));
    wz.window.reset();
    wz.script.shown.clear();
    wz.window = std::make_unique<frmMain>(wz.state);
    QVERIFY(!wz.window->startUp());
    QVERIFY2(wz.messages().value(0).contains(QStringLiteral("otro programa la tiene abierta")),
             qPrintable(wz.messages().value(0)));
    other->exec(QStringLiteral("ROLLBACK"));
    // Once the other program lets go, nothing is said.
    wz.window.reset();
    wz.script.shown.clear();
    wz.start();
    QVERIFY(wz.messages().filter(QStringLiteral("No se podrá guardar")).isEmpty());
}

void TestWizard::loadingOddStoredRows() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        // Two agent rows: the fields come from the last, the office count,
        // history flag and offices from the first.
        QVERIFY(!db->exec(QStringLiteral(
            "insert into AA values (1111,'PRIMERO','A','B','AAAA700101AB1','AAAA700101HDFRPN09',0,"
            "null,null,null,null,null,null)")));
        QVERIFY(!db->exec(QStringLiteral(
            "insert into AA values (2222,'ULTIMO','A','B','AAAA700101AB1','AAAA700101HDFRPN09',0,"
            "null,null,null,null,2,1)")));
        QVERIFY(!db->exec(QStringLiteral("insert into Domicilios_AA values (1,'20',5,'X','1',null,"
                                         "'C','68000','1','2')")));
        // A key the catalogue lacks must neither hang nor end the program.
        QVERIFY(!db->exec(QStringLiteral("insert into Domicilios_AA values (2,'77',9999,'Y','1',"
                                         "null,'C','68000','1','2')")));
    }
    wz.start();
    QVERIFY(wz.messages().isEmpty());
    QCOMPARE(wz.txt("txtAANombre")->text(), QStringLiteral("ULTIMO"));
    QCOMPARE(wz.state.NoPat, QStringLiteral("2222"));
    QCOMPARE(wz.cmb("cmbAAAduanaA")->currentIndex(), 0); // Null office: the first by name
    QCOMPARE(wz.cmb("cmbAANoAduanaA")->currentIndex(), 0);
    QCOMPARE(wz.txt("txtNoAduanasAut")->text(), QString());
    QCOMPARE(wz.w<QLabel>("lblHistAA")->text(), QStringLiteral("No Definido"));
    QCOMPARE(wz.cmb("cmbFiscalNoMDeleg")->currentText(), QStringLiteral(" 5"));
    QCOMPARE(wz.cmb("cmbFiscalMDeleg")->currentText(), QStringLiteral("Asunción Ixtaltepec"));
    QVERIFY(wz.txt("txtFiscalNoInt")->text().isEmpty());
    QCOMPARE(wz.txt("txtOirRCalle")->text(), QStringLiteral("Y"));
    QCOMPARE(wz.cmb("cmbOirREntFed")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbOirRMDeleg")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbAduana1")->currentIndex(), -1);
}

void TestWizard::addressListsFollowAndStateClearsMunicipality() {
    Wizard wz;
    wz.start();
    wz.choose("cmbV2EntFed", QStringLiteral("Oaxaca"));
    QCOMPARE(wz.cmb("cmbV2CveEntFed")->currentText(), QStringLiteral("20"));
    QCOMPARE(wz.cmb("cmbV2MDeleg")->currentIndex(), -1);
    QVERIFY(wz.cmb("cmbV2MDeleg")->count() > 500);
    wz.choose("cmbV2MDeleg", QStringLiteral("Asunción Ixtaltepec"));
    QCOMPARE(wz.cmb("cmbV2NoMDeleg")->currentText(), QStringLiteral(" 5"));
    wz.choose("cmbV2EntFed", QStringLiteral("Colima"));
    QCOMPARE(wz.cmb("cmbV2MDeleg")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbV2NoMDeleg")->currentIndex(), -1);
    QCOMPARE(wz.cmb("cmbV2MDeleg")->count(), 10);
    wz.choose("cmbAduana3", QStringLiteral("VERACRUZ, VER."));
    QCOMPARE(wz.cmb("cmbNoAduana3")->currentText(), QStringLiteral(" 430"));
}

void TestWizard::representativesCompletenessMessages() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        QVERIFY(!db->exec(QStringLiteral(
            "insert into Mandatarios values ('CURP1','RFC1','ANA','RUIZ','SOTO',1,'C:\\R.REQ',0,2,"
            "null)")));
        QVERIFY(
            !db->exec(QStringLiteral("insert into Mandatarios values "
                                     "('CURP2','RFC2','LUIS','MORA','DIAZ',2,'',null,1,null)")));
    }
    wz.start();
    wz.fillPage1(0);
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
    QCOMPARE(wz.w<QTableWidget>("fgAA")->rowCount(), 2);
    QCOMPARE(wz.w<QTableWidget>("fgAA")->item(0, 6)->text(), QStringLiteral("No Definido"));
    QCOMPARE(wz.w<QTableWidget>("fgAA")->item(1, 5)->text(),
             QStringLiteral("Conforme 2.13.11 (Posterior 01/01/2001)"));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Siguente >"));

    auto db = wz.dir.open();
    auto expect = [&](const QString& text) {
        wz.next();
        QCOMPARE(wz.script.lastText(), text);
        QVERIFY(wz.pageShown("frApoderado"));
    };
    const QString ana = QStringLiteral("ANA RUIZ SOTO CURP=CURP1");
    expect(QStringLiteral("Proporcione el Domicilo Particular del Representante ") + ana);
    QVERIFY(!db->exec(QStringLiteral("insert into Domicilios_MM values ('CURP1','09',15,'A','1',"
                                     "'','B','06000','1','2',1)")));
    expect(QStringLiteral("Proporcione el Domicilo Fiscal del Representante ") + ana);
    QVERIFY(!db->exec(QStringLiteral("insert into Domicilios_MM values ('CURP1','09',15,'A','1',"
                                     "'','B','06000','1','2',2)")));
    expect(QStringLiteral("Defina si se encuentra operando actualemente del Representante ") + ana);
    QVERIFY(!db->exec(QStringLiteral("update Mandatarios set Operando=1 where CURP='CURP1'")));
    expect(QStringLiteral("Proporcione las Aduanas ante las que aha actuado el Representante ") +
           ana);
    QVERIFY(!db->exec(QStringLiteral("insert into Aduanas_MM values ('CURP1', 470)")));
    // The first representative is complete: the second is reported now.
    const QString luis = QStringLiteral("LUIS MORA DIAZ CURP=CURP2");
    QVERIFY(!db->exec(QStringLiteral("insert into Domicilios_MM select 'CURP2',EntFed,MDeleg,"
                                     "Calle,NoExt,NoInt,Colonia,CP,Telefono,Fax,Tipo_Dom from "
                                     "Domicilios_MM where CURP='CURP1'")));
    expect(QStringLiteral("Proporcione el archivo de Requerimiento del mandatario ") + luis);
    QVERIFY(!db->exec(QStringLiteral("update Mandatarios set Requerimiento='X.REQ' where "
                                     "CURP='CURP2'")));
    expect(QStringLiteral("Proporcione el Tipo de acreditamiento del mandatario ") + luis);
    QVERIFY(!db->exec(QStringLiteral("update Mandatarios set Acreditacion=0 where CURP='CURP2'")));
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
}

void TestWizard::historyPagesGuardLeaving() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        QVERIFY(!db->exec(QStringLiteral(
            "insert into Mandatarios values ('CURP2','RFC2','LUIS','MORA','DIAZ',2,'X.REQ',1,1,"
            "null)")));
        QVERIFY(!db->exec(QStringLiteral(
            "insert into Mandatarios values ('CURP3','RFC3','EVA','PAZ','GIL',1,'X.REQ',0,1,"
            "null)")));
        for (const char* c : {"CURP2", "CURP3"})
            for (int t : {1, 2})
                QVERIFY(!db->exec(QStringLiteral("insert into Domicilios_MM values (?,'09',15,"
                                                 "'A','1','','B','06000','1','2',?)"),
                                  {QString::fromLatin1(c), t}));
        QVERIFY(!db->exec(QStringLiteral("insert into Aduanas_MM values ('CURP3', 470)")));
        QVERIFY(!db->exec(QStringLiteral("insert into Historico_AA values ('HIST700101AB1',"
                                         "'HIST700101AB1','OTRO','AGENTE','ANTES')")));
    }
    wz.start();
    QCOMPARE(wz.w<QTableWidget>("fgDatosAA")->item(0, 3)->text(), QString()); // CURP = RFC
    QCOMPARE(wz.w<QTableWidget>("fgMandatarios")->item(0, 4)->text(),
             QStringLiteral("Sin Definir"));
    wz.fillPage1(0);
    wz.next();
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
    wz.next();
    QCOMPARE(wz.script.lastText(),
             QStringLiteral("Debe definir si el Agente Aduanal tiene o no historico, en caso de "
                            "tener historico debe proporcionar los Representantes que ha tenido"));
    QVERIFY(wz.pageShown("frAA21311"));
    wz.w<QLabel>("lblHistAA")->setText(QStringLiteral("Con Historico"));
    wz.next();
    QVERIFY(wz.pageShown("frMandatarios"));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Finaliza"));
    wz.next();
    // Only the first undefined representative is named.
    QCOMPARE(wz.script.lastText(),
             QStringLiteral("Debe definir si el mandatario tiene o no historico, en caso de tener "
                            "debe proporcionar el Agente Aduanal y los periodos en los cuales "
                            "actuó el Mandatario LUIS MORA DIAZ"));
    wz.back();
    QVERIFY(wz.pageShown("frAA21311"));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Siguiente >"));
    wz.back();
    QVERIFY(wz.pageShown("frApoderado"));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Siguente >"));
}

void TestWizard::wizardEndsOnTheRightPage() {
    // Page 3 reached from page 2 leads to page 4 even without a
    // representative of the 2.13.11 type; page 4 then finishes.
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        QVERIFY(!db->exec(QStringLiteral(
            "insert into Mandatarios values ('CURP3','RFC3','EVA','PAZ','GIL',3,'',0,1,null)")));
        for (int t : {1, 2})
            QVERIFY(!db->exec(QStringLiteral("insert into Domicilios_MM values ('CURP3','09',15,"
                                             "'A','1','','B','06000','1','2',?)"),
                              {t}));
    }
    wz.start();
    wz.fillPage1(1);
    wz.next();
    wz.choose("cmbAduana1", QStringLiteral("VERACRUZ, VER."));
    wz.fillAddress(QStringLiteral("V1"));
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Siguiente >"));
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
    QCOMPARE(wz.cmd("cmdSiguiente")->text(), QStringLiteral("Finaliza"));
    // Finishing that fails (here: the question is cancelled) keeps the wizard open.
    wz.w<QLabel>("lblHistAA")->setText(QStringLiteral("Sin Historico"));
    wz.script.answer(seam::Answer::Cancel);
    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
    QVERIFY(wz.cmd("cmdSiguiente")->isEnabled());
    QVERIFY(wz.cmd("cmdAtras")->isEnabled());
}

void TestWizard::exitAsksUntilTheFileExists() {
    Wizard wz;
    wz.start();
    wz.window->show();
    wz.txt("txtAANombre")->setText(QStringLiteral("SIN GUARDAR"));
    wz.script.shown.clear();
    wz.script.answer(seam::Answer::Cancel);
    wz.cmd("cmdSalir")->click();
    QCOMPARE(wz.script.shown.size(), 1);
    const seam::Shown& q = wz.script.shown[0];
    QCOMPARE(q.text, QStringLiteral("¿Desea salir de la aplicación?, aun no a generado el archivo "
                                    "de información"));
    QCOMPARE(q.title, QStringLiteral("Mendaje"));
    QCOMPARE(q.icon, seam::Icon::Exclamation);
    QCOMPARE(q.buttons, seam::Buttons::OkCancel);
    QVERIFY(wz.window->isVisible());
    QCOMPARE(wz.txt("txtAANombre")->text(), QStringLiteral("SIN GUARDAR"));
    // The close box asks the same question.
    wz.script.answer(seam::Answer::Cancel);
    QVERIFY(!wz.window->close());
    QCOMPARE(wz.script.shown.size(), 2);
    wz.script.answer(seam::Answer::Ok);
    wz.cmd("cmdSalir")->click();
    QVERIFY(!wz.window->isVisible());
    // Once the file is produced (both buttons disabled) there is no question.
    wz.window->show();
    wz.cmd("cmdSiguiente")->setEnabled(false);
    wz.cmd("cmdSalir")->click();
    QCOMPARE(wz.script.shown.size(), 3);
    QVERIFY(!wz.window->isVisible());
}

void TestWizard::oldFileIsUpgradedOnStart() {
    Wizard wz(ProgramDir::Kind::Version30);
    wz.start();
    auto db = wz.dir.open();
    QCOMPARE(rows(*db, QStringLiteral("select * from Versiones where VPrin=3 and VSec=5")).size(),
             1);
    QCOMPARE(wz.txt("txtNoAduanasAut")->text(), QStringLiteral("0")); // nothing stored to load
}

void TestWizard::representativeDetailsFollowTheChosenRow() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        const QStringList people{
            QStringLiteral("('C1','R1','ANA','RUIZ','SOTO',1,'C:\\A\\R1.REQ',0,1,null)"),
            QStringLiteral("('C2','R2','LUIS','MORA','DIAZ',2,'C:\\R2.REQ',2,0,null)"),
            QStringLiteral("('C3','R3','EVA','PAZ','GIL',3,'',0,2,null)")};
        for (const QString& p : people)
            QVERIFY(!db->exec(QStringLiteral("insert into Mandatarios values ") + p));
        QVERIFY(!db->exec(QStringLiteral("insert into Domicilios_MM values ('C1','20',5,'UNO','1',"
                                         "null,'COL','68000','1',null,1)")));
        QVERIFY(!db->exec(QStringLiteral("insert into Aduanas_MM values ('C1',200)")));
        QVERIFY(!db->exec(QStringLiteral("insert into Pedimentos_MM values ('C1',200,'123',"
                                         "'2003-05-20')")));
    }
    wz.start();
    auto* grid = wz.w<QTableWidget>("fgAA");
    QCOMPARE(grid->rowCount(), 3);
    QVERIFY(!wz.cmd("cmdEditar")->isEnabled());

    grid->setCurrentCell(0, 0);
    QVERIFY(wz.cmd("cmdEditar")->isEnabled() && wz.cmd("cmdBorrar")->isEnabled());
    QCOMPARE(wz.txt("txtApRCalle")->text(), QStringLiteral("UNO"));
    QCOMPARE(wz.cmb("cmbApRMDeleg")->currentText(), QStringLiteral("Asunción Ixtaltepec"));
    QVERIFY(wz.txt("txtApRFax")->text().isEmpty());
    QVERIFY(wz.txt("txtFiscalApRCalle")->text().isEmpty()); // no fiscal address stored
    QCOMPARE(wz.w<QLabel>("lblTipoMandato")->text(), QStringLiteral("Anterior 01/01/2001"));
    QVERIFY(!wz.w("frAduanasAct")->isHidden() && wz.w("frAcreditacion")->isHidden());
    QCOMPARE(wz.w<QTableWidget>("fgAduanasAct")->item(0, 0)->text(),
             QStringLiteral("MEXICO, D.F."));
    QCOMPARE(gridRow(wz.w<QTableWidget>("fgPedTramitados"), 0),
             (QStringList{QStringLiteral("MEXICO, D.F."), QStringLiteral("123"),
                          QStringLiteral("20/05/2003")}));
    QCOMPARE(wz.txt("txtRequerimiento")->text(), QStringLiteral("C:\\A\\R1.REQ"));

    grid->setCurrentCell(1, 0);
    QVERIFY(wz.w("frAduanasAct")->isHidden() && !wz.w("frAcreditacion")->isHidden());
    QVERIFY(wz.w<QRadioButton>("optExCon")->isChecked());
    QVERIFY(wz.txt("txtApRCalle")->text().isEmpty()); // not the previous one's address

    grid->setCurrentCell(2, 0);
    QVERIFY(wz.w("frAcreditacion")->isHidden() && wz.w("txtRequerimiento")->isHidden());
    QCOMPARE(grid->item(2, 6)->text(), QStringLiteral("No Definido"));
}

void TestWizard::previousVersionIsTakenOverAtStart() {
    Wizard wz(ProgramDir::Kind::Version30);
    QDir().mkpath(wz.state.previousVersionDir);
    QFile dump(wz.state.previousVersionDir + QStringLiteral("/Recupera.txt"));
    QVERIFY(dump.open(QIODevice::WriteOnly));
    dump.write("Volcado KESTRO\r\n"
               "AA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|0|470\r\n"
               "Domicilios_AA|3001|1|09|15|REFORMA|10||CENTRO|06000|555 12 34|555 12 35\r\n"
               "Mandatarios|3001|GAMR800202MDFRRS01|GAMR800202XY2|ROSA|GARCIA|MARTINEZ|1\r\n"
               "800|1111111|1|\r\n");
    dump.close();
    wz.start();
    QVERIFY2(wz.messages().isEmpty(), qPrintable(wz.messages().join(u'|')));
    QCOMPARE(wz.txt("txtPatente")->text(), QStringLiteral("3001"));
    QCOMPARE(wz.cmb("cmbAANoAduanaA")->currentText(), QStringLiteral(" 470"));
    QCOMPARE(wz.txt("txtFiscalCalle")->text(), QStringLiteral("REFORMA"));
    // Imported before the upgrade: the columns it adds are empty.
    QCOMPARE(wz.txt("txtNoAduanasAut")->text(), QString());
    QCOMPARE(wz.w<QTableWidget>("fgMandatarios")->item(0, 4)->text(),
             QStringLiteral("Sin Definir"));
    QCOMPARE(wz.w<QTableWidget>("fgAA")->item(0, 5)->text(),
             QStringLiteral("Conforme 2.13.11 (Posterior 01/01/2001)"));
}

namespace {
void storeRepresentatives(Database& db, int count) {
    for (int i = 0; i < count; ++i)
        QVERIFY(!db.exec(QStringLiteral("insert into Mandatarios values (?,?,?,'GARCIA','MARTINEZ',"
                                        "1,'',0,1,null)"),
                         {QStringLiteral("GAMR800215MDFRRS0%1").arg(i),
                          QStringLiteral("GAMR800215AB%1").arg(i),
                          QStringLiteral("MARIA GUADALUPE %1").arg(i)}));
}
} // namespace

void TestWizard::keyboardDrivesTheWizardAndTheLists() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeAgent(*db);
        storeRepresentatives(*db, 2);
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
    QCOMPARE(wz.cmd("cmdAtras")->text(), QStringLiteral("< Atrás"));

    // The list takes the keyboard: arrows choose a row, Enter opens Editar.
    auto* grid = wz.w<QTableWidget>("fgAA");
    QCOMPARE(QApplication::focusWidget(), grid);
    QSignalSpy edits(wz.cmd("cmdEditar"), &QPushButton::clicked);
    QCOMPARE(grid->currentRow(), -1); // the user chooses the row
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(edits.count(), 0);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->currentRow(), 1);
    QCOMPARE(wz.w<QLabel>("lblTipoMandato")->text(), wz.state.Mandato1);
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(edits.count(), 2);
    QCOMPARE(wz.script.dialogsShown.count(QStringLiteral("frmApoderado")), 2);
    QVERIFY(wz.pageShown("frApoderado")); // Enter did not reach the wizard's buttons
}

void TestWizard::listsShowIdentifiersAndOfficesWhole() {
    Wizard wz;
    wz.start();
    wz.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(wz.window.get()));
    const auto* grid = wz.w<QTableWidget>("fgAA");
    const QFontMetrics fm = grid->fontMetrics();
    const struct {
        int column;
        QString widest;
    } columns[] = {{0, QStringLiteral("MARIA GUADALUPE")},
                   {3, QStringLiteral("GAMR800215AB1")},
                   {4, QStringLiteral("GAMR800215MDFRRS09")},
                   {5, wz.state.Mandato2},
                   {5, wz.state.Mandato3}};
    for (const auto& c : columns)
        QVERIFY2(grid->columnWidth(c.column) > fm.horizontalAdvance(c.widest) + 7,
                 qPrintable(c.widest)); // text margins and the grid line besides
    const int last = grid->columnCount() - 1;
    QVERIFY(grid->columnWidth(last) >= grid->horizontalHeader()->sectionSizeHint(last));

    const QString longest = QStringLiteral("AEROPUERTO INTERNAL. CD. DE MEXICO, D.F.");
    for (const char* name : {"cmbAAAduanaA", "cmbAduana1"}) {
        QComboBox* office = wz.cmb(name);
        QVERIFY2(office->view()->minimumWidth() > office->fontMetrics().horizontalAdvance(longest),
                 name);
    }
    // On page 1 the chosen office fits the field too, not only the open list.
    QVERIFY(wz.cmb("cmbAAAduanaA")->width() >= wz.cmb("cmbAAAduanaA")->sizeHint().width());
    QComboBox* states = wz.cmb("cmbFiscalEntFed");
    QVERIFY(states->view()->minimumWidth() > states->fontMetrics().horizontalAdvance(QStringLiteral(
                                                 "Veracruz de Ignacio de la Llave")));
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
