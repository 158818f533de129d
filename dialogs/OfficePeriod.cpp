#include "dialogs/OfficePeriod.h"

#include "entry/CatalogueLists.h"
#include "entry/DateTyping.h"
#include "entry/Seam.h"
#include "rules/Rutinas.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>

OfficePeriod::OfficePeriod(Database& db, QComboBox* noAduana, QComboBox* aduana,
                           QDateEdit* startDate, QDateEdit* endDate)
    : noAduana_(noAduana), aduana_(aduana), startDate_(startDate), endDate_(endDate) {
    Llena_Aduanas(db, noAduana_, aduana_);
    pairBothWays(noAduana_, aduana_);
    for (QDateEdit* d : {startDate_, endDate_}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
        d->setDate(QDate::currentDate());
        attachDateTyping(d);
    }
}

bool OfficePeriod::acceptable(QWidget* parent) const {
    for (QDateEdit* d : {startDate_, endDate_})
        if (!refusedDate(d).isEmpty())
            return seam::refuse(parent, refusedDate(d), d, voice);
    if (startDate_->date() > endDate_->date())
        return seam::refuse(parent,
                            QStringLiteral("Periodo no valido\nLa fecha final es anterior a la "
                                           "inicial."),
                            endDate_, voice);
    // A period without its office could not be stored or sent.
    if (noAduana_->currentIndex() < 0 || Vacio(noAduana_->currentText()))
        return seam::refuse(parent, officeMissing(), nullptr, voice);
    return true;
}

HistoryPeriod OfficePeriod::period() const {
    const QString iso = QStringLiteral("yyyy-MM-dd");
    return HistoryPeriod{noAduana_->currentText().trimmed().toLongLong(), aduana_->currentText(),
                         startDate_->date().toString(iso), endDate_->date().toString(iso)};
}
