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
