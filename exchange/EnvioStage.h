#pragma once

#include "data/DbError.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Files bound for ENVIO are first written under temporary names inside it
// and take their final names together, only when all of them were written:
// after any failure ENVIO holds exactly what it held before.
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
    // Every staged file takes its name; an earlier file of that name is
    // replaced. All or nothing.
    MaybeError commit();

    // Leftovers of a run that was killed half-way: an earlier file set
    // aside is put back, temporary files are removed.
    static void recover(const QString& folder);

private:
    struct Item {
        QString temp, final, aside;
        bool setAside = false;
        bool placed = false;
    };
    MaybeError write(const QString& name, const QByteArray& bytes, bool durable);
    void rollBack();

    QString folder_;
    QList<Item> items_;
    bool committed_ = false;
};
