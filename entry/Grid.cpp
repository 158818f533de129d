#include "entry/Grid.h"

#include <QHeaderView>
#include <QTableWidget>

void gridSetup(QTableWidget* grid, const QStringList& headers, const QList<int>& widthsTwips) {
    grid->clear();
    grid->setRowCount(0);
    grid->setColumnCount(int(headers.size()));
    grid->setHorizontalHeaderLabels(headers);
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    for (int i = 0; i < widthsTwips.size() && i < headers.size(); ++i)
        if (widthsTwips[i] > 0)
            grid->setColumnWidth(i, widthsTwips[i] / 15);
    grid->horizontalHeader()->setStretchLastSection(true);
}

void gridClear(QTableWidget* grid) {
    grid->setRowCount(0);
}

void gridAppend(QTableWidget* grid, const QStringList& cells) {
    const int row = grid->rowCount();
    grid->insertRow(row);
    for (int c = 0; c < cells.size() && c < grid->columnCount(); ++c)
        grid->setItem(row, c, new QTableWidgetItem(cells[c]));
}

void gridFill(QTableWidget* grid, const QList<QStringList>& rows) {
    const bool updates = grid->updatesEnabled();
    grid->setUpdatesEnabled(false);
    grid->setRowCount(0);
    grid->setRowCount(int(rows.size()));
    const int columns = grid->columnCount();
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList& cells = rows[r];
        for (int c = 0; c < cells.size() && c < columns; ++c)
            grid->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    grid->setUpdatesEnabled(updates);
}

int gridDataRows(const QTableWidget* grid) {
    return grid->rowCount();
}

QString gridCell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

QStringList gridRow(const QTableWidget* grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells << gridCell(grid, row, c);
    return cells;
}
