// Page 3: the representatives, the details of the one chosen, and the
// buttons that add, edit and delete them.
#include "data/Dates.h"
#include "data/RepresentativeStore.h"
#include "dialogs/frmApoderado.h"
#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/Grid.h"
#include "entry/MandatoLabel.h"
#include "entry/Seam.h"
#include "ui_frmMain.h"
#include "wizard/frmMain.h"

#include <QSignalBlocker>

void frmMain::connectRepresentativeList() {
    // A keyboard move shows the row; so does a click, also on the row that
    // already is current (to read it again).
    connect(ui->fgAA, &QTableWidget::currentCellChanged, this, [this] { Muestra_Mandatario(); });
    connect(ui->fgAA, &QTableWidget::cellClicked, this, [this] { Muestra_Mandatario(); });
    connect(ui->cmdNuevo, &QPushButton::clicked, this, &frmMain::cmdNuevo_Click);
    connect(ui->cmdEditar, &QPushButton::clicked, this, &frmMain::cmdEditar_Click);
    connect(ui->cmdBorrar, &QPushButton::clicked, this, &frmMain::cmdBorrar_Click);
}

void frmMain::cmdNuevo_Click() {
    openRepresentativeEditor(EditMode::New);
}

void frmMain::cmdEditar_Click() {
    openRepresentativeEditor(EditMode::Edit);
}

void frmMain::openRepresentativeEditor(EditMode mode) {
    const int row = ui->fgAA->currentRow();
    if (mode == EditMode::Edit && row < 0)
        return;
    // The editor is modal: the current row cannot change while it is open.
    frmApoderado editor(*db_, mode, mode == EditMode::Edit ? gridCell(ui->fgAA, row, 4) : QString(),
                        this);
    seam::exec(editor);
    const std::optional<QString> saved = editor.savedCurp();
    if (!saved)
        return;
    // A representative of the 2.13.11 type brings in the history pages.
    if (editor.savedRuleType())
        showNext(QStringLiteral("Siguiente >"));
    reloadRepresentatives(*saved);
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
    const int mandato = ui->fgAA->item(row, 5)->data(MandatoRole).toInt();
    if (!Llena_Domicilio_M(*db_, *ui->blkApR, curp, QStringLiteral("1")) ||
        !Llena_Domicilio_M(*db_, *ui->blkFiscalApR, curp, QStringLiteral("2")))
        return;

    const bool earlier = mandato == 1;
    const bool rule = mandato == 2;
    if (!earlier && !rule && mandato != 3)
        return; // no type: the rest of the display stays as it was
    // Hiding first: the page never has to make room for both types at once,
    // which would widen the window.
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui->frAduanasAct, ui->frPedTramitados, ui->frAcreditacion})
        w->hide();
    ui->frAduanasAct->setVisible(earlier);
    ui->frPedTramitados->setVisible(earlier);
    ui->frAcreditacion->setVisible(rule);
    ui->lblRequerimiento->setVisible(earlier || rule);
    ui->txtRequerimiento->setVisible(earlier || rule);
    ui->lblTipoMandato->setText(MandatoLabel::of(mandato));
    ui->lblTipoMandato->show();
    if (earlier) {
        Llena_Aduanas_MM(curp);
        Llena_Pedimentos_MM(curp);
    }
    if (earlier || rule)
        Llena_Requerimiento_Mand(curp, mandato);
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

void frmMain::Llena_Requerimiento_Mand(const QString& curp, int mandato) {
    const Rows r = db_->select(
        QStringLiteral("select Requerimiento,Acreditacion from Mandatarios where CURP=?"), {curp});
    if (seam::readFailed(this, r.error) || r.empty())
        return;
    ui->txtRequerimiento->setText(textOf(r.first().at(0)));
    if (mandato != 2)
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
