#include "wizard/AgentHistoryPage.h"

#include "data/AgentStore.h"
#include "data/Dates.h"
#include "data/HistoryStore.h"
#include "dialogs/frmAgentes_Aduanales.h"
#include "dialogs/frmSinHIstorico.h"
#include "entry/GridBehaviour.h"
#include "entry/Seam.h"
#include "ui_AgentHistoryPage.h"
#include "wizard/PageSupport.h"

#include <QSignalBlocker>

AgentHistoryPage::AgentHistoryPage(QWidget* parent)
    : QWidget(parent), ui(new Ui::AgentHistoryPage) {
    ui->setupUi(this);
    gridSetup(ui->fgDatosAA,
              {QStringLiteral("Nombre"), QStringLiteral("Ap.Paterno"), QStringLiteral("Ap.Materno"),
               QStringLiteral("CURP"), QStringLiteral("RFC")},
              {3000, 3000, 3000, 2050, 2050});
    gridSetup(ui->fgPeriodosAA,
              {QStringLiteral("No."), QStringLiteral("Aduana"), QStringLiteral("F. Inicial"),
               QStringLiteral("F. Final")},
              {1050, 5000, 2500, 2500});
    gridFitColumns(ui->fgDatosAA, {16, 16, 16, 18, 13});
    gridFitColumns(ui->fgPeriodosAA, {0, 0, 10, 10});
    gridShareWidth(ui->fgDatosAA, {0, 1, 2});

    // A keyboard move changes the current row; a click may also choose the
    // row that already is current.
    connect(ui->fgDatosAA, &QTableWidget::currentCellChanged, this,
            [this] { fgDatosAA_RowChosen(); });
    connect(ui->fgDatosAA, &QTableWidget::cellClicked, this, [this] { fgDatosAA_RowChosen(); });
    connect(ui->cmdAANuevo, &QPushButton::clicked, this, &AgentHistoryPage::cmdAANuevo_Click);
    connect(ui->cmdAAEditar, &QPushButton::clicked, this, &AgentHistoryPage::cmdAAEditar_Click);
    connect(ui->cmdAABorrar, &QPushButton::clicked, this, &AgentHistoryPage::cmdAABorrar_Click);
    connect(ui->cmdSinHistAA, &QPushButton::clicked, this, &AgentHistoryPage::cmdSinHistAA_Click);
    gridActivates(ui->fgDatosAA, ui->cmdAAEditar);
    setFocusProxy(ui->fgDatosAA);
}

AgentHistoryPage::~AgentHistoryPage() = default;

void AgentHistoryPage::showAgentHistory(const QVariant& sinHistorico) {
    // What the label says is what page 1 saves back: any flag but 1 is 0.
    agentSinHistorico_ = sinHistorico.isNull()       ? QVariant()
                         : sinHistorico.toInt() == 1 ? QVariant(1)
                                                     : QVariant(0);
    ui->lblHistAA->setText(sinHistorico.isNull()       ? QStringLiteral("No Definido")
                           : sinHistorico.toInt() == 1 ? QStringLiteral("Sin Historico")
                                                       : QStringLiteral("Con Historico"));
}

MaybeError AgentHistoryPage::Llena_Hist_AA() {
    const Fallible<std::optional<StoredAgent>> agent = loadAgent(*db_);
    if (!agent) {
        gridClear(ui->fgDatosAA);
        return agent.error;
    }
    if (agent.value)
        showAgentHistory(agent.value->sinHistorico);
    return fillHistoricAgents();
}

MaybeError AgentHistoryPage::deferList() {
    const MaybeError e = historicAgentsReadable(*db_);
    listDeferred_ = !e;
    return e;
}

// The list alone: the agent's history flag was shown at start-up.
void AgentHistoryPage::fillDeferredList() {
    if (listDeferred_)
        seam::readFailed(this, fillHistoricAgents());
}

MaybeError AgentHistoryPage::fillHistoricAgents() {
    listDeferred_ = false;
    const Fallible<QList<HistoricAgent>> listed = listHistoricAgents(*db_);
    QList<QStringList> rows;
    for (const HistoricAgent& h : listed.value)
        rows.append(
            {h.nombre, h.apPaterno, h.apMaterno, h.key == h.rfc ? QString() : h.key, h.rfc});
    gridFill(ui->fgDatosAA, rows);
    return listed.error;
}

