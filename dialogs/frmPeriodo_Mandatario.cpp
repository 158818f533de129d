#include "dialogs/frmPeriodo_Mandatario.h"

#include "data/HistoryStore.h"
#include "entry/Seam.h"
#include "rules/Rutinas.h"
#include "ui_frmPeriodo_Mandatario.h"

frmPeriodo_Mandatario::frmPeriodo_Mandatario(Database& db, const QStringList& representative,
                                             QWidget* parent)
    : QDialog(parent), ui(new Ui::frmPeriodo_Mandatario), db_(db) {
    ui->setupUi(this);
    ui->txtNombre->setText(representative.value(0));
    ui->txtApPaterno->setText(representative.value(1));
    ui->txtApMaterno->setText(representative.value(2));
    ui->txtCURP->setText(representative.value(3));
    fields_ =
        std::make_unique<OfficePeriod>(db, ui->cmbNoAduana, ui->cmbAduana, ui->dtpIni, ui->dtpFin);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmPeriodo_Mandatario::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

frmPeriodo_Mandatario::~frmPeriodo_Mandatario() = default;

void frmPeriodo_Mandatario::cmdAceptar_Click() {
    const QString patente = ui->txtPatente->text();
    if (!patentStorable(patente)) {
        OfficePeriod::tell(this, QStringLiteral("No. de Patente no valido"));
        return;
    }
    if (!fields_->acceptable(this))
        return;
    if (seam::failed(this, addRepresentativePeriod(db_, ui->txtCURP->text(), patente.toLongLong(),
                                                   fields_->period())))
        return;
    accept();
}
