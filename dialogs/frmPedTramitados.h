#pragma once

#include "entry/GuardedDialog.h"
#include <memory>

class Database;
class QTableWidget;
namespace Ui {
class frmPedTramitados;
}

// Adds one declaration processed before 2001 (office, number, date) to the
// representative editor's list. Writes nothing to the database.
class frmPedTramitados : public GuardedDialog {
    Q_OBJECT
public:
    // fgAduanasAct: the editor's acted offices, which a declaration's office
    // must be among while there are any.
    frmPedTramitados(Database& db, const QTableWidget* fgAduanasAct, QTableWidget* fgPedTramitados,
                     QWidget* parent = nullptr);
    ~frmPedTramitados() override;

private:
    void cmdAceptar_Click();
    bool officeListed(const QString& key) const;
    QString problem(QWidget** focus) const;

    std::unique_ptr<Ui::frmPedTramitados> ui;
    const QTableWidget* fgAduanasAct_;
    QTableWidget* fgPedTramitados_;
};
