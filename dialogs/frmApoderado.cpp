#include "dialogs/frmApoderado.h"

#include "data/Dates.h"
#include "data/MandatoLabel.h"
#include "data/RepresentativeStore.h"
#include "dialogs/frmAduanaAct.h"
#include "dialogs/frmPedTramitados.h"
#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/Grid.h"
#include "entry/GridBehaviour.h"
#include "entry/KeystrokeFilter.h"
#include "entry/ScreenFit.h"
#include "entry/Seam.h"
#include "entry/StoredText.h"
#include "rules/Rutinas.h"
#include "ui_frmApoderado.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QScrollBar>

namespace {

// The frame of a list is as wide as its columns, so none hides behind a
// scroll bar. It may be as short as two rows, so the window fits a small
// screen.
void showAllColumns(QTableWidget* grid) {
    int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    grid->setMinimumWidth(width);
    grid->setMinimumHeight(grid->horizontalHeader()->sizeHint().height() +
                           2 * grid->verticalHeader()->defaultSectionSize() +
                           2 * grid->frameWidth());
}

// The file's own name: it is what the copy in ENVIO is called. A path kept
// from the earlier Windows version separates its folders with backslashes,
// whatever the system.
QString requirementName(const QString& path) {
    return QFileInfo(QString(path).replace(u'\\', u'/')).fileName();
}

} // namespace

frmApoderado::frmApoderado(Database& db, EditMode mode, const QString& curp0, QWidget* parent)
    : GuardedDialog(parent), ui(new Ui::frmApoderado), db_(db), editing_(mode == EditMode::Edit),
      curp0_(editing_ ? curp0 : QString()) {
    ui->setupUi(this);
    prepareWindow();
    setTabOrderChain();
    connectButtons();
    if (editing_)
        loadRepresentative();
}

frmApoderado::~frmApoderado() = default;

void frmApoderado::prepareWindow() {
    ui->cmbMandato->addItems({MandatoLabel::of(1), MandatoLabel::of(2)});
    ui->cmbMandato->setCurrentIndex(-1);

    gridSetup(ui->fgAduanasAct, {QStringLiteral("No.Aduana"), QStringLiteral("Aduana")},
              {1000, 3600});
    gridSetup(ui->fgPedTramitados,
              {QStringLiteral("No.Aduana"), QStringLiteral("Aduana"), QStringLiteral("Pedimento"),
               QStringLiteral("Fecha")},
              {1000, 2280, 1000, 1600});
    for (QTableWidget* g : {ui->fgAduanasAct, ui->fgPedTramitados})
        showAllColumns(g);
    // The declarations have three columns beside the office's name.
    gridStretchColumn(ui->fgPedTramitados, 1);
    ui->layoutListas->setStretchFactor(ui->frAduanasAct, 2);
    ui->layoutListas->setStretchFactor(ui->frPedTramitados, 3);

    for (QWidget* w :
         std::initializer_list<QWidget*>{ui->frAcreditacion, ui->frAduanasAct, ui->frPedTramitados,
                                         ui->lblRequerimiento, ui->txtRequerimiento, ui->cmdBuscar})
        w->hide();

    ui->blkParticular->build(QString(), QStringLiteral("Domicilio Particular"),
                             AddressBlock::Pairing::Both, AddressBlock::Shape::Narrow);
    ui->blkFiscal->build(QStringLiteral("Fiscal"), QStringLiteral("Domicilio Fiscal"),
                         AddressBlock::Pairing::Both, AddressBlock::Shape::Narrow);
    for (AddressBlock* b : {ui->blkParticular, ui->blkFiscal}) {
        b->setDatabase(&db_);
        Llena_EntFed(db_, b->cveEntFed, b->entFed);
        for (QLineEdit* e : b->textFields())
            attachEntryRules(e);
    }
    for (QLineEdit* e :
         {ui->txtNombre, ui->txtApPaterno, ui->txtApMaterno, ui->txtCURP, ui->txtRFC})
        attachEntryRules(e);
}

