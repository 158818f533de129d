#include "wizard/frmInicio.h"

#include "ui_frmInicio.h"
#include "wizard/Contacto.h"

frmInicio::frmInicio(QWidget* parent) : QDialog(parent), ui(new Ui::frmInicio) {
    ui->setupUi(this);
    ui->Label1->setText(QString::fromUtf8(Contacto::NombreSistema) + QStringLiteral(" v.3.5"));
    setMinimumWidth(460);
    connect(ui->cmdInicio, &QPushButton::clicked, this, &QDialog::accept);
}

frmInicio::~frmInicio() = default;
