// Screenshots of every window of the program as a person meets them: the
// real main window and dialogs, framed, placed and sized by the window
// manager of the screen this runs on, with a timer doing what the user
// would. tools/capturas.sh runs it on a 1366x768 virtual screen with openbox.
//   kestro_capturas <delivered kestro.mdb> <output folder> <suffix> <scene.sql>...
// Each scene is SQL, one statement a line, "<folder>" standing for the data
// folder (the test fixtures are such scenes). With KESTRO_IMAGENES_MANUAL
// set to a folder, the pictures the manual shows are written there too,
// 600 pixels wide.
#include "data/Database.h"
#include "data/KnownAgents.h"
#include "dialogs/HelpKey.h"
#include "dialogs/frmAgentes.h"
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "wizard/frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <functional>

namespace {

// A window shown, by objectName or class; "frmMain:frApoderado" is the main
// window while that page's frame shows.
QWidget* topNamed(const QString& name) {
    const QString window = name.section(u':', 0, 0), frame = name.section(u':', 1);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->objectName() == window || w->metaObject()->className() == window))
            if (QWidget* f = frame.isEmpty() ? w : w->findChild<QWidget*>(frame);
                f && f->isVisible())
                return w;
    return nullptr;
}

template <class T = QAbstractButton> T* in(const QString& window, const QString& name) {
    QWidget* top = topNamed(window);
    return top ? top->findChild<T*>(name) : nullptr;
}

void click(const QString& window, const QString& button) {
    if (auto* b = in(window, button))
        b->click();
    else
        std::fprintf(stderr, "no %s in %s\n", qPrintable(button), qPrintable(window));
}

void later(std::function<void()> f) {
    QTimer::singleShot(0, qApp, std::move(f));
}

struct Step {
    QString window; // objectName, or QMessageBox
    QString file;
    std::function<void(QWidget*)> act;
};

void pick(const QString& grid, int row) {
    if (auto* g = in<QTableWidget>(QStringLiteral("frmMain"), grid)) {
        g->setCurrentCell(-1, -1);
        g->setCurrentCell(row, 0);
    }
}

void reject(QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
    else
        w->close();
}

std::deque<Step> steps() {
    const QString main = QStringLiteral("frmMain");
    const auto mainClick = [main](const char* b) { click(main, QLatin1String(b)); };
    return {
        {"frmAgentes", "agentes", reject},
        {"frmInicio", "inicio", [](QWidget*) { click("frmInicio", "cmdInicio"); }},
        {main + ":frAA", "pagina-1",
         [=](QWidget*) {
             in<QLineEdit>(main, "txtNoAduanasAut")->setText("1");
             mainClick("cmdSiguiente");
         }},
        {main + ":frDirValidAA", "pagina-2",
         [=](QWidget*) {
             mainClick("cmdAtras");
             in<QLineEdit>(main, "txtNoAduanasAut")->setText("0");
             mainClick("cmdSiguiente");
             auto* g = in<QTableWidget>(main, "fgAA");
             const auto rosa = g->findItems("ROSA", Qt::MatchExactly);
             pick("fgAA", rosa.isEmpty() ? 0 : rosa.first()->row());
         }},
        {main + ":frApoderado", "pagina-3", [=](QWidget*) { mainClick("cmdEditar"); }},
        {"frmApoderado", "representante",
         [](QWidget*) { click("frmApoderado", "cmdNuevaAduana"); }},
        {"frmAduanaAct", "aduana-donde-actuo",
         [](QWidget* w) {
             reject(w);
             later([] { click("frmApoderado", "cmdNuevoPed"); });
         }},
        {"frmPedTramitados", "pedimento-tramitado",
         [=](QWidget* w) {
             reject(w);
             later([=] {
                 reject(topNamed("frmApoderado"));
                 later([=] { mainClick("cmdSiguiente"); });
             });
         }},
        {main + ":frAA21311", "pagina-4", [=](QWidget*) { mainClick("cmdAANuevo"); }},
        {"frmAgentes_Aduanales", "representante-historico",
         [](QWidget*) { click("frmAgentes_Aduanales", "cmdNuevo"); }},
        {"frmPeriodo_Agente", "periodo-del-representante",
         [=](QWidget* w) {
             reject(w);
             later([=] {
                 reject(topNamed("frmAgentes_Aduanales"));
                 later([=] { mainClick("cmdSinHistAA"); });
             });
         }},
        {"frmSinHIstorico", "sin-historico",
         [=](QWidget* w) {
             reject(w);
             later([=] {
                 mainClick("cmdSiguiente");
                 pick("fgMandatarios", 0);
             });
         }},
        {main + ":frMandatarios", "pagina-5", [=](QWidget*) { mainClick("cmdMandNuevo"); }},
        {"frmPeriodo_Mandatario", "periodo-mandatario",
         [=](QWidget* w) {
             reject(w);
             later([=] { mainClick("cmdDudas"); });
         }},
        {"frmDudas", "dudas",
         [=](QWidget* w) {
             reject(w);
             later([=] {
                 QWidget* focus = topNamed(main)->focusWidget();
                 QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
                 QApplication::sendEvent(focus ? focus : topNamed(main), &f1);
             });
         }},
        {"ManualWindow", "manual",
         [=](QWidget* w) {
             w->close();
             later([=] { mainClick("cmdSiguiente"); });
         }},
        {"QMessageBox", "pregunta-finaliza",
         [](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click(); }},
        {"FindingsDialog", "lista-de-hallazgos",
         [](QWidget*) { click("FindingsDialog", "cmdContinuar"); }},
        {"frmKey", "llave",
         [=](QWidget* w) {
             reject(w);
             later([=] { mainClick("cmdSalir"); });
         }},
        {"QMessageBox", "pregunta-salir",
         [](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click(); }},
    };
}

