#pragma once

#include <QStyledItemDelegate>

// Shows a cell's whole text as a tooltip when its column is too narrow for
// it, as in a long office name; a cell shown whole gets no tooltip.
class ClippedCellTip : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};
