#include "entry/Grid.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

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
    // A header text is never cut, whatever the font and scaling.
    for (int i = 0; i < widthsTwips.size() && i < headers.size(); ++i)
        if (widthsTwips[i] > 0)
            grid->setColumnWidth(
                i, std::max(widthsTwips[i] / 15, grid->horizontalHeader()->sectionSizeHint(i)));
    grid->horizontalHeader()->setStretchLastSection(true);
    gridKeepsNoRowOnFocus(grid);
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

const char* const noRowOnFocusName = "noRowOnFocus";

class NoRowOnFocus : public QObject {
public:
    explicit NoRowOnFocus(QObject* grid) : QObject(grid) {
        setObjectName(QLatin1String(noRowOnFocusName));
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* grid = qobject_cast<QTableWidget*>(watched);
        if (event->type() != QEvent::FocusIn || !grid || grid->currentRow() >= 0)
            return false;
        // The focus has moved already; only the view's own pick is skipped.
        grid->viewport()->update();
        return true;
    }
};

} // namespace

void gridKeepsNoRowOnFocus(QTableWidget* grid) {
    if (grid->findChild<QObject*>(QLatin1String(noRowOnFocusName), Qt::FindDirectChildrenOnly))
        return;
    grid->installEventFilter(new NoRowOnFocus(grid));
}
