#include "entry/ClippedCellTip.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

bool ClippedCellTip::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                               const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (sizeHint(option, index).width() > option.rect.width())
        QToolTip::showText(event->globalPos(), text, view);
    else
        QToolTip::hideText();
    return true;
}
