// Every text field a person can type into, in every window, has the entry
// rules attached: the separator never arrives, letters arrive as capitals.
// What the rules do is proven on one field in tst_keystrokefilter.
#include "support/WizardDriver.h"

namespace {

// The fields of `form` that let "ñ|", typed, through as anything but "Ñ".
QStringList unruled(QWidget& form, const QString& keepsCase = QString()) {
    QStringList out;
    for (QLineEdit* f : form.findChildren<QLineEdit*>()) {
        if (!f->isEnabled() || f->isReadOnly() || f->isHidden() ||
            f->objectName().startsWith(QLatin1String("qt_")))
            continue; // shown only, never shown, or part of a date
        f->clear();
        for (const char* key : {"ñ", "|"})
            QTest::sendKeyEvent(QTest::Click, f, Qt::Key_unknown, QString::fromUtf8(key),
                                Qt::NoModifier);
        if (f->text() != (f->objectName() == keepsCase ? QStringLiteral("ñ") : QStringLiteral("Ñ")))
            out << f->objectName() + QStringLiteral(": ") + f->text();
    }
    return out;
}

} // namespace

class TestEntryRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyFieldOfEveryWindowHasTheRules();
};

void TestEntryRules::everyFieldOfEveryWindowHasTheRules() {
    Wizard wz;
    storeHistory(*wz.dir.open(), wz.dir.path(), false);
    wz.start();
    wz.fillPage1(3);
    wz.next(); // every office block enabled
    QVERIFY(wz.pageShown("frDirValidAA"));
    QStringList broken = unruled(*wz.window, "txtV1CP"); // always typed as is
    QVERIFY(wz.window->findChildren<QLineEdit*>().size() > 40);

    wz.script.onDialog("frmAduanaAct", [](QDialog& d) {
        setValue(d, "cmbAduana", "VERACRUZ, VER.");
        press(d, "cmdAceptar");
        return d.result();
    });
    wz.script.onDialog("frmPedTramitados", [&](QDialog& d) {
        broken << unruled(d);
        return int(QDialog::Rejected);
    });
    wz.withDialog("frmApoderado", "cmdNuevo", [&](QDialog& d) {
        broken << unruled(d);
        named<QComboBox>(d, "cmbMandato")->setCurrentIndex(0);
        press(d, "cmdNuevaAduana");
        press(d, "cmdNuevoPed");
    });
    wz.withDialog("frmAgentes_Aduanales", "cmdAANuevo", [&](QDialog& d) { broken << unruled(d); });
    QCOMPARE(wz.script.dialogsShown.filter("frm").size(), 5);
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
}

QTEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
