#include "entry/KeystrokeFilter.h"

#include "entry/FieldNotice.h"
#include "entry/Seam.h"
#include "entry/StoredText.h"
#include "rules/SafeText.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QValidator>

namespace {

// The limits are the information file's: a longer name cannot be sent
// whole, so the person learns it as he types, not from the file.
void tellFieldIsFull(QLineEdit* field) {
    const int limit = typingLimit(field);
    if (field->text().size() > limit)
        return tellBeside(field, QStringLiteral("Caben %1 caracteres en este campo; el valor "
                                                "guardado tiene %2, más de los que admite el "
                                                "archivo de información. Acórtelo.")
                                     .arg(limit)
                                     .arg(field->text().size()));
    tellBeside(
        field,
        QStringLiteral("Caben %1 caracteres en este campo; el resto no se tomó.").arg(limit));
}

// Everything an entry field does to what reaches it: capitals for typed
// letters (when asked) and the same rules for a paste as for typing.
class EntryFilter : public QObject {
public:
    explicit EntryFilter(QLineEdit* field) : QObject(field), field_(field) {}
    bool uppercase = false;

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (resending_)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Paste)) {
                pasteFromClipboard(field_, uppercase);
                return true;
            }
            if (wouldOverflow(key->text()))
                tellFieldIsFull(field_);
            return uppercase && filterTyped(target, key);
        }
        case QEvent::InputMethod:
            if (wouldOverflow(static_cast<QInputMethodEvent*>(event)->commitString()))
                tellFieldIsFull(field_);
            return uppercase && filterComposed(target, static_cast<QInputMethodEvent*>(event));
        case QEvent::ContextMenu:
            showMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        default:
            return false;
        }
    }

private:
    // Text typed into the field that its maximum length will not take whole.
    bool wouldOverflow(const QString& typed) const {
        if (typed.isEmpty() || !typed.at(0).isPrint() || field_->isReadOnly())
            return false;
        const qsizetype kept = field_->text().size() - field_->selectedText().size();
        return kept + typed.size() > field_->maxLength();
    }

    bool filterTyped(QObject* target, QKeyEvent* key) {
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

    // The field's own menu, its "Paste" going through the same rules.
    void showMenu(const QPoint& at) {
        QMenu* menu = field_->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String("edit-paste")) {
                QObject::disconnect(a, &QAction::triggered, field_, &QLineEdit::paste);
                QLineEdit* field = field_;
                const bool upper = uppercase;
                QObject::connect(a, &QAction::triggered, field,
                                 [field, upper] { pasteFromClipboard(field, upper); });
            }
        menu->popup(at);
    }

    QLineEdit* field_;
    bool resending_ = false;
};

EntryFilter* filterOf(QLineEdit* field) {
    for (QObject* child : field->children())
        if (auto* f = dynamic_cast<EntryFilter*>(child))
            return f;
    auto* f = new EntryFilter(field);
    field->installEventFilter(f);
    return f;
}

// Whatever reaches the field (typed, dropped or set by the program) loses
// what the information file cannot hold, instead of refusing it whole.
class SafeTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& cursor) const override {
        if (!isSafeText(input)) {
            const qsizetype before = input.size();
            input = safeText(input);
            cursor = qMax(0, cursor - int(before - input.size()));
        }
        return Acceptable;
    }
};

QString listOf(QStringList kinds) {
    if (kinds.size() <= 1)
        return kinds.value(0);
    const QString last = kinds.takeLast();
    return kinds.join(QStringLiteral(", ")) + QStringLiteral(" y ") + last;
}

} // namespace

void pasteFromClipboard(QLineEdit* field, bool uppercase) {
    if (field->isReadOnly() || !field->isEnabled())
        return;
    const QString copied = QGuiApplication::clipboard()->text();
    QStringList removed;
    QString clean = safeText(copied, &removed);
    if (uppercase)
        for (QChar& c : clean)
            c = upperTyped(QString(c)).at(0);
    const int room =
        field->maxLength() - int(field->text().size()) + int(field->selectedText().size());
    const bool overflows = clean.size() > room;
    if (overflows) {
        clean.truncate(qMax(0, room));
        tellFieldIsFull(field);
    }
    if (clean.isEmpty() && !removed.isEmpty()) {
        seam::inform(field->window(),
                     QStringLiteral("No se pegó nada: del texto copiado se quitarían %1, que "
                                    "el archivo de información no puede escribir, y no queda "
                                    "nada que pegar.")
                         .arg(listOf(removed)));
        return;
    }
    if (clean.isEmpty())
        return;
    field->insert(clean);
    if (!removed.isEmpty())
        seam::inform(field->window(),
                     QStringLiteral("Se pegó \"%1\". Se quitaron %2, que el archivo de "
                                    "información no puede escribir.")
                         .arg(clean, listOf(removed)));
}

void attachUppercaseFilter(QLineEdit* field) {
    filterOf(field)->uppercase = true;
}

void attachSafeText(QLineEdit* field) {
    field->setValidator(new SafeTextValidator(field));
    filterOf(field);
}

void attachEntryRules(QLineEdit* field, bool uppercase) {
    attachSafeText(field);
    if (uppercase)
        attachUppercaseFilter(field);
}