MaybeError AgentHistoryPage::Llena_Periodos_Hist_AA(const QString& key) {
    gridClear(ui->fgPeriodosAA);
    const Fallible<QList<HistoryPeriod>> periods = historicAgentPeriods(*db_, key);
    for (const HistoryPeriod& p : periods.value)
        gridAppend(ui->fgPeriodosAA, {textOf(p.noAduana), p.aduana, displayFromIsoDate(p.fechaIni),
                                      displayFromIsoDate(p.fechaFin)});
    return periods.error;
}

bool AgentHistoryPage::Verifica_Datos_p3() {
    if (!agentSinHistorico_.isNull())
        return true;
    seam::inform(this, QStringLiteral("Debe definir si el Agente Aduanal tiene o no historico, en "
                                      "caso de tener historico debe proporcionar los "
                                      "Representantes que ha tenido"));
    return false;
}

QString AgentHistoryPage::historicRowKey(int row) const {
    return historicKey(gridCell(ui->fgDatosAA, row, 3), gridCell(ui->fgDatosAA, row, 4));
}

void AgentHistoryPage::fgDatosAA_RowChosen() {
    const int row = ui->fgDatosAA->currentRow();
    ui->cmdAABorrar->setEnabled(row >= 0);
    ui->cmdAAEditar->setEnabled(row >= 0);
    if (row < 0) {
        gridClear(ui->fgPeriodosAA);
        return;
    }
    seam::readFailed(this, Llena_Periodos_Hist_AA(historicRowKey(row)));
}

void AgentHistoryPage::openHistoricAgentEditor(EditMode mode) {
    const int row = ui->fgDatosAA->currentRow();
    const bool editing = mode == EditMode::Edit;
    if (editing && row < 0)
        return;
    frmAgentes_Aduanales editor(*db_, mode, editing ? gridRow(ui->fgDatosAA, row) : QStringList(),
                                this);
    seam::exec(editor);
    // The first row chosen, as a click on it would: its periods shown, and
    // Editar and Borrar (and Enter) acting on it. The rebuild passes through
    // "no row", which is no choice of the user's: disabling the button in
    // his hand would send the focus elsewhere.
    MaybeError failure;
    {
        const QSignalBlocker quiet(ui->fgDatosAA);
        failure = Llena_Hist_AA();
        if (ui->fgDatosAA->rowCount() > 0)
            ui->fgDatosAA->setCurrentCell(0, 0);
    }
    fgDatosAA_RowChosen();
    seam::readFailed(this, failure);
}

void AgentHistoryPage::cmdAANuevo_Click() {
    openHistoricAgentEditor(EditMode::New);
}

void AgentHistoryPage::cmdAAEditar_Click() {
    openHistoricAgentEditor(EditMode::Edit);
}

void AgentHistoryPage::cmdAABorrar_Click() {
    QTableWidget* list = ui->fgDatosAA;
    const int r = list->currentRow();
    if (r < 0)
        return;
    if (!seam::confirm(this, QStringLiteral("¿DESEA BORRAR EL AGENTE ADUANAL \n\n") +
                                 personOf(list, r) +
                                 QStringLiteral("\n\n Y TODOS SUS PERIODOS DE LABOR?")))
        return;
    const Fallible<bool> noneLeft = deleteHistoricAgent(*db_, historicRowKey(r));
    if (seam::failed(this, noneLeft.error))
        return;
    if (noneLeft.value)
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

void AgentHistoryPage::cmdSinHistAA_Click() {
    frmSinHIstorico dialog(*db_,
                           QStringLiteral("Por este medio les informo que no he tenido "
                                          "representantes, por tal motivo no tengo historico"),
                           std::nullopt, this);
    const int listed = ui->fgDatosAA->rowCount();
    dialog.tellWhatIsDeleted(
        listed == 0   ? QString()
        : listed == 1 ? QStringLiteral("Al aceptar se borra el representante de la lista, con "
                                       "sus periodos.")
                      : QStringLiteral("Al aceptar se borran los %1 representantes de la lista, "
                                       "con sus periodos.")
                            .arg(listed));
    seam::exec(dialog);
    seam::readFailed(this, Llena_Hist_AA());
    gridClear(ui->fgPeriodosAA);
}
