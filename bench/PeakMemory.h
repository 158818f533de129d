#pragma once

#include <QFile>

// This process's peak resident memory so far (VmHWM), in megabytes. Read by
// the process itself: a parent's view of a spawned child also counts the
// parent's own pages from before the child's exec.
inline double peakMemoryMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}
