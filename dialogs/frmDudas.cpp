#include "dialogs/frmDudas.h"

#include "entry/Contact.h"
#include "ui_frmDudas.h"

frmDudas::frmDudas(const Contact& contact, QWidget* parent)
    : QDialog(parent), ui(new Ui::frmDudas) {
    ui->setupUi(this);
    setModal(true);
    ui->Label2->setText(contact.person);
    ui->Label3->setText(QStringLiteral("Telefono: ") + contact.phone);
    ui->Label4->setText(QStringLiteral("Correo electronico:  ") + contact.mail);
    ui->Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setMinimumWidth(420);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cmdManual, &QPushButton::clicked, this, [this] {
        manualChosen_ = true;
        accept();
    });
}

frmDudas::~frmDudas() = default;
