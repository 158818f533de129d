#include "wizard/frmMain.h"

#include "data/AgentStore.h"
#include "data/Upgrade.h"
#include "dialogs/frmDudas.h"
#include "dialogs/frmInicio.h"
#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/Grid.h"
#include "entry/GridBehaviour.h"
#include "entry/KeystrokeFilter.h"
#include "entry/MandatoLabel.h"
#include "entry/ScreenFit.h"
#include "entry/Seam.h"
#include "entry/StoredText.h"
#include "ui_frmMain.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

namespace {

void setTabChain(const QList<QWidget*>& chain) {
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

// A visible office list leads its hidden list of keys.
void pairOffices(QComboBox* names, QComboBox* keys) {
    keys->hide();
    followList(names, keys);
}

} // namespace

frmMain::frmMain(AppState& state, QWidget* parent)
    : QWidget(parent), ui(new Ui::frmMain), state_(state) {
    ui->setupUi(this);
    buildAddressBlocks();
    attachEntryRulesToFields();
    setTabOrderPage1();
    setTabOrderPage2();
    connectRepresentativeList();
    connectHistoryPages();
    installWizardKeys();
    pairOffices(ui->cmbAAAduanaA, ui->cmbAANoAduanaA);
    pairOffices(ui->cmbAduana1, ui->cmbNoAduana1);
    pairOffices(ui->cmbAduana2, ui->cmbNoAduana2);
    pairOffices(ui->cmbAduana3, ui->cmbNoAduana3);
    ui->txtAutorizacion->hide();
    ui->txtRequerimiento->setEnabled(false);
    // An office list is as wide as its longest name, so the chosen one
    // shows whole.
    for (QComboBox* c : {ui->cmbAAAduanaA, ui->cmbAduana1, ui->cmbAduana2, ui->cmbAduana3})
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Its neighbour on page 1 gives up width by taking two lines.
    ui->lblNoAduanasAut->setWordWrap(true);
    layOutRepresentativeDetails();

    watchTyping(ui->frAA, 1);
    watchTyping(ui->frDirValidAA, 2);
    connect(ui->cmdSiguiente, &QPushButton::clicked, this, &frmMain::cmdSiguiente_Click);
    connect(ui->cmdAtras, &QPushButton::clicked, this, &frmMain::cmdAtras_Click);
    connect(ui->cmdSalir, &QPushButton::clicked, this, &frmMain::cmdSalir_Click);
    connect(ui->cmdDudas, &QPushButton::clicked, this, &frmMain::cmdDudas_Click);

    resize(792, 572);
}

frmMain::~frmMain() = default;

// Page 3: whatever type is shown below the list, the list keeps its height
// and the window its size. The declarations get the room their three columns
// need; the accreditation options take only theirs.
void frmMain::layOutRepresentativeDetails() {
    ui->hbox23->setStretchFactor(ui->frAduanasAct, 2);
    ui->hbox23->setStretchFactor(ui->frPedTramitados, 3);
    ui->frAcreditacion->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    ui->layoutApoderado->setStretchFactor(ui->hbox23, 1);
    ui->layoutApoderado->addStretch(); // what the options leave
}

void frmMain::buildAddressBlocks() {
    ui->blkFiscal->build(QStringLiteral("Fiscal"), QStringLiteral("Domicilio Fiscal"));
    ui->blkOirR->build(QStringLiteral("OirR"),
                       QStringLiteral("Domicilio para Oir y Recibir Notificaciones"));
    ui->blkV0->build(QStringLiteral("V0"),
                     QStringLiteral("Domicilio donde Transmitan para Validación Pedimentos en la "
                                    "Aduana de Adscripción"));
    ui->blkV1->build(QStringLiteral("V1"), QStringLiteral("Domicilio Validar Aduana 1"));
    ui->frDirAduana2->build(QStringLiteral("V2"), QStringLiteral("Domicilio Validar Aduana 2"));
    ui->frDirAduana3->build(QStringLiteral("V3"), QStringLiteral("Domicilio Validar Aduana 3"));
    ui->blkApR->build(QStringLiteral("ApR"), QStringLiteral("Domicilio Particular"),
                      AddressBlock::Pairing::None, AddressBlock::Shape::Narrow);
    ui->blkFiscalApR->build(QStringLiteral("FiscalApR"), QStringLiteral("Domicilio Fiscal"),
                            AddressBlock::Pairing::None, AddressBlock::Shape::Narrow);
    ui->blkApR->setDisplayOnly();
    ui->blkFiscalApR->setDisplayOnly();
}

QList<AddressBlock*> frmMain::agentBlocks() const {
    return {ui->blkFiscal, ui->blkOirR, ui->blkV0, ui->blkV1, ui->frDirAduana2, ui->frDirAduana3};
}

void frmMain::attachEntryRulesToFields() {
    for (QLineEdit* e : {ui->txtPatente, ui->txtAANombre, ui->txtAAApPat, ui->txtAAApMat,
                         ui->txtAARFC, ui->txtAACURP, ui->txtNoAduanasAut})
        attachEntryRules(e);
    for (AddressBlock* b : agentBlocks())
        for (QLineEdit* e : b->textFields())
            attachEntryRules(e, e != ui->blkV1->cp); // its postal code was always typed as is
}

void frmMain::setTabOrderPage1() {
    QList<QWidget*> chain{ui->txtPatente, ui->txtAANombre, ui->txtAAApPat,
                          ui->txtAAApMat, ui->txtAARFC,    ui->txtAACURP};
    chain << ui->blkFiscal->tabChain() << ui->blkOirR->tabChain() << ui->cmbAAAduanaA
          << ui->txtNoAduanasAut << ui->blkV0->tabChain();
    setTabChain(chain);
}

void frmMain::setTabOrderPage2() {
    QList<QWidget*> chain;
    const QList<std::pair<QComboBox*, AddressBlock*>> offices{{ui->cmbAduana1, ui->blkV1},
                                                              {ui->cmbAduana2, ui->frDirAduana2},
                                                              {ui->cmbAduana3, ui->frDirAduana3}};
    for (const auto& [office, b] : offices)
        chain << office << b->tabChain();
    setTabChain(chain);
}

bool frmMain::startUp() {
    frmInicio inicio(this);
    seam::exec(inicio);

    Database::Opened opened = Database::open(state_.dataDir);
    if (!opened) {
        seam::message(messageParent(), opened.error->message(), QStringLiteral("KESTRO 3.5"),
                      seam::Icon::Exclamation);
        return false;
    }
    db_ = std::move(opened.value);
    // Told now, not at the first save that fails.
    if (const QString cannot = db_->cannotSaveReason(); !cannot.isEmpty())
        seam::message(this, cannot, QStringLiteral("Mensaje"), seam::Icon::Exclamation);
    for (AddressBlock* b : agentBlocks())
        b->setDatabase(db_.get());

    importPreviousVersion();
    Inicializa_0();
    Inicializa_Combos();
    const UpgradeOutcome up = Inicializa_DB(*db_);
    if (up.registryWasMissing)
        ui->txtNoAduanasAut->setText(QStringLiteral("0"));
    if (up.error)
        seam::inform(messageParent(), up.error->message());
    Inicializa_datos();
    return true;
}

// Until the window is on screen, messages are centred on the screen rather
// than on a window that has not been placed yet.
QWidget* frmMain::messageParent() {
    return isVisible() ? this : nullptr;
}

void frmMain::showEvent(QShowEvent* event) {
    // Centred once, title bar included, with the cursor in the first field.
    if (!placed_) {
        placed_ = true;
        placeOnScreen(this);
        // Again once the window manager has framed it: its title bar is then
        // known, not guessed.
        QTimer::singleShot(300, this, [this] { placeOnScreen(this); });
        ui->txtPatente->setFocus();
    }
    QWidget::showEvent(event);
}

void frmMain::Inicializa_0() {
    ui->frApoderado->hide();
    page_ = 1;
    showPage(1);
    ui->cmdAtras->setEnabled(false);
    ui->cmdSiguiente->setEnabled(true);
    showNext(QStringLiteral("Siguiente >"));

    gridSetup(ui->fgAA,
              {QStringLiteral("Nombre"), QStringLiteral("Ap.Paterno"), QStringLiteral("Ap.Materno"),
               QStringLiteral("RFC"), QStringLiteral("CURP"), QStringLiteral("Tipo Mandato"),
               QStringLiteral("Operando (Con gafete)")},
              {2150, 2150, 2000, 1300, 1700, 1750, 0});
    QTableWidget* list = ui->fgAA;
    list->setFixedHeight(list->horizontalHeader()->sizeHint().height() +
                         4 * list->verticalHeader()->defaultSectionSize() +
                         list->horizontalScrollBar()->sizeHint().height() + 2 * list->frameWidth());
    gridSetup(ui->fgAduanasAct, {QStringLiteral("Aduana")}, {5200});
    gridSetup(ui->fgPedTramitados,
              {QStringLiteral("Aduana"), QStringLiteral("Pedimento"), QStringLiteral("Fecha")},
              {3380, 1000, 1600});
    gridSetup(ui->fgDatosAA,
              {QStringLiteral("Nombre"), QStringLiteral("Ap.Paterno"), QStringLiteral("Ap.Materno"),
               QStringLiteral("CURP"), QStringLiteral("RFC")},
              {3000, 3000, 3000, 2050, 2050});
    gridSetup(ui->fgPeriodosAA,
              {QStringLiteral("No."), QStringLiteral("Aduana"), QStringLiteral("F. Inicial"),
               QStringLiteral("F. Final")},
              {1050, 5000, 2500, 2500});
    // Page 5 shows its key columns without scrolling at the window's size:
    // the names, the patent and the dates give up the room the grid table
    // gives them.
    gridSetup(ui->fgMandatarios,
              {QStringLiteral("Nombre"), QStringLiteral("Ap.Paterno"), QStringLiteral("Ap.Materno"),
               QStringLiteral("CURP"), QStringLiteral("Historico")},
              {});
    gridSetup(ui->fgPeriodosMandatario,
              {QStringLiteral("Patente"), QStringLiteral("No."), QStringLiteral("Aduana"),
               QStringLiteral("F. Inicial"), QStringLiteral("F. Final")},
              {1070, 1000, 4400, 1500, 1500});
    // Identifiers and dates are shown whole (RFC 13, CURP 18, dd/mm/yyyy).
    // Names get room for 16 capitals, the usual name: at 25 the three name
    // columns alone would push RFC and CURP off the page.
    gridFitColumns(ui->fgAA, {16, 16, 16, 13, 18});
    gridFitColumnTo(ui->fgAA, 5, MandatoLabel::all());
    gridFitColumns(ui->fgAduanasAct, {});
    gridFitColumns(ui->fgPedTramitados, {0, 0, 10});
    gridFitColumns(ui->fgDatosAA, {16, 16, 16, 18, 13});
    gridFitColumns(ui->fgPeriodosAA, {0, 0, 10, 10});
    gridFitColumns(ui->fgMandatarios, {14, 14, 14, 18});
    gridFitColumns(ui->fgPeriodosMandatario, {4, 0, 0, 10, 10});

    // Page 3 shows a representative's details only once one is chosen.
    for (QWidget* w : std::initializer_list<QWidget*>{ui->frAduanasAct, ui->frAcreditacion,
                                                      ui->frPedTramitados, ui->lblTipoMandato,
                                                      ui->lblRequerimiento, ui->txtRequerimiento})
        w->hide();
    ui->cmdEditar->setEnabled(false);
    ui->cmdBorrar->setEnabled(false);
    ui->cmdNuevo->setEnabled(true);
}

void frmMain::Inicializa_Combos() {
    // The first list that cannot be read has been shown; the rest would only
    // repeat the same message.
    if (!Llena_Aduanas(*db_, ui->cmbAANoAduanaA, ui->cmbAAAduanaA))
        return;
    for (AddressBlock* b : {ui->blkFiscal, ui->blkOirR, ui->blkApR, ui->blkFiscalApR, ui->blkV0})
        if (!Llena_EntFed(*db_, b->cveEntFed, b->entFed) ||
            !Llena_MpioDeleg(*db_, b->noMDeleg, b->mDeleg, b->cveEntFed->currentText()))
            return;
    for (QComboBox* keys : {ui->cmbNoAduana1, ui->cmbNoAduana2, ui->cmbNoAduana3})
        if (!Llena_Aduanas(*db_, keys,
                           keys == ui->cmbNoAduana1   ? ui->cmbAduana1
                           : keys == ui->cmbNoAduana2 ? ui->cmbAduana2
                                                      : ui->cmbAduana3))
            return;
    for (AddressBlock* b : {ui->blkV1, ui->frDirAduana2, ui->frDirAduana3})
        if (!Llena_EntFed(*db_, b->cveEntFed, b->entFed) ||
            !Llena_MpioDeleg(*db_, b->noMDeleg, b->mDeleg, b->cveEntFed->currentText()))
            return;
}

// A column the stored rows lack (a file whose upgrade failed) ends the
// loading quietly; any other engine error is shown. True when loading must
// stop.
bool frmMain::loadingStopped(const MaybeError& e) {
    if (!e)
        return false;
    if (!e->text.contains(QStringLiteral("no such column"), Qt::CaseInsensitive))
        seam::inform(messageParent(), e->message());
    return true;
}

void frmMain::Inicializa_datos() {
    const Fallible<std::optional<StoredAgent>> loaded = loadAgent(*db_);
    if (loadingStopped(loaded.error))
        return;
    if (!loaded.value) {
        seam::message(messageParent(),
                      QStringLiteral("No se encontó información de la vesión anterior de KESTRO"),
                      QStringLiteral("Mensaje"), seam::Icon::Exclamation);
        return;
    }
    const StoredAgent& agent = *loaded.value;
    showStoredText(ui->txtPatente, canonicalPatent(textOf(agent.patente)));
    state_.NoPat = ui->txtPatente->text();
    showStoredText(ui->txtAANombre, textOf(agent.nombre));
    showStoredText(ui->txtAAApPat, textOf(agent.apPaterno));
    showStoredText(ui->txtAAApMat, textOf(agent.apMaterno));
    showStoredText(ui->txtAARFC, textOf(agent.rfc));
    showStoredText(ui->txtAACURP, textOf(agent.curp));
    ui->txtAutorizacion->setText(textOf(agent.autorizacion));
    if (agent.adscripcion.isNull()) {
        ui->cmbAAAduanaA->setCurrentIndex(ui->cmbAAAduanaA->count() > 0 ? 0 : -1);
    } else {
        Selecciona_Clave(ui->cmbAANoAduanaA, ui->cmbAAAduanaA,
                         Texto_Clave(agent.adscripcion.toLongLong()));
    }

    Llena_Domicilio(*db_, *ui->blkFiscal, QStringLiteral("1"));
    Llena_Domicilio(*db_, *ui->blkOirR, QStringLiteral("2"));

    if (loadingStopped(Llena_Mandatarios()) || loadingStopped(Llena_Hist_Mandatarios()) ||
        loadingStopped(Llena_Hist_AA()))
        return;

    ui->txtNoAduanasAut->setText(textOf(agent.noAduanasAut));
    showAgentHistory(agent.sinHistorico);
    const QList<std::pair<QComboBox*, QComboBox*>> offices{{ui->cmbNoAduana1, ui->cmbAduana1},
                                                           {ui->cmbNoAduana2, ui->cmbAduana2},
                                                           {ui->cmbNoAduana3, ui->cmbAduana3}};
    for (int i = 0; i < 3; ++i)
        if (!agent.aduanas[i].isNull())
            Selecciona_Clave(offices[i].first, offices[i].second,
                             Texto_Clave(agent.aduanas[i].toLongLong()));

    const QList<std::tuple<QComboBox*, AddressBlock*, const char*>> validation{
        {ui->cmbAANoAduanaA, ui->blkV0, "3"},
        {ui->cmbNoAduana1, ui->blkV1, "4"},
        {ui->cmbNoAduana2, ui->frDirAduana2, "5"},
        {ui->cmbNoAduana3, ui->frDirAduana3, "6"}};
    for (const auto& [office, block, tipo] : validation)
        if (!office->currentText().trimmed().isEmpty() &&
            !Llena_Domicilio(*db_, *block, QString::fromLatin1(tipo)))
            return;
}

void frmMain::cmdDudas_Click() {
    frmDudas dudas(state_.contact, this);
    seam::exec(dudas);
}

void frmMain::cmdSalir_Click() {
    close();
}

// What the user types or chooses on a page that saves on "Siguiente >" is
// not stored until then.
void frmMain::watchTyping(QWidget* page, int number) {
    for (QLineEdit* e : page->findChildren<QLineEdit*>())
        connect(e, &QLineEdit::textEdited, this, [this, number] { unsavedPages_.insert(number); });
    for (QComboBox* c : page->findChildren<QComboBox*>())
        connect(c, &QComboBox::activated, this, [this, number] { unsavedPages_.insert(number); });
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Leaving drops what the page shown holds unsaved: asked first.
    if (unsavedPages_.contains(page_) &&
        !seam::confirm(this, QStringLiteral("Los datos de esta página no se han guardado (se "
                                            "guardan con \"Siguiente >\"). ¿Desea salir sin "
                                            "guardarlos?"))) {
        event->ignore();
        return;
    }
    // Until the information file exists, leaving is a question, whether by
    // the "Salir" button or by the window's close box.
    if (ui->cmdSiguiente->isEnabled() &&
        !seam::confirm(this, QStringLiteral("¿Desea salir de la aplicación?, aun no a generado el "
                                            "archivo de información"))) {
        event->ignore();
        return;
    }
    event->accept();
}
