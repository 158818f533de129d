#include "entry/TypedChoice.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

void TypedChoice::attach(QComboBox* list) {
    if (!list->findChild<TypedChoice*>(QString(), Qt::FindDirectChildrenOnly))
        new TypedChoice(list);
}

TypedChoice::TypedChoice(QComboBox* list) : QObject(list), list_(list) {
    list->installEventFilter(this);
    list->view()->installEventFilter(this);
}

// The exact entry, else the first that begins with what was typed.
int TypedChoice::match() const {
    int first = -1;
    for (int i = 0; i < list_->count(); ++i) {
        const QString entry = list_->itemText(i).trimmed();
        if (entry.compare(typed_, Qt::CaseInsensitive) == 0)
            return i;
        if (first < 0 && entry.startsWith(typed_, Qt::CaseInsensitive))
            first = i;
    }
    return first;
}

bool TypedChoice::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || list_->isEditable())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.size() != 1 || !text.at(0).isPrint() ||
        (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
        return false;
    const bool goesOn =
        sinceLastKey_.isValid() && sinceLastKey_.elapsed() < QApplication::keyboardInputInterval();
    if (!goesOn)
        typed_.clear();
    if (text == QLatin1String(" ") && typed_.isEmpty())
        return false; // a blank of its own opens the list, as always
    typed_ += text;
    sinceLastKey_.start();
    int row = match();
    if (row < 0 && typed_.size() > 1) { // a new start, as the list's own search allows
        typed_ = text;
        row = match();
    }
    if (row < 0)
        return true;
    if (watched == list_->view()) {
        list_->view()->setCurrentIndex(list_->model()->index(row, list_->modelColumn()));
        return true;
    }
    if (row != list_->currentIndex()) {
        list_->setCurrentIndex(row);
        Q_EMIT list_->activated(row);
    }
    return true;
}