// A second agent beside the scene's one, so that the list shows two rows.
bool makeSecondAgent(const QString& templatePath, const QString& folder) {
    QDir().mkpath(folder);
    const QString mdb = folder + QStringLiteral("/kestro.mdb");
    QFile::copy(templatePath, mdb);
    QFile::setPermissions(mdb, QFile::ReadOwner | QFile::WriteOwner);
    Database::Opened db = Database::open(folder);
    return db && !db.value->exec(QStringLiteral(
                     "insert into AA values (3547,'MARIA','LUNA','SOTO','LUSM750505AB2',"
                     "'LUSM750505MDFNTR02',1234,470,null,null,null,0,null)"));
}

bool runScene(Database& db, const QString& file, const QString& folder) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QTextStream in(&f);
    while (!in.atEnd())
        if (const QString line = in.readLine().trimmed(); !line.isEmpty())
            if (const MaybeError e =
                    db.exec(QString(line).replace(QStringLiteral("<folder>"), folder)))
                return std::fprintf(stderr, "%s: %s\n", qPrintable(line), qPrintable(e->message())),
                       false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installHelpKey(app);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fputs("kestro_capturas <kestro.mdb entregada> <carpeta> <sufijo> <escena.sql>...\n",
                   stderr);
        return 2;
    }
    QTemporaryDir data;
    QFile::copy(args[1], data.filePath(QStringLiteral("kestro.mdb")));
    QFile::setPermissions(data.filePath(QStringLiteral("kestro.mdb")),
                          QFile::ReadOwner | QFile::WriteOwner);
    for (const char* rfc : {"MODL800101AB1", "PAGE810202AB1", "GAMR800202XY2"}) {
        QFile req(data.filePath(QLatin1String(rfc) + QStringLiteral(".req")));
        (void)(req.open(QIODevice::WriteOnly) && req.write("req"));
    }
    {
        Database::Opened db = Database::open(data.path());
        if (!db)
            return std::fprintf(stderr, "%s\n", qPrintable(db.error->message())), 1;
        for (qsizetype i = 4; i < args.size(); ++i)
            if (!runScene(*db.value, args[i], data.path()))
                return 1;
    }
    AppState state;
    state.dataDir = data.path();
    state.dumpToolDir = data.path();
    state.previousVersionDir = data.filePath(QStringLiteral("no-existe"));
    const QString out = args[2], suffix = args[3];
    const QString manualImages = qEnvironmentVariable("KESTRO_IMAGENES_MANUAL");
    const QStringList shownInManual{QStringLiteral("pagina-1"), QStringLiteral("pagina-3"),
                                    QStringLiteral("lista-de-hallazgos")};

    const QString second = data.filePath(QStringLiteral("agente-3547"));
    QSettings settings(data.filePath(QStringLiteral("ajustes.ini")), QSettings::IniFormat);
    KnownAgents known(data.filePath(QString::fromLatin1(KnownAgents::FileName)), data.path(),
                      settings);
    if (!makeSecondAgent(args[1], second) || known.add(second))
        return std::fputs("no se pudo preparar el segundo agente\n", stderr), 1;

    std::deque<Step> todo = steps();
    QElapsedTimer since; // since the last thing done
    since.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (todo.empty())
            return QApplication::quit();
        const Step& step = todo.front();
        QWidget* w = topNamed(step.window);
        if (since.elapsed() > 15000) {
            std::fprintf(stderr, "no llegó %s (%s)\n", qPrintable(step.window),
                         qPrintable(step.file));
            return QApplication::exit(1);
        }
        if (!w || w->frameGeometry() == w->geometry() || since.elapsed() < 900)
            return;
        const QRect frame = w->frameGeometry();
        const QString file = out + u'/' + step.file + suffix + QStringLiteral(".png");
        const QPixmap shot =
            w->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        shot.save(file, "PNG", 0);
        // The manual shows a few of them, smaller.
        if (!manualImages.isEmpty() && suffix.isEmpty() && shownInManual.contains(step.file))
            shot.scaledToWidth(600, Qt::SmoothTransformation)
                .save(manualImages + u'/' + step.file + QStringLiteral(".png"), "PNG", 0);
        std::printf("%s %dx%d en %d,%d\n", qPrintable(file), frame.width(), frame.height(),
                    frame.x(), frame.y());
        const auto act = step.act;
        todo.pop_front();
        since.restart();
        later([act, w] { act(w); });
    });
    poll.start(150);

    frmAgentes agents(known, args[1], frmAgentes::Purpose::Open);
    seam::exec(agents);
    frmMain window(state);
    if (!window.startUp())
        return 1;
    window.show();
    return todo.empty() ? 0 : app.exec();
}
