#pragma once

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class frmAgentes;
}
class KnownAgents;

// The agents this computer works for, one row each, the last one opened
// chosen. From here a new agent is made, an existing data folder is added,
// or an agent is taken off the list (his folder stays where it is). The
// list file changes as the user acts; what the dialog hands back is the
// folder to open.
class frmAgentes : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { Open, Restore };

    // templatePath: the delivered database a new agent starts from.
    frmAgentes(KnownAgents& known, QString templatePath, Purpose purpose,
               QWidget* parent = nullptr);
    ~frmAgentes() override;

    // The data folder chosen with Abrir (or made with Nuevo agente);
    // nothing after Salir, Esc or the close box.
    std::optional<QString> chosen() const { return chosen_; }

private:
    void fill(const QString& select);
    QString current() const;
    void currentChanged();
    void cmdAbrir_Click();
    void cmdNuevo_Click();
    void cmdAgregar_Click();
    void cmdQuitar_Click();
    void tell(const QString& text);

    std::unique_ptr<Ui::frmAgentes> ui;
    KnownAgents& known_;
    QString templatePath_;
    std::optional<QString> chosen_;
};
