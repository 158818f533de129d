#include "dialogs/frmPedTramitados.h"

#include "entry/CatalogueLists.h"
#include "entry/DateTyping.h"
#include "entry/Grid.h"
#include "entry/KeystrokeFilter.h"
#include "entry/Seam.h"
#include "rules/Rutinas.h"
#include "ui_frmPedTramitados.h"

#include <QTableWidget>

namespace {
// The list holds declarations processed before 1 January 2001.
const QDate lastDay(2000, 12, 31);
} // namespace

frmPedTramitados::frmPedTramitados(Database& db, const QTableWidget* fgAduanasAct,
                                   QTableWidget* fgPedTramitados, QWidget* parent)
    : GuardedDialog(parent), ui(new Ui::frmPedTramitados), fgAduanasAct_(fgAduanasAct),
      fgPedTramitados_(fgPedTramitados) {
    ui->setupUi(this);
    Llena_Aduanas(db, ui->cmbNoAduana, ui->cmbAduana);
    pairBothWays(ui->cmbNoAduana, ui->cmbAduana);
    attachEntryRules(ui->txtPedimento);
    ui->dtpFPed->setMinimumDate(QDate(1900, 1, 1));
    // Today is always refused here: the picker opens at the latest day taken.
    ui->dtpFPed->setDate(lastDay);
    attachDateTyping(ui->dtpFPed);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmPedTramitados::cmdAceptar_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &frmPedTramitados::reject);
}

frmPedTramitados::~frmPedTramitados() = default;

bool frmPedTramitados::officeListed(const QString& key) const {
    for (int i = 0; i < fgAduanasAct_->rowCount(); ++i)
        if (gridCell(fgAduanasAct_, i, 0) == key)
            return true;
    return false;
}

// What keeps the declaration out of the list, with the field to correct;
// "" when it may go in.
QString frmPedTramitados::problem(QWidget** focus) const {
    const QString key = ui->cmbNoAduana->currentText();
    const QString numero = ui->txtPedimento->text();
    *focus = nullptr;
    if (key.isEmpty()) {
        *focus = ui->cmbNoAduana;
        return officeMissing();
    }
    if (fgAduanasAct_->rowCount() > 0 && !officeListed(key))
        return QStringLiteral("No existe la aduana del pedimento en la lista de aduanas que actuo");
    *focus = ui->txtPedimento;
    if (Vacio(numero))
        return QStringLiteral("Pedimento no puede estar vacio");
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(numero).hasMatch())
        return QStringLiteral("El Pedimento debe ser numérico");
    *focus = ui->dtpFPed;
    if (const QString refused = refusedDate(ui->dtpFPed); !refused.isEmpty())
        return refused;
    if (ui->dtpFPed->date() > lastDay)
        return QStringLiteral("La Fecha debe ser anterior al 1 de Enero de 2001");
    return QString();
}

void frmPedTramitados::cmdAceptar_Click() {
    QWidget* focus = nullptr;
    const QString why = problem(&focus);
    if (!why.isEmpty()) {
        seam::inform(this, why);
        if (focus)
            focus->setFocus();
        return;
    }
    gridAppend(fgPedTramitados_, {ui->cmbNoAduana->currentText(), ui->cmbAduana->currentText(),
                                  ui->txtPedimento->text(),
                                  ui->dtpFPed->date().toString(QStringLiteral("dd/MM/yyyy"))});
    accept();
}
