#include "entry/KeystrokeFilter.h"

#include "entry/Cp1252.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace {

class UppercaseFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (resending_)
            return false;
        if (event->type() == QEvent::InputMethod)
            return filterComposed(target, static_cast<QInputMethodEvent*>(event));
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QString upper = upperTyped(key->text());
        if (upper == key->text())
            return false;
        // Hand the field the same key with the capital, so selection,
        // maximum length and the validator behave as for any keystroke.
        QKeyEvent capital(key->type(), key->key(), key->modifiers(), upper, key->isAutoRepeat(),
                          key->count());
        resending_ = true;
        QCoreApplication::sendEvent(target, &capital);
        resending_ = false;
        return true;
    }

private:
    // Dead keys and compose sequences reach the field through the input
    // method, not as key presses; what they commit is typed all the same.
    bool filterComposed(QObject* target, QInputMethodEvent* im) {
        QString upper = im->commitString();
        for (QChar& c : upper)
            c = upperTyped(QString(c)).at(0);
        if (upper == im->commitString())
            return false;
        QInputMethodEvent capital(im->preeditString(), im->attributes());
        capital.setCommitString(upper, im->replacementStart(), im->replacementLength());
        resending_ = true;
        QCoreApplication::sendEvent(target, &capital);
        resending_ = false;
        return true;
    }

    bool resending_ = false;
};

class SafeTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return isSafeText(input) ? Acceptable : Invalid;
    }
};

} // namespace

QString upperTyped(const QString& typed) {
    if (typed.size() != 1)
        return typed;
    const QChar upper = typed.at(0).toUpper();
    if (upper == typed.at(0) || !Cp1252::encodable(upper))
        return typed;
    return QString(upper);
}

bool isSafeText(const QString& text) {
    for (QChar c : text)
        if (c == u'|' || c == u'\n' || c == u'\r' || c.unicode() < 0x20 || !Cp1252::encodable(c))
            return false;
    return true;
}

void attachUppercaseFilter(QLineEdit* field) {
    field->installEventFilter(new UppercaseFilter(field));
}

void attachSafeText(QLineEdit* field) {
    field->setValidator(new SafeTextValidator(field));
}

void attachEntryRules(QLineEdit* field, bool uppercase) {
    attachSafeText(field);
    if (uppercase)
        attachUppercaseFilter(field);
}