void frmApoderado::setTabOrderChain() {
    QList<QWidget*> chain{ui->cmbMandato, ui->txtNombre, ui->txtApPaterno, ui->txtApMaterno,
                          ui->txtCURP,    ui->txtRFC,    ui->optSi,        ui->optNo};
    chain << ui->blkParticular->tabChain() << ui->blkFiscal->tabChain();
    // The accreditation stands where the offices would: Tab reaches it
    // before Aceptar, chosen or not.
    chain << ui->txtRequerimiento << ui->cmdBuscar << ui->optNTCL << ui->optExamen
          << ui->fgAduanasAct << ui->cmdNuevaAduana << ui->cmdBorrarAduana << ui->fgPedTramitados
          << ui->cmdNuevoPed << ui->cmdBorrarPed << ui->cmdAceptar << ui->cmdCancelar;
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void frmApoderado::connectButtons() {
    connect(ui->cmbMandato, &QComboBox::currentIndexChanged, this,
            &frmApoderado::cmbMandato_Change);
    connect(ui->cmdBuscar, &QPushButton::clicked, this, &frmApoderado::cmdBuscar_Click);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmApoderado::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &frmApoderado::reject);
    connect(ui->cmdNuevaAduana, &QPushButton::clicked, this, &frmApoderado::cmdNuevaAduana_Click);
    connect(ui->cmdBorrarAduana, &QPushButton::clicked, this, &frmApoderado::cmdBorrarAduana_Click);
    connect(ui->cmdNuevoPed, &QPushButton::clicked, this, &frmApoderado::cmdNuevoPed_Click);
    connect(ui->cmdBorrarPed, &QPushButton::clicked, this, &frmApoderado::cmdBorrarPed_Click);
    for (QTableWidget* g : {ui->fgAduanasAct, ui->fgPedTramitados})
        connect(g, &QTableWidget::currentCellChanged, this, &frmApoderado::updateListButtons);
}

void frmApoderado::loadRepresentative() {
    // Aceptar replaces all his rows: with part of them unread it would drop
    // the rest, so after a failed read only Cancelar is left.
    const auto refuseSaving = [this] { ui->cmdAceptar->setEnabled(false); };
    const auto loaded = ::loadRepresentative(db_, curp0_);
    if (seam::readFailed(this, loaded.error)) {
        refuseSaving();
        return;
    }
    if (!loaded.value)
        return;
    const StoredRepresentative& m = *loaded.value;
    showStoredText(ui->txtNombre, textOf(m.nombre));
    showStoredText(ui->txtApPaterno, textOf(m.apPaterno));
    showStoredText(ui->txtApMaterno, textOf(m.apMaterno));
    showStoredText(ui->txtCURP, textOf(m.curp));
    showStoredText(ui->txtRFC, textOf(m.rfc));
    // Type 3 comes only from the previous version: offered to the one who
    // has it, so he keeps it. No type leaves the choice to the user.
    const int mandato = m.mandato.isNull() ? 0 : m.mandato.toInt();
    if (mandato == 3)
        ui->cmbMandato->addItem(MandatoLabel::of(3));
    ui->cmbMandato->setCurrentIndex(mandato >= 1 && mandato <= 3 ? mandato - 1 : -1);
    showRequirement(textOf(m.requerimiento));
    const int acreditacion = m.acreditacion.isNull() ? 0 : m.acreditacion.toInt();
    keptAcreditacion_ = acreditacion;
    if (acreditacion == 1)
        ui->optNTCL->setChecked(true);
    else if (acreditacion == 2)
        ui->optExamen->setChecked(true);
    const int operando = m.operando.isNull() ? 2 : m.operando.toInt();
    if (operando == 0)
        ui->optNo->setChecked(true);
    else if (operando == 1)
        ui->optSi->setChecked(true);
    if ((mandato == 1 && !Llena_Aduana_PedTram()) ||
        !Llena_Domicilio_M(db_, *ui->blkParticular, curp0_, QStringLiteral("1")) ||
        !Llena_Domicilio_M(db_, *ui->blkFiscal, curp0_, QStringLiteral("2")))
        refuseSaving();
}

bool frmApoderado::Llena_Aduana_PedTram() {
    // An office missing from the catalogue still shows (without a name), so
    // that saving does not lose it.
    const Fallible<QList<NamedOffice>> offices = actedOffices(db_, curp0_);
    if (seam::readFailed(this, offices.error))
        return false;
    for (const NamedOffice& o : offices.value)
        gridAppend(ui->fgAduanasAct, {Texto_Clave(o.key.toLongLong()), o.name});
    const Fallible<QList<StoredDeclaration>> declarations = storedDeclarations(db_, curp0_);
    if (seam::readFailed(this, declarations.error))
        return false;
    for (const StoredDeclaration& d : declarations.value)
        gridAppend(ui->fgPedTramitados, {Texto_Clave(d.office.key.toLongLong()), d.office.name,
                                         d.numero, displayFromIsoDate(d.fecha)});
    updateListButtons();
    return true;
}

