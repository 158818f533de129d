// Pages 4 and 5: the agent's earlier representatives with their periods, and
// the periods in which his representatives worked for earlier agents.
#include "data/HistoryStore.h"
#include "dialogs/frmAgentes_Aduanales.h"
#include "dialogs/frmPeriodo_Mandatario.h"
#include "dialogs/frmSinHIstorico.h"
#include "entry/Grid.h"
#include "entry/Seam.h"
#include "ui_frmMain.h"
#include "wizard/frmMain.h"

namespace {

// Cells 0-3 of a list row (Nombre, Ap.Paterno, Ap.Materno, CURP), as the
// questions before deleting name the person.
QString personOf(const QTableWidget* grid, int row) {
    return gridRow(grid, row).mid(0, 4).join(u' ');
}

} // namespace

void frmMain::connectHistoryPages() {
    // A keyboard move changes the current row; a click may also choose the
    // row that already is current.
    connect(ui->fgDatosAA, &QTableWidget::currentCellChanged, this,
            [this] { fgDatosAA_RowChosen(); });
    connect(ui->fgDatosAA, &QTableWidget::cellClicked, this, [this] { fgDatosAA_RowChosen(); });
    connect(ui->fgMandatarios, &QTableWidget::currentCellChanged, this,
            [this] { fgMandatarios_RowChosen(); });
    connect(ui->fgMandatarios, &QTableWidget::cellClicked, this,
            [this] { fgMandatarios_RowChosen(); });
    const auto periodChosen = [this] {
        ui->cmdMandBorrar->setEnabled(ui->fgPeriodosMandatario->currentRow() >= 0);
    };
    connect(ui->fgPeriodosMandatario, &QTableWidget::currentCellChanged, this, periodChosen);
    connect(ui->fgPeriodosMandatario, &QTableWidget::cellClicked, this, periodChosen);

    connect(ui->cmdAANuevo, &QPushButton::clicked, this, &frmMain::cmdAANuevo_Click);
    connect(ui->cmdAAEditar, &QPushButton::clicked, this, &frmMain::cmdAAEditar_Click);
    connect(ui->cmdAABorrar, &QPushButton::clicked, this, &frmMain::cmdAABorrar_Click);
    connect(ui->cmdSinHistAA, &QPushButton::clicked, this, &frmMain::cmdSinHistAA_Click);
    connect(ui->cmdMandNuevo, &QPushButton::clicked, this, &frmMain::cmdMandNuevo_Click);
    connect(ui->cmdMandBorrar, &QPushButton::clicked, this, &frmMain::cmdMandBorrar_Click);
    connect(ui->cmdSinHistMM, &QPushButton::clicked, this, &frmMain::cmdSinHistMM_Click);
}

// ---- Page 4 ----

QString frmMain::historicRowKey(int row) const {
    return historicKey(gridCell(ui->fgDatosAA, row, 3), gridCell(ui->fgDatosAA, row, 4));
}

void frmMain::fgDatosAA_RowChosen() {
    const int row = ui->fgDatosAA->currentRow();
    ui->cmdAABorrar->setEnabled(row >= 0);
    ui->cmdAAEditar->setEnabled(row >= 0);
    if (row < 0) {
        gridClear(ui->fgPeriodosAA);
        return;
    }
    seam::readFailed(this, Llena_Periodos_Hist_AA(historicRowKey(row)));
}

void frmMain::openHistoricAgentEditor(EditMode mode) {
    const int row = ui->fgDatosAA->currentRow();
    const bool editing = mode == EditMode::Edit;
    if (editing && row < 0)
        return;
    frmAgentes_Aduanales editor(*db_, mode, editing ? gridRow(ui->fgDatosAA, row) : QStringList(),
                                this);
    seam::exec(editor);
    if (seam::readFailed(this, Llena_Hist_AA()))
        return;
    if (ui->fgDatosAA->rowCount() == 0)
        return;
    // The first row shows its periods; Editar and Borrar keep their state.
    const bool editable = ui->cmdAAEditar->isEnabled();
    const bool deletable = ui->cmdAABorrar->isEnabled();
    ui->fgDatosAA->setCurrentCell(0, 0);
    ui->cmdAAEditar->setEnabled(editable);
    ui->cmdAABorrar->setEnabled(deletable);
}

void frmMain::cmdAANuevo_Click() {
    openHistoricAgentEditor(EditMode::New);
}

void frmMain::cmdAAEditar_Click() {
    openHistoricAgentEditor(EditMode::Edit);
}

