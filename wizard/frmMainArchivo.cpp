#include "wizard/frmMain.h"

bool frmMain::Genera_archivo() { return false; }
