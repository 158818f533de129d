// The rules of what may be entered: the keystroke rules, proven on one field
// and found on every text field of every window; Qt's own texts in Spanish;
// the validators of patent numbers, RFC, CURP, numbers and dates, and the
// RFC's check digit.
#include "entry/AddressBlock.h"
#include "entry/DateTyping.h"
#include "entry/KeystrokeFilter.h"
#include "entry/Seam.h"
#include "entry/StoredText.h"
#include "rules/CheckDigits.h"
#include "rules/Rutinas.h"
#include "support/WizardDriver.h"
#include "wizard/Language.h"

#include <QLabel>

using namespace Qt::StringLiterals;

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
    void datesAsTyped_data();
    void datesAsTyped();
    void checks_data();
    void checks();
    void editorsAskBeforeDiscarding_data();
    void editorsAskBeforeDiscarding();
    void altLettersInEveryWindow_data();
    void altLettersInEveryWindow();
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
    const auto notice = [&] { return field->findChild<QLabel*>("avisoCampo"); };
    typeText(field.get(), QStringLiteral("cp 06"));
    QVERIFY(!notice()); // full, nothing lost yet
    typeText(field.get(), QStringLiteral("700"));
    QCOMPARE(field->text(), QStringLiteral("CP 06"));
    // What did not fit is told beside the field, typed or pasted, and the
    // telling goes with the focus.
    QVERIFY(notice() && notice()->isVisible() && notice()->text().contains("Caben 5 caracteres"));
    notice()->hide();
    {
        seam::Script script;
        field->setSelection(3, 2);
        paste(field.get(), QStringLiteral("0670"));
        QCOMPARE(field->text(), QStringLiteral("CP 06"));
        QVERIFY(notice()->isVisible() && script.shown.isEmpty());
    }

    // Program text keeps its case; a paste gets what typing gets.
    field->setMaxLength(100);
    field->setText(QStringLiteral("a"));
    paste(field.get(), QStringLiteral("o'higgins ñú"));
    typeText(field.get(), QStringLiteral("z"));
    QCOMPARE(field->text(), QStringLiteral("aO'HIGGINS ÑÚZ"));

    // A stored value longer than the file admits shows whole; typing never
    // lengthens it, and the note gives the file's limit, not the value's.
    field->setMaxLength(5);
    showStoredText(field.get(), QStringLiteral("ABCDEFG"));
    field->end(false);
    for (const auto& [keys, shown, told] :
         {std::tuple{"h", "ABCDEFG",
                     "Caben 5 caracteres en este campo; el valor guardado tiene "
                     "7, más de los que admite el archivo de información."},
          {"\bh", "ABCDEF", "guardado tiene 6"},
          {"\b\bhi", "ABCDH", "Caben 5 caracteres en este campo; el resto no se tomó."}}) {
        notice()->hide();
        for (const char* k = keys; *k; ++k)
            *k == '\b' ? QTest::keyClick(field.get(), Qt::Key_Backspace)
                       : typeText(field.get(), QString(QLatin1Char(*k)));
        QCOMPARE(field->text(), QLatin1String(shown));
        QVERIFY2(notice()->isVisible() && notice()->text().contains(QString::fromUtf8(told)),
                 qPrintable(notice()->text()));
    }
}

void TestEntryRules::unsafeTextRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed"); // or pasted
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("told"); // what the message names; "" for none
    row("separator typed", "|", true, "", "");
    row("separator pasted", "a|b", false, "AB", "Se pegó \"AB\". Se quitaron \"|\", que");
    row("line break pasted", "calle\r\nnorte", false, "CALLENORTE",
        "Se pegó \"CALLENORTE\". Se quitaron los saltos de línea, que");
    row("cyrillic typed", "ж", true, "", "");
    row("only cyrillic pasted", "Пётр", false, "",
        "No se pegó nada: del texto copiado se quitarían \"П\", \"ё\", \"т\" y \"р\"");
    row("letters, emoji and a tab pasted", "Őrség 😀\tNorte", false, "RSÉG NORTE",
        "Se pegó \"RSÉG NORTE\". Se quitaron \"Ő\", \"😀\" y los tabuladores, que");
    row("a long foreign text pasted", "a абвгдежзийк", false, "A ",
        "\"з\" y otros 3 caracteres, que");
    row("undefined 0x81 pasted", "a\u0081", false, "A", "Se quitaron los caracteres de control");
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
        VERIFY_HOLDS(script.lastText(), told);
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

