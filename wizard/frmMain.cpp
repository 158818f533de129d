#include "wizard/frmMain.h"

#include "entry/Seam.h"
#include "wizard/frmInicio.h"

frmMain::frmMain(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("KESTRO 3.5"));
}

frmMain::~frmMain() = default;

bool frmMain::startUp() {
    frmInicio inicio(this);
    seam::exec(inicio);
    state_.Estado_Firma = 0;
    QString why;
    db_ = Database::open(state_.programDir, &why);
    if (!db_) {
        seam::message(this, why, QStringLiteral("KESTRO 3.5"), seam::Icon::Exclamation);
        return false;
    }
    return true;
}
