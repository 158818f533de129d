#pragma once

#include "dialogs/OfficePeriod.h"
#include "entry/GuardedDialog.h"

#include <QStringList>
#include <memory>

namespace Ui {
class frmPeriodo_Mandatario;
}

// One period in which a representative worked for an earlier agent. Stored
// at once on Aceptar (the representative then has a history); the page then
// refreshes his periods and the representatives' list.
class frmPeriodo_Mandatario : public GuardedDialog {
    Q_OBJECT
public:
    // representative: Nombre, Ap.Paterno, Ap.Materno and CURP as the page's
    // list shows them.
    frmPeriodo_Mandatario(Database& db, const QStringList& representative,
                          QWidget* parent = nullptr);
    ~frmPeriodo_Mandatario() override;

private:
    void cmdAceptar_Click();

    std::unique_ptr<Ui::frmPeriodo_Mandatario> ui;
    Database& db_;
    // His key as stored, never a field's text, which a limit could cut.
    const QString curp_;
    std::unique_ptr<OfficePeriod> fields_;
};
