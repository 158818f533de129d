// The user's manual: F1 opens it at the part of the window it was pressed
// in, its links lead somewhere, and it is installed and packaged as a file.
#include "dialogs/FindingsDialog.h"
#include "dialogs/HelpKey.h"
#include "dialogs/ManualWindow.h"
#include "support/WizardDriver.h"

#include <QTextBlock>
#include <QTextBrowser>

using namespace Qt::StringLiterals;

namespace {

// The heading at the top of the manual's visible text, once it has opened.
QString headingShown(QWidget* window) {
    ManualWindow* manual = nullptr;
    if (!QTest::qWaitFor([&] { return (manual = window->findChild<ManualWindow*>()); }))
        return u"(no manual)"_s;
    auto* text = manual->findChild<QTextBrowser*>(u"txtManual"_s);
    const QString shown = text->cursorForPosition(QPoint(4, 4)).block().text();
    manual->close();
    return shown;
}

// In the control that has the keyboard in that window.
void pressF1(QWidget* window) {
    QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_F1);
}

} // namespace

class TestManual : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installHelpKey(*qApp); }
    void f1OpensTheSectionOfItsWindow_data();
    void f1OpensTheSectionOfItsWindow();
    void everySectionAndLinkLeadsSomewhere();
    void installedAndPackaged();
};

void TestManual::f1OpensTheSectionOfItsWindow_data() {
    QTest::addColumn<int>("page");        // where the wizard stands
    QTest::addColumn<QString>("dialog");  // the dialog F1 is pressed in; "" for the page
    QTest::addColumn<QString>("heading"); // what the manual opens at
    row("page 1", 1, "", "Página 1, datos del agente aduanal");
    row("page 3", 3, "", "Página 3, representantes");
    row("representative editor, from page 3", 3, "frmApoderado", "Página 3, representantes");
    row("list of findings", 1, "FindingsDialog", "La revisión antes de la llave");
    row("Dudas o Comentarios, its Manual button", 1, "frmDudas", "Manual de KESTRO 3.5");
}

void TestManual::f1OpensTheSectionOfItsWindow() {
    QFETCH(int, page);
    QFETCH(QString, dialog);
    QFETCH(QString, heading);
    Wizard wz;
    storeOffice(*wz.dir.open(), wz.dir.path());
    wz.start();
    wz.show();
    if (page == 3)
        wz.next();
    QVERIFY(wz.pageShown(page == 3 ? "frApoderado" : "frAA"));
    QString shown;
    if (dialog.isEmpty()) {
        pressF1(wz.window.get());
        shown = headingShown(wz.window.get());
    } else if (dialog == u"FindingsDialog") {
        FindingsDialog findings({Problem{}}, wz.window.get());
        findings.show();
        pressF1(&findings);
        shown = headingShown(&findings);
    } else if (dialog == u"frmDudas") {
        wz.withDialog("frmDudas", "cmdDudas", [](QDialog& d) { press(d, u"cmdManual"_s); });
        shown = headingShown(wz.window.get());
    } else {
        wz.withDialog(qPrintable(dialog), "cmdNuevo", [&](QDialog& d) {
            d.show();
            pressF1(&d);
            shown = headingShown(&d);
        });
    }
    QCOMPARE(shown, heading);
}

// Each window's section and each link of the manual names a heading of it.
void TestManual::everySectionAndLinkLeadsSomewhere() {
    ManualWindow manual;
    const QStringList sections = manual.sections();
    QVERIFY(sections.size() > 10);
    QCOMPARE(headingAnchor(u"Página 3, representantes"_s), u"página-3-representantes"_s);
    QStringList wanted = helpSections().values();
    const QString text = QString::fromUtf8(readWholeFile(u":/manual/manual.md"_s));
    static const QRegularExpression link(uR"(\]\(#([^)]+)\))"_s);
    for (const QRegularExpressionMatch& m : link.globalMatch(text))
        wanted << m.captured(1);
    static const QRegularExpression image(uR"(!\[[^\]]*\]\(([^)]+)\))"_s);
    for (const QRegularExpressionMatch& m : image.globalMatch(text))
        QVERIFY2(QFile::exists(u":/manual/"_s + m.captured(1)), qPrintable(m.captured(1)));
    for (const QString& w : wanted)
        QVERIFY2(sections.contains(w), qPrintable(w));
}

void TestManual::installedAndPackaged() {
#ifdef Q_OS_WIN
    QSKIP("installed and packaged from the Linux build");
#else
    QTemporaryDir dest;
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DESTDIR"_s, dest.path());
    install.setProcessEnvironment(env);
    install.start(u"cmake"_s, {u"--install"_s, QStringLiteral(KESTRO_BUILD_DIR), u"--component"_s,
                               u"manual"_s, u"--prefix"_s, u"/usr"_s});
    QVERIFY(install.waitForFinished() && install.exitCode() == 0);
    QCOMPARE(readWholeFile(dest.path() + u"/usr/share/doc/kestro/manual.md"_s),
             readWholeFile(u":/manual/manual.md"_s));
    QVERIFY(QFile::exists(dest.path() + u"/usr/share/doc/kestro/imagenes/pagina-3.png"_s));
    // The portable folder and the installer, which packs that folder whole.
    const QString package =
        QString::fromUtf8(readWholeFile(QStringLiteral(KESTRO_SOURCE_DIR "/windows/package.sh")));
    QVERIFY(package.contains(uR"(cp -r "$here/../docs/manual" "$out/manual")"_s));
#endif
}

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
