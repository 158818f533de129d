#include "wizard/RepresentativesPage.h"

#include "data/Dates.h"
#include "data/MandatoLabel.h"
#include "data/RepresentativeStore.h"
#include "dialogs/frmApoderado.h"
#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/GridBehaviour.h"
#include "entry/ScreenFit.h"
#include "entry/Seam.h"
#include "rules/Rutinas.h"
#include "ui_RepresentativesPage.h"
#include "wizard/PageSupport.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTimer>

namespace {

QString operandoText(const QVariant& operando) {
    if (operando.isNull())
        return QString();
    switch (operando.toInt()) {
    case 0:
        return QStringLiteral("No");
    case 1:
        return QStringLiteral("Si");
    case 2:
        return QStringLiteral("No Definido");
    }
    return QString();
}

const QString noRequirement =
    QStringLiteral("Proporcione el archivo de Requerimiento del mandatario ");

// The first gap in one representative's stored data, "" when complete. A
// failed read is no answer: the check stops on it.
Fallible<QString> representativeGap(Database& db, const QString& curp) {
    const Fallible<std::optional<StoredRepresentative>> stored = loadRepresentative(db, curp);
    if (!stored)
        return *stored.error;
    if (!stored.value)
        return QString();
    const StoredRepresentative& r = *stored.value;
    for (int tipo : {1, 2}) {
        const Fallible<bool> has = hasAddress(db, curp, tipo);
        if (!has)
            return *has.error;
        if (!has.value)
            return tipo == 1
                       ? QStringLiteral("Proporcione el Domicilo Particular del Representante ")
                       : QStringLiteral("Proporcione el Domicilo Fiscal del Representante ");
    }
    if (!r.operando.isNull() && r.operando.toInt() == 2)
        return QStringLiteral("Defina si se encuentra operando actualemente del Representante ");
    const bool requirementMissing = r.requerimiento.isNull() || Vacio(r.requerimiento.toString());
    const int mandato = r.mandato.isNull() ? 0 : r.mandato.toInt();
    if (mandato == 1) {
        if (requirementMissing)
            return noRequirement;
        const Fallible<QList<NamedOffice>> offices = actedOffices(db, curp);
        if (!offices)
            return *offices.error;
        if (offices.value.isEmpty())
            return QStringLiteral(
                "Proporcione las Aduanas ante las que aha actuado el Representante ");
    } else if (mandato == 2) {
        if (requirementMissing)
            return noRequirement;
        if (r.acreditacion.isNull() || Vacio(r.acreditacion.toString()))
            return QStringLiteral("Proporcione el Tipo de acreditamiento del mandatario ");
    } else if (mandato == 3 && requirementMissing) {
        return noRequirement; // his file travels with the information file
    }
    return QString();
}

} // namespace

RepresentativesPage::RepresentativesPage(QWidget* parent)
    : QWidget(parent), ui(new Ui::RepresentativesPage) {
    ui->setupUi(this);
    ui->blkApR->build(QStringLiteral("ApR"), QStringLiteral("Domicilio Particular"),
                      AddressBlock::Pairing::None, AddressBlock::Shape::Narrow);
    ui->blkFiscalApR->build(QStringLiteral("FiscalApR"), QStringLiteral("Domicilio Fiscal"),
                            AddressBlock::Pairing::None, AddressBlock::Shape::Narrow);
    ui->blkApR->setDisplayOnly();
    ui->blkFiscalApR->setDisplayOnly();
    ui->txtRequerimiento->setEnabled(false);
    setUpLists();
    layOutDetails();

    // A keyboard move shows the row; so does a click, also on the row that
    // already is current (to read it again).
    connect(ui->fgAA, &QTableWidget::currentCellChanged, this, [this] { Muestra_Mandatario(); });
    connect(ui->fgAA, &QTableWidget::cellClicked, this, [this] { Muestra_Mandatario(); });
    connect(ui->cmdNuevo, &QPushButton::clicked, this, &RepresentativesPage::cmdNuevo_Click);
    connect(ui->cmdEditar, &QPushButton::clicked, this, &RepresentativesPage::cmdEditar_Click);
    connect(ui->cmdBorrar, &QPushButton::clicked, this, &RepresentativesPage::cmdBorrar_Click);
    gridActivates(ui->fgAA, ui->cmdEditar);

    // The details show only once one is chosen.
    for (QWidget* w : std::initializer_list<QWidget*>{ui->frAduanasAct, ui->frAcreditacion,
                                                      ui->frPedTramitados, ui->lblTipoMandato,
                                                      ui->lblRequerimiento, ui->txtRequerimiento})
        w->hide();
    ui->cmdEditar->setEnabled(false);
    ui->cmdBorrar->setEnabled(false);
    ui->cmdNuevo->setEnabled(true);
    setFocusProxy(ui->fgAA);
}

RepresentativesPage::~RepresentativesPage() = default;