void frmApoderado::cmbMandato_Change(int index) {
    if (index < 0)
        return;
    const QList<QWidget*> earlierOnly{ui->frAduanasAct, ui->frPedTramitados};
    const QList<QWidget*> ruleOnly{ui->frAcreditacion};
    // Type 3 (index 2) asks for his requirement only.
    const QList<QWidget*> shown = index == 0   ? earlierOnly
                                  : index == 1 ? ruleOnly
                                               : QList<QWidget*>();
    // Hiding first: the window never has to make room for both types at once.
    for (QWidget* w : earlierOnly + ruleOnly)
        if (!shown.contains(w))
            w->hide();
    for (QWidget* w : shown)
        w->show();
    for (QWidget* w : QList<QWidget*>{ui->lblRequerimiento, ui->txtRequerimiento, ui->cmdBuscar})
        w->show();
    // The window fits what the type shows, with no room left for the other,
    // centred again on the page: grown where it stood, it would reach the
    // bottom of the screen.
    if (isVisible())
        fitOnScreen(this);
}

// The end of the path shows: the file's name is what matters.
void frmApoderado::showRequirement(const QString& path) {
    showStoredText(ui->txtRequerimiento, path);
    ui->txtRequerimiento->setCursorPosition(int(path.size()));
}

// Where the file named in the field lies, when that folder is there: the
// user looks for a file beside the one he chose before.
QString frmApoderado::requirementFolder() const {
    const QString named = QDir::fromNativeSeparators(ui->txtRequerimiento->text().trimmed());
    const QString folder = QFileInfo(named).absolutePath();
    return !named.isEmpty() && QFileInfo(folder).isDir() ? folder : seam::startFolder();
}

void frmApoderado::cmdBuscar_Click() {
    const QString chosen =
        seam::openFile(this, QStringLiteral("Requerimiento Electrónico"), requirementFolder(),
                       QStringLiteral("Archivo_llave (*.req)"));
    if (!chosen.isEmpty())
        showRequirement(QDir::toNativeSeparators(chosen));
}

bool frmApoderado::entriesAreValid() {
    if (Vacio(ui->txtNombre->text()))
        return seam::refuse(this, "Nombre no puede estar vacio", ui->txtNombre);
    if (Vacio(ui->txtApPaterno->text()))
        return seam::refuse(this, "Ap. Paterno no puede estar vacio", ui->txtApPaterno);
    if (Vacio(ui->txtApMaterno->text()))
        return seam::refuse(this, "Ap. Materno no puede estar vacio", ui->txtApMaterno);
    if (!Valida_CURP(ui->txtCURP->text()))
        return seam::refuse(this, "CURP no valido", ui->txtCURP);
    if (!Valida_RFC(ui->txtRFC->text()))
        return seam::refuse(this, "RFC no valido", ui->txtRFC);
    if (!Valida_Domicilio(this, *ui->blkParticular) || !Valida_Domicilio(this, *ui->blkFiscal))
        return false;
    if (Vacio(ui->cmbMandato->currentText()))
        return seam::refuse(this, "Tipo de Mandato no puede estar vacio", ui->cmbMandato);
    if (Vacio(ui->txtRequerimiento->text()))
        return seam::refuse(this, "El Requerimiento Electrónico no puede estar vacio",
                            ui->cmdBuscar);
    if (requirementName(ui->txtRequerimiento->text()).toUpper() !=
        ui->txtRFC->text() + QStringLiteral(".REQ"))
        return seam::refuse(this, "El Requerimiento Electrónico se debe llamar igual al RFC",
                            ui->cmdBuscar);
    const bool earlier = ui->cmbMandato->currentIndex() == 0;
    if (earlier && ui->fgAduanasAct->rowCount() == 0)
        return seam::refuse(this, "Debe existir almenos una Aduana donde ha actuado",
                            ui->cmdNuevaAduana);
    const bool rule = ui->cmbMandato->currentIndex() == 1;
    if (rule && !ui->optNTCL->isChecked() && !ui->optExamen->isChecked())
        return seam::refuse(this, "Debe elegir el tipo de acreditación", ui->optNTCL);
    if (!ui->optSi->isChecked() && !ui->optNo->isChecked())
        return seam::refuse(this,
                            "Debe elegir si el Manandatario o Representante se "
                            "encuentra Operando",
                            ui->optSi);
    const Fallible<bool> taken = ui->txtCURP->text() != curp0_
                                     ? representativeExists(db_, ui->txtCURP->text())
                                     : Fallible<bool>(false);
    if (seam::readFailed(this, taken.error))
        return false;
    if (taken.value) {
        seam::message(this, QStringLiteral("YA EXISTE EL MANDATARIO EN LA BASE DE DATOS."),
                      QStringLiteral("Mensaje"), seam::Icon::None);
        return false;
    }
    return true;
}

