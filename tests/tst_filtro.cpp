// The keystroke rules of the entry fields, the Windows-1252 code page they
// guard, and Qt's own texts in Spanish.
#include "entry/Cp1252.h"
#include "entry/KeystrokeFilter.h"
#include "wizard/Idioma.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

namespace {

// Types the text key by key. QTest::keyClicks only carries ASCII, so the
// other characters of the code page go as keys with their text.
void typeText(QLineEdit* field, const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClicks(field, QString(c));
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
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

} // namespace

class TstFiltro : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedLettersBecomeCapitals_data();
    void typedLettersBecomeCapitals();
    void editingKeysAndLength();
    void pastedAndProgramTextKeepCase();
    void unsafeTextRefused_data();
    void unsafeTextRefused();
    void fieldWithoutUppercase();
    void codePageRoundTrip();
    void spanishStandardButtons();

private:
    std::unique_ptr<QLineEdit> entryField(bool uppercase = true);
};

std::unique_ptr<QLineEdit> TstFiltro::entryField(bool uppercase) {
    auto field = std::make_unique<QLineEdit>();
    field->setMaxLength(100);
    attachEntryRules(field.get(), uppercase);
    field->show();
    field->setFocus();
    return field;
}

void TstFiltro::typedLettersBecomeCapitals_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("exterior number") << "s/n"
                                     << "S/N";
    QTest::newRow("street") << "av. 5 de mayo #12-b"
                            << "AV. 5 DE MAYO #12-B";
    QTest::newRow("enie") << "peña"
                          << "PEÑA";
    QTest::newRow("accents") << "áéíóúü"
                             << "ÁÉÍÓÚÜ";
    QTest::newRow("s caron") << "š"
                             << "Š";
    QTest::newRow("y diaeresis") << "ÿ"
                                 << "Ÿ";
    QTest::newRow("ligature and z caron") << "œž"
                                          << "ŒŽ";
    // Their capitals are not in the code page: they stay as typed.
    QTest::newRow("micro") << "µ"
                           << "µ";
    QTest::newRow("f hook") << "ƒ"
                            << "ƒ";
    QTest::newRow("sharp s") << "ß"
                             << "ß";
    QTest::newRow("capitals and signs") << "ABC€&'"
                                        << "ABC€&'";
}

void TstFiltro::typedLettersBecomeCapitals() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    auto field = entryField();
    typeText(field.get(), typed);
    QCOMPARE(field->text(), shown);

    // The same letters through an input method (dead keys) become capitals too.
    auto composed = entryField();
    commit(composed.get(), typed);
    QCOMPARE(composed->text(), shown);
}

void TstFiltro::editingKeysAndLength() {
    auto field = entryField();
    typeText(field.get(), QStringLiteral("abc"));
    QTest::keyClick(field.get(), Qt::Key_Backspace);
    QCOMPARE(field->text(), QStringLiteral("AB"));
    QTest::keyClick(field.get(), Qt::Key_Home);
    typeText(field.get(), QStringLiteral("x"));
    QTest::keyClick(field.get(), Qt::Key_End);
    QTest::keyClick(field.get(), Qt::Key_Left);
    QTest::keyClick(field.get(), Qt::Key_Delete);
    QCOMPARE(field->text(), QStringLiteral("XA"));

    // A typed capital replaces a selection like any key.
    field->selectAll();
    typeText(field.get(), QStringLiteral("ñ"));
    QCOMPARE(field->text(), QStringLiteral("Ñ"));

    // The maximum length still holds for converted keys.
    field->clear();
    field->setMaxLength(5);
    typeText(field.get(), QStringLiteral("cp 06700"));
    QCOMPARE(field->text(), QStringLiteral("CP 06"));
}

void TstFiltro::pastedAndProgramTextKeepCase() {
    auto field = entryField();
    typeText(field.get(), QStringLiteral("a"));
    paste(field.get(), QStringLiteral("o'higgins ñú"));
    QCOMPARE(field->text(), QStringLiteral("Ao'higgins ñú"));
    typeText(field.get(), QStringLiteral("z"));
    QCOMPARE(field->text(), QStringLiteral("Ao'higgins ñúZ"));

    field->setText(QStringLiteral("minúsculas"));
    QCOMPARE(field->text(), QStringLiteral("minúsculas"));
    field->insert(QStringLiteral(" y más"));
    QCOMPARE(field->text(), QStringLiteral("minúsculas y más"));
}

