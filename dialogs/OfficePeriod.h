#pragma once

#include "data/HistoryStore.h"
#include "entry/Seam.h"

class Database;
class QComboBox;
class QDateEdit;
class QWidget;

// What both period dialogs ask for: a customs office from the pair of lists
// (numbers and names, sorted by name, either one leading) and two dates that
// start on today. Their messages carry the program's short title and no
// icon, and leave the focus where it is.
class OfficePeriod {
public:
    OfficePeriod(Database& db, QComboBox* noAduana, QComboBox* aduana, QDateEdit* startDate,
                 QDateEdit* endDate);

    // Shows the first problem and returns false; true when the period may be
    // kept. Equal dates form a valid period.
    bool acceptable(QWidget* parent) const;
    // The chosen office and dates, dates as stored.
    HistoryPeriod period() const;

    // How both dialogs' checks speak.
    static inline const seam::Voice voice{QStringLiteral("KESTRO"), seam::Icon::None};

private:
    QComboBox* noAduana_;
    QComboBox* aduana_;
    QDateEdit* startDate_;
    QDateEdit* endDate_;
};
