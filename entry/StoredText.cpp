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
            const int limit = field->property(TypingLimit).toInt();
            if (now.size() <= limit && field->maxLength() != limit)
                field->setMaxLength(limit);
        });
    }
    const int limit = field->property(TypingLimit).toInt();
    field->setMaxLength(std::max(limit, int(text.size())));
    field->setText(text);
    field->setCursorPosition(0);
}
