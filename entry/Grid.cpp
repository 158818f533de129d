#include "entry/Grid.h"

#include "entry/ClippedCellTip.h"

#include <QEvent>
#include <QHeaderView>
#include <QSignalBlocker>
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
    grid->setItemDelegate(new ClippedCellTip(grid));
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    // A header text is never cut, whatever the font and scaling.
    for (int i = 0; i < widthsTwips.size() && i < headers.size(); ++i)
        grid->setColumnWidth(
            i, std::max(widthsTwips[i] / 15, grid->horizontalHeader()->sectionSizeHint(i)));
    grid->horizontalHeader()->setStretchLastSection(true);
    gridKeepsNoRowOnFocus(grid);
    // An empty list has nothing to scroll sideways to.
    const auto barOnlyWithRows = [grid] {
        grid->setHorizontalScrollBarPolicy(grid->rowCount() > 0 ? Qt::ScrollBarAsNeeded
                                                                : Qt::ScrollBarAlwaysOff);
    };
    QAbstractItemModel* model = grid->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, grid, barOnlyWithRows);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, grid, barOnlyWithRows);
    barOnlyWithRows();
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
    // As after a clear, no row is current; but the cells already there are
    // reused: a list rebuilt after a change mostly shows what it showed, and
    // making every cell anew would take most of the time.
    grid->setCurrentIndex(QModelIndex());
    grid->clearSelection();
    grid->setRowCount(int(rows.size()));
    QAbstractItemModel* model = grid->model();
    const int columns = grid->columnCount();
    {
        // One change for the whole grid instead of one per cell, which the
        // view would answer each time.
        const QSignalBlocker quiet(model);
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList& cells = rows[r];
            for (int c = 0; c < columns; ++c) {
                const QString text = c < cells.size() ? cells[c] : QString();
                // A cell that keeps its text is left alone: telling the
                // model about it costs more than the comparison.
                if (QTableWidgetItem* item = grid->item(r, c)) {
                    if (item->text() != text)
                        item->setText(text);
                } else if (c < cells.size())
                    grid->setItem(r, c, new QTableWidgetItem(text));
            }
        }
    }
    if (!rows.isEmpty())
        Q_EMIT model->dataChanged(model->index(0, 0),
                                  model->index(int(rows.size()) - 1, columns - 1));
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
