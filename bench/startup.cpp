// Our start-up as the user gets it (as main() does it, given the data
// folder), up to the main window's first paint, with the start dialog
// answered at once.
//   bench_arranque <carpeta_de_datos> <inicio_ns>
#include "FirstPaint.h"
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "wizard/Language.h"
#include "wizard/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KESTRO"));
    QApplication::setApplicationVersion(QStringLiteral("3.5"));
    QGuiApplication::setDesktopFileName(QStringLiteral("mx.kestro.Kestro"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/kestro/kestro-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    installSpanish(app);

    seam::Script startDialogAnswered; // a scripted run closes every dialog at once
    AppState state;
    state.dataDir = QFile::decodeName(argv[1]);
    state.dumpToolDir = state.dataDir;
    state.previousVersionDir = QDir(state.dataDir).filePath(QStringLiteral("sin-version-anterior"));
    frmMain window(state);
    if (!window.startUp())
        return 1;
    FirstPaint done(&window, QByteArray(argv[2]).toLongLong());
    window.show();
    return app.exec();
}
