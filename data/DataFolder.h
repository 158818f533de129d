#pragma once

#include <QString>

// Where the agent's work lives: the folder that holds kestro.mdb and ENVIO.
struct DataFolder {
    QString path;  // empty when the program cannot work; `error` says why
    QString error; // Spanish, for the user
    bool portable = false;
};

// A kestro.mdb beside the program makes that folder the data folder (the
// layout of a copied or Windows installation). Otherwise the per-user folder
// is used: created when missing and given a copy of the delivered template
// when it has no kestro.mdb yet. An existing file is never replaced, and a
// restore cut short counts as a kestro.mdb (DatabaseFile::holdsDatabase):
// the start finishes it once it holds the folder's lock.
DataFolder chooseDataFolder(const QString& programDir, const QString& perUserDir,
                            const QString& templatePath);

// A new agent's data folder: `folder` (made when missing) must hold nothing
// yet, so that no one's files are mixed with his; it receives a copy of the
// delivered template. "" when made, otherwise why not in Spanish.
QString makeAgentFolder(const QString& folder, const QString& templatePath);
