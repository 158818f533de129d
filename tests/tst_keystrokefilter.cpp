// The keystroke rules of the entry fields, proven on one field and found on
// every text field of every window; the Windows-1252 code page they guard;
// Qt's own texts in Spanish.
#include "entry/KeystrokeFilter.h"
#include "entry/Seam.h"
#include "rules/Cp1252.h"
#include "support/WizardDriver.h"
#include "wizard/Language.h"

namespace {

// Key by key, each carrying its text (QTest::keyClicks only carries ASCII).
void typeText(QLineEdit* field, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void paste(QLineEdit* field, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keySequence(field, QKeySequence::Paste);
}

// What an input method (dead keys, compose) hands the field.
void commit(QLineEdit* field, const QString& text) {
    QInputMethodEvent e;
    e.setCommitString(text);
    QCoreApplication::sendEvent(field, &e);
}

std::unique_ptr<QLineEdit> entryField(bool uppercase = true) {
    auto field = std::make_unique<QLineEdit>();
    attachEntryRules(field.get(), uppercase);
    return field;
}

// The fields of `form` that let "ñ|", typed, through as anything but "Ñ".
QStringList unruled(QWidget& form, const QString& keepsCase = QString()) {
    QStringList out;
    for (QLineEdit* f : form.findChildren<QLineEdit*>()) {
        if (!f->isEnabled() || f->isReadOnly() || f->isHidden() ||
            f->objectName().startsWith(QLatin1String("qt_")))
            continue; // shown only, never shown, or part of a date
        f->clear();
        typeText(f, QStringLiteral("ñ|"));
        if (f->text() != (f->objectName() == keepsCase ? QStringLiteral("ñ") : QStringLiteral("Ñ")))
            out << f->objectName() + QStringLiteral(": ") + f->text();
    }
    return out;
}

} // namespace

class TestKeystrokeFilter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedLettersBecomeCapitals_data();
    void typedLettersBecomeCapitals();
    void editingAndPasting();
    void unsafeTextRefused_data();
    void unsafeTextRefused();
    void qtSpeaksSpanish();
    void everyFieldOfEveryWindowHasTheRules();
};

void TestKeystrokeFilter::typedLettersBecomeCapitals_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("uppercase");
    row("s/n", "s/n", "S/N", true);
    row("peña", "peña", "PEÑA", true);
    row("šœÿ", "šœÿ", "ŠŒŸ", true); // capitals outside Latin-1
    row("µßƒ", "µßƒ", "µßƒ", true); // capitals not in the code page: kept as typed
    row("ABC€&'", "ABC€&'", "ABC€&'", true);
    row("peña s/n", "peña s/n", "peña s/n", false);
}

void TestKeystrokeFilter::typedLettersBecomeCapitals() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, uppercase);
    auto field = entryField(uppercase);
    typeText(field.get(), typed);
    QCOMPARE(field->text(), shown);
    // The same through an input method (dead keys, compose).
    auto composed = entryField(uppercase);
    commit(composed.get(), typed);
    QCOMPARE(composed->text(), shown);
}

void TestKeystrokeFilter::editingAndPasting() {
    auto field = entryField();
    typeText(field.get(), QStringLiteral("abc"));
    QTest::keyClick(field.get(), Qt::Key_Backspace);
    QCOMPARE(field->text(), QStringLiteral("AB"));
    // A converted key replaces a selection and keeps to the maximum length.
    field->setMaxLength(5);
    field->selectAll();
    typeText(field.get(), QStringLiteral("cp 06700"));
    QCOMPARE(field->text(), QStringLiteral("CP 06"));

    // Program text keeps its case; a paste gets what typing gets.
    field->setMaxLength(100);
    field->setText(QStringLiteral("a"));
    paste(field.get(), QStringLiteral("o'higgins ñú"));
    typeText(field.get(), QStringLiteral("z"));
    QCOMPARE(field->text(), QStringLiteral("aO'HIGGINS ÑÚZ"));
}

void TestKeystrokeFilter::unsafeTextRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed"); // or pasted
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("told"); // what the message names; "" for none
    row("separator typed", "|", true, "", "");
    row("separator pasted", "a|b", false, "AB", "\"|\"");
    row("line break pasted", "calle\r\nnorte", false, "CALLENORTE", "saltos de línea");
    row("tab pasted", "a\tb", false, "AB", "tabuladores");
    row("cyrillic typed", "ж", true, "", "");
    row("only cyrillic pasted", "Пётр", false, "", "No se pegó nada");
    row("emoji and CJK pasted", "a😀中b", false, "AB", "emojis");
    row("undefined 0x81 pasted", "a\u0081", false, "A", "no puede escribir");
    row("combining accent pasted", "jose\u0301", false, "JOSÉ", "");
}

void TestKeystrokeFilter::unsafeTextRefused() {
    QFETCH(QString, text);
    QFETCH(bool, typed);
    QFETCH(QString, kept);
    QFETCH(QString, told);
    seam::Script script;
    auto field = entryField();
    field->setText(QStringLiteral("ok"));
    typed ? typeText(field.get(), text) : paste(field.get(), text);
    QCOMPARE(field->text(), QStringLiteral("ok") + kept);
    QCOMPARE(script.shown.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty())
        QVERIFY2(script.lastText().contains(told), qPrintable(script.lastText()));
    // The field goes on taking what is safe.
    paste(field.get(), QStringLiteral(" €5"));
    QCOMPARE(field->text(), QStringLiteral("ok") + kept + QStringLiteral(" €5"));
}

// Qt's own texts (a field's context menu, a wait's Cancel button).
void TestKeystrokeFilter::qtSpeaksSpanish() {
    QVERIFY(installSpanish(*QCoreApplication::instance()));
    QCOMPARE(QLineEdit::tr("&Undo"), QStringLiteral("&Deshacer"));
}

void TestKeystrokeFilter::everyFieldOfEveryWindowHasTheRules() {
    Wizard wz;
    storeHistory(*wz.dir.open(), wz.dir.path(), false);
    wz.start();
    wz.fillPage1(3);
    wz.next(); // every office block enabled
    QVERIFY(wz.pageShown("frDirValidAA"));
    QStringList broken = unruled(*wz.window, "txtV1CP"); // always typed as is
    QVERIFY(wz.window->findChildren<QLineEdit*>().size() > 40);

    answerDialog(wz.script, "frmAduanaAct", {{"cmbAduana", "VERACRUZ, VER."}}, {"cmdAceptar"});
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

QTEST_MAIN(TestKeystrokeFilter)
#include "tst_keystrokefilter.moc"
