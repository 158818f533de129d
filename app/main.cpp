#include "entry/AppState.h"
#include "exchange/Importacion.h"
#include "wizard/Idioma.h"
#include "wizard/frmMain.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

namespace {

bool displayAvailable() {
#if defined(Q_OS_LINUX)
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#else
    return true;
#endif
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
    installSpanish(app);

    AppState state;
    state.programDir = QCoreApplication::applicationDirPath();
    state.previousVersionDir = defaultPreviousVersionFolder();
    frmMain window(state);
    if (!window.startUp())
        return 1;
    window.show();
    return app.exec();
}
