// Page 3: the representatives, the details of the one chosen, and the
// buttons that add, edit and delete them.
#include "data/Dates.h"
#include "data/RepresentativeStore.h"
#include "dialogs/frmApoderado.h"
#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/Grid.h"
#include "entry/Seam.h"
#include "ui_frmMain.h"
#include "wizard/frmMain.h"

#include <QSignalBlocker>

void frmMain::connectRepresentativeList() {
    // A click or a keyboard move of the current row shows that row.
    connect(ui->fgAA, &QTableWidget::currentCellChanged, this, [this] { Muestra_Mandatario(); });
    connect(ui->cmdNuevo, &QPushButton::clicked, this, &frmMain::cmdNuevo_Click);
    connect(ui->cmdEditar, &QPushButton::clicked, this, &frmMain::cmdEditar_Click);
    connect(ui->cmdBorrar, &QPushButton::clicked, this, &frmMain::cmdBorrar_Click);
}

void frmMain::cmdNuevo_Click() {
    openRepresentativeEditor(QStringLiteral("N"));
}

void frmMain::cmdEditar_Click() {
    openRepresentativeEditor(QStringLiteral("E"));
}

void frmMain::openRepresentativeEditor(const QString& modo) {
    const int row = ui->fgAA->currentRow();
    if (modo == QLatin1String("E") && row < 0)
        return;
    state_.Modo = modo;
    // The editor is modal: the current row cannot change while it is open.
    frmApoderado editor(*db_, state_,
                        modo == QLatin1String("E") ? gridCell(ui->fgAA, row, 4) : QString(), this);
    seam::exec(editor);
    state_.Respuesta = editor.Respuesta();
    if (state_.Respuesta != QLatin1String("A"))
        return;
    // A representative of the 2.13.11 type brings in the history pages.
    if (editor.storedRuleType())
        showNext(QStringLiteral("Siguiente >"));
    reloadRepresentatives(editor.storedCurp());
    Muestra_Mandatario();
    seam::readFailed(this, Llena_Hist_Mandatarios());
}

// Rebuilds the list with the given representative current (none for "").
void frmMain::reloadRepresentatives(const QString& currentCurp) {
    const QSignalBlocker quiet(ui->fgAA);
    if (seam::readFailed(this, Llena_Mandatarios()))
        return;
    ui->fgAA->setCurrentIndex(QModelIndex());
    for (int i = 0; i < ui->fgAA->rowCount(); ++i)
        if (!currentCurp.isEmpty() && gridCell(ui->fgAA, i, 4) == currentCurp)
            ui->fgAA->setCurrentCell(i, 0);
}

void frmMain::cmdBorrar_Click() {
    const int row = ui->fgAA->currentRow();
    if (row < 0 || row >= ui->fgAA->rowCount())
        return;
    const QStringList m = gridRow(ui->fgAA, row);
    if (!seam::confirm(this, QStringLiteral("¿DESEA BORRAR EL MANDATARIO\n\n") + m[0] + u' ' +
                                 m[1] + u' ' + m[2] + u' ' + m[4] + QStringLiteral(" ?")))
        return;
    if (seam::failed(this, deleteRepresentative(*db_, m[4])))
        return;
    reloadRepresentatives(QString());
    hideRepresentativeDetails();
    Muestra_Mandatario();
    seam::readFailed(this, Llena_Hist_Mandatarios());
}

// Nobody is chosen after a deletion: no one's details stay on screen.
void frmMain::hideRepresentativeDetails() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui->frAduanasAct, ui->frPedTramitados, ui->frAcreditacion,
                                         ui->lblRequerimiento, ui->txtRequerimiento})
        w->hide();
    ui->lblTipoMandato->setText(QString());
    ui->lblTipoMandato->show();
    Limpia_Domicilio_M(*db_, *ui->blkApR);
    Limpia_Domicilio_M(*db_, *ui->blkFiscalApR);
}

void frmMain::Muestra_Mandatario() {
    const int row = ui->fgAA->currentRow();
    if (row < 0 || row >= ui->fgAA->rowCount()) {
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