// Every date field ends as the date typed, with or without separators,
// from wherever the typing starts; what makes no date is refused, told, and
// the field keeps what it had. "^V" pastes the rest, a line break is Enter,
// "M" a click on the month.
void TestEntryRules::datesAsTyped_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QDate>("date"); // invalid: refused
    // What is typed, "=" and the date it makes (none: refused), "|" between.
    const QStringList typings =
        QStringLiteral(
            "20/11/1999=1999-11-20|01/03/2010=2010-03-01|28/02/2005=2005-02-28|"
            "20111999=1999-11-20|1/3/2010=2010-03-01|20-11-1999=1999-11-20|"
            "20.1.1999=1999-01-20|2x0/11/1999=1999-11-20|31/02/2005=|20/11/99\n=|00/11/1999=|"
            "^V20/11/1999=1999-11-20|^V 20111999 =1999-11-20|^V20 de noviembre=|15/13/2000=|"
            "M07\n=2000-07-14")
            .split(u'|');
    for (const char* field :
         {"frmPeriodo_Agente.dtpIni", "frmPeriodo_Agente.dtpFin", "frmPeriodo_Mandatario.dtpIni",
          "frmPeriodo_Mandatario.dtpFin", "frmPedTramitados.dtpFPed"})
        for (const QString& typing : typings) {
            const QStringList at = QString::fromLatin1(field).split(u'.');
            const QString keys = typing.section(u'=', 0, 0);
            QTest::addRow("%s %s", field, qPrintable(QString(keys).replace(u'\n', u" Enter"_s)))
                << at[0] << at[1] << keys
                << QDate::fromString(typing.section(u'=', 1), Qt::ISODate);
        }
}

void TestEntryRules::datesAsTyped() {
    QFETCH(QString, dialog);
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QDate, date);
    seam::Script script; // Enter reaches a dialog's Aceptar
    ProgramDir dir;
    auto db = dir.open();
    const auto w = openWindow(dialog, *db);
    auto* d = qobject_cast<QDialog*>(w->window.get());
    auto* edit = d->findChild<QDateEdit*>(field);
    const QDate before(2000, 12, 14);
    edit->setDate(before);
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d));
    edit->setFocus();
    if (keys.startsWith(u'M')) {
        QLineEdit* text = edit->findChild<QLineEdit*>();
        const int month = text->fontMetrics().horizontalAdvance(QStringLiteral("14/0")) + 3;
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(month, text->height() / 2));
        QCoreApplication::processEvents();
        keys.remove(0, 1);
    }
    if (keys.startsWith(u"^V")) {
        QGuiApplication::clipboard()->setText(keys.mid(2));
        QTest::keySequence(edit, QKeySequence::Paste);
    }
    for (QChar c : keys.startsWith(u"^V") ? QString() : keys)
        c == u'\n' ? QTest::keyClick(edit, Qt::Key_Return) : QTest::keyClicks(edit, QString(c));
    QTest::keyClick(edit, Qt::Key_Tab); // leaving the field ends the typing
    // from whichever of its parts the typing stopped at
    QVERIFY(d->focusWidget() != edit && !edit->isAncestorOf(d->focusWidget()));
    const bool refused = !date.isValid();
    QCOMPARE(edit->date(), refused ? before : date);
    QCOMPARE(refusedDate(edit).isEmpty(), !refused);
    auto* notice = edit->findChild<QLabel*>("avisoCampo");
    QCOMPARE(notice != nullptr, refused);
}

