#pragma once

#include "data/Database.h"
#include "wizard/AppState.h"

#include <QWidget>
#include <memory>

namespace Ui {
class frmMain;
}
class AddressBlock;
class QComboBox;

// The main window: the five wizard pages and the button row.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(AppState& state, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: the start dialog, the database, the import of the previous
    // version, the lists, the schema upgrade and the stored data. False when
    // the program cannot work (the user has been told why).
    bool startUp();

    AppState& state() { return state_; }
    Database* db() { return db_.get(); }
    int Pagina() const { return pagina_; }

private:

    AppState& state_;
    std::unique_ptr<Database> db_;
    int pagina_ = 1;
};
