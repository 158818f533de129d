#pragma once

#include "entry/GuardedDialog.h"
#include <memory>

class Database;
class QTableWidget;
namespace Ui {
class frmAduanaAct;
}

// Adds one customs office to the representative editor's list of offices
// he acted before (number, name). Writes nothing to the database.
class frmAduanaAct : public GuardedDialog {
    Q_OBJECT
public:
    frmAduanaAct(Database& db, QTableWidget* fgAduanasAct, QWidget* parent = nullptr);
    ~frmAduanaAct() override;

private:
    void cmdAceptar_Click();

    std::unique_ptr<Ui::frmAduanaAct> ui;
    QTableWidget* fgAduanasAct_;
};
