// The rules of what may be entered: the keystroke rules, proven on one field
// and found on every text field of every window; Qt's own texts in Spanish;
// the validators of patent numbers, RFC, CURP, numbers and dates.
#include "entry/KeystrokeFilter.h"
#include "entry/Seam.h"
#include "rules/Rutinas.h"
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

// The fields of `form` that let "ñ|", typed, through as anything but "Ñ",
// or that take more than their column holds.
QStringList unruled(QWidget& form, const QString& keepsCase = QString()) {
    QStringList out;
    for (QLineEdit* f : form.findChildren<QLineEdit*>()) {
        if (!f->isEnabled() || f->isReadOnly() || f->isHidden() ||
            f->objectName().startsWith(QLatin1String("qt_")))
            continue; // shown only, never shown, or part of a date
        if (f->maxLength() > 100)
            out << f->objectName() + QStringLiteral(": no limit");
        f->clear();
        typeText(f, QStringLiteral("ñ|"));
        if (f->text() != (f->objectName() == keepsCase ? QStringLiteral("ñ") : QStringLiteral("Ñ")))
            out << f->objectName() + QStringLiteral(": ") + f->text();
    }
    return out;
}

} // namespace

class TestEntryRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedLettersBecomeCapitals_data();
    void typedLettersBecomeCapitals();
    void editingAndPasting();
    void unsafeTextRefused_data();
    void unsafeTextRefused();
    void qtSpeaksSpanish();
    void everyFieldOfEveryWindowHasTheRules();
    void checks_data();
    void checks();
    void numericValue();
};

void TestEntryRules::typedLettersBecomeCapitals_data() {
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

void TestEntryRules::typedLettersBecomeCapitals() {
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

void TestEntryRules::editingAndPasting() {
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

void TestEntryRules::unsafeTextRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed"); // or pasted
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("told"); // what the message names; "" for none
    row("separator typed", "|", true, "", "");
    row("separator pasted", "a|b", false, "AB", "\"|\"");
    row("line break pasted", "calle\r\nnorte", false, "CALLENORTE", "saltos de línea");
    row("cyrillic typed", "ж", true, "", "");
    row("only cyrillic pasted", "Пётр", false, "", "No se pegó nada");
    row("emoji and CJK pasted", "a😀中b", false, "AB", "emojis");
    row("undefined 0x81 pasted", "a\u0081", false, "A", "no puede escribir");
    row("combining accent pasted", "jose\u0301", false, "JOSÉ", "");
}

void TestEntryRules::unsafeTextRefused() {
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
void TestEntryRules::qtSpeaksSpanish() {
    QVERIFY(installSpanish(*QCoreApplication::instance()));
    QCOMPARE(QLineEdit::tr("&Undo"), QStringLiteral("&Deshacer"));
}

void TestEntryRules::everyFieldOfEveryWindowHasTheRules() {
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

// P patent, R RFC, C CURP, N numeric text, F dd/mm/yy date: texts each
// check takes, then texts it refuses.
void TestEntryRules::checks_data() {
    QTest::addColumn<char>("check");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    const auto rows = [](char check, std::initializer_list<const char*> valid,
                         std::initializer_list<const char*> refused) {
        for (bool v : {true, false})
            for (const char* t : v ? valid : refused)
                QTest::addRow("%c \"%s\"", check, t) << check << QString::fromLatin1(t) << v;
    };
    // Up to 4000; trailing letters are ignored.
    rows('P', {"4000", "12AB"}, {"4001", "0"});
    // Length, a name block of letters (a digit among them passes), a real date.
    rows('R', {"ABC1850101XYZ", "ABCD000229XYZ"},
         {"ABCD850101XY", "1234850101XYZ", "1.25850101XYZ", "ABCD850230XYZ"});
    // Sex H or M in capitals, a state block that is not a number.
    rows('C', {"ABCD850101MDFXYZ01", "ABCD850101HD1XYZ01"},
         {"ABCD850101hDFXYZ01", "ABCD850101XDFXYZ01", "ABCD850101H12XYZ01", "ABCD850101HDFXYZ0",
          "1234850101HDFXYZ01", "ABCD850230HDFXYZ01"});
    // Blanks around, sign, fraction, a D exponent.
    rows('N', {"  42  ", "-7.5", ".5", "2.5D-3"}, {"", "-", "1.2.3", "1E", "1 2", "+-1"});
    // Two-digit years: 00-29 are 20xx, 30-99 are 19xx.
    rows('F', {"29/02/00", "29/02/96"},
         {"29/02/29", "29/02/30", "31/11/85", "01/13/85", "00/01/85", "1X/01/85", "01/85"});
}

void TestEntryRules::checks() {
    QFETCH(char, check);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    static const QHash<char, bool (*)(const QString&)> byCheck = {{'P', Valida_Patente},
                                                                  {'R', Valida_RFC},
                                                                  {'C', Valida_CURP},
                                                                  {'N', Es_Numerico},
                                                                  {'F', Es_Fecha}};
    QCOMPARE(byCheck.value(check)(text), valid);
}

// Leading digits count, blanks anywhere are skipped; an exponent letter
// without digits after it ends the number.
void TestEntryRules::numericValue() {
    QStringList got;
    for (const char* t :
         {"12AB", "A123", " 1 2\t3\n4", "-3.5XYZ", "1.2.3", "2E3 pesos", "2D-1", "7EX", "-."})
        got << QString::number(Valor_Numerico(QString::fromLatin1(t)));
    QCOMPARE(got.join(u'|'), QStringLiteral("12|0|1234|-3.5|1.2|2000|0.2|7|0"));
}

QTEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
