#include "wizard/AgentPage.h"

#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"
#include "entry/KeystrokeFilter.h"
#include "entry/Seam.h"
#include "entry/StoredText.h"
#include "rules/Rutinas.h"
#include "ui_AgentPage.h"
#include "wizard/PageSupport.h"

AgentPage::AgentPage(QWidget* parent) : QWidget(parent), ui(new Ui::AgentPage) {
    ui->setupUi(this);
    ui->blkFiscal->build(QStringLiteral("Fiscal"), QStringLiteral("Domicilio Fiscal"));
    ui->blkOirR->build(QStringLiteral("OirR"),
                       QStringLiteral("Domicilio para Oir y Recibir Notificaciones"));
    ui->blkV0->build(QStringLiteral("V0"),
                     QStringLiteral("Domicilio donde Transmitan para Validación Pedimentos en la "
                                    "Aduana de Adscripción"));
    attachEntryRulesToFields();
    setTabOrder();
    pairOffices(ui->cmbAAAduanaA, ui->cmbAANoAduanaA);
    ui->txtAutorizacion->hide();
    ui->lblArchivoFirmado->hide();
    // The office list is as wide as its longest name, so the chosen one
    // shows whole; its neighbour gives up width by taking two lines.
    ui->cmbAAAduanaA->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ui->lblNoAduanasAut->setWordWrap(true);
    setFocusProxy(ui->txtPatente);
}

AgentPage::~AgentPage() = default;

QList<AddressBlock*> AgentPage::blocks() const {
    return {ui->blkFiscal, ui->blkOirR, ui->blkV0};
}

void AgentPage::attachEntryRulesToFields() {
    for (QLineEdit* e : {ui->txtPatente, ui->txtAANombre, ui->txtAAApPat, ui->txtAAApMat,
                         ui->txtAARFC, ui->txtAACURP, ui->txtNoAduanasAut})
        attachEntryRules(e);
    for (AddressBlock* b : blocks())
        for (QLineEdit* e : b->textFields())
            attachEntryRules(e);
}

void AgentPage::setTabOrder() {
    QList<QWidget*> chain{ui->txtPatente, ui->txtAANombre, ui->txtAAApPat,
                          ui->txtAAApMat, ui->txtAARFC,    ui->txtAACURP};
    chain << ui->blkFiscal->tabChain() << ui->blkOirR->tabChain() << ui->cmbAAAduanaA
          << ui->txtNoAduanasAut << ui->blkV0->tabChain();
    setTabChain(chain);
}

void AgentPage::setDatabase(Database& db) {
    db_ = &db;
    for (AddressBlock* b : blocks())
        b->setDatabase(&db);
}

bool AgentPage::fillLists() {
    if (!Llena_Aduanas(*db_, ui->cmbAANoAduanaA, ui->cmbAAAduanaA))
        return false;
    for (AddressBlock* b : blocks())
        if (!fillStateLists(*db_, *b))
            return false;
    return true;
}

void AgentPage::showAgent(const StoredAgent& agent) {
    showStoredText(ui->txtPatente, canonicalPatent(textOf(agent.patente)));
    showStoredText(ui->txtAANombre, textOf(agent.nombre));
    showStoredText(ui->txtAAApPat, textOf(agent.apPaterno));
    showStoredText(ui->txtAAApMat, textOf(agent.apMaterno));
    showStoredText(ui->txtAARFC, textOf(agent.rfc));
    showStoredText(ui->txtAACURP, textOf(agent.curp));
    ui->txtAutorizacion->setText(textOf(agent.autorizacion));
    if (agent.adscripcion.isNull())
        ui->cmbAAAduanaA->setCurrentIndex(ui->cmbAAAduanaA->count() > 0 ? 0 : -1);
    else
        Selecciona_Clave(ui->cmbAANoAduanaA, ui->cmbAAAduanaA,
                         Texto_Clave(agent.adscripcion.toLongLong()));
    Llena_Domicilio(*db_, *ui->blkFiscal, QStringLiteral("1"));
    Llena_Domicilio(*db_, *ui->blkOirR, QStringLiteral("2"));
}

void AgentPage::showAdditionalOffices(const QVariant& noAduanasAut) {
    ui->txtNoAduanasAut->setText(textOf(noAduanasAut));
}

bool AgentPage::loadValidationAddress() {
    return ui->cmbAANoAduanaA->currentText().trimmed().isEmpty() ||
           Llena_Domicilio(*db_, *ui->blkV0, QStringLiteral("3"));
}

