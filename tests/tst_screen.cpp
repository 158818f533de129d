// Windows as the program shows them on a 1366x768 screen under a window
// manager (tests/under_window_manager.sh), at 100% and at 125%: framed,
// placed and sized by the real paths, never past the screen's free part.
#include "data/KnownAgents.h"
#include "dialogs/FindingsDialog.h"
#include "dialogs/frmAgentes.h"
#include "support/WizardDriver.h"

#include <QHeaderView>
#include <QScreen>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

QRect freeArea(const QWidget* w) {
    return w->screen()->availableGeometry();
}

// Framed by the window manager, and left alone long enough for the
// program's own placing to be done.
bool settled(QWidget* w) {
    const bool framed = QTest::qWaitFor([w] { return w->frameGeometry() != w->geometry(); });
    QTest::qWait(400);
    return framed;
}

QString where(const QWidget* w) {
    const QRect f = w->frameGeometry(), a = freeArea(w);
    return u"%1x%2 at %3,%4 on %5x%6"_s.arg(f.width())
        .arg(f.height())
        .arg(f.x())
        .arg(f.y())
        .arg(a.width())
        .arg(a.height());
}

// Opens the dialog through the seam's real path; once the window manager
// has framed it, `look` measures it and a timer closes it. Its frame, empty
// when it was never framed.
QRect openedOnScreen(QDialog& dialog, const std::function<void()>& look) {
    QRect frame;
    QTimer::singleShot(0, &dialog, [&] {
        if (settled(&dialog)) {
            frame = dialog.frameGeometry();
            look();
        }
        dialog.reject();
    });
    seam::exec(dialog);
    return frame;
}

} // namespace

class TestScreen : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findingsListOpensReadable();
    void agentsListShowsEveryColumn();
    void wizardStaysOnScreen();
};

// Opened through the seam's real path, and answered by a timer.
void TestScreen::findingsListOpensReadable() {
    const QString what = u"El requerimiento electrónico no se puede leer: el archivo fue movido, "
                         u"borrado o está abierto en otro programa que no deja leerlo."_s;
    const QString todo =
        u"Vuelva a elegir el requerimiento en la ventana del representante "
        u"(botón Buscar) o regrese el archivo a su carpeta, y pulse Finaliza otra vez."_s;
    QList<Problem> problems;
    for (int i = 0; i < 5; ++i)
        problems << Problem{WizardPage::Representatives,
                            u"GAMR800202MDFRRS01"_s,
                            u"MARIA DE LOS ANGELES HERNANDEZ"_s,
                            what,
                            todo,
                            i < 3};
    FindingsDialog dialog(problems);
    QString shown;
    int textColumns = 0, rowHeight = 0, need = 0;
    bool scrolls = true;
    const QRect frame = openedOnScreen(dialog, [&] {
        shown = where(&dialog);
        auto* list = dialog.findChild<QTreeWidget*>(u"twHallazgos"_s);
        textColumns = std::min(list->columnWidth(2), list->columnWidth(3));
        rowHeight = list->visualItemRect(list->topLevelItem(1)).height();
        need =
            dialog.fontMetrics()
                .boundingRect(QRect(0, 0, list->columnWidth(3) - 8, 1000), Qt::TextWordWrap, todo)
                .height();
        scrolls = list->horizontalScrollBar()->isVisible();
    });
    QVERIFY2(!frame.isEmpty(), "the dialog was never framed");
    QVERIFY2(freeArea(&dialog).contains(frame), qPrintable(shown));
    // Its title whole beside the window manager's buttons; the four columns
    // in view, the long texts wrapped in columns of some forty characters.
    const QFontMetrics fm(dialog.font());
    QVERIFY2(frame.width() >= fm.horizontalAdvance(dialog.windowTitle()) + 150, qPrintable(shown));
    QVERIFY2(textColumns >= fm.averageCharWidth() * 30 && !scrolls, qPrintable(shown));
    QVERIFY2(rowHeight >= std::max(need, 2 * fm.height()),
             qPrintable(shown + u" row %1 need %2"_s.arg(rowHeight).arg(need)));
}

// The list of agents opens wide enough for every column, a long folder
// name included, and within the screen.
void TestScreen::agentsListShowsEveryColumn() {
    QTemporaryDir home;
    const QString folder = home.filePath(
        u"Oficina de la calle Reforma/Agentes aduanales/Agente 3547 de la aduana de Veracruz"_s);
    QDir().mkpath(folder);
    QSettings settings(home.filePath(u"ajustes.ini"_s), QSettings::IniFormat);
    KnownAgents known(home.filePath(u"agentes.lista"_s), folder, settings);
    frmAgentes dialog(known, QString(), frmAgentes::Purpose::Open);
    QString shown;
    bool whole = false;
    const QRect frame = openedOnScreen(dialog, [&] {
        shown = where(&dialog);
        whole = showsWhole(dialog.findChild<QTableWidget*>(u"tblAgentes"_s), {0, 1, 2, 3, 4});
    });
    QVERIFY2(!frame.isEmpty(), "the dialog was never framed");
    QVERIFY2(freeArea(&dialog).contains(frame), qPrintable(shown));
    QVERIFY2(whole, qPrintable(shown));
}

// A representative of the earlier kind brings up offices and declarations
// below the list: page 3 grows the window as far as the screen lets it, and
// it stays within the screen; the next page gives the room back. The name
// columns show the names whole (as far as the screen allows), and page 5's
// "Historico" column, SI or NO, takes no more than its header.
void TestScreen::wizardStaysOnScreen() {
    Wizard wz;
    {
        auto db = wz.dir.open();
        storeHistory(*db, wz.dir.path(), true);
        runScene(*db, u"rosa.sql"_s, wz.dir.path());
        must(*db, "update Mandatarios set Nombre='MARIA DE LOS ANGELES' where CURP=?", {Luis});
    }
    wz.start();
    wz.show();
    wz.fillPage1(0);
    QWidget* main = wz.window.get();
    QVERIFY(settled(main));
    const QSize own = main->size();
    wz.next();
    QVERIFY(wz.pageShown("frApoderado"));
    auto* fgAA = wz.grid("fgAA");
    const int rosa = fgAA->findItems(u"ROSA"_s, Qt::MatchExactly).first()->row();
    wz.pick("fgAA", rosa);
    QVERIFY(wz.w("frAduanasAct")->isVisible());
    QTRY_VERIFY(main->height() > own.height());
    QVERIFY(settled(main));
    QVERIFY2(freeArea(main).contains(main->frameGeometry()), qPrintable(where(main)));
    QVERIFY2(showsWhole(fgAA, {0, 1, 2}) ||
                 main->frameGeometry().width() >= freeArea(main).width() - 2,
             qPrintable(where(main)));

    wz.next();
    QVERIFY(wz.pageShown("frAA21311"));
    QTRY_COMPARE(main->size(), own);
    wz.next();
    auto* fgMandatarios = wz.grid("fgMandatarios");
    QVERIFY(wz.pageShown("frMandatarios"));
    QTRY_VERIFY(showsWhole(fgMandatarios, {0, 1, 2, 3}));
    QVERIFY(fgMandatarios->columnWidth(4) <=
            fgMandatarios->horizontalHeader()->sectionSizeHint(4) + 2);
    QVERIFY2(freeArea(main).contains(main->frameGeometry()), qPrintable(where(main)));
}

QTEST_MAIN(TestScreen)
#include "tst_screen.moc"
