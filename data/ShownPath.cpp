#include "data/ShownPath.h"

#include <QDir>
#include <QFileInfo>

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}
