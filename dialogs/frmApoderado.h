#pragma once

#include <QDialog>
#include <memory>

class Database;
class QTableWidget;
struct AppState;
struct Representative;
namespace Ui {
class frmApoderado;
}

// Captures one representative: names, keys, type, both addresses, the
// requirement file, whether he operates, and by type his accreditation or
// the offices he acted before and his declarations before 2001. Aceptar
// checks everything and replaces his stored rows in one transaction.
class frmApoderado : public QDialog {
    Q_OBJECT
public:
    // state.Modo "N" opens it empty; "E" loads the representative stored
    // under curp0 (the key of the page's current row).
    frmApoderado(Database& db, const AppState& state, const QString& curp0,
                 QWidget* parent = nullptr);
    ~frmApoderado() override;

    // "A" once the representative was stored, "C" otherwise (Cancelar,
    // Esc and the close box included).
    QString Respuesta() const { return respuesta_; }
    // The CURP he was stored under, and whether he is of the 2.13.11 type.
    QString storedCurp() const { return storedCurp_; }
    bool storedRuleType() const { return storedType_ == 2; }

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
    void cmdAceptar_Click();
    bool entriesAreValid();
    bool failCheck(const QString& message, QWidget* focus);
    Representative entries() const;
    void cmdNuevaAduana_Click();
    void cmdBorrarAduana_Click();
    void cmdNuevoPed_Click();
    void cmdBorrarPed_Click();
    void updateListButtons();

    std::unique_ptr<Ui::frmApoderado> ui;
    Database& db_;
    const AppState& state_;
    const bool editing_;
    const QString curp0_;
    QString respuesta_ = QStringLiteral("C");
    QString storedCurp_;
    int storedType_ = 0;
};
