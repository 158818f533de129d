#include "wizard/PageLock.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

namespace {

// Turns a control off again whenever something turns it on.
class StaysDisabled : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isEnabled())
                w->setEnabled(false);
        }
        return false;
    }
};

template <class T> void lockAll(QWidget* page, QObject* filter) {
    for (T* control : page->findChildren<T*>()) {
        control->setEnabled(false);
        control->installEventFilter(filter);
    }
}

} // namespace

void lockForReading(QWidget* page) {
    auto* filter = new StaysDisabled(page);
    lockAll<QAbstractButton>(page, filter);
    lockAll<QLineEdit>(page, filter);
    lockAll<QComboBox>(page, filter);
    lockAll<QAbstractSpinBox>(page, filter);
}
