#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmInicio;
}

// The start dialog shown before anything is loaded.
class frmInicio : public QDialog {
    Q_OBJECT
public:
    explicit frmInicio(QWidget* parent = nullptr);
    ~frmInicio() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::frmInicio> ui;
};
