#pragma once

#include <QDialog>
#include <memory>

struct Contact;
namespace Ui {
class frmDudas;
}

// Whom to ask about the program; cmdManual closes it asking for the
// user's manual instead.
class frmDudas : public QDialog {
    Q_OBJECT
public:
    explicit frmDudas(const Contact& contact, QWidget* parent = nullptr);
    ~frmDudas() override;

    bool manualChosen() const { return manualChosen_; }

private:
    std::unique_ptr<Ui::frmDudas> ui;
    bool manualChosen_ = false;
};
