#pragma once

#include <QString>

// A failure as the user reads it: in Spanish first, the engine's or the
// system's own words after it in parentheses (they help whoever supports
// him, and they are what a search finds).

// The database engine's result `code` (extended or primary), with its own
// words when given (its message), else its standard text for the code.
QString engineSays(int code, const QString& words = QString());

// The operating system's words on a file (QFile::errorString()).
QString systemSays(const QString& words);
