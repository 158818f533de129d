#include "wizard/RepresentativeHistoryPage.h"

#include "data/Dates.h"
#include "data/HistoryStore.h"
#include "data/RepresentativeStore.h"
#include "dialogs/frmPeriodo_Mandatario.h"
#include "dialogs/frmSinHIstorico.h"
#include "entry/GridBehaviour.h"
#include "entry/Seam.h"
#include "ui_RepresentativeHistoryPage.h"
#include "wizard/PageSupport.h"

#include <QHeaderView>
#include <QSignalBlocker>

RepresentativeHistoryPage::RepresentativeHistoryPage(QWidget* parent)
    : QWidget(parent), ui(new Ui::RepresentativeHistoryPage) {
    ui->setupUi(this);
    // The key columns show without scrolling at the window's size: the
    // names, the patent and the dates give up the room the grid table gives
    // them.
    gridSetup(ui->fgMandatarios,
              {QStringLiteral("Nombre"), QStringLiteral("Ap.Paterno"), QStringLiteral("Ap.Materno"),
               QStringLiteral("CURP"), QStringLiteral("Historico")},
              {});
    gridSetup(ui->fgPeriodosMandatario,
              {QStringLiteral("Patente"), QStringLiteral("No."), QStringLiteral("Aduana"),
               QStringLiteral("F. Inicial"), QStringLiteral("F. Final")},
              {1070, 1000, 4400, 1500, 1500});
    gridFitColumns(ui->fgMandatarios, {14, 14, 14, 18});
    // The names take the room; "Historico" holds only SI or NO.
    QHeaderView* header = ui->fgMandatarios->horizontalHeader();
    header->setStretchLastSection(false);
    header->resizeSection(4, header->sectionSizeHint(4));
    gridShareWidth(ui->fgMandatarios, {0, 1, 2});
    gridFitColumns(ui->fgPeriodosMandatario, {4, 0, 0, 10, 10});

    connect(ui->fgMandatarios, &QTableWidget::currentCellChanged, this,
            [this] { fgMandatarios_RowChosen(); });
    connect(ui->fgMandatarios, &QTableWidget::cellClicked, this,
            [this] { fgMandatarios_RowChosen(); });
    const auto periodChosen = [this] {
        ui->cmdMandBorrar->setEnabled(ui->fgPeriodosMandatario->currentRow() >= 0);
    };
    connect(ui->fgPeriodosMandatario, &QTableWidget::currentCellChanged, this, periodChosen);
    connect(ui->fgPeriodosMandatario, &QTableWidget::cellClicked, this, periodChosen);
    connect(ui->cmdMandNuevo, &QPushButton::clicked, this,
            &RepresentativeHistoryPage::cmdMandNuevo_Click);
    connect(ui->cmdMandBorrar, &QPushButton::clicked, this,
            &RepresentativeHistoryPage::cmdMandBorrar_Click);
    connect(ui->cmdSinHistMM, &QPushButton::clicked, this,
            &RepresentativeHistoryPage::cmdSinHistMM_Click);
    setFocusProxy(ui->fgMandatarios);
}

RepresentativeHistoryPage::~RepresentativeHistoryPage() = default;

MaybeError RepresentativeHistoryPage::deferList() {
    const MaybeError e = representativesReadable(*db_);
    listDeferred_ = !e;
    return e;
}

void RepresentativeHistoryPage::fillDeferredList() {
    if (listDeferred_)
        seam::readFailed(this, Llena_Hist_Mandatarios());
}

MaybeError RepresentativeHistoryPage::Llena_Hist_Mandatarios() {
    listDeferred_ = false;
    const Fallible<QList<ListedRepresentative>> listed = listRepresentatives(*db_);
    QList<QStringList> rows;
    QList<bool> undefined; // the history flag of each row is still Null
    for (const ListedRepresentative& m : listed.value) {
        const QString hist = m.sinHistorico.isNull()       ? QStringLiteral("Sin Definir")
                             : m.sinHistorico.toInt() == 1 ? QStringLiteral("NO")
                                                           : QStringLiteral("SI");
        rows.append({m.nombre, m.apPaterno, m.apMaterno, m.curp, hist});
        undefined.append(m.sinHistorico.isNull());
    }
    gridFillKeeping(ui->fgMandatarios, rows, 4, HistoryUndefinedRole, undefined);
    return listed.error;
}

