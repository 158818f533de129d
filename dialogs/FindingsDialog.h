#pragma once

#include "exchange/PreKeyCheck.h"

#include <QDialog>
#include <memory>

namespace Ui {
class FindingsDialog;
}
class QTreeWidgetItem;

// What the user chose in the list of findings.
struct FindingsChoice {
    enum class Action { Close, GoTo, Continue };
    Action action = Action::Close;
    WizardPage page = WizardPage::Agent; // for GoTo
    QString curp;                        // whom to select there; empty for none
};

// Lists every finding of the check before the key, the blocking ones and
// then the observations, each under its own heading, one row each: page,
// person, what is wrong, what to do. Controls: twHallazgos (the list),
// lblResumen (how many of each), cmdIr (go to the chosen row's page and
// person; also Enter or a double click on a row), cmdContinuar (on to the
// key; shown only when nothing blocks), cmdCerrar.
class FindingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindingsDialog(const QList<Problem>& problems, QWidget* parent = nullptr);
    ~FindingsDialog() override;

    FindingsChoice choice() const { return choice_; }
    // Wide enough for the four columns, the two texts wrapping at about
    // fifty-five characters; whoever shows it keeps it within the screen.
    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int personWidth() const;
    void addHeading(const QString& text);
    void addRow(const Problem& p);
    void goToCurrent();
    void goTo(QTreeWidgetItem* item);

    std::unique_ptr<Ui::FindingsDialog> ui;
    QList<Problem> problems_;
    FindingsChoice choice_;
};