void RepresentativesPage::setUpLists() {
    gridSetup(ui->fgAA,
              {QStringLiteral("Nombre"), QStringLiteral("Ap.Paterno"), QStringLiteral("Ap.Materno"),
               QStringLiteral("RFC"), QStringLiteral("CURP"), QStringLiteral("Tipo Mandato"),
               QStringLiteral("Operando (Con gafete)")},
              {2150, 2150, 2000, 1300, 1700, 1750, 0});
    QTableWidget* list = ui->fgAA;
    list->setFixedHeight(list->horizontalHeader()->sizeHint().height() +
                         5 * list->verticalHeader()->defaultSectionSize() + 2 * list->frameWidth());
    gridSetup(ui->fgAduanasAct, {QStringLiteral("Aduana")}, {5200});
    gridSetup(ui->fgPedTramitados,
              {QStringLiteral("Aduana"), QStringLiteral("Pedimento"), QStringLiteral("Fecha")},
              {3380, 1000, 1600});
    // Identifiers and dates are shown whole (RFC 13, CURP 18, dd/mm/yyyy).
    // Names get room for 16 capitals, the usual name: at 25 the three name
    // columns alone would push RFC and CURP off the page.
    gridFitColumns(ui->fgAA, {16, 16, 16, 13, 18});
    gridFitColumnTo(ui->fgAA, 5, MandatoLabel::all());
    gridFitColumns(ui->fgAduanasAct, {});
    gridFitColumns(ui->fgPedTramitados, {0, 0, 10});
    gridShareWidth(ui->fgAA, {0, 1, 2});
    gridStretchColumn(ui->fgPedTramitados, 0);
}

// The window grows, as far as the screen lets it, until the names show
// whole and the offices and declarations show a few rows more than two.
void RepresentativesPage::takeFreeRoom() {
    if (!isVisible())
        return;
    const QSize room = roomToGrow(window());
    bool grown = false;
    const auto atLeast = [&grown](int now, int wanted) {
        grown = grown || wanted > now;
        return std::max(now, wanted);
    };
    QTableWidget* list = ui->fgAA;
    list->setMinimumWidth(atLeast(list->minimumWidth(),
                                  std::min(gridWantedWidth(list), list->width() + room.width())));
    if (ui->frAduanasAct->isVisible())
        for (QTableWidget* g : {ui->fgAduanasAct, ui->fgPedTramitados}) {
            const int eightRows = g->horizontalHeader()->sizeHint().height() +
                                  8 * g->verticalHeader()->defaultSectionSize() +
                                  2 * g->frameWidth();
            g->setMinimumHeight(
                atLeast(g->minimumHeight(), std::min(eightRows, g->height() + room.height())));
        }
    // Grown, it is centred again once the window system has its new size;
    // otherwise it stays where the user put it.
    if (grown)
        QTimer::singleShot(0, window(), [frame = window()] { placeOnScreen(frame); });
}

void RepresentativesPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    takeFreeRoom();
}

// Whatever type is shown below the list, the list keeps its height and the
// window its size. The declarations get the room their three columns need;
// the accreditation options take only theirs.
void RepresentativesPage::layOutDetails() {
    ui->hbox23->setStretchFactor(ui->frAduanasAct, 2);
    ui->hbox23->setStretchFactor(ui->frPedTramitados, 3);
    ui->frAcreditacion->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    ui->layoutApoderado->setStretchFactor(ui->hbox23, 1);
    ui->layoutApoderado->addStretch(); // what the options leave
}

void RepresentativesPage::setDatabase(Database& db) {
    db_ = &db;
}

bool RepresentativesPage::fillLists() {
    return fillStateLists(*db_, *ui->blkApR) && fillStateLists(*db_, *ui->blkFiscalApR);
}

QString RepresentativesPage::curpAt(int row) const {
    return gridCell(ui->fgAA, row, 4);
}

MaybeError RepresentativesPage::deferList() {
    const MaybeError e = representativesReadable(*db_);
    listDeferred_ = !e;
    return e;
}

void RepresentativesPage::fillDeferredList() {
    if (listDeferred_)
        seam::readFailed(this, Llena_Mandatarios());
}

MaybeError RepresentativesPage::Llena_Mandatarios() {
    listDeferred_ = false;
    const Fallible<QList<ListedRepresentative>> listed = listRepresentatives(*db_);
    QList<QStringList> rows;
    QList<int> types; // Mandato of each row, 0 for none
    for (const ListedRepresentative& m : listed.value) {
        const int mandato = m.mandato.isNull() ? 0 : m.mandato.toInt();
        rows.append({m.nombre, m.apPaterno, m.apMaterno, m.rfc, m.curp, MandatoLabel::of(mandato),
                     operandoText(m.operando)});
        types.append(mandato);
    }
    gridFillKeeping(ui->fgAA, rows, 5, MandatoRole, types); // empty when it cannot be read
    return listed.error;
}

