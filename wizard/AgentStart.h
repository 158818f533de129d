#pragma once

#include "data/CommandLine.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct AppState;
class FolderLock;
class frmMain;
class KnownAgents;
class QWidget;

// Which agent a run works on: the one named with --agente, the one chosen
// in the list of agents, or the only one known. Holds his folder's lock for
// the whole run, so two different agents may be open at once and the same
// one twice is refused.
class AgentStart {
public:
    AgentStart(KnownAgents& known, QString templatePath, CommandLine command);
    ~AgentStart();
    AgentStart(const AgentStart&) = delete;
    AgentStart& operator=(const AgentStart&) = delete;

    // Before the main window: --agente, the only agent, or a restore (which
    // asks which agent when several are known). The exit code when the
    // program ends here; nothing when it goes on with folder(), or with
    // the list after the start dialog (asksAfterStartDialog()).
    std::optional<int> beforeWindow();
    bool asksAfterStartDialog() const { return folder_.isEmpty(); }

    // The list of agents until one whose folder is free is chosen; false
    // when the user leaves without choosing.
    bool chooseAfterStartDialog();

    QString folder() const { return folder_; }
    // Tells computers sharing the folder that this run still works in it.
    void renewLock();
    // What the run keeps of the agent: his folder, where his key folder is
    // remembered, and whether the caption must name him.
    void applyTo(AppState& state) const;

    // The main window's start: the start dialog, then the list when it is
    // due, then the agent's data. False when the program ends.
    bool startUp(frmMain& window, AppState& state);

    // The folder of the agent with that patent, or that data folder (added
    // to the list when it holds a KESTRO database); "" with `why` told in
    // Spanish when there is none.
    QString named(const QString& patentOrFolder, QString* why);

private:
    // Locks the folder (or restores into it, as the command says); the exit
    // code when the program ends here.
    std::optional<int> take(const QString& folder, bool restoring);

    KnownAgents& known_;
    QString templatePath_;
    CommandLine command_;
    QString folder_;
    std::unique_ptr<FolderLock> lock_;
};
