// Our start-up as the user gets it, up to the main window's first paint,
// with the start dialog answered at once.
//   bench_arranque <carpeta_del_programa> <inicio_ns>
#include "FirstPaint.h"
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "wizard/Idioma.h"
#include "wizard/frmMain.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KESTRO"));
    installSpanish(app);

    seam::Script startDialogAnswered; // a scripted run closes every dialog at once
    AppState state;
    state.programDir = QFile::decodeName(argv[1]);
    state.previousVersionDir =
        QDir(state.programDir).filePath(QStringLiteral("sin-version-anterior"));
    frmMain window(state);
    if (!window.startUp())
        return 1;
    FirstPaint done(&window, QByteArray(argv[2]).toLongLong());
    window.show();
    return app.exec();
}