namespace {
// The RFC's last character is its mod-11 check digit.
bool rfcDigitMatches(const QString& rfc) {
    return !rfc.isEmpty() && rfcCheckDigit(rfc) == rfc.back();
}
} // namespace

// P patent, R RFC, C CURP, N numeric text, F dd/mm/yy date, D the RFC's
// check digit: texts each check takes, then texts it refuses.
void TestEntryRules::checks_data() {
    QTest::addColumn<char>("check");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    const auto rows = [](char check, std::initializer_list<const char*> valid,
                         std::initializer_list<const char*> refused) {
        for (bool v : {true, false})
            for (const char* t : v ? valid : refused)
                QTest::addRow("%c \"%s\"", check, t) << check << QString::fromUtf8(t) << v;
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
    // A remainder of 0 gives 0 and of 1 gives A; a company's RFC of 12 counts
    // as led by a blank; & and Ñ have their own values; a character outside
    // the alphabet has no digit.
    rows('D',
         {"NUOR600101AB0", "ABCD850103XYA", "GODE561231GR8", "SAT970701NN3", "PEÑA800101AB8",
          "&ÑO010101AB0"},
         {"NUOR600101AB1", "ABCD850103XY0", "SAT970701NN4", "ABCD#50101XY7", ""});
}

void TestEntryRules::checks() {
    QFETCH(char, check);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    static const QHash<char, bool (*)(const QString&)> byCheck = {
        {'P', Valida_Patente}, {'R', Valida_RFC}, {'C', Valida_CURP},
        {'N', Es_Numerico},    {'F', Es_Fecha},   {'D', rfcDigitMatches}};
    QCOMPARE(byCheck.value(check)(text), valid);
}

// An editor holding typed changes asks before they are lost, whichever way
// it is left, and Enter keeps editing; unchanged, it closes at once. The
// change is typed or chosen in `field`.
void TestEntryRules::editorsAskBeforeDiscarding_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("field");
    row("representative", "frmApoderado", "txtNombre");
    row("representative's kind", "frmApoderado", "optSi");
    row("acted office", "frmAduanaAct", "cmbAduana");
    row("declaration", "frmPedTramitados", "txtPedimento");
    row("earlier agent", "frmAgentes_Aduanales", "txtRFC");
    row("agent's period", "frmPeriodo_Agente", "dtpIni");
    row("representative's period", "frmPeriodo_Mandatario", "cmbNoAduana");
}

void TestEntryRules::editorsAskBeforeDiscarding() {
    QFETCH(QString, dialog);
    QFETCH(QString, field);
    ProgramDir dir;
    auto db = dir.open();
    using enum seam::Answer;
    // Way of leaving, whether something was typed, the answer: question, still open.
    for (const char* way : {"Escape", "cmdCancelar", "close"})
        for (const auto& [typed, answer, outcome] :
             {std::tuple{false, Ok, "|0"}, {true, Cancel, "Cancel|1"}, {true, Ok, "Cancel|0"}}) {
            seam::Script s;
            const auto w = openWindow(dialog, *db);
            QString seen;
            s.onDialog(dialog, [&](QDialog& d) {
                d.show();
                QWidget* f = named(d, field);
                if (auto* e = qobject_cast<QLineEdit*>(f); e && typed)
                    QTest::keyClicks(e, "7");
                else if (auto* c = qobject_cast<QComboBox*>(f); c && typed)
                    c->setCurrentIndex(c->count() - 1);
                else if (auto* date = qobject_cast<QDateEdit*>(f); date && typed)
                    date->setDate(date->date().addDays(-1));
                else if (auto* b = qobject_cast<QAbstractButton*>(f); b && typed)
                    b->click();
                s.answer(answer);
                s.shown.clear();
                if (way == std::string_view("Escape"))
                    QTest::keyClick(&d, Qt::Key_Escape);
                else if (way == std::string_view("close"))
                    d.close();
                else
                    press(d, way);
                seen = (s.shown.isEmpty()                  ? QString()
                        : s.shown.last().onEnter == Cancel ? u"Cancel"_s
                                                           : u"Ok"_s) +
                       u'|' + QString::number(int(d.isVisible()));
                d.hide();
                return d.result();
            });
            seam::exec(static_cast<QDialog&>(**w));
            QVERIFY2(seen == QLatin1String(outcome),
                     qPrintable(u"%1, %2: %3"_s.arg(way).arg(typed).arg(seen)));
        }
}

