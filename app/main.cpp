#include "data/DataFolder.h"
#include "data/FolderLock.h"
#include "data/OneSqlite.h"
#include "entry/AppState.h"
#include "entry/BackupRestore.h"
#include "entry/Seam.h"
#include "exchange/DumpImport.h"
#include "wizard/Language.h"
#include "wizard/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <optional>

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

} // namespace

int main(int argc, char** argv) {
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
    FolderLock lock(data.path);
    if (const std::optional<int> ended =
            lockOrRestore(lock, data.path, QCoreApplication::arguments()))
        return *ended;
    // Computers sharing the folder judge by the lock's time whether this
    // KESTRO still runs, even when left open for days.
    QTimer renewal;
    QObject::connect(&renewal, &QTimer::timeout, [&lock] { lock.renew(); });
    renewal.start(std::chrono::seconds(FolderLock::RenewEverySecs));

    AppState state;
    // A portable folder keeps its contact file beside the program, like its
    // database.
    const QString besideProgram = QDir(programDir).filePath(QLatin1String(Contact::FileName));
    state.contact = Contact::read(
        QFileInfo::exists(besideProgram)
            ? besideProgram
            : QDir(QFileInfo(deliveredDatabase).path()).filePath(QLatin1String(Contact::FileName)));
    state.dataDir = data.path;
    state.dumpToolDir = programDir;
    state.previousVersionDir = defaultPreviousVersionFolder();
    frmMain window(state);
    if (!window.startUp())
        return 1;
    window.show();
    return app.exec();
}
