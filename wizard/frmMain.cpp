#include "wizard/frmMain.h"

#include "data/AgentFolder.h"
#include "data/AgentStore.h"
#include "data/Upgrade.h"
#include "dialogs/ManualWindow.h"
#include "dialogs/frmDudas.h"
#include "dialogs/frmInicio.h"
#include "entry/BackupRestore.h"
#include "entry/ScreenFit.h"
#include "entry/Seam.h"
#include "exchange/EnvioStage.h"
#include "exchange/InformationFile.h"
#include "ui_frmMain.h"
#include "wizard/InformationFileFlow.h"
#include "wizard/PageLock.h"
#include "wizard/PageSupport.h"
#include "wizard/PreviousVersionImport.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <algorithm>

namespace {
// With their Alt letters; "Finaliza" takes another, since the two alternate.
const QString Siguiente = QStringLiteral("&Siguiente >");
const QString Siguente = QStringLiteral("&Siguente >");
const QString Finaliza = QStringLiteral("&Finaliza");
} // namespace

frmMain::frmMain(AppState& state, QWidget* parent)
    : QWidget(parent), ui(new Ui::frmMain), state_(state) {
    ui->setupUi(this);
    installWizardKeys();
    watchTyping(ui->pageAgent, 1);
    watchTyping(ui->pageOffices, 2);
    connect(ui->pageRepresentatives, &RepresentativesPage::representativesChanged, this,
            &frmMain::representativesChanged);
    connect(ui->cmdSiguiente, &QPushButton::clicked, this, &frmMain::cmdSiguiente_Click);
    connect(ui->cmdAtras, &QPushButton::clicked, this, &frmMain::cmdAtras_Click);
    connect(ui->cmdSalir, &QPushButton::clicked, this, &frmMain::cmdSalir_Click);
    connect(ui->cmdDudas, &QPushButton::clicked, this, &frmMain::cmdDudas_Click);
    connect(ui->cmdAbrirEnvio, &QPushButton::clicked, this,
            [this] { openOrTell(envioFolder(state_.dataDir)); });
    connect(ui->cmdVerResumen, &QPushButton::clicked, this,
            [this] { openOrTell(state_.summaryPath); });
    resize(792, 572);
    keepOnScreen(this);
}

frmMain::~frmMain() = default;

bool frmMain::startUp(const std::function<bool()>& chooseAgent) {
    frmInicio startDialog(this);
    seam::exec(startDialog);
    if (chooseAgent && !chooseAgent())
        return false;

    if (!offerNewestBackup(messageParent(), state_.dataDir))
        return false;
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
    ui->pageAgent->setDatabase(*db_);
    ui->pageOffices->setDatabase(*db_);
    ui->pageRepresentatives->setDatabase(*db_);
    ui->pageAgentHistory->setDatabase(*db_);
    ui->pageRepresentativeHistory->setDatabase(*db_);

    importPreviousVersion();
    Inicializa_0();
    Inicializa_Combos();
    const UpgradeOutcome up =
        Inicializa_DB(*db_, [this] { state_.backups.copy(messageParent(), *db_); });
    if (up.registryWasMissing)
        ui->pageAgent->showAdditionalOffices(0);
    if (up.error)
        seam::inform(messageParent(), up.error->message());
    Inicializa_datos();
    showAgentInCaption();
    if (imported_)
        checkImported();
    return true;
}

void frmMain::showAgentInCaption() {
    if (!state_.severalAgents)
        return;
    const AgentFolder agent = AgentFolder::read(state_.dataDir);
    setWindowTitle(QStringLiteral("KESTRO 3.5 - %1")
                       .arg(agent.patente.isEmpty()
                                ? QStringLiteral("agente sin capturar (%1)")
                                      .arg(QDir::toNativeSeparators(state_.dataDir))
                                : agent.title()));
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
        ui->pageAgent->setFocus();
    }
    QWidget::showEvent(event);
}

// What need not hold the window back waits for its first paint: ENVIO (a
// listing of thousands of requirement copies, then the line, which reads
// every copy of a signed package; nothing before it touches ENVIO), the lists
// of the pages not shown yet, then the day's copy of the database. Each in
// its own turn, so that what the user does in between is not held up.
void frmMain::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (painted_)
        return;
    painted_ = true;
    QTimer::singleShot(0, this, &frmMain::settleEnvio);
    for (int page : {3, 5, 4})
        QTimer::singleShot(0, this, [this, page] { fillDeferredList(page); });
    QTimer::singleShot(0, this, [this] {
        if (db_)
            state_.backups.dailyCopy(this, *db_);
    });
}

