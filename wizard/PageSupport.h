#pragma once

#include "entry/Grid.h"

#include <QList>
#include <QTableWidget>

class AddressBlock;
class Database;
class QComboBox;
class QWidget;

// What the wizard's pages share.

void setTabChain(const QList<QWidget*>& chain);
// A visible office list leads its hidden list of keys.
void pairOffices(QComboBox* names, QComboBox* keys);
// A block's state list and the municipalities of its first state; false
// once a list could not be read (the user has been told).
bool fillStateLists(Database& db, AddressBlock& block);

// Fills the list and keeps, beside each row's cell in `column`, what the
// window must know of that row without reading it back from the text.
template <typename T>
void gridFillKeeping(QTableWidget* grid, const QList<QStringList>& rows, int column, int role,
                     const QList<T>& kept) {
    gridFill(grid, rows);
    for (int i = 0; i < rows.size(); ++i)
        if (QTableWidgetItem* item = grid->item(i, column); item->data(role) != QVariant(kept[i]))
            item->setData(role, kept[i]);
}

// Cells 0-3 of a list row (Nombre, Ap.Paterno, Ap.Materno, CURP), as the
// questions before deleting name the person.
QString personOf(const QTableWidget* grid, int row);

// Chooses, in the first list of the page that holds it, the row whose
// "CURP" column is `curp`, and puts the keyboard there; false when no list
// of the page holds it.
bool selectPersonIn(QWidget* page, const QString& curp);
