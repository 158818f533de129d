#pragma once

#include "PeakMemory.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

// Ends the program once `window` has been painted for the first time and
// prints how long after `startNs` (the monotonic moment the benchmark
// started this process) the paint was done. The whole window is painted in
// one pass, so the timer queued by its first paint event runs after it.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* window, qint64 startNs) : startNs_(startNs) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            QTimer::singleShot(0, this, [this] {
                timespec t;
                clock_gettime(CLOCK_MONOTONIC, &t);
                const qint64 now = qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
                std::printf("primer_pintado_ms %.3f\nmemoria_mb %.1f\n", (now - startNs_) / 1e6,
                            peakMemoryMb());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    qint64 startNs_;
    bool painted_ = false;
};
