#pragma once

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

    // Each returns false with a Spanish reason in *why. `add` also waits
    // until its bytes are on the disk (the one file that must survive a
    // power cut); copies are only flushed, as `cp` leaves them.
    bool add(const QString& name, const QByteArray& bytes, QString* why);
    bool addCopy(const QString& source, const QString& name, QString* why);
    // Every staged file takes its name; an earlier file of that name is
    // replaced. All or nothing.
    bool commit(QString* why);

    // Leftovers of a run that was killed half-way: an earlier file set
    // aside is put back, temporary files are removed.
    static void recover(const QString& folder);

private:
    struct Item {
        QString temp, final, aside;
        bool setAside = false;
        bool placed = false;
    };
    bool write(const QString& name, const QByteArray& bytes, bool durable, QString* why);
    void rollBack();

    QString folder_;
    QList<Item> items_;
    bool committed_ = false;
};
