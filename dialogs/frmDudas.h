#pragma once

#include <QDialog>
#include <memory>

struct Contact;
namespace Ui {
class frmDudas;
}

// Whom to ask about the program.
class frmDudas : public QDialog {
    Q_OBJECT
public:
    explicit frmDudas(const Contact& contact, QWidget* parent = nullptr);
    ~frmDudas() override;

private:
    std::unique_ptr<Ui::frmDudas> ui;
};
