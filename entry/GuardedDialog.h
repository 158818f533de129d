#pragma once

#include <QDialog>
#include <QStringList>

// A dialog where the user types data that only its Aceptar keeps. Leaving
// it any other way (Cancelar, Escape, the close box) asks first when
// something was changed since it opened, Enter answering "keep editing";
// unchanged, it closes at once.
class GuardedDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // What it shows now counts as unchanged: the message seam calls this
    // as the dialog opens, after its opener has filled it.
    void markUnchanged();
    bool changed() const;

    void reject() override;

private:
    // Every value a person can change: texts, choices, dates, options and
    // the rows of its lists.
    QStringList values() const;

    QStringList atOpening_;
};
