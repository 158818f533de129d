#pragma once

#include <QDialog>
#include <memory>
#include <optional>

class Database;
namespace Ui {
class frmSinHIstorico;
}

// The declaration that the agent had no earlier representatives (no CURP
// given) or that the representative with `representativeCurp` worked for no
// earlier agent. Accepting removes that history and sets the flag to 1;
// the opener rebuilds its lists afterwards either way.
class frmSinHIstorico : public QDialog {
    Q_OBJECT
public:
    // `sentence` is what the user declares.
    frmSinHIstorico(Database& db, const QString& sentence,
                    std::optional<QString> representativeCurp, QWidget* parent = nullptr);
    ~frmSinHIstorico() override;

    // A second line under the declaration: what accepting it deletes. None
    // when empty.
    void tellWhatIsDeleted(const QString& text);

private:
    void cmdAceptar_Click();

    std::unique_ptr<Ui::frmSinHIstorico> ui;
    Database& db_;
    std::optional<QString> curp_;
};
