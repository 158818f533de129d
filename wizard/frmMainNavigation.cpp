// Moving through the wizard and writing the agent's pages.
#include "data/AgentStore.h"
#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/GridBehaviour.h"
#include "entry/Seam.h"
#include "exchange/InformationFile.h"
#include "rules/Rutinas.h"
#include "ui_frmMain.h"
#include "wizard/frmMain.h"

#include <QShortcut>

namespace {
const QString Siguiente = QStringLiteral("Siguiente >");
const QString Siguente = QStringLiteral("Siguente >");
const QString Finaliza = QStringLiteral("Finaliza");
} // namespace

void frmMain::showPage(int page) {
    const QList<QWidget*> frames{ui->frAA, ui->frDirValidAA, ui->frApoderado, ui->frAA21311,
                                 ui->frMandatarios};
    for (int i = 0; i < frames.size(); ++i)
        frames[i]->setVisible(i + 1 == page);
    page_ = page;
    // The keyboard goes on where the new page starts.
    const QList<QWidget*> firstField{ui->txtPatente, ui->cmbAduana1, ui->fgAA, ui->fgDatosAA,
                                     ui->fgMandatarios};
    firstField[page - 1]->setFocus();
}

int frmMain::additionalOffices() const {
    return int(Valor_Numerico(ui->txtNoAduanasAut->text()));
}

void frmMain::clearOffice(QComboBox* office, AddressBlock& block) {
    office->setCurrentIndex(-1);
    Limpia_Domicilio_M(*db_, block);
}

void frmMain::setOfficeEnabled(QComboBox* office, AddressBlock& block, bool enabled) {
    office->setEnabled(enabled);
    block.setEnabled(enabled);
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
    if (!Valida_AA())
        return;
    const int n = additionalOffices();
    AgentRecord agent;
    agent.patente = ui->txtPatente->text();
    agent.curp = ui->txtAACURP->text();
    agent.rfc = ui->txtAARFC->text();
    agent.nombre = ui->txtAANombre->text();
    agent.apPaterno = ui->txtAAApPat->text();
    agent.apMaterno = ui->txtAAApMat->text();
    agent.autorizacion = QStringLiteral("0");
    agent.adscripcionKey = ui->cmbAANoAduanaA->currentText();
    agent.noAduanasAut = n;
    agent.sinHistorico = agentSinHistorico_;
    agent.fiscal = ui->blkFiscal->stored();
    agent.oirR = ui->blkOirR->stored();
    agent.v0 = ui->blkV0->stored();
    if (seam::failed(this, saveAgent(*db_, agent)))
        return;
    unsavedPages_.remove(1);
    // The page shows the patent as it was stored ("0012" is kept as 12).
    ui->txtPatente->setText(canonicalPatent(agent.patente));
    state_.NoPat = ui->txtPatente->text();
    ui->txtAutorizacion->setText(QStringLiteral("0"));

    if (n == 0) {
        clearOffice(ui->cmbAduana1, *ui->blkV1);
        clearOffice(ui->cmbAduana2, *ui->frDirAduana2);
        clearOffice(ui->cmbAduana3, *ui->frDirAduana3);
        const Fallible<bool> regla = Hay_Hist_Mandatarios(*db_);
        if (seam::readFailed(this, regla.error))
            return;
        showPage(3);
        ui->cmdAtras->setEnabled(true);
        regla.value ? showNext(Siguente) : showFinish();
        ui->cmdSiguiente->setEnabled(true);
        return;
    }
    showPage(2);
    ui->cmdAtras->setEnabled(true);
    ui->cmdSiguiente->setEnabled(true);
    setOfficeEnabled(ui->cmbAduana2, *ui->frDirAduana2, n != 1);
    if (n == 1)
        clearOffice(ui->cmbAduana2, *ui->frDirAduana2);
    setOfficeEnabled(ui->cmbAduana3, *ui->frDirAduana3, n == 3);
    if (n != 3)
        clearOffice(ui->cmbAduana3, *ui->frDirAduana3);
}

void frmMain::forwardFromPage2() {
    if (!Verifica_Datos_AADirV())
        return;
    const int n = additionalOffices();
    QList<AdditionalOffice> offices{{ui->cmbNoAduana1->currentText(), ui->blkV1->stored()}};
    if (n != 1)
        offices.append({ui->cmbNoAduana2->currentText(), ui->frDirAduana2->stored()});
    if (n == 3)
        offices.append({ui->cmbNoAduana3->currentText(), ui->frDirAduana3->stored()});
    if (seam::failed(this, saveAdditionalOffices(*db_, offices)))
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
        if (!Verifica_Datos_p2())
            return;
        if (finishing) {
            finishWizard();
            return;
        }
        const Fallible<bool> regla = Hay_Hist_Mandatarios(*db_);
        if (seam::readFailed(this, regla.error))
            return;
        showPage(4);
        ui->cmdAtras->setEnabled(true);
        regla.value ? showNext(Siguente) : showFinish();
        ui->cmdSiguiente->setEnabled(true);
        return;
    }
    case 4:
        if (!Verifica_Datos_p3())
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
        if (!Verifica_Datos_p4())
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
}

void frmMain::cmdAtras_Click() {
    switch (page_) {
    case 2:
        showPage(1);
        ui->cmdAtras->setEnabled(false);
        showNext(Siguente);
        break;
    case 3:
        if (additionalOffices() > 0) {
            showPage(2);
            ui->cmdAtras->setEnabled(true);
        } else {
            showPage(1);
            ui->cmdAtras->setEnabled(false);
        }
        showNext(Siguente);
        break;
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

// The wizard from the keyboard, leaving the buttons' captions as they are:
// Alt+Right or Ctrl+Enter go forward, Alt+Left back; Enter on a list row
// opens its Editar.
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

    gridActivates(ui->fgAA, ui->cmdEditar);
    gridActivates(ui->fgDatosAA, ui->cmdAAEditar);
}