void frmMain::fillDeferredList(int page) {
    switch (page) {
    case 3:
        ui->pageRepresentatives->fillDeferredList();
        break;
    case 4:
        ui->pageAgentHistory->fillDeferredList();
        break;
    case 5:
        ui->pageRepresentativeHistory->fillDeferredList();
        break;
    }
}

void frmMain::Inicializa_0() {
    showPage(1);
    ui->cmdAtras->setEnabled(false);
    ui->cmdSiguiente->setEnabled(true);
    showNext(Siguiente);
}

void frmMain::Inicializa_Combos() {
    // The first list that cannot be read has been shown; the rest would only
    // repeat the same message.
    (void)(ui->pageAgent->fillLists() && ui->pageOffices->fillLists() &&
           ui->pageRepresentatives->fillLists());
}

// A file whose upgrade failed lacks columns the loading reads: that ends the
// loading quietly, the upgrade's failure having been told; any other engine
// error is shown. True when loading must stop.
bool frmMain::loadingStopped(const MaybeError& e) {
    if (!e)
        return false;
    const Fallible<QList<Schema::AddedColumn>> missing = missingColumns(*db_);
    if (!missing.ok() || missing.value.isEmpty())
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
    ui->pageAgent->showAgent(agent);
    state_.NoPat = ui->pageAgent->patent();
    // The lists of pages 3 to 5 (thousands of rows in a large office) are
    // read when their page is first shown or right after the first paint;
    // here only whether they can be read, so that a failure is told, and
    // stops the loading, where it always has.
    if (loadingStopped(ui->pageRepresentatives->deferList()) ||
        loadingStopped(ui->pageRepresentativeHistory->deferList()) ||
        loadingStopped(ui->pageAgentHistory->deferList()))
        return;
    ui->pageAgent->showAdditionalOffices(agent.noAduanasAut);
    ui->pageAgentHistory->showAgentHistory(agent.sinHistorico);
    ui->pageOffices->showOffices(agent);
    (void)(ui->pageAgent->loadValidationAddress() && ui->pageOffices->loadValidationAddresses());
}

void frmMain::settleEnvio() {
    EnvioStage::recover(envioFolder(state_.dataDir));
    showEnvioLine();
}

void frmMain::showEnvioLine() {
    if (page_ == 1)
        ui->pageAgent->showEnvio(envioPackage());
}

EnvioPackage frmMain::envioPackage() const {
    if (!db_ || state_.NoPat.isEmpty())
        return {};
    return signedEnvio(*db_, state_.dataDir, canonicalPatent(state_.NoPat));
}

void frmMain::showPage(int page) {
    fillDeferredList(page);
    const QList<QWidget*> pages{ui->pageAgent, ui->pageOffices, ui->pageRepresentatives,
                                ui->pageAgentHistory, ui->pageRepresentativeHistory};
    // Page 3 grows the window for its lists; the others give that room back.
    if (page == 3 && page_ != 3)
        sizeBeforePage3_ = size();
    const bool leavingPage3 = page_ == 3 && page != 3 && sizeBeforePage3_.isValid();
    for (int i = 0; i < pages.size(); ++i)
        pages[i]->setVisible(i + 1 == page);
    page_ = page;
    // Whatever was saved or changed since, the line on ENVIO says it now.
    showEnvioLine();
    if (leavingPage3 && !isMaximized() && !isFullScreen()) {
        layout()->activate();
        resize(sizeBeforePage3_.expandedTo(minimumSizeHint()));
    }
    // The keyboard goes on where the new page starts.
    pages[page - 1]->setFocus();
}

void frmMain::cmdSiguiente_Click() {
    switch (page_) {
    case 1:
        forwardFromPage1();
        break;
    case 2:
        forwardFromPage2();
        break;
    default:
        forwardFromPages3to5();
        break;
    }
}

void frmMain::forwardFromPage1() {
    if (!ui->pageAgent->Valida_AA())
        return;
    const AgentRecord agent = ui->pageAgent->record(ui->pageAgentHistory->agentSinHistorico());
    if (seam::failed(this, saveAgent(*db_, agent)))
        return;
    unsavedPages_.remove(1);
    ui->pageAgent->showSaved(agent);
    state_.NoPat = ui->pageAgent->patent();
    showAgentInCaption();
    const int n = agent.noAduanasAut;
    ui->pageOffices->offer(n);
    if (n > 0) {
        showPage(2);
        ui->cmdAtras->setEnabled(true);
        ui->cmdSiguiente->setEnabled(true);
        return;
    }
    showBeforeHistory(3);
}

