#pragma once

#include "entry/EditMode.h"
#include "entry/GuardedDialog.h"

#include <memory>
#include <optional>

class Database;
class QTableWidget;
struct Representative;
namespace Ui {
class frmApoderado;
}

// Captures one representative: names, keys, type, both addresses, the
// requirement file, whether he operates, and by type his accreditation or
// the offices he acted before and his declarations before 2001. Aceptar
// checks everything and replaces his stored rows in one transaction.
class frmApoderado : public GuardedDialog {
    Q_OBJECT
public:
    // EditMode::Edit loads the representative stored under curp0 (the key
    // of the page's current row).
    frmApoderado(Database& db, EditMode mode, const QString& curp0, QWidget* parent = nullptr);
    ~frmApoderado() override;

    // The CURP he was stored under; nothing when he was not stored
    // (Cancelar, Esc and the close box included).
    std::optional<QString> savedCurp() const { return savedCurp_; }
    // Whether the one stored is of the 2.13.11 type.
    bool savedRuleType() const { return savedType_ == 2; }

private:
    void prepareWindow();
    void setTabOrderChain();
    void connectButtons();
    void loadRepresentative();
    // False when a read failed (and was shown).
    bool Llena_Aduana_PedTram();
    void cmbMandato_Change(int index);
    void cmdBuscar_Click();
    void showRequirement(const QString& path);
    QString requirementFolder() const;
    void cmdAceptar_Click();
    bool entriesAreValid();
    Representative entries() const;
    bool droppingConfirmed(const Representative& r);
    void cmdNuevaAduana_Click();
    void cmdBorrarAduana_Click();
    void cmdNuevoPed_Click();
    void cmdBorrarPed_Click();
    void updateListButtons();

    std::unique_ptr<Ui::frmApoderado> ui;
    Database& db_;
    const bool editing_;
    const QString curp0_;
    std::optional<QString> savedCurp_;
    int savedType_ = 0;
    int keptAcreditacion_ = 0; // a type-3 representative keeps his own
};
