#pragma once

#include "data/DbError.h"

#include <QList>
#include <QMap>
#include <QString>
#include <deque>
#include <functional>

class QWidget;
class QDialog;

// Every message box, file dialog and modal dialog of the program passes
// through here, so tests can answer them without a modal window ever
// blocking.
namespace seam {

enum class Icon { None, Information, Exclamation };
enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

struct Shown {
    QString text;
    QString title;
    Icon icon;
    Buttons buttons;
    QWidget* parent; // none while the main window is not on screen yet
    Answer onEnter;  // the default button's answer
};

// `onEnter` is what a reflex Enter answers: Cancel wherever OK destroys.
Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
               Buttons buttons = Buttons::Ok, Answer onEnter = Answer::Ok);
// The usual validation message: information icon, OK, title "Mensaje".
void inform(QWidget* parent, const QString& text);
// How a failed check speaks: most as a validation message; some dialogs
// with their own title and icon.
struct Voice {
    QString title = QStringLiteral("Mensaje");
    Icon icon = Icon::Information;
};
// A check that failed: tells `text`, puts the focus on the field (when one
// is given), returns false.
bool refuse(QWidget* parent, const QString& text, QWidget* focus, const Voice& voice = {});
// A question before deleting or leaving: exclamation, OK/Cancel, "Mendaje";
// Enter answers Cancel, so that no reflex throws work away, unless the
// question destroys nothing.
bool confirm(QWidget* parent, const QString& text, Answer onEnter = Answer::Cancel);

// For a save: when `error` holds one, says that nothing was saved, then the
// engine's report in the one form users know (" <number> <text>", title
// "Mensaje"), and returns true: the action it belongs to stops.
bool failed(QWidget* parent, const MaybeError& error);
// For a read: the engine's report alone (" <number> <text>", "Mensaje");
// true when there was one, and the action stops rather than take the
// failure for an empty answer.
bool readFailed(QWidget* parent, const MaybeError& error);

// The sentence that opens every failed save.
QString nothingSaved();

// Full path of the chosen file, or "" when the user cancelled.
QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                 const QString& filter);

// Full path of the chosen folder, or "" when the user cancelled. Tests
// answer it from the same queue as openFile, with an empty filter.
QString openFolder(QWidget* parent, const QString& caption, const QString& folder);

// Where file dialogs start: C:\ on Windows, the user's home elsewhere.
QString startFolder();

// Runs a modal dialog; returns its result code.
int exec(QDialog& dialog);

// Opens a file or folder with the program the system has for it; false when
// the system has none.
bool openWithSystem(const QString& path);

// Installed by a test for its lifetime. Messages are recorded; questions
// (OK/Cancel) are answered from a queue (OK once it is empty); file dialogs
// are answered from a queue ("" once empty); a modal dialog is handed to the
// handler queued for its objectName, and counts as rejected without one.
class Script {
public:
    Script();
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    void answer(Answer a) { answers.push_back(a); }
    void chooseFile(const QString& path) { files.push_back(path); }
    void onDialog(const QString& objectName, std::function<int(QDialog&)> handler) {
        dialogs[objectName].push_back(std::move(handler));
    }

    QList<Shown> shown;
    std::function<void()> whileShown; // a person reading each message (time may pass)
    QStringList fileFilters;          // filter of every file dialog asked for
    QStringList fileFolders;          // its initial folder
    QStringList dialogsShown;         // objectNames, in order
    QStringList opened;               // paths handed to the system's programs
    bool systemOpens = true;          // whether the system has a program for them
    std::deque<Answer> answers;
    std::deque<QString> files;
    QMap<QString, std::deque<std::function<int(QDialog&)>>> dialogs;

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
};

} // namespace seam
