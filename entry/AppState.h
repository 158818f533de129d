#pragma once

#include <QString>

// What lives for the whole run: where the data and the previous version
// are, and the agent's patent once page 1 is stored. main() owns one and
// hands it to the main window; dialogs never see it.
struct AppState {
    QString dataDir;            // holds kestro.mdb and ENVIO
    QString dumpToolDir;        // the program's own folder, where Trasvase.exe comes
    QString previousVersionDir; // where the previous version is installed

    QString NoPat; // patent as typed; names the information file
};