void TstFiltro::unsafeTextRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed"); // or pasted
    QTest::newRow("separator typed") << "|" << true;
    QTest::newRow("separator pasted") << "A|B" << false;
    QTest::newRow("line break pasted") << "CALLE\nNORTE" << false;
    QTest::newRow("carriage return pasted") << "CALLE\rNORTE" << false;
    QTest::newRow("tab pasted") << "A\tB" << false;
    QTest::newRow("check mark typed") << "✓" << true;
    QTest::newRow("cyrillic typed") << "ж" << true;
    QTest::newRow("cyrillic pasted") << "Пётр" << false;
    QTest::newRow("outside the BMP pasted") << "A\U0001F600" << false;
    QTest::newRow("C1 control pasted") << "A\u0081" << false;
}

void TstFiltro::unsafeTextRefused() {
    QFETCH(QString, text);
    QFETCH(bool, typed);
    for (bool uppercase : {true, false}) {
        auto field = entryField(uppercase);
        typeText(field.get(), QStringLiteral("ok"));
        const QString before = field->text();
        if (typed)
            typeText(field.get(), text);
        else
            paste(field.get(), text);
        QCOMPARE(field->text(), before);
        commit(field.get(), text);
        QCOMPARE(field->text(), before);
        // The field still takes what is allowed, € included.
        paste(field.get(), QStringLiteral(" €5"));
        QCOMPARE(field->text(), before + QStringLiteral(" €5"));
    }
}

void TstFiltro::fieldWithoutUppercase() {
    auto field = entryField(false);
    typeText(field.get(), QStringLiteral("juan pérez s/n"));
    QCOMPARE(field->text(), QStringLiteral("juan pérez s/n"));
    commit(field.get(), QStringLiteral("ñ"));
    QCOMPARE(field->text(), QStringLiteral("juan pérez s/nñ"));

    // An untouched field keeps Qt's own behaviour.
    QLineEdit plain;
    QTest::keyClicks(&plain, QStringLiteral("a|b"));
    QCOMPARE(plain.text(), QStringLiteral("a|b"));
}

void TstFiltro::codePageRoundTrip() {
    QString all;
    for (char16_t u = 0; u < 0xFFFF; ++u)
        if (Cp1252::encodable(QChar(u)))
            all += QChar(u);
    QCOMPARE(all.size(), 251);
    QVERIFY(!Cp1252::encodable(QChar(0xFFFF)));

    const QByteArray bytes = Cp1252::encode(all);
    QCOMPARE(bytes.size(), 251);
    QSet<unsigned char> distinct;
    for (char b : bytes)
        distinct.insert(static_cast<unsigned char>(b));
    QCOMPARE(distinct.size(), 251);
    for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QVERIFY(!distinct.contains(undefined));
    QCOMPARE(Cp1252::decode(bytes), all);

    QCOMPARE(Cp1252::encode(QStringLiteral("€ŠŸñ")), QByteArray("\x80\x8a\x9f\xf1"));
    QCOMPARE(Cp1252::decode(QByteArray("\x80\x8a\x9f\xf1")), QStringLiteral("€ŠŸñ"));
    QCOMPARE(Cp1252::encode(QStringLiteral("A✓")), QByteArray("A?"));
    QVERIFY(Cp1252::encodable(QStringLiteral("PEÑA €")));
    QVERIFY(!Cp1252::encodable(QStringLiteral("Пётр")));
}

void TstFiltro::spanishStandardButtons() {
    QDialogButtonBox before(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QVERIFY(!before.button(QDialogButtonBox::Ok)->text().contains(QStringLiteral("Aceptar")));

    QVERIFY(installSpanish(*QCoreApplication::instance()));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("Aceptar"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));

    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Ok)->text().remove(u'&'), QStringLiteral("Aceptar"));
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QStringLiteral("Cancelar"));
}

QTEST_MAIN(TstFiltro)
#include "tst_filtro.moc"
