#pragma once

// What every fuzz target needs: Qt's application object (the database
// driver is a plugin) and a scratch folder in memory when there is one.
#include "data/Database.h"
#include "data/Schema.h"
#include "data/Upgrade.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace fuzz {

inline void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "kestro_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

inline const QString& scratch() {
    static QTemporaryDir dir(QDir("/dev/shm").exists()
                                 ? QStringLiteral("/dev/shm/kestro-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kestro-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

inline QString writeScratch(const QString& name, const QByteArray& bytes) {
    const QString path = scratch() + u'/' + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

// One store in memory at the current schema, kept for the whole run.
inline Database& store() {
    static std::unique_ptr<Database> db = [] {
        auto d = std::move(Database::createFile(QStringLiteral(":memory:")).value);
        if (!d || Schema::createV30(*d) || Modifica_DB(*d))
            abort();
        return d;
    }();
    return *db;
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Two inputs from one: the first two bytes (big-endian) say how long the
// first part is.
inline std::pair<QByteArray, QByteArray> splitInput(const QByteArray& in) {
    if (in.size() < 2)
        return {};
    const qsizetype n = (qsizetype(uint8_t(in[0])) << 8) | uint8_t(in[1]);
    const qsizetype first = qMin(in.size() - 2, n);
    return {in.mid(2, first), in.mid(2 + first)};
}

} // namespace fuzz
