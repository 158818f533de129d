#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// A file named by someone else (a signed file sent to the authority, a
// requirement path a database holds) may be anything: a FIFO that never
// ends, a device that never stops, a link to either, or something huge.
// It is opened without blocking and judged by what was opened, so nothing
// can be swapped in between the look and the read.
namespace PlainFile {

enum class Links { Follow, Refuse };

enum class Fault { None, Missing, NotRegular, Link, TooLarge, Unreadable };

struct Opened {
    Fault fault = Fault::None;
    QString why; // Spanish, "" when opened: "es una carpeta, no un archivo"...
    qint64 size = 0;
};

// Reads the whole file when it is a regular one of at most `maxSize` bytes.
Opened read(const QString& path, qint64 maxSize, Links links, QByteArray* out);

// Whether the file could be read, without reading it.
Opened probe(const QString& path, Links links);

// Hands the file, when it is a regular one, to `block` a piece at a time,
// never holding all of it; `block` returns false to stop (its reason is
// then its own). Fault::Unreadable when the reading fails half-way.
Opened eachBlock(const QString& path, Links links,
                 const std::function<bool(const char*, qsizetype)>& block);

// Whether the path is itself a link (or, on Windows, a junction or a
// shortcut), without following it.
bool isLink(const QString& path);

// The data folder and what the program creates in it are the user's alone:
// on Linux, 0700 for a folder and 0600 for a file, whatever the umask says.
// Windows leaves them to the folder they are in (%APPDATA% is the user's).
void keepPrivate(const QString& path);
// From now on what the process creates is made that way (umask 077), so
// no file is ever readable by others, not even for a moment.
void createPrivately();

} // namespace PlainFile
