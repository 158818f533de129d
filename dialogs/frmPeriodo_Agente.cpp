#include "dialogs/frmPeriodo_Agente.h"

#include "ui_frmPeriodo_Agente.h"

frmPeriodo_Agente::frmPeriodo_Agente(Database& db, QWidget* parent)
    : GuardedDialog(parent), ui(new Ui::frmPeriodo_Agente) {
    ui->setupUi(this);
    fields_ =
        std::make_unique<OfficePeriod>(db, ui->cmbNoAduana, ui->cmbAduana, ui->dtpIni, ui->dtpFin);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmPeriodo_Agente::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &GuardedDialog::reject);
}

frmPeriodo_Agente::~frmPeriodo_Agente() = default;

void frmPeriodo_Agente::cmdAceptar_Click() {
    if (fields_->acceptable(this))
        accept();
}
