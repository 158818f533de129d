#pragma once

#include <QDialog>
#include <memory>

struct Contacto;
namespace Ui {
class frmDudas;
}

// Whom to ask about the program.
class frmDudas : public QDialog {
    Q_OBJECT
public:
    explicit frmDudas(const Contacto& contacto, QWidget* parent = nullptr);
    ~frmDudas() override;

private:
    std::unique_ptr<Ui::frmDudas> ui;
};
