#include "entry/Busy.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <chrono>
#include <future>
#include <memory>

namespace {
constexpr int MomentMs = 500;

bool hasWindows() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}
} // namespace

BusyCursor::BusyCursor() {
    if (hasWindows()) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        active_ = true;
    }
}

BusyCursor::~BusyCursor() {
    if (active_)
        QGuiApplication::restoreOverrideCursor();
}

int whileBusy(QWidget* parent, const QString& what, const std::function<int()>& work) {
    BusyCursor busy;
    std::future<int> result = std::async(std::launch::async, work);
    std::unique_ptr<QProgressDialog> progress;
    QElapsedTimer clock;
    clock.start();
    while (result.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (!progress && hasWindows() && clock.elapsed() >= MomentMs) {
            progress = std::make_unique<QProgressDialog>(what, QString(), 0, 0, parent);
            progress->setWindowTitle(QStringLiteral("KESTRO 3.5"));
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(0);
            progress->show();
        }
        // Paint and animate, but take no clicks or keys meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return result.get();
}
