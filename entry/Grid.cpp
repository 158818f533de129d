#include "entry/Grid.h"

#include <QEvent>
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

namespace {

class NoRowOnFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* grid = qobject_cast<QTableWidget*>(watched);
        if (event->type() != QEvent::FocusIn || !grid || grid->currentRow() >= 0)
            return false;
        grid->viewport()->update();
        return true;
    }
};

} // namespace

void gridKeepsNoRowOnFocus(QTableWidget* grid) {
    grid->installEventFilter(new NoRowOnFocus(grid));
}
