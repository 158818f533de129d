#include "entry/GuardedDialog.h"

#include "entry/Seam.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTableWidget>

void GuardedDialog::markUnchanged() {
    atOpening_ = values();
}

bool GuardedDialog::changed() const {
    return values() != atOpening_;
}

void GuardedDialog::reject() {
    if (changed() &&
        !seam::confirm(this, QStringLiteral("Los datos capturados en esta ventana no se han "
                                            "guardado. ¿Desea cerrarla sin guardarlos?")))
        return;
    QDialog::reject();
}

QStringList GuardedDialog::values() const {
    QStringList all;
    // A date edit holds a line edit of its own: the date stands for it.
    for (const QLineEdit* e : findChildren<QLineEdit*>())
        if (!qobject_cast<const QAbstractSpinBox*>(e->parent()) &&
            !qobject_cast<const QComboBox*>(e->parent()))
            all << e->text();
    for (const QComboBox* c : findChildren<QComboBox*>())
        all << QString::number(c->currentIndex()) + u'|' + c->currentText();
    for (const QDateEdit* d : findChildren<QDateEdit*>())
        all << d->date().toString(Qt::ISODate);
    for (const QAbstractButton* b : findChildren<QAbstractButton*>())
        if (b->isCheckable())
            all << (b->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    for (const QTableWidget* t : findChildren<QTableWidget*>())
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c)
                all << (t->item(r, c) ? t->item(r, c)->text() : QString());
    return all;
}
