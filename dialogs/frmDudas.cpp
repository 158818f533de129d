#include "dialogs/frmDudas.h"

#include "entry/Contacto.h"
#include "ui_frmDudas.h"

frmDudas::frmDudas(const Contacto& contacto, QWidget* parent)
    : QDialog(parent), ui(new Ui::frmDudas) {
    ui->setupUi(this);
    setModal(true);
    ui->Label2->setText(contacto.persona);
    ui->Label3->setText(QStringLiteral("Telefono: ") + contacto.telefono);
    ui->Label4->setText(QStringLiteral("Correo electronico:  ") + contacto.correo);
    ui->Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setMinimumWidth(420);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &QDialog::accept);
}

frmDudas::~frmDudas() = default;