Representative frmApoderado::entries() const {
    Representative r;
    r.curp = ui->txtCURP->text();
    r.rfc = ui->txtRFC->text();
    r.nombre = ui->txtNombre->text();
    r.apPaterno = ui->txtApPaterno->text();
    r.apMaterno = ui->txtApMaterno->text();
    r.mandato = ui->cmbMandato->currentIndex() + 1;
    r.requerimiento = ui->txtRequerimiento->text();
    r.acreditacion = r.mandato == 2   ? (ui->optNTCL->isChecked() ? 1 : 2)
                     : r.mandato == 3 ? keptAcreditacion_
                                      : 0;
    r.operando = ui->optSi->isChecked() ? 1 : 0;
    r.particular = ui->blkParticular->stored();
    r.fiscal = ui->blkFiscal->stored();
    if (r.mandato != 1)
        return r;
    for (int i = 0; i < ui->fgAduanasAct->rowCount(); ++i)
        r.officeKeys << gridCell(ui->fgAduanasAct, i, 0);
    for (int i = 0; i < ui->fgPedTramitados->rowCount(); ++i)
        r.declarations << PriorDeclaration{gridCell(ui->fgPedTramitados, i, 0),
                                           gridCell(ui->fgPedTramitados, i, 2),
                                           gridCell(ui->fgPedTramitados, i, 3)};
    return r;
}

// A type that carries no offices (the first type always has one) drops
// those stored for him, with their declarations: the user hears how many
// before anything goes.
bool frmApoderado::droppingConfirmed(const Representative& r) {
    if (!editing_ || !r.officeKeys.isEmpty())
        return true;
    const Fallible<QList<NamedOffice>> offices = actedOffices(db_, curp0_);
    const Fallible<QList<StoredDeclaration>> declarations = storedDeclarations(db_, curp0_);
    if (seam::readFailed(this, offices.error) || seam::readFailed(this, declarations.error))
        return false;
    const qsizetype o = offices.value.size(), d = declarations.value.size();
    if (o == 0 && d == 0)
        return true;
    return seam::confirm(
        this, QStringLiteral("Con este tipo de mandato se borrarán %1 %2 ante las que ha actuado y "
                             "%3 %4 con anterioridad al 1 de Enero de 2001. ¿Desea continuar?")
                  .arg(o)
                  .arg(o == 1 ? QStringLiteral("aduana") : QStringLiteral("aduanas"))
                  .arg(d)
                  .arg(d == 1 ? QStringLiteral("pedimento tramitado")
                              : QStringLiteral("pedimentos tramitados")));
}

void frmApoderado::cmdAceptar_Click() {
    if (!entriesAreValid())
        return;
    const Representative r = entries();
    if (!droppingConfirmed(r))
        return;
    if (seam::failed(this, saveRepresentative(db_, r, curp0_)))
        return;
    savedCurp_ = r.curp;
    savedType_ = r.mandato;
    accept();
}

void frmApoderado::cmdNuevaAduana_Click() {
    frmAduanaAct dialog(db_, ui->fgAduanasAct, this);
    seam::exec(dialog);
    updateListButtons();
}

void frmApoderado::cmdNuevoPed_Click() {
    frmPedTramitados dialog(db_, ui->fgAduanasAct, ui->fgPedTramitados, this);
    seam::exec(dialog);
    updateListButtons();
}

void frmApoderado::cmdBorrarAduana_Click() {
    const int row = ui->fgAduanasAct->currentRow();
    if (row < 0 || row >= ui->fgAduanasAct->rowCount())
        return;
    if (!seam::confirm(this, QStringLiteral("¿DESEA BORRAR LA ADUANA SELECCIONADA Y LOS "
                                            "PEDIMENTOS RELACIONADOS?")))
        return;
    const QString key = gridCell(ui->fgAduanasAct, row, 0);
    for (int i = ui->fgPedTramitados->rowCount() - 1; i >= 0; --i)
        if (gridCell(ui->fgPedTramitados, i, 0) == key)
            ui->fgPedTramitados->removeRow(i);
    ui->fgAduanasAct->removeRow(row);
    updateListButtons();
}

void frmApoderado::cmdBorrarPed_Click() {
    const int row = ui->fgPedTramitados->currentRow();
    if (row < 0 || row >= ui->fgPedTramitados->rowCount())
        return;
    if (!seam::confirm(this, QStringLiteral("¿DESEA BORRAR EL PERIODO SELECCIONADO?")))
        return;
    ui->fgPedTramitados->removeRow(row);
    updateListButtons();
}

// Deleting needs a chosen row; a declaration needs an office to belong to.
void frmApoderado::updateListButtons() {
    ui->cmdBorrarAduana->setEnabled(ui->fgAduanasAct->currentRow() >= 0);
    ui->cmdBorrarPed->setEnabled(ui->fgPedTramitados->currentRow() >= 0);
    ui->cmdNuevoPed->setEnabled(ui->fgAduanasAct->rowCount() > 0);
}
