#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QComboBox;

// Typing into a choose-only list chooses the entry that begins with what was
// typed, as the list's own search does, with two differences: a blank typed
// after a letter belongs to the name ("San Pedro") instead of opening the
// list, and key texts count without their leading blank, so that typing 430
// chooses office 430 (an entry that is exactly what was typed comes first).
// Works on the closed list and on its open popup.
class TypedChoice : public QObject {
    Q_OBJECT
public:
    // Once per list; a second call changes nothing.
    static void attach(QComboBox* list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TypedChoice(QComboBox* list);
    int match() const;

    QComboBox* list_;
    QString typed_;
    QElapsedTimer sinceLastKey_;
};
