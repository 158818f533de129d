#include "dialogs/frmPeriodo_Mandatario.h"

#include "data/HistoryStore.h"
#include "entry/Seam.h"
#include "entry/StoredText.h"
#include "rules/Rutinas.h"
#include "ui_frmPeriodo_Mandatario.h"

frmPeriodo_Mandatario::frmPeriodo_Mandatario(Database& db, const QStringList& representative,
                                             QWidget* parent)
    : GuardedDialog(parent), ui(new Ui::frmPeriodo_Mandatario), db_(db),
      curp_(representative.value(3)) {
    ui->setupUi(this);
    showStoredText(ui->txtNombre, representative.value(0));
    showStoredText(ui->txtApPaterno, representative.value(1));
    showStoredText(ui->txtApMaterno, representative.value(2));
    showStoredText(ui->txtCURP, curp_);
    fields_ =
        std::make_unique<OfficePeriod>(db, ui->cmbNoAduana, ui->cmbAduana, ui->dtpIni, ui->dtpFin);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmPeriodo_Mandatario::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &GuardedDialog::reject);
}

frmPeriodo_Mandatario::~frmPeriodo_Mandatario() = default;

void frmPeriodo_Mandatario::cmdAceptar_Click() {
    const QString patente = ui->txtPatente->text();
    if (!patentStorable(patente)) {
        seam::refuse(this, QStringLiteral("No. de Patente no valido"), nullptr,
                     OfficePeriod::voice);
        return;
    }
    if (!fields_->acceptable(this))
        return;
    if (seam::failed(this, addRepresentativePeriod(db_, curp_, patente.trimmed().toLongLong(),
                                                   fields_->period())))
        return;
    accept();
}