void frmMain::cmdAABorrar_Click() {
    QTableWidget* list = ui->fgDatosAA;
    const int r = list->currentRow();
    if (r < 0)
        return;
    if (!seam::confirm(this, QStringLiteral("¿DESEA BORRAR EL AGENTE ADUANAL \n\n") +
                                 personOf(list, r) +
                                 QStringLiteral("\n\n Y TODOS SUS PERIODOS DE LABOR?")))
        return;
    bool noneLeft = false;
    if (seam::failed(this, deleteHistoricAgent(*db_, historicRowKey(r), &noneLeft)))
        return;
    if (noneLeft)
        showAgentHistory(QVariant());
    gridClear(ui->fgPeriodosAA);
    list->removeRow(r);
    if (list->rowCount() > 0)
        list->setCurrentCell(std::min(r, list->rowCount() - 1), 0);
    if (r == 0) {
        // The first row gone, the user chooses again before editing.
        ui->cmdAABorrar->setEnabled(false);
        ui->cmdAAEditar->setEnabled(false);
    }
}

void frmMain::openNoHistoryDialog(const QString& sentence,
                                  const std::optional<QString>& representativeCurp) {
    frmSinHIstorico dialog(*db_, sentence, representativeCurp, this);
    seam::exec(dialog);
}

void frmMain::cmdSinHistAA_Click() {
    openNoHistoryDialog(QStringLiteral("Por este medio les informo que no he tenido "
                                       "representantes, por tal motivo no tengo historico"),
                        std::nullopt);
    seam::readFailed(this, Llena_Hist_AA());
    gridClear(ui->fgPeriodosAA);
}

// ---- Page 5 ----

void frmMain::fgMandatarios_RowChosen() {
    const int row = ui->fgMandatarios->currentRow();
    ui->cmdMandNuevo->setEnabled(row >= 0);
    periodsCurp_ = row >= 0 ? gridCell(ui->fgMandatarios, row, 3) : QString();
    seam::readFailed(this, Llena_Periodos_H_MM(periodsCurp_));
}

// Rebuilds the representatives' list and makes `curp` current again, so his
// periods stay on show and the buttons act on him.
void frmMain::showRepresentativeAgain(const QString& curp) {
    if (seam::readFailed(this, Llena_Hist_Mandatarios()))
        return;
    for (int i = 0; i < ui->fgMandatarios->rowCount(); ++i)
        if (gridCell(ui->fgMandatarios, i, 3) == curp) {
            ui->fgMandatarios->setCurrentCell(i, 0);
            return;
        }
}

void frmMain::cmdMandNuevo_Click() {
    const int m = ui->fgMandatarios->currentRow();
    if (m < 0)
        return;
    const QString curp = periodsCurp_;
    frmPeriodo_Mandatario dialog(*db_, gridRow(ui->fgMandatarios, m).mid(0, 4), this);
    seam::exec(dialog);
    showRepresentativeAgain(curp);
}

void frmMain::cmdMandBorrar_Click() {
    QTableWidget* periods = ui->fgPeriodosMandatario;
    const int p = periods->currentRow();
    const int m = ui->fgMandatarios->currentRow();
    if (p < 0 || m < 0)
        return;
    if (!seam::confirm(this, QStringLiteral("¿DESEA BORRAR EL PERIODO DE LABOR SELECCIONADO DEL "
                                            "MANDATARIO\n\n") +
                                 personOf(ui->fgMandatarios, m) + QStringLiteral(" ?")))
        return;
    const QString curp = periodsCurp_;
    const qlonglong id = periods->item(p, 0)->data(Qt::UserRole).toLongLong();
    const Fallible<bool> noneLeft = deleteRepresentativePeriod(*db_, curp, id);
    if (seam::failed(this, noneLeft.error))
        return;
    if (noneLeft.value) {
        showRepresentativeAgain(curp); // now "NO"
        return;
    }
    periods->removeRow(p);
    // The question names no period: the next deletion waits for a new choice.
    periods->setCurrentCell(-1, -1);
}

void frmMain::cmdSinHistMM_Click() {
    const int m = ui->fgMandatarios->currentRow();
    if (m < 0) {
        if (ui->fgMandatarios->rowCount() > 0)
            seam::inform(this, QStringLiteral("Seleccione el Mandatario en la lista"));
        return;
    }
    openNoHistoryDialog(QStringLiteral("Por este medio les informo que el mandatario no ha "
                                       "actuado para ningún Agente Aduanal, por tal motivo no "
                                       "tiene historico"),
                        gridCell(ui->fgMandatarios, m, 3));
    seam::readFailed(this, Llena_Hist_Mandatarios());
    gridClear(ui->fgPeriodosMandatario);
}
