// Page 3: the details of the representative chosen in the list.
#include "data/Dates.h"
#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/Grid.h"
#include "entry/Seam.h"
#include "ui_frmMain.h"
#include "wizard/frmMain.h"

void frmMain::connectRepresentativeList() {
    // A click or a keyboard move of the current row shows that row.
    connect(ui->fgAA, &QTableWidget::currentCellChanged, this, [this] { Muestra_Mandatario(); });
}

void frmMain::Muestra_Mandatario() {
    const int row = ui->fgAA->currentRow();
    if (row < 0 || row >= gridDataRows(ui->fgAA)) {
        ui->cmdBorrar->setEnabled(false);
        ui->cmdEditar->setEnabled(false);
        return;
    }
    ui->cmdBorrar->setEnabled(true);
    ui->cmdEditar->setEnabled(true);
    const QString curp = gridCell(ui->fgAA, row, 4);
    const QString tipo = gridCell(ui->fgAA, row, 5);
    if (!Llena_Domicilio_M(*db_, *ui->blkApR, curp, QStringLiteral("1")) ||
        !Llena_Domicilio_M(*db_, *ui->blkFiscalApR, curp, QStringLiteral("2")))
        return;

    const bool earlier = tipo == state_.Mandato1;
    const bool rule = tipo == state_.Mandato2;
    if (!earlier && !rule && tipo != state_.Mandato3)
        return; // no type: the rest of the display stays as it was
    ui->frAduanasAct->setVisible(earlier);
    ui->frPedTramitados->setVisible(earlier);
    ui->frAcreditacion->setVisible(rule);
    ui->lblRequerimiento->setVisible(earlier || rule);
    ui->txtRequerimiento->setVisible(earlier || rule);
    ui->lblTipoMandato->setText(tipo);
    ui->lblTipoMandato->show();
    if (earlier) {
        Llena_Aduanas_MM(curp);
        Llena_Pedimentos_MM(curp);
    }
    if (earlier || rule)
        Llena_Requerimiento_Mand(curp);
}

void frmMain::Llena_Aduanas_MM(const QString& curp) {
    gridClear(ui->fgAduanasAct);
    const Rows r = db_->select(QStringLiteral("select a.Aduana from Aduanas_MM AM, Aduanas A "
                                              "where AM.NoAduana=A.cveAduana and CURP=?"),
                               {curp});
    if (seam::readFailed(this, r.error))
        return;
    for (const QVariantList& a : r.rows)
        gridAppend(ui->fgAduanasAct, {textOf(a.at(0))});
}

void frmMain::Llena_Pedimentos_MM(const QString& curp) {
    gridClear(ui->fgPedTramitados);
    const Rows r = db_->select(
        QStringLiteral("select a.Aduana,NoPedimento,FechPedimento from Pedimentos_MM AM, "
                       "Aduanas A where AM.NoAduana=A.cveAduana and CURP=?"),
        {curp});
    if (seam::readFailed(this, r.error))
        return;
    for (const QVariantList& p : r.rows)
        gridAppend(ui->fgPedTramitados,
                   {textOf(p.at(0)), textOf(p.at(1)), displayFromIsoDate(p.at(2))});
}

void frmMain::Llena_Requerimiento_Mand(const QString& curp) {
    const Rows r = db_->select(
        QStringLiteral("select Requerimiento,Acreditacion from Mandatarios where CURP=?"), {curp});
    if (seam::readFailed(this, r.error) || r.empty())
        return;
    ui->txtRequerimiento->setText(textOf(r.first().at(0)));
    if (ui->lblTipoMandato->text() != state_.Mandato2)
        return;
    const QVariant acreditacion = r.first().at(1);
    const int code = acreditacion.isNull() ? 0 : acreditacion.toInt();
    if (code == 0) {
        // Exclusive options cannot be cleared one by one.
        for (QRadioButton* o : {ui->optNTCL, ui->optExCon}) {
            o->setAutoExclusive(false);
            o->setChecked(false);
            o->setAutoExclusive(true);
        }
    } else if (code == 1) {
        ui->optNTCL->setChecked(true);
    } else if (code == 2) {
        ui->optExCon->setChecked(true);
    }
}
