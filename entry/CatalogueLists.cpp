#include "entry/CatalogueLists.h"

#include "data/Database.h"
#include "entry/Seam.h"
#include "entry/TypedChoice.h"
#include "rules/Rutinas.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>

namespace {

// Fills a list pair from rows (key column, name column) and leaves both
// without a choice: a filled list must not pick its first entry by itself.
// A failed read is shown, never taken for an empty catalogue.
bool fillPair(QComboBox* keys, QComboBox* names, const Rows& rows, bool numericKeys) {
    if (seam::readFailed(keys->window(), rows.error))
        return false;
    const QSignalBlocker qk(keys);
    const QSignalBlocker qn(names);
    const QFontMetrics fm = names->view()->fontMetrics();
    int widest = 0;
    QStringList keyTexts, nameTexts;
    for (const QVariantList& r : rows.rows) {
        keyTexts << (numericKeys ? Texto_Clave(r.at(0).toLongLong()) : textOf(r.at(0)));
        nameTexts << textOf(r.at(1));
        widest = std::max(widest, fm.horizontalAdvance(nameTexts.last()));
    }
    // All at once: item by item, each list would rework itself every time.
    keys->addItems(keyTexts);
    names->addItems(nameTexts);
    keys->setCurrentIndex(-1);
    names->setCurrentIndex(-1);
    // The open list shows its longest entry whole, however narrow the field.
    QAbstractItemView* view = names->view();
    const int frame = 2 * view->frameWidth();
    const int margins = 4 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    const int scrollBar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    view->setMinimumWidth(widest + margins + frame + scrollBar);
    return true;
}

} // namespace

bool Llena_EntFed(Database& db, QComboBox* keys, QComboBox* names) {
    return fillPair(keys, names, db.select(QStringLiteral("select cveEntFed, Nombre from EntFed")),
                    false);
}

bool Llena_MpioDeleg(Database& db, QComboBox* keys, QComboBox* names, const QString& stateKey) {
    {
        const QSignalBlocker qk(keys);
        const QSignalBlocker qn(names);
        keys->clear();
        names->clear();
    }
    const QString key = RTrim(stateKey);
    if (key.isEmpty())
        return true;
    return fillPair(keys, names,
                    db.select(QStringLiteral("select cveMpioDeleg, Nombre from MpioDeleg "
                                             "where cveEntFed=? order by cveMpioDeleg"),
                              {key}),
                    true);
}

QString officeMissing() {
    return QStringLiteral("Aduana no puede estar vacio");
}

bool Llena_Aduanas(Database& db, QComboBox* keys, QComboBox* names) {
    return fillPair(
        keys, names,
        db.select(QStringLiteral("select cveAduana, Aduana from Aduanas order by aduana")), true);
}

void followList(QComboBox* leader, QComboBox* follower) {
    TypedChoice::attach(leader); // a list that leads is one the user types into
    QObject::connect(leader, &QComboBox::currentIndexChanged, follower, [follower](int index) {
        const QSignalBlocker quiet(follower);
        follower->setCurrentIndex(index);
    });
}

void pairBothWays(QComboBox* a, QComboBox* b) {
    followList(a, b);
    followList(b, a);
}

bool Selecciona_Clave(QComboBox* keys, QComboBox* names, const QString& key, bool namesFirst) {
    const int at = keys->findText(key, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (namesFirst) {
        names->setCurrentIndex(at);
        keys->setCurrentIndex(at);
    } else {
        keys->setCurrentIndex(at);
        names->setCurrentIndex(at);
    }
    return at >= 0;
}
