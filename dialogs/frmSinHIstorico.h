#pragma once

#include <QDialog>
#include <memory>

class Database;
struct AppState;
namespace Ui {
class frmSinHIstorico;
}

// The declaration that the agent had no earlier representatives
// (Tipo_SinHist "AA") or that the representative CURP_SinHist worked for no
// earlier agent. Accepting removes that history and sets the flag to 1;
// the opener rebuilds its lists afterwards either way.
class frmSinHIstorico : public QDialog {
    Q_OBJECT
public:
    frmSinHIstorico(Database& db, const AppState& state, QWidget* parent = nullptr);
    ~frmSinHIstorico() override;

    // The sentence the user declares.
    void setDeclaration(const QString& sentence);

private:
    void cmdAceptar_Click();

    std::unique_ptr<Ui::frmSinHIstorico> ui;
    Database& db_;
    const AppState& state_;
};