// Each row keeps the stored period's row id, so a deletion removes exactly
// that period.
MaybeError RepresentativeHistoryPage::Llena_Periodos_H_MM(const QString& curp) {
    QTableWidget* list = ui->fgPeriodosMandatario;
    gridClear(list);
    if (curp.isEmpty())
        return std::nullopt;
    const Fallible<QList<RepresentativePeriod>> periods = representativePeriods(*db_, curp);
    for (const RepresentativePeriod& p : periods.value) {
        gridAppend(list,
                   {textOf(p.patente), textOf(p.period.noAduana), p.period.aduana,
                    displayFromIsoDate(p.period.fechaIni), displayFromIsoDate(p.period.fechaFin)});
        list->item(list->rowCount() - 1, 0)->setData(Qt::UserRole, p.id);
    }
    return periods.error;
}

bool RepresentativeHistoryPage::Verifica_Datos_p4() {
    fillDeferredList();
    const QTableWidget* grid = ui->fgMandatarios;
    if (grid->rowCount() == 0)
        return false;
    for (int i = 0; i < grid->rowCount(); ++i) {
        if (!grid->item(i, 4)->data(HistoryUndefinedRole).toBool())
            continue;
        seam::inform(this,
                     QStringLiteral("Debe definir si el mandatario tiene o no historico, en caso "
                                    "de tener debe proporcionar el Agente Aduanal y los periodos "
                                    "en los cuales actuó el Mandatario ") +
                         gridCell(grid, i, 0) + u' ' + gridCell(grid, i, 1) + u' ' +
                         gridCell(grid, i, 2));
        return false;
    }
    return true;
}

void RepresentativeHistoryPage::fgMandatarios_RowChosen() {
    const int row = ui->fgMandatarios->currentRow();
    ui->cmdMandNuevo->setEnabled(row >= 0);
    periodsCurp_ = row >= 0 ? gridCell(ui->fgMandatarios, row, 3) : QString();
    seam::readFailed(this, Llena_Periodos_H_MM(periodsCurp_));
}

// Rebuilds the representatives' list and makes `curp` current again, so his
// periods stay on show and the buttons act on him, as after a click on him.
// The rebuild passes through "no row", which is no choice of the user's:
// disabling the button in his hand would send the focus elsewhere.
void RepresentativeHistoryPage::showRepresentativeAgain(const QString& curp) {
    MaybeError failure;
    {
        const QSignalBlocker quiet(ui->fgMandatarios);
        failure = Llena_Hist_Mandatarios();
        for (int i = 0; i < ui->fgMandatarios->rowCount(); ++i)
            if (gridCell(ui->fgMandatarios, i, 3) == curp)
                ui->fgMandatarios->setCurrentCell(i, 0);
    }
    fgMandatarios_RowChosen();
    seam::readFailed(this, failure);
}

void RepresentativeHistoryPage::cmdMandNuevo_Click() {
    const int m = ui->fgMandatarios->currentRow();
    if (m < 0)
        return;
    const QString curp = periodsCurp_;
    frmPeriodo_Mandatario dialog(*db_, gridRow(ui->fgMandatarios, m).mid(0, 4), this);
    seam::exec(dialog);
    showRepresentativeAgain(curp);
}

void RepresentativeHistoryPage::cmdMandBorrar_Click() {
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

void RepresentativeHistoryPage::cmdSinHistMM_Click() {
    const int m = ui->fgMandatarios->currentRow();
    if (m < 0) {
        if (ui->fgMandatarios->rowCount() > 0)
            seam::inform(this, QStringLiteral("Seleccione el Mandatario en la lista"));
        return;
    }
    frmSinHIstorico dialog(*db_,
                           QStringLiteral("Por este medio les informo que el mandatario no ha "
                                          "actuado para ningún Agente Aduanal, por tal motivo no "
                                          "tiene historico"),
                           gridCell(ui->fgMandatarios, m, 3), this);
    const int listed = ui->fgPeriodosMandatario->rowCount();
    dialog.tellWhatIsDeleted(
        listed == 0 ? QString()
        : listed == 1
            ? QStringLiteral("Al aceptar se borra el periodo de la lista.")
            : QStringLiteral("Al aceptar se borran los %1 periodos de la lista.").arg(listed));
    // Declared or not, he stays chosen, his periods (none once declared) on show.
    const QString curp = gridCell(ui->fgMandatarios, m, 3);
    seam::exec(dialog);
    showRepresentativeAgain(curp);
}