bool RepresentativesPage::Verifica_Datos_p2() {
    fillDeferredList();
    const QTableWidget* grid = ui->fgAA;
    if (grid->rowCount() == 0) {
        seam::inform(this,
                     QStringLiteral("Debe existir por lo menos un o Representante o Mandatario"));
        return false;
    }
    for (int i = 0; i < grid->rowCount(); ++i) {
        const QString curp = curpAt(i);
        const Fallible<QString> gap = representativeGap(*db_, curp);
        if (seam::readFailed(this, gap.error))
            return false;
        if (gap.value.isEmpty())
            continue;
        seam::inform(this, gap.value + gridCell(grid, i, 0) + u' ' + gridCell(grid, i, 1) + u' ' +
                               gridCell(grid, i, 2) + QStringLiteral(" CURP=") + curp);
        return false;
    }
    return true;
}

void RepresentativesPage::cmdNuevo_Click() {
    openRepresentativeEditor(EditMode::New);
}

void RepresentativesPage::cmdEditar_Click() {
    openRepresentativeEditor(EditMode::Edit);
}

void RepresentativesPage::openRepresentativeEditor(EditMode mode) {
    const int row = ui->fgAA->currentRow();
    if (mode == EditMode::Edit && row < 0)
        return;
    // The editor is modal: the current row cannot change while it is open.
    frmApoderado editor(*db_, mode, mode == EditMode::Edit ? curpAt(row) : QString(), this);
    seam::exec(editor);
    const std::optional<QString> saved = editor.savedCurp();
    if (!saved)
        return;
    reloadRepresentatives(*saved);
    Muestra_Mandatario();
    Q_EMIT representativesChanged(editor.savedRuleType());
}

// Rebuilds the list with the given representative current (none for "").
void RepresentativesPage::reloadRepresentatives(const QString& currentCurp) {
    const QSignalBlocker quiet(ui->fgAA);
    if (seam::readFailed(this, Llena_Mandatarios()))
        return;
    ui->fgAA->setCurrentIndex(QModelIndex());
    for (int i = 0; i < ui->fgAA->rowCount(); ++i)
        if (!currentCurp.isEmpty() && curpAt(i) == currentCurp)
            ui->fgAA->setCurrentCell(i, 0);
}

void RepresentativesPage::cmdBorrar_Click() {
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
    Q_EMIT representativesChanged(false);
}

// Nobody is chosen after a deletion: no one's details stay on screen.
void RepresentativesPage::hideRepresentativeDetails() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui->frAduanasAct, ui->frPedTramitados, ui->frAcreditacion,
                                         ui->lblRequerimiento, ui->txtRequerimiento})
        w->hide();
    ui->lblTipoMandato->setText(QString());
    ui->lblTipoMandato->show();
    Limpia_Domicilio_M(*db_, *ui->blkApR);
    Limpia_Domicilio_M(*db_, *ui->blkFiscalApR);
}

void RepresentativesPage::Muestra_Mandatario() {
    const int row = ui->fgAA->currentRow();
    if (row < 0 || row >= ui->fgAA->rowCount()) {
        ui->cmdBorrar->setEnabled(false);
        ui->cmdEditar->setEnabled(false);
        return;
    }
    ui->cmdBorrar->setEnabled(true);
    ui->cmdEditar->setEnabled(true);
    const QString curp = curpAt(row);
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
    ui->lblRequerimiento->setVisible(true);
    ui->txtRequerimiento->setVisible(true);
    ui->lblTipoMandato->setText(MandatoLabel::of(mandato));
    ui->lblTipoMandato->show();
    if (earlier) {
        Llena_Aduanas_MM(curp);
        Llena_Pedimentos_MM(curp);
        takeFreeRoom();
    }
    Llena_Requerimiento_Mand(curp, mandato);
}

void RepresentativesPage::Llena_Aduanas_MM(const QString& curp) {
    gridClear(ui->fgAduanasAct);
    const Fallible<QList<NamedOffice>> offices = actedOffices(*db_, curp);
    if (seam::readFailed(this, offices.error))
        return;
    for (const NamedOffice& o : offices.value)
        gridAppend(ui->fgAduanasAct, {o.name});
}

void RepresentativesPage::Llena_Pedimentos_MM(const QString& curp) {
    gridClear(ui->fgPedTramitados);
    const Fallible<QList<StoredDeclaration>> declarations = storedDeclarations(*db_, curp);
    if (seam::readFailed(this, declarations.error))
        return;
    for (const StoredDeclaration& d : declarations.value)
        gridAppend(ui->fgPedTramitados, {d.office.name, d.numero, displayFromIsoDate(d.fecha)});
}

void RepresentativesPage::Llena_Requerimiento_Mand(const QString& curp, int mandato) {
    const Fallible<std::optional<StoredRepresentative>> stored = loadRepresentative(*db_, curp);
    if (seam::readFailed(this, stored.error) || !stored.value)
        return;
    ui->txtRequerimiento->setText(textOf(stored.value->requerimiento));
    if (mandato != 2)
        return;
    const QVariant acreditacion = stored.value->acreditacion;
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
