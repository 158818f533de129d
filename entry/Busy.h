#pragma once

#include <QString>
#include <functional>

class QWidget;

// The busy cursor for as long as it lives (nothing without a screen).
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool active_ = false;
};

// Runs `work` away from the window thread with the busy cursor and, when it
// takes more than a moment, a window saying `what`. The user cannot act on
// the windows meanwhile. Returns what `work` returned.
int whileBusy(QWidget* parent, const QString& what, const std::function<int()>& work);