// Pages 3 and 4 lead on to the history pages only while a representative of
// the 2.13.11 type is stored; otherwise they finish.
void frmMain::showBeforeHistory(int page) {
    const Fallible<bool> historyPagesNeeded = Hay_Hist_Mandatarios(*db_);
    if (seam::readFailed(this, historyPagesNeeded.error))
        return;
    showPage(page);
    ui->cmdAtras->setEnabled(true);
    historyPagesNeeded.value ? showNext(Siguente) : showFinish();
    ui->cmdSiguiente->setEnabled(true);
}

void frmMain::forwardFromPage2() {
    const int n = ui->pageAgent->additionalOffices();
    if (!ui->pageOffices->Verifica_Datos_AADirV(n))
        return;
    if (seam::failed(this, saveAdditionalOffices(*db_, ui->pageOffices->offices(n))))
        return;
    unsavedPages_.remove(2);
    showPage(3);
    ui->cmdAtras->setEnabled(true);
    ui->cmdSiguiente->setEnabled(true);
}

void frmMain::forwardFromPages3to5() {
    const bool finishing = nextFinishes_;
    switch (page_) {
    case 3: {
        if (!ui->pageRepresentatives->Verifica_Datos_p2())
            return;
        if (finishing) {
            finishWizard();
            return;
        }
        showBeforeHistory(4);
        return;
    }
    case 4:
        if (!ui->pageAgentHistory->Verifica_Datos_p3())
            return;
        if (finishing) {
            finishWizard();
            return;
        }
        showPage(5);
        ui->cmdAtras->setEnabled(true);
        ui->cmdSiguiente->setEnabled(true);
        showFinish();
        return;
    case 5:
        if (!ui->pageRepresentativeHistory->Verifica_Datos_p4())
            return;
        finishWizard();
        return;
    }
}

void frmMain::showNext(const QString& caption) {
    ui->cmdSiguiente->setText(caption);
    nextFinishes_ = false;
}

void frmMain::showFinish() {
    ui->cmdSiguiente->setText(Finaliza);
    nextFinishes_ = true;
}

void frmMain::finishWizard() {
    if (!Genera_archivo())
        return;
    ui->cmdAtras->setEnabled(false);
    ui->cmdSiguiente->setEnabled(false);
    lockPagesForReading();
    showEnded();
}

// The signed file must keep saying what the database holds: after signing
// nothing can be changed, only read (Dudas and Salir stay).
void frmMain::lockPagesForReading() {
    for (QWidget* page : QList<QWidget*>{ui->pageAgent, ui->pageOffices, ui->pageRepresentatives,
                                         ui->pageAgentHistory, ui->pageRepresentativeHistory})
        lockForReading(page);
}

// A system with no program for folders or PDFs must not leave the button
// looking dead: the user is told where to find the file himself.
void frmMain::openOrTell(const QString& path) {
    if (!seam::openWithSystem(path))
        seam::message(this,
                      QStringLiteral("No se encontró un programa para abrir %1. Ábralo desde el "
                                     "explorador de archivos.")
                          .arg(QDir::toNativeSeparators(path)),
                      QStringLiteral("Mensaje"), seam::Icon::Exclamation);
}

// What the ended wizard leaves to do: look at what was written.
void frmMain::showEnded() {
    ui->cmdAbrirEnvio->show();
    ui->cmdVerResumen->show();
    ui->cmdVerResumen->setEnabled(!state_.summaryPath.isEmpty());
}

void frmMain::cmdAtras_Click() {
    switch (page_) {
    case 2:
        showPage(1);
        ui->cmdAtras->setEnabled(false);
        showNext(Siguente);
        break;
    case 3: {
        const bool offices = ui->pageAgent->additionalOffices() > 0;
        showPage(offices ? 2 : 1);
        ui->cmdAtras->setEnabled(offices);
        showNext(Siguente);
        break;
    }
    case 4:
        showPage(3);
        ui->cmdAtras->setEnabled(true);
        showNext(Siguente);
        break;
    case 5:
        showPage(4);
        ui->cmdAtras->setEnabled(true);
        showNext(Siguiente);
        break;
    default:
        return;
    }
    ui->cmdSiguiente->setEnabled(true);
}

void frmMain::representativesChanged(bool ruleType) {
    // A representative of the 2.13.11 type brings in the history pages.
    if (ruleType)
        showNext(Siguiente);
    seam::readFailed(this, ui->pageRepresentativeHistory->Llena_Hist_Mandatarios());
}

