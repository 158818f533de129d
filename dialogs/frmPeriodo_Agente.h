#pragma once

#include "data/HistoryStore.h"
#include "dialogs/OfficePeriod.h"
#include "entry/GuardedDialog.h"

#include <memory>

namespace Ui {
class frmPeriodo_Agente;
}

// One period of an earlier representative, for the historic agent editor's
// list. It stores nothing: accepted, period() is the row to add.
class frmPeriodo_Agente : public GuardedDialog {
    Q_OBJECT
public:
    explicit frmPeriodo_Agente(Database& db, QWidget* parent = nullptr);
    ~frmPeriodo_Agente() override;

    HistoryPeriod period() const { return fields_->period(); }

private:
    void cmdAceptar_Click();

    std::unique_ptr<Ui::frmPeriodo_Agente> ui;
    std::unique_ptr<OfficePeriod> fields_;
};
