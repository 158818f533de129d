#include "dialogs/frmAgentes_Aduanales.h"

#include "data/Dates.h"
#include "dialogs/frmPeriodo_Agente.h"
#include "entry/Grid.h"
#include "entry/GridBehaviour.h"
#include "entry/KeystrokeFilter.h"
#include "entry/Seam.h"
#include "entry/StoredText.h"
#include "rules/Rutinas.h"
#include "ui_frmAgentes_Aduanales.h"

namespace {
// This editor's checks speak with no icon.
const seam::Voice Quiet{QStringLiteral("Mensaje"), seam::Icon::None};
} // namespace

frmAgentes_Aduanales::frmAgentes_Aduanales(Database& db, EditMode mode, const QStringList& row,
                                           QWidget* parent)
    : GuardedDialog(parent), ui(new Ui::frmAgentes_Aduanales), db_(db) {
    ui->setupUi(this);
    for (QLineEdit* e :
         {ui->txtNombre, ui->txtApPaterno, ui->txtApMaterno, ui->txtCURP, ui->txtRFC})
        attachEntryRules(e);
    gridSetup(ui->fgAA_Periodos,
              {QStringLiteral("No."), QStringLiteral("Aduana"), QStringLiteral("F. Inicial"),
               QStringLiteral("F. Final")},
              {700, 3970, 1400, 1400});
    gridFitColumns(ui->fgAA_Periodos, {0, 0, 10, 10}); // dates whole
    gridStretchColumn(ui->fgAA_Periodos, 1);
    connect(ui->fgAA_Periodos, &QTableWidget::currentCellChanged, this,
            [this](int current) { ui->cmdBorrar->setEnabled(current >= 0); });
    connect(ui->cmdNuevo, &QPushButton::clicked, this, &frmAgentes_Aduanales::cmdNuevo_Click);
    connect(ui->cmdBorrar, &QPushButton::clicked, this, &frmAgentes_Aduanales::cmdBorrar_Click);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmAgentes_Aduanales::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &GuardedDialog::reject);

    if (mode != EditMode::Edit)
        return;
    showStoredText(ui->txtNombre, row.value(0));
    showStoredText(ui->txtApPaterno, row.value(1));
    showStoredText(ui->txtApMaterno, row.value(2));
    showStoredText(ui->txtCURP, row.value(3));
    showStoredText(ui->txtRFC, row.value(4));
    oldKey_ = historicKey(row.value(3), row.value(4));
    Inicializa_gr2(oldKey_);
}

frmAgentes_Aduanales::~frmAgentes_Aduanales() = default;

void frmAgentes_Aduanales::Inicializa_gr2(const QString& curp) {
    // Periods of an office the catalogue lacks are listed too (without a
    // name): Aceptar rewrites them all, and what is not shown would be lost.
    const Fallible<QList<HistoryPeriod>> stored = historicAgentPeriods(db_, curp);
    if (seam::readFailed(this, stored.error)) {
        // Aceptar rewrites every period: without the stored ones it would
        // drop them, so only Cancelar is left.
        for (QPushButton* b : {ui->cmdAceptar, ui->cmdNuevo, ui->cmdBorrar})
            b->setEnabled(false);
        return;
    }
    periods_ = stored.value;
    showPeriods();
}

void frmAgentes_Aduanales::showPeriods() {
    gridClear(ui->fgAA_Periodos);
    for (const HistoryPeriod& p : periods_)
        gridAppend(ui->fgAA_Periodos, {textOf(p.noAduana), p.aduana, displayFromIsoDate(p.fechaIni),
                                       displayFromIsoDate(p.fechaFin)});
}

void frmAgentes_Aduanales::cmdNuevo_Click() {
    frmPeriodo_Agente chosenPeriod(db_, this);
    if (seam::exec(chosenPeriod) != QDialog::Accepted)
        return;
    periods_.append(chosenPeriod.period());
    showPeriods();
}

void frmAgentes_Aduanales::cmdBorrar_Click() {
    const int r = ui->fgAA_Periodos->currentRow();
    if (r < 0 || r >= periods_.size())
        return;
    if (!seam::confirm(this, QStringLiteral("¿DESEA BORRAR EL PERIODO SELECCIONADO?")))
        return;
    periods_.removeAt(r);
    showPeriods();
}

bool frmAgentes_Aduanales::fieldsAcceptable() {
    if (Vacio(ui->txtNombre->text()))
        return seam::refuse(this, "Nombre no puede estar vacio", ui->txtNombre, Quiet);
    if (Vacio(ui->txtApPaterno->text()))
        return seam::refuse(this, "Ap. Paterno no puede estar vacio", ui->txtApPaterno, Quiet);
    if (Vacio(ui->txtApMaterno->text()))
        return seam::refuse(this, "Ap. Materno no puede estar vacio", ui->txtApMaterno, Quiet);
    if (!Valida_RFC(ui->txtRFC->text()))
        return seam::refuse(this, "RFC no valido", ui->txtRFC, Quiet);
    if (!Vacio(ui->txtCURP->text()) && !Valida_CURP(ui->txtCURP->text()))
        return seam::refuse(this, "CURP no valido", ui->txtCURP, Quiet);
    if (periods_.isEmpty())
        return seam::refuse(this, "Debe existir un periodo de trabajo", nullptr, Quiet);
    return true;
}

void frmAgentes_Aduanales::cmdAceptar_Click() {
    if (!fieldsAcceptable())
        return;
    const HistoricAgent agent{
        ui->txtRFC->text(), historicKey(ui->txtCURP->text(), ui->txtRFC->text()),
        ui->txtNombre->text(), ui->txtApPaterno->text(), ui->txtApMaterno->text()};
    const Fallible<bool> exists = historicAgentExists(db_, agent.key);
    if (seam::readFailed(this, exists.error))
        return;
    if (exists.value && agent.key != oldKey_) {
        seam::refuse(this, "YA EXISTE EL AGENTE ADUANAL EN LA BASE DE DATOS.", nullptr, Quiet);
        return;
    }
    if (seam::failed(this, saveHistoricAgent(db_, oldKey_, agent, periods_)))
        return;
    accept();
}
