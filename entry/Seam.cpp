#include "entry/Seam.h"

#include "entry/GuardedDialog.h"
#include "entry/ScreenFit.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QUrl>

namespace seam {

namespace {
Script* script = nullptr;

// A box is never narrower than its title, which the window manager would
// otherwise cut ("KE…O"); the title bar also holds an icon and three buttons.
void keepTitleWhole(QMessageBox& box, const QString& title) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().horizontalAdvance(title) * 5 / 4 + 180;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

QMessageBox::Icon boxIcon(Icon i) {
    switch (i) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

Script::Script() {
    script = this;
}
Script::~Script() {
    script = nullptr;
}

Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
               Buttons buttons, Answer onEnter) {
    if (script) {
        script->shown.append({text, title, icon, buttons, parent, onEnter});
        if (script->whileShown)
            script->whileShown();
        if (buttons == Buttons::Ok || script->answers.empty())
            return Answer::Ok;
        const Answer a = script->answers.front();
        script->answers.pop_front();
        return a;
    }
    QMessageBox box(
        boxIcon(icon), title, text,
        buttons == Buttons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel, parent);
    if (buttons == Buttons::OkCancel) {
        box.setEscapeButton(QMessageBox::Cancel);
        box.setDefaultButton(onEnter == Answer::Cancel ? QMessageBox::Cancel : QMessageBox::Ok);
    }
    keepTitleWhole(box, title);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

void inform(QWidget* parent, const QString& text) {
    message(parent, text, QStringLiteral("Mensaje"), Icon::Information);
}

bool confirm(QWidget* parent, const QString& text, Answer onEnter) {
    return message(parent, text, QStringLiteral("Mendaje"), Icon::Exclamation, Buttons::OkCancel,
                   onEnter) == Answer::Ok;
}

QString nothingSaved() {
    return QStringLiteral("No se guardó ningún dato: la base de datos quedó como estaba antes "
                          "de esta operación.");
}

bool failed(QWidget* parent, const MaybeError& error) {
    if (!error)
        return false;
    const QString report = error->message();
    inform(parent,
           nothingSaved() + (report.startsWith(u' ') ? QString() : QStringLiteral(" ")) + report);
    return true;
}

bool refuse(QWidget* parent, const QString& text, QWidget* focus, const Voice& voice) {
    message(parent, text, voice.title, voice.icon);
    if (focus)
        focus->setFocus();
    return false;
}

bool readFailed(QWidget* parent, const MaybeError& error) {
    if (!error)
        return false;
    inform(parent, error->message());
    return true;
}

QString openFolder(QWidget* parent, const QString& caption, const QString& folder) {
    if (script)
        return openFile(parent, caption, folder, QString());
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                 const QString& filter) {
    if (script) {
        script->fileFilters << filter;
        script->fileFolders << folder;
        if (script->files.empty())
            return QString();
        const QString f = script->files.front();
        script->files.pop_front();
        return f;
    }
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString startFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    return QDir::homePath();
#endif
}

int exec(QDialog& dialog) {
    // Filled by its opener by now: what it shows is the unchanged state.
    if (auto* guarded = qobject_cast<GuardedDialog*>(&dialog))
        guarded->markUnchanged();
    if (script) {
        script->dialogsShown << dialog.objectName();
        auto it = script->dialogs.find(dialog.objectName());
        if (it == script->dialogs.end() || it->empty())
            return QDialog::Rejected;
        auto handler = std::move(it->front());
        it->pop_front();
        return handler(dialog);
    }
    fitOnScreen(&dialog);
    keepOnScreen(&dialog);
    return dialog.exec();
}

bool openWithSystem(const QString& path) {
    if (script) {
        script->opened.append(path);
        return script->systemOpens;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace seam
