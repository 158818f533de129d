#include "dialogs/frmSinHIstorico.h"

#include "data/HistoryStore.h"
#include "entry/Seam.h"
#include "ui_frmSinHIstorico.h"

frmSinHIstorico::frmSinHIstorico(Database& db, const QString& sentence,
                                 std::optional<QString> representativeCurp, QWidget* parent)
    : QDialog(parent), ui(new Ui::frmSinHIstorico), db_(db), curp_(std::move(representativeCurp)) {
    ui->setupUi(this);
    ui->lblAsustador->setText(sentence);
    ui->lblSeBorra->hide();
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmSinHIstorico::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

frmSinHIstorico::~frmSinHIstorico() = default;

void frmSinHIstorico::tellWhatIsDeleted(const QString& text) {
    ui->lblSeBorra->setText(text);
    ui->lblSeBorra->setVisible(!text.isEmpty());
}

void frmSinHIstorico::cmdAceptar_Click() {
    const MaybeError e =
        curp_ ? declareRepresentativeWithoutHistory(db_, *curp_) : declareAgentWithoutHistory(db_);
    if (seam::failed(this, e))
        return;
    accept();
}
