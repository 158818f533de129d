#include "entry/DateTyping.h"

#include <QDateTimeEdit>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

class SelectPartOnClick : public QObject {
public:
    explicit SelectPartOnClick(QDateTimeEdit* edit) : QObject(edit), edit_(edit) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            // After the view has placed the cursor for the click.
            QTimer::singleShot(0, edit_,
                               [e = edit_] { e->setSelectedSection(e->currentSection()); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QDateTimeEdit* edit_;
};

} // namespace

void clickSelectsDatePart(QDateTimeEdit* edit) {
    if (auto* text = edit->findChild<QLineEdit*>())
        text->installEventFilter(new SelectPartOnClick(edit));
}