// Every button and every labelled field (through its label) has an Alt
// letter no other control beside it shares. The main window's pages show
// one at a time: each with the button row. An address block's fields are
// walked by Tab (nine to a block, two or three blocks to a window: more
// than the letters of their captions).
void TestEntryRules::altLettersInEveryWindow_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("page"); // of the main window; "" for the whole window
    for (const QString& w : EveryWindow)
        if (w != u"frmMain")
            QTest::newRow(qPrintable(w)) << w << QString();
    for (const char* page : {"pageAgent", "pageOffices", "pageRepresentatives", "pageAgentHistory",
                             "pageRepresentativeHistory"})
        QTest::newRow(page) << u"frmMain"_s << QString::fromLatin1(page);
}

void TestEntryRules::altLettersInEveryWindow() {
    QFETCH(QString, window);
    QFETCH(QString, page);
    ProgramDir dir;
    auto db = dir.open();
    const auto w = openWindow(window, *db);
    const auto inScope = [&](const QWidget* c) {
        for (const QWidget* p = c; p; p = p->parentWidget())
            if (p->objectName().startsWith(u"page"_s))
                return p->objectName() == page;
        return true;
    };
    const auto inBlock = [](const QWidget* c) {
        for (const QWidget* p = c->parentWidget(); p; p = p->parentWidget())
            if (qobject_cast<const AddressBlock*>(p))
                return true;
        return false;
    };
    QMap<QString, QString> holder; // Alt letter -> control
    QStringList faults;
    QSet<const QWidget*> named;
    const auto needs = [&](const QWidget* c, const QString& text) {
        const QString key = QKeySequence::mnemonic(text).toString();
        if (key.isEmpty())
            faults << c->objectName() + u": no Alt letter in \""_s + text + u'"';
        else if (holder.contains(key))
            faults << c->objectName() + u": "_s + key + u" also "_s + holder[key];
        else
            holder[key] = c->objectName();
    };
    for (const QWidget* c : (**w).findChildren<QWidget*>()) {
        if (!inScope(c))
            continue;
        if (auto* b = qobject_cast<const QAbstractButton*>(c); b && !b->text().isEmpty())
            needs(c, b->text());
        else if (auto* l = qobject_cast<const QLabel*>(c); l && l->buddy() && !inBlock(c)) {
            needs(c, l->text());
            named << l->buddy();
        }
    }
    // Every field a person types or chooses in has a label leading to it;
    // an office's name list stands beside its number list, which the label
    // leads to.
    const auto besideNamed = [&](const QWidget* c) {
        const QString number = c->objectName().replace(u"cmbAduana"_s, u"cmbNoAduana"_s);
        return std::any_of(named.cbegin(), named.cend(),
                           [&](const QWidget* n) { return n->objectName() == number; });
    };
    for (const QWidget* c : (**w).findChildren<QWidget*>()) {
        const bool field = qobject_cast<const QLineEdit*>(c) || qobject_cast<const QComboBox*>(c) ||
                           qobject_cast<const QDateEdit*>(c);
        if (field && inScope(c) && !inBlock(c) && c->focusPolicy() != Qt::NoFocus &&
            !qobject_cast<const QAbstractSpinBox*>(c->parentWidget()) &&
            !qobject_cast<const QComboBox*>(c->parentWidget()) && !named.contains(c) &&
            !c->property("readOnly").toBool() && !c->isHidden() && c->isEnabled() &&
            !besideNamed(c))
            faults << c->objectName() + u": no label leads to it"_s;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
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