bool AgentPage::Valida_AA() {
    if (!patentStorable(ui->txtPatente->text()))
        return seam::refuse(this, "No de Patente invalido", ui->txtPatente);
    if (Vacio(ui->txtAANombre->text()))
        return seam::refuse(this, "El Nombre no puede estar vacio", ui->txtAANombre);
    if (Vacio(ui->txtAAApPat->text()))
        return seam::refuse(this, "El Ap.Paterno no puede estar vacio", ui->txtAAApPat);
    if (Vacio(ui->txtAAApMat->text()))
        return seam::refuse(this, "El Ap.Materno no puede estar vacio", ui->txtAAApMat);
    if (!Valida_CURP(ui->txtAACURP->text()))
        return seam::refuse(this, "Formato de CURP incorrecto", ui->txtAACURP);
    if (!Valida_RFC(ui->txtAARFC->text()))
        return seam::refuse(this, "Formato de RFC incorrecto", ui->txtAARFC);
    if (Vacio(ui->cmbAAAduanaA->currentText()))
        return seam::refuse(this, "Indique la Aduana de Adscripción", ui->cmbAAAduanaA);
    const QString n = ui->txtNoAduanasAut->text();
    if (Vacio(n))
        return seam::refuse(this, "Numero de aduanas adicionales no puede estar vacio",
                            ui->txtNoAduanasAut);
    if (!Es_Numerico(n))
        return seam::refuse(this, "Formato de Numero de aduanas adicionales es invalido",
                            ui->txtNoAduanasAut);
    const double value = Valor_Numerico(n);
    if (value < 0 || value > 3)
        return seam::refuse(this, "Número de aduanas adicionales es invalido", ui->txtNoAduanasAut);
    return Valida_Domicilio(this, *ui->blkFiscal) && Valida_Domicilio(this, *ui->blkOirR) &&
           Valida_Domicilio(this, *ui->blkV0);
}

AgentRecord AgentPage::record(const QVariant& sinHistorico) const {
    AgentRecord agent;
    agent.patente = ui->txtPatente->text();
    agent.curp = ui->txtAACURP->text();
    agent.rfc = ui->txtAARFC->text();
    agent.nombre = ui->txtAANombre->text();
    agent.apPaterno = ui->txtAAApPat->text();
    agent.apMaterno = ui->txtAAApMat->text();
    agent.autorizacion = QStringLiteral("0");
    agent.adscripcionKey = ui->cmbAANoAduanaA->currentText();
    agent.noAduanasAut = additionalOffices();
    agent.sinHistorico = sinHistorico;
    agent.fiscal = ui->blkFiscal->stored();
    agent.oirR = ui->blkOirR->stored();
    agent.v0 = ui->blkV0->stored();
    return agent;
}

void AgentPage::showSaved(const AgentRecord& agent) {
    ui->txtPatente->setText(canonicalPatent(agent.patente));
    ui->txtAutorizacion->setText(agent.autorizacion);
}

void AgentPage::showEnvio(const EnvioPackage& package) {
    const QString day = package.signedAt.toString(QStringLiteral("dd/MM/yyyy"));
    const QString time = package.signedAt.toString(QStringLiteral("HH:mm"));
    switch (package.state) {
    case EnvioPackage::State::None:
        ui->lblArchivoFirmado->hide();
        return;
    case EnvioPackage::State::Current:
        ui->lblArchivoFirmado->setText(
            QStringLiteral("ENVIO ya tiene el archivo de información firmado el %1 a las %2, y "
                           "corresponde a los datos guardados.")
                .arg(day, time));
        break;
    case EnvioPackage::State::Stale:
        ui->lblArchivoFirmado->setText(
            QStringLiteral("El archivo de información que está en ENVIO, firmado el %1 a las %2, "
                           "ya no corresponde a los datos guardados (%3). Genere uno nuevo con "
                           "\"Finaliza\" antes de enviarlo.")
                .arg(day, time, package.why));
        break;
    }
    ui->lblArchivoFirmado->show();
}

int AgentPage::additionalOffices() const {
    return int(Valor_Numerico(ui->txtNoAduanasAut->text()));
}

QString AgentPage::patent() const {
    return ui->txtPatente->text();
}

QString AgentPage::rfc() const {
    return ui->txtAARFC->text();
}
