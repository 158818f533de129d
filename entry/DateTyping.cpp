#include "entry/DateTyping.h"

#include "entry/FieldNotice.h"
#include "rules/TypedDate.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

namespace {

const char* const Refused = "fechaRechazada";
const QString Shown = QStringLiteral("dd/MM/yyyy");

TypedDate::Part partOf(QDateTimeEdit::Section s) {
    switch (s) {
    case QDateTimeEdit::MonthSection:
        return TypedDate::Month;
    case QDateTimeEdit::YearSection:
        return TypedDate::Year;
    default:
        return TypedDate::Day;
    }
}

QDateTimeEdit::Section sectionOf(TypedDate::Part p) {
    switch (p) {
    case TypedDate::Month:
        return QDateTimeEdit::MonthSection;
    case TypedDate::Year:
    case TypedDate::Done:
        return QDateTimeEdit::YearSection;
    default:
        return QDateTimeEdit::DaySection;
    }
}

// Lets the field show each keystroke as it always has, but decides the
// date itself from everything typed, so that no separator skips a part
// and no digit lands beside an old one.
class DateTypist : public QObject {
public:
    explicit DateTypist(QDateEdit* edit) : QObject(edit), edit_(edit) {
        edit->installEventFilter(this);
        if (auto* text = edit->findChild<QLineEdit*>())
            text->installEventFilter(this);
        connect(edit, &QDateEdit::dateChanged, this, [this] {
            if (!settling_ && typing_.empty())
                edit_->setProperty(Refused, QVariant());
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (resending_)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            return watched == edit_ && key(static_cast<QKeyEvent*>(event));
        case QEvent::ContextMenu:
            if (watched != edit_)
                return false;
            showMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        case QEvent::FocusOut:
            if (watched == edit_)
                settle();
            return false;
        case QEvent::MouseButtonPress:
            settle();
            return false;
        case QEvent::MouseButtonRelease:
            if (watched != edit_) // after the view has placed the cursor for the click
                QTimer::singleShot(0, edit_,
                                   [e = edit_] { e->setSelectedSection(e->currentSection()); });
            return false;
        default:
            return false;
        }
    }

private:
    bool key(QKeyEvent* k) {
        if (k->matches(QKeySequence::Paste)) {
            paste();
            return true;
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            return !settle(); // a refused date does not go on to the default button
        if (k->key() == Qt::Key_Backspace && !typing_.empty()) {
            untype();
            return false;
        }
        if (isModifier(k->key())) // Shift for "/" does not end the typing
            return false;
        // Tab leaves the field, as in every other field; the arrows and
        // typing move between its parts. From its last part (first, going
        // back) the edit itself hands the focus on.
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) &&
            !(k->modifiers() & Qt::ControlModifier)) {
            settle();
            const bool back = k->key() == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier);
            edit_->setCurrentSection(edit_->sectionAt(back ? 0 : edit_->sectionCount() - 1));
            return false;
        }
        const QString text = k->text();
        const bool plain = !(k->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
        if (text.size() != 1 || !text.at(0).isPrint() || !plain) {
            settle(); // moving about ends the typing
            return false;
        }
        type(text.at(0), k);
        return true;
    }

    void type(QChar c, QKeyEvent* k) {
        if (typing_.empty()) {
            before_ = edit_->date();
            typing_ = TypedDate(partOf(edit_->currentSection()));
        }
        const TypedDate::Part part = typing_.part();
        const bool startsPart = part != partTyped_;
        if (!typing_.take(c)) {
            QApplication::beep();
            return;
        }
        if (c.isDigit()) {
            // The first digit of a part replaces it whole.
            if (startsPart || edit_->currentSection() != sectionOf(part))
                edit_->setSelectedSection(sectionOf(part));
            partTyped_ = part;
            resending_ = true;
            QCoreApplication::sendEvent(edit_, k);
            resending_ = false;
        }
        if (typing_.part() == TypedDate::Done) {
            settle();
            return;
        }
        if (typing_.part() != part || edit_->currentSection() != sectionOf(typing_.part()))
            edit_->setSelectedSection(sectionOf(typing_.part()));
    }

    // Backspace takes back the last character typed.
    void untype() {
        const QString typed = typing_.typed().chopped(1);
        typing_ = TypedDate(typing_.from());
        for (QChar c : typed)
            typing_.take(c);
    }

    // Ends the typing: the field shows the date typed, or, refused, the one
    // it had. False when refused.
    bool settle() {
        if (typing_.empty())
            return true;
        const QDate typed = typing_.applyTo(before_);
        const QString what = typing_.typed();
        typing_ = TypedDate();
        partTyped_ = TypedDate::Done;
        settling_ = true;
        if (typed.isValid() && typed >= edit_->minimumDate() && typed <= edit_->maximumDate()) {
            edit_->setDate(typed);
            edit_->setProperty(Refused, QVariant());
            settling_ = false;
            return true;
        }
        edit_->setDate(before_);
        settling_ = false;
        refuse(typed.isValid()
                   ? QStringLiteral("La fecha %1 está fuera de las que se admiten (%2 a %3)")
                         .arg(typed.toString(Shown), edit_->minimumDate().toString(Shown),
                              edit_->maximumDate().toString(Shown))
                   : QStringLiteral("No existe la fecha %1 (día/mes/año de 4 cifras)").arg(what));
        return false;
    }

    void paste() {
        settle();
        const QString copied = QGuiApplication::clipboard()->text().trimmed();
        const QDate date = TypedDate::parse(copied);
        if (date.isValid() && date >= edit_->minimumDate() && date <= edit_->maximumDate()) {
            edit_->setDate(date);
            return;
        }
        refuse(QStringLiteral("No se pegó \"%1\": no es una fecha que se admita aquí (día/mes/año)")
                   .arg(copied.left(40)));
    }

    // The text's own menu, its "Paste" going through the same rules.
    void showMenu(const QPoint& at) {
        settle();
        auto* text = edit_->findChild<QLineEdit*>();
        QMenu* menu = text->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String("edit-paste")) {
                QObject::disconnect(a, &QAction::triggered, text, &QLineEdit::paste);
                connect(a, &QAction::triggered, this, &DateTypist::paste);
            }
        menu->popup(at);
    }

    static bool isModifier(int key) {
        return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
               key == Qt::Key_AltGr || key == Qt::Key_Meta || key == Qt::Key_CapsLock ||
               key == Qt::Key_NumLock;
    }

    void refuse(const QString& why) {
        const QString told = why + QStringLiteral("; quedó %1.").arg(edit_->date().toString(Shown));
        edit_->setProperty(Refused, told);
        tellBeside(edit_, told);
        edit_->setSelectedSection(QDateTimeEdit::DaySection);
    }

    QDateEdit* edit_;
    TypedDate typing_;
    TypedDate::Part partTyped_ = TypedDate::Done;
    QDate before_;
    bool resending_ = false;
    bool settling_ = false;
};

} // namespace

void attachDateTyping(QDateEdit* edit) {
    new DateTypist(edit);
}

QString refusedDate(const QDateEdit* edit) {
    return edit->property(Refused).toString();
}
