#include "dialogs/frmSinHIstorico.h"

#include "data/HistoryStore.h"
#include "entry/AppState.h"
#include "entry/Seam.h"
#include "ui_frmSinHIstorico.h"

frmSinHIstorico::frmSinHIstorico(Database& db, const AppState& state, QWidget* parent)
    : QDialog(parent), ui(new Ui::frmSinHIstorico), db_(db), state_(state) {
    ui->setupUi(this);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmSinHIstorico::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

frmSinHIstorico::~frmSinHIstorico() = default;

void frmSinHIstorico::setDeclaration(const QString& sentence) {
    ui->lblAsustador->setText(sentence);
}

void frmSinHIstorico::cmdAceptar_Click() {
    const MaybeError e = state_.Tipo_SinHist == QLatin1String("AA")
                             ? declareAgentWithoutHistory(db_)
                             : declareRepresentativeWithoutHistory(db_, state_.CURP_SinHist);
    if (seam::failed(this, e))
        return;
    accept();
}
