#pragma once

#include "entry/BackupKeeper.h"
#include "entry/Contact.h"

#include <QString>

// What lives for the whole run: where the data and the previous version
// are, who to contact, the agent's patent once page 1 is stored, the key
// file last chosen and the automatic copies. main() owns one and hands it to
// the main window, which hands each dialog only what it needs.
struct AppState {
    QString dataDir;            // holds kestro.mdb and ENVIO
    QString dumpToolDir;        // the program's own folder, where Trasvase.exe comes
    QString previousVersionDir; // where the previous version is installed
    Contact contact;            // as the deployment file sets it
    // Several agents are known on this computer: the caption names the one
    // open, so that two windows are told apart.
    bool severalAgents = false;
    // Where the agent's last key folder is remembered (one per agent).
    QString keyFolderSetting = QStringLiteral("llave/carpeta");

    QString NoPat;        // patent as typed; names the information file
    QString lastKeyFile;  // the key file last chosen in this run (never its password)
    BackupKeeper backups; // the automatic copies of kestro.mdb
    QString summaryPath;  // the summary of the file signed in this run
};
