#pragma once

#include <QDateTime>

class Database;
class QWidget;

// The automatic copies of one run of the program. A copy that fails never
// stops what the user is doing and changes nothing of his: the first failure
// of the run is told, with its reason; later ones would only repeat it.
class BackupKeeper {
public:
    // Before an upgrade or an import, after the information file is written
    // (named after that generation's time).
    void copy(QWidget* parent, const Database& db,
              const QDateTime& now = QDateTime::currentDateTime());
    // At start-up: the day's copy, when the file changed since the last one.
    void dailyCopy(QWidget* parent, const Database& db);

private:
    bool told_ = false;
};
