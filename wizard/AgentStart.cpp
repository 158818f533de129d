#include "wizard/AgentStart.h"

#include "data/AgentFolder.h"
#include "data/AgentStore.h"
#include "data/Database.h"
#include "data/DatabaseFile.h"
#include "data/FolderLock.h"
#include "data/KnownAgents.h"
#include "data/ShownPath.h"
#include "dialogs/frmAgentes.h"
#include "entry/AppState.h"
#include "entry/BackupRestore.h"
#include "entry/Seam.h"
#include "wizard/frmMain.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Title = QStringLiteral("KESTRO 3.5");

void tell(const QString& text) {
    seam::message(nullptr, text, Title, seam::Icon::Exclamation);
}

std::optional<QString> chooseInList(KnownAgents& known, const QString& templatePath,
                                    frmAgentes::Purpose purpose) {
    frmAgentes list(known, templatePath, purpose);
    seam::exec(list);
    return list.chosen();
}

} // namespace

AgentStart::AgentStart(KnownAgents& known, QString templatePath, CommandLine command)
    : known_(known), templatePath_(std::move(templatePath)), command_(std::move(command)) {}

AgentStart::~AgentStart() = default;

std::optional<int> AgentStart::beforeWindow() {
    const bool listed = known_.several() || command_.agents;
    QString folder = known_.first();
    if (!command_.agent.isEmpty()) {
        QString why;
        folder = named(command_.agent, &why);
        if (folder.isEmpty()) {
            tell(why);
            return 1;
        }
    } else if (listed && command_.restore) {
        const std::optional<QString> chosen =
            chooseInList(known_, templatePath_, frmAgentes::Purpose::Restore);
        if (!chosen)
            return 1;
        folder = *chosen;
    } else if (listed) {
        return std::nullopt; // the list, once the start dialog is closed
    }
    return take(folder, command_.restore);
}

bool AgentStart::chooseAfterStartDialog() {
    // An agent already open elsewhere is told, and the list comes back.
    for (;;) {
        const std::optional<QString> chosen =
            chooseInList(known_, templatePath_, frmAgentes::Purpose::Open);
        if (!chosen)
            return false;
        if (!take(*chosen, false))
            return true;
    }
}

void AgentStart::applyTo(AppState& state) const {
    state.dataDir = folder_;
    state.severalAgents = known_.several();
    state.keyFolderSetting = known_.keyFolderSetting(folder_);
}

bool AgentStart::startUp(frmMain& window, AppState& state) {
    applyTo(state);
    if (!asksAfterStartDialog())
        return window.startUp();
    return window.startUp([&] {
        if (!chooseAfterStartDialog())
            return false;
        applyTo(state);
        return true;
    });
}

void AgentStart::renewLock() {
    if (lock_)
        lock_->renew();
}

std::optional<int> AgentStart::take(const QString& folder, bool restoring) {
    // A restore cut short is finished by lockOrRestore, under the lock.
    auto lock = std::make_unique<FolderLock>(folder);
    QStringList arguments{QStringLiteral("kestro")};
    if (restoring)
        arguments << QStringLiteral("--restaurar");
    if (restoring && !command_.backup.isEmpty())
        arguments << command_.backup;
    if (const std::optional<int> ended = lockOrRestore(*lock, folder, arguments))
        return ended;
    if (known_.several())
        (void)known_.setLast(folder); // only which one is chosen first next time
    folder_ = folder;
    lock_ = std::move(lock);
    return std::nullopt;
}

QString AgentStart::named(const QString& patentOrFolder, QString* why) {
    const QFileInfo asFolder(patentOrFolder);
    if (asFolder.isDir()) {
        for (const QString& f : known_.folders())
            if (KnownAgents::sameFolder(f, patentOrFolder))
                return f;
        const QString database =
            QDir(patentOrFolder).filePath(QString::fromLatin1(Database::FileName));
        if (const QString refused = DatabaseFile::whyNotKestro(database); !refused.isEmpty()) {
            *why = refused;
            return QString();
        }
        const QString folder = QDir::cleanPath(asFolder.absoluteFilePath());
        if (const MaybeError e = known_.add(folder))
            tell(e->text); // opened all the same; only the list could not keep it
        return folder;
    }
    QStringList matches, unavailable;
    for (const QString& f : known_.folders()) {
        const AgentFolder a = AgentFolder::read(f);
        if (!a.available)
            unavailable << shownPath(f);
        else if (!a.patente.isEmpty() &&
                 canonicalPatent(a.patente) == canonicalPatent(patentOrFolder.trimmed()))
            matches << f;
    }
    if (matches.size() == 1)
        return matches.first();
    if (matches.size() > 1) {
        QStringList shown;
        for (const QString& f : matches)
            shown << shownPath(f);
        *why = QStringLiteral("La patente %1 está en más de una carpeta de datos:\n%2\nIndique "
                              "con --agente la carpeta que desea abrir.")
                   .arg(patentOrFolder, shown.join(u'\n'));
        return QString();
    }
    *why = QStringLiteral("Ningún agente de la lista tiene la patente %1, ni es una carpeta que "
                          "exista.")
               .arg(patentOrFolder);
    if (!unavailable.isEmpty())
        *why += QStringLiteral(" No están disponibles ahora, y podría estar en una de ellas:\n%1")
                    .arg(unavailable.join(u'\n'));
    return QString();
}
