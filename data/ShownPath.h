#pragma once

#include <QString>

// A path as the user's system writes it, whole, for messages.
QString shownPath(const QString& path);
