#include "data/CommandLine.h"
#include "data/DataFolder.h"
#include "data/FolderLock.h"
#include "data/KnownAgents.h"
#include "data/OneSqlite.h"
#include "dialogs/HelpKey.h"
#include "dialogs/ManualWindow.h"
#include "entry/AppState.h"
#include "entry/BackupRestore.h"
#include "entry/ScreenFit.h"
#include "entry/Seam.h"
#include "exchange/DumpImport.h"
#include "wizard/AgentStart.h"
#include "wizard/Language.h"
#include "wizard/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <optional>
#if defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace {

bool displayAvailable() {
#if defined(Q_OS_LINUX)
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/kestro/kestro-%1.png").arg(size), QSize(size, size));
    return icon;
}

// Help, version and a badly written order are answered on the terminal, with
// no window and no display needed.
void say(const CommandLine& command) {
#if defined(Q_OS_WIN)
    // A program with windows has no console of its own: the one it was
    // started from, if any, receives the text.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        (void)std::freopen("CONOUT$", "w", stdout);
        (void)std::freopen("CONOUT$", "w", stderr);
    }
#endif
    std::fputs(command.say.toLocal8Bit().constData(), command.error ? stderr : stdout);
}

} // namespace

int main(int argc, char** argv) {
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        if (const CommandLine early = readCommandLine(arguments); early.endWith) {
            say(early);
            return *early.endWith;
        }
    }
    if (!displayAvailable()) {
        std::fputs("KESTRO necesita una pantalla gráfica y no se encontró ninguna "
                   "(la variable DISPLAY está vacía).\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KESTRO"));
    QApplication::setApplicationVersion(QStringLiteral("3.5"));
    QGuiApplication::setDesktopFileName(QStringLiteral("mx.kestro.Kestro"));
    QApplication::setWindowIcon(programIcon());
    installSpanish(app);
    installHelpKey(app);
    // The manual alone, from its own shortcut: no data folder is touched.
    if (readCommandLine(QCoreApplication::arguments()).manual) {
        ManualWindow manual;
        placeOnScreen(&manual);
        manual.show();
        return app.exec();
    }
    if (const QString differ = sqliteVersionsDiffer(); !differ.isEmpty()) {
        seam::message(nullptr, differ, QStringLiteral("KESTRO 3.5"), seam::Icon::Exclamation);
        return 1;
    }

    const QString programDir = QCoreApplication::applicationDirPath();
    // The delivered database is installed read-only beside the program's
    // share folder; the build folder is laid out the same way.
    const QString deliveredDatabase = QDir::cleanPath(
        QDir(programDir).filePath(QString::fromUtf8(KESTRO_TEMPLATE_FROM_PROGRAM "/kestro.mdb")));
    const DataFolder data = chooseDataFolder(
        programDir, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
        deliveredDatabase);
    if (data.path.isEmpty()) {
        seam::message(nullptr, data.error, QStringLiteral("KESTRO 3.5"), seam::Icon::Exclamation);
        return 1;
    }
    // Read again from Qt's own copy, which keeps every character of a path.
    const CommandLine command = readCommandLine(QCoreApplication::arguments());
    QSettings settings(QSettings::UserScope, QStringLiteral("KESTRO"), QStringLiteral("KESTRO"));
    KnownAgents known(QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                          .filePath(QLatin1String(KnownAgents::FileName)),
                      data.path, settings);
    if (const QString lost = known.load(); !lost.isEmpty())
        seam::message(nullptr, lost, QStringLiteral("KESTRO 3.5"), seam::Icon::Exclamation);
    AgentStart agent(known, deliveredDatabase, command);
    if (const std::optional<int> ended = agent.beforeWindow())
        return *ended;
    // Computers sharing the folder judge by the lock's time whether this
    // KESTRO still runs, even when left open for days.
    QTimer renewal;
    QObject::connect(&renewal, &QTimer::timeout, [&agent] { agent.renewLock(); });
    renewal.start(std::chrono::seconds(FolderLock::RenewEverySecs));

    AppState state;
    // A portable folder keeps its contact file beside the program, like its
    // database.
    const QString besideProgram = QDir(programDir).filePath(QLatin1String(Contact::FileName));
    state.contact = Contact::read(
        QFileInfo::exists(besideProgram)
            ? besideProgram
            : QDir(QFileInfo(deliveredDatabase).path()).filePath(QLatin1String(Contact::FileName)));
    state.dumpToolDir = programDir;
    state.previousVersionDir = defaultPreviousVersionFolder();
    frmMain window(state);
    if (!agent.startUp(window, state))
        return 1;
    window.show();
    return app.exec();
}
