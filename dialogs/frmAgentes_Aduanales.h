#pragma once

#include "data/HistoryStore.h"
#include "entry/EditMode.h"
#include "entry/GuardedDialog.h"

#include <QStringList>
#include <memory>

namespace Ui {
class frmAgentes_Aduanales;
}

// One earlier representative of the agent and the periods he worked for
// him. The periods are kept here while the user works; Aceptar replaces the
// stored record and its periods in one go. The opener rebuilds its lists
// afterwards.
class frmAgentes_Aduanales : public GuardedDialog {
    Q_OBJECT
public:
    // EditMode::Edit edits `row`, the cells Nombre, Ap.Paterno, Ap.Materno,
    // CURP and RFC of the page's current row.
    frmAgentes_Aduanales(Database& db, EditMode mode, const QStringList& row,
                         QWidget* parent = nullptr);
    ~frmAgentes_Aduanales() override;

    // Loads the stored periods of one key into the list.
    void Inicializa_gr2(const QString& curp);

private:
    void cmdNuevo_Click();
    void cmdBorrar_Click();
    void cmdAceptar_Click();
    bool fieldsAcceptable();
    void showPeriods();

    std::unique_ptr<Ui::frmAgentes_Aduanales> ui;
    Database& db_;
    QString oldKey_; // "" for a new record
    QList<HistoryPeriod> periods_;
};