// The wizard from the keyboard, leaving the buttons' captions as they are:
// Alt+Right or Ctrl+Enter go forward, Alt+Left back.
void frmMain::installWizardKeys() {
    const auto bind = [this](QPushButton* button, const QList<QKeySequence>& keys) {
        for (const QKeySequence& k : keys)
            connect(new QShortcut(k, this), &QShortcut::activated, button, [button] {
                if (button->isVisible())
                    button->click();
            });
    };
    bind(ui->cmdSiguiente,
         {QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::CTRL | Qt::Key_Return),
          QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    bind(ui->cmdAtras, {QKeySequence(Qt::ALT | Qt::Key_Left)});
    ui->cmdSiguiente->setToolTip(QStringLiteral("Teclas: Alt+Flecha derecha o Ctrl+Intro"));
    ui->cmdAtras->setToolTip(QStringLiteral("Teclas: Alt+Flecha izquierda"));
}

void frmMain::importPreviousVersion() {
    Viejo_KESTRO(messageParent(), *db_, state_.dumpToolDir, state_.previousVersionDir, [this] {
        state_.backups.copy(messageParent(), *db_);
        imported_ = true;
    });
}

// Imported values never passed the entry fields: what of them would refuse
// the file is listed now, not when the key is about to be asked for. The
// requirement files are asked for on page 3 anyway.
void frmMain::checkImported() {
    const Fallible<CatalogueNames> names = CatalogueNames::read(*db_);
    if (seam::readFailed(messageParent(), names.error))
        return;
    const Fallible<PreKeyCheck> checked =
        checkBeforeKey(*db_, canonicalPatent(state_.NoPat), names.value, false);
    if (!checked)
        return (void)seam::inform(messageParent(), checked.why());
    listProblems(messageParent(), checked->problems,
                 [this](WizardPage page, const QString& curp) { goToPerson(page, curp); });
}

void frmMain::goToPerson(WizardPage page, const QString& curp) {
    const int n = int(page);
    showPage(n);
    ui->cmdAtras->setEnabled(n > 1);
    ui->cmdSiguiente->setEnabled(true);
    if (n == 5)
        showFinish();
    else if (n >= 3)
        showBeforeHistory(n);
    else
        showNext(Siguente);
    if (curp.isEmpty())
        return;
    QWidget* shown = QList<QWidget*>{ui->pageAgent, ui->pageOffices, ui->pageRepresentatives,
                                     ui->pageAgentHistory, ui->pageRepresentativeHistory}[n - 1];
    selectPersonIn(shown, curp);
}

bool frmMain::Genera_archivo() {
    return ::Genera_archivo(
        this, state_, *db_, ui->pageAgent->rfc(), ui->pageAgent->patent(),
        [this](WizardPage page, const QString& curp) { goToPerson(page, curp); });
}

void frmMain::cmdDudas_Click() {
    frmDudas dudas(state_.contact, this);
    seam::exec(dudas);
    // Opened over this window once the modal one is gone, so it stays open.
    if (dudas.manualChosen())
        ManualWindow::openAt(this, QString());
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

// Names the pages holding unsaved typing by their captions, in page order.
QString frmMain::unsavedQuestion() const {
    QList<int> pages = unsavedPages_.values();
    std::sort(pages.begin(), pages.end());
    QStringList titles;
    for (int page : pages) {
        const QString frame = page == 1 ? QStringLiteral("frAA") : QStringLiteral("frDirValidAA");
        titles << u'"' + findChild<QGroupBox*>(frame)->title() + u'"';
    }
    return QStringLiteral("Los datos de ") +
           (titles.size() == 1 ? QStringLiteral("la página ") : QStringLiteral("las páginas ")) +
           titles.join(QStringLiteral(" y ")) +
           QStringLiteral(" no se han guardado (se guardan con \"Siguiente >\"). ¿Desea salir "
                          "sin guardarlos?");
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Leaving drops what any page holds unsaved, shown or not: asked first.
    if (!unsavedPages_.isEmpty() && !seam::confirm(this, unsavedQuestion())) {
        event->ignore();
        return;
    }
    // Until ENVIO holds the package the stored data give, leaving is a
    // question, whether by the "Salir" button or by the window's close box.
    if (ui->cmdSiguiente->isEnabled() && !envioPackage().current() &&
        !seam::confirm(this,
                       QStringLiteral("¿Desea salir de la aplicación?, aun no a generado el "
                                      "archivo de información"),
                       seam::Answer::Ok)) { // what was saved stays saved
        event->ignore();
        return;
    }
    event->accept();
}
