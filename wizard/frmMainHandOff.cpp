// The main window's hand-off to the exchange: the previous version's data at
// start-up and the information file at the end.
#include "ui_frmMain.h"
#include "wizard/InformationFileFlow.h"
#include "wizard/PreviousVersionImport.h"
#include "wizard/frmMain.h"

void frmMain::importPreviousVersion() {
    Viejo_KESTRO(messageParent(), *db_, state_.dumpToolDir, state_.previousVersionDir);
}

bool frmMain::Genera_archivo() {
    return ::Genera_archivo(this, state_, *db_, ui->txtAARFC->text(), ui->txtPatente->text());
}
