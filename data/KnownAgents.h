#pragma once

#include "data/DbError.h"

#include <QString>
#include <QStringList>

class QSettings;

// The agents this user works for, one data folder each. The first is
// always the installation's own folder (beside the program or per user),
// which is never written down: losing the list never loses it. The others
// live in a small file in the user's settings, rewritten whole at every
// change so that a cut leaves the old list or the new one. A count kept in
// the user's settings tells a list that was lost from one never made.
class KnownAgents {
public:
    static constexpr const char* FileName = "agentes.lista";

    KnownAgents(QString listFile, QString firstFolder, QSettings& settings);

    // Reads the list. "" when it was read (or there never was one);
    // otherwise, in Spanish, that it was lost or damaged and that the other
    // agents can be added again: told once, the damaged file kept aside.
    QString load();

    // The installation's folder first, then the added ones in their order.
    QStringList folders() const;
    bool several() const { return !added_.isEmpty(); }
    QString first() const { return first_; }
    // The folder opened last; the first when none is known or it left the list.
    QString last() const;

    // Each rewrites the list; a failure says why in Spanish and leaves the
    // list in memory as it was.
    MaybeError add(const QString& folder);
    MaybeError remove(const QString& folder);
    MaybeError setLast(const QString& folder);

    bool contains(const QString& folder) const;
    // Paths written differently that name the same folder.
    static bool sameFolder(const QString& a, const QString& b);

    // The settings key under which the agent's last key folder is
    // remembered: the first agent keeps the one he always had.
    QString keyFolderSetting(const QString& folder) const;

private:
    MaybeError save(const QStringList& added, const QString& last);

    QString listFile_;
    QString first_;
    QSettings& settings_;
    QStringList added_;
    QString last_;
};
