#include "dialogs/frmAduanaAct.h"

#include "entry/CatalogueLists.h"
#include "entry/Grid.h"
#include "entry/Seam.h"
#include "ui_frmAduanaAct.h"

#include <QTableWidget>

frmAduanaAct::frmAduanaAct(Database& db, QTableWidget* fgAduanasAct, QWidget* parent)
    : GuardedDialog(parent), ui(new Ui::frmAduanaAct), fgAduanasAct_(fgAduanasAct) {
    ui->setupUi(this);
    Llena_Aduanas(db, ui->cmbNoAduana, ui->cmbAduana);
    pairBothWays(ui->cmbNoAduana, ui->cmbAduana);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmAduanaAct::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &frmAduanaAct::reject);
}

frmAduanaAct::~frmAduanaAct() = default;

void frmAduanaAct::cmdAceptar_Click() {
    const QString key = ui->cmbNoAduana->currentText();
    if (key.isEmpty()) {
        seam::inform(this, officeMissing());
        ui->cmbNoAduana->setFocus();
        return;
    }
    for (int i = 0; i < fgAduanasAct_->rowCount(); ++i)
        if (gridCell(fgAduanasAct_, i, 0) == key) {
            seam::inform(this, QStringLiteral("Ya existe la aduana en la lista de aduanas que "
                                              "actuo"));
            return;
        }
    gridAppend(fgAduanasAct_, {key, ui->cmbAduana->currentText()});
    accept();
}
