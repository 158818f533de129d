#pragma once

#include "data/DbError.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

class QFile;

// Files bound for ENVIO are first written under temporary names inside it
// and take their final names together, only when all of them were written.
// In the same step everything else at ENVIO's top level (an earlier file,
// copies no longer due, what the user left there) moves, with its name, to
// ENVIO/anteriores/<aaaa-mm-dd hh.mm.ss>/: afterwards ENVIO holds exactly
// the staged files, and nothing is ever deleted. Hidden and system files
// (Thumbs.db, desktop.ini) stay where they are unless a staged file takes
// their name. After any failure ENVIO
// holds what it held before, or the message says what could not go back.
class EnvioStage {
public:
    explicit EnvioStage(QString folder);
    ~EnvioStage(); // whatever was staged and not committed is removed
    EnvioStage(const EnvioStage&) = delete;
    EnvioStage& operator=(const EnvioStage&) = delete;

    // Each fails with a Spanish reason. `add` also waits until its bytes are
    // on the disk (the one file that must survive a power cut); copies are
    // only flushed, as `cp` leaves them.
    MaybeError add(const QString& name, const QByteArray& bytes);
    MaybeError addCopy(const QString& source, const QString& name);
    // Every staged file takes its name and the rest moves aside, as of
    // `now` (which names the folder it goes to). All or nothing; when not
    // everything could be put back, the reason says which file and where
    // its earlier copy is.
    MaybeError commit(const QDateTime& now = QDateTime::currentDateTime());

    // Leftovers of a run that was killed half-way: what was moved aside
    // goes back where its place is free (never deleted); a file it had
    // placed is removed only when its size and SHA-256 prove it is the one
    // written and it cannot be an earlier twin (its temporary copy is gone
    // and, when it replaced a file, that file still waits in anteriores);
    // temporary files are removed once the marker is.
    static void recover(const QString& folder);

    // Before the password is asked for: whether each file that a commit
    // would move aside can be moved now. On Windows a file held open by
    // another program cannot; the reason names that program when the
    // system can tell.
    static MaybeError checkMovable(const QString& folder);

    // ENVIO that is a link, or holds one, would have a generation move
    // another folder's contents: refused, with the reason.
    static MaybeError linkFault(const QString& folder);

    // ENVIO/anteriores
    static QString archiveFolder(const QString& folder);

    // After a failed commit: whether ENVIO is again as it was.
    bool asBefore() const { return asBefore_; }

private:
    struct Item {
        QString temp, final;
        QByteArray proof;      // "<sha-256> <size>" of the bytes written
        bool replaces = false; // a file of its name stood there and moves aside
        bool placed = false;
    };
    // A staged file under its temporary name, filled by `fill`; its proof
    // is set by the caller once it is whole.
    MaybeError write(const QString& name, const std::function<bool(QFile&)>& fill);
    MaybeError moveAsideAndPlace(const QDateTime& now);
    // Empty when everything is as it was; otherwise what could not go back.
    QString rollBack();
    QStringList others() const;
    QStringList markerLines(bool placedOnly) const;

    QString folder_;
    QList<Item> items_;
    QString aside_;        // this commit's folder under anteriores
    QStringList movedOut_; // names moved there so far
    bool createdArchive_ = false;
    bool committed_ = false;
    bool asBefore_ = true;
    bool keepTemps_ = false; // the marker stayed: they tell recover() what was not placed
};
