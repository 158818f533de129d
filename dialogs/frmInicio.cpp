#include "dialogs/frmInicio.h"

#include "entry/Contact.h"
#include "ui_frmInicio.h"

#include <QScreen>

frmInicio::frmInicio(QWidget* parent) : QDialog(parent), ui(new Ui::frmInicio) {
    ui->setupUi(this);
    ui->Label1->setText(QString::fromUtf8(Contact::SystemName) + QStringLiteral(" v.3.5"));
    setMinimumWidth(460);
    connect(ui->cmdInicio, &QPushButton::clicked, this, &QDialog::accept);
}

frmInicio::~frmInicio() = default;

void frmInicio::showEvent(QShowEvent* event) {
    // It opens before the main window exists on screen: centre it on the
    // screen rather than on an invisible parent.
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}
