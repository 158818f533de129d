#include "entry/StoredText.h"

#include <QLineEdit>
#include <algorithm>

namespace {
const char* const TypingLimit = "typingLimit";
} // namespace

void showStoredText(QLineEdit* field, const QString& text) {
    if (!field->property(TypingLimit).isValid()) {
        field->setProperty(TypingLimit, field->maxLength());
        QObject::connect(field, &QLineEdit::textChanged, field, [field](const QString& now) {
            const int longest = std::max(typingLimit(field), int(now.size()));
            if (field->maxLength() != longest)
                field->setMaxLength(longest);
        });
    }
    field->setMaxLength(std::max(typingLimit(field), int(text.size())));
    field->setText(text);
    field->setCursorPosition(0);
}

int typingLimit(const QLineEdit* field) {
    const QVariant limit = field->property(TypingLimit);
    return limit.isValid() ? limit.toInt() : field->maxLength();
}
