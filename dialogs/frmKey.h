#pragma once

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class frmKey;
}

// The key file and password the agent chose.
struct KeyChoice {
    QString keyPath;
    QString password; // the caller wipes it (wipeText) once used
};

// Asks for the agent's key file and its password. Accepting leaves the
// choice in choice(); cancelling (button, Esc or the close box) leaves none.
class frmKey : public QDialog {
    Q_OBJECT
public:
    // rfcAsTyped: the agent's RFC as the agent page holds it; the key file's
    // path must name it. lastKeyFile, the one chosen earlier in this run,
    // opens filled in, so a retry needs only the password. The folder of
    // the key chosen is remembered under keyFolderSetting, one per agent.
    frmKey(const QString& rfcAsTyped, const QString& lastKeyFile, QString keyFolderSetting,
           QWidget* parent = nullptr);
    ~frmKey() override;

    // What Aceptar took; nothing after a cancel.
    std::optional<KeyChoice> choice() const { return choice_; }
    // The key file the dialog shows as it closes (never the password).
    QString keyFile() const;

    void reject() override;

private:
    void cmdBuscar_Click();
    void cmdAceptar_Click();
    void forgetChoice();
    QString takePassword();

    std::unique_ptr<Ui::frmKey> ui;
    QString rfc_;
    QString keyFolderSetting_;
    std::optional<KeyChoice> choice_;
};
