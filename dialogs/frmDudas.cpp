#include "dialogs/frmDudas.h"

#include "entry/Contacto.h"
#include "ui_frmDudas.h"

frmDudas::frmDudas(QWidget* parent) : QDialog(parent), ui(new Ui::frmDudas) {
    ui->setupUi(this);
    setModal(true);
    ui->Label2->setText(QString::fromUtf8(Contacto::Persona));
    ui->Label3->setText(QStringLiteral("Telefono: ") + QString::fromUtf8(Contacto::Telefono));
    ui->Label4->setText(QStringLiteral("Correo electronico:  ") +
                        QString::fromUtf8(Contacto::Correo));
    ui->Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setMinimumWidth(420);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &QDialog::accept);
}

frmDudas::~frmDudas() = default;
