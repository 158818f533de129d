#pragma once

#include <QDialog>
#include <memory>

struct AppState;
namespace Ui {
class frmKey;
}

// Asks for the agent's key file and its password. Accepting sets
// Resp_Llave "A", Ruta_Llave and Clave_Llave; cancelling (button, Esc or the
// close box) sets Resp_Llave "C" and empties both.
class frmKey : public QDialog {
    Q_OBJECT
public:
    // rfcAsTyped: the agent's RFC as the agent page holds it; the key file's
    // path must name it.
    frmKey(AppState& state, const QString& rfcAsTyped, QWidget* parent = nullptr);
    ~frmKey() override;

    void reject() override;

private:
    void cmdBuscar_Click();
    void cmdAceptar_Click();

    std::unique_ptr<Ui::frmKey> ui;
    AppState& state_;
    QString rfc_;
};
