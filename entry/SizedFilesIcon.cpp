#include "entry/SizedFilesIcon.h"

#include <QPainter>

SizedFilesIcon::SizedFilesIcon(QMap<int, QString> files) : files_(std::move(files)) {}

QIconEngine* SizedFilesIcon::clone() const {
    return new SizedFilesIcon(*this);
}

QList<QSize> SizedFilesIcon::availableSizes(QIcon::Mode, QIcon::State) {
    QList<QSize> sizes;
    for (int side : files_.keys())
        sizes << QSize(side, side);
    return sizes;
}

// The smallest drawing at least as large as asked, scaled down, looks best;
// past the largest, the largest.
int SizedFilesIcon::bestSide(const QSize& size) const {
    const int wanted = qMax(size.width(), size.height());
    const auto it = files_.lowerBound(wanted);
    return it == files_.cend() ? files_.lastKey() : it.key();
}

QSize SizedFilesIcon::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    if (files_.isEmpty())
        return {};
    const int side = bestSide(size);
    return QSize(side, side).boundedTo(size);
}

const QPixmap& SizedFilesIcon::read(int side) {
    auto it = read_.find(side);
    if (it == read_.end())
        it = read_.insert(side, QPixmap(files_.value(side)));
    return *it;
}

QPixmap SizedFilesIcon::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    if (files_.isEmpty())
        return {};
    // A window's icon, the only use, is never drawn disabled or selected.
    const QPixmap shown = read(bestSide(size));
    const QSize fitted = actualSize(size, mode, state);
    return shown.size() == fitted
               ? shown
               : shown.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void SizedFilesIcon::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                           QIcon::State state) {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
}

QIcon programIcon() {
    QMap<int, QString> files;
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        files.insert(side, QStringLiteral(":/kestro/kestro-%1.png").arg(side));
    return QIcon(new SizedFilesIcon(files));
}
