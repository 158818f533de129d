#pragma once

#include <QString>

// The values the main window, its dialogs and the exchange share for the
// whole run. main() owns one and hands it to the main window.
struct AppState {
    QString dataDir;            // holds kestro.mdb and ENVIO
    QString dumpToolDir;        // the program's own folder, where Trasvase.exe comes
    QString previousVersionDir; // where the previous version is installed

    QString NoPat; // patent as typed; names the information file
    QString Mandato1 = QStringLiteral("Anterior 01/01/2001");
    QString Mandato2 = QStringLiteral("Conforme 2.13.11 (Posterior 01/01/2001)");
    QString Mandato3 = QStringLiteral("Con autorización de operar al 15/01/2004");

    QString Modo;      // editor mode "N" or "E"
    QString Respuesta; // editor result "A" or "C"

    // The label of a representative type code; "" for none.
    QString mandatoLabel(int code) const {
        switch (code) {
        case 1:
            return Mandato1;
        case 2:
            return Mandato2;
        case 3:
            return Mandato3;
        }
        return QString();
    }
};
