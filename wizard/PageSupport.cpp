#include "wizard/PageSupport.h"

#include "entry/AddressBlock.h"
#include "entry/CatalogueLists.h"

#include <QComboBox>

void setTabChain(const QList<QWidget*>& chain) {
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void pairOffices(QComboBox* names, QComboBox* keys) {
    keys->hide();
    followList(names, keys);
}

bool fillStateLists(Database& db, AddressBlock& block) {
    return Llena_EntFed(db, block.cveEntFed, block.entFed) &&
           Llena_MpioDeleg(db, block.noMDeleg, block.mDeleg, block.cveEntFed->currentText());
}

QString personOf(const QTableWidget* grid, int row) {
    return gridRow(grid, row).mid(0, 4).join(u' ');
}

bool selectPersonIn(QWidget* page, const QString& curp) {
    for (QTableWidget* grid : page->findChildren<QTableWidget*>()) {
        int column = -1;
        for (int c = 0; c < grid->columnCount(); ++c)
            if (grid->horizontalHeaderItem(c) &&
                grid->horizontalHeaderItem(c)->text().trimmed() == u"CURP")
                column = c;
        if (column < 0)
            continue;
        for (int r = 0; r < grid->rowCount(); ++r)
            if (grid->item(r, column) && grid->item(r, column)->text() == curp) {
                grid->setCurrentCell(-1, -1);
                grid->setCurrentCell(r, 0);
                grid->setFocus();
                return true;
            }
    }
    return false;
}
