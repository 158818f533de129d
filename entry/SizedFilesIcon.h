#pragma once

#include <QHash>
#include <QIconEngine>
#include <QMap>
#include <QPixmap>

// An icon drawn at several sizes, one file each, that reads a file only when
// a size is asked for. Reading all of them up front held back the first
// window, and a window system asks for two or three sizes at most.
class SizedFilesIcon : public QIconEngine {
public:
    // Side in pixels -> file of that square picture.
    explicit SizedFilesIcon(QMap<int, QString> files);

    QIconEngine* clone() const override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;

private:
    int bestSide(const QSize& size) const;
    const QPixmap& read(int side);

    QMap<int, QString> files_;
    QHash<int, QPixmap> read_;
};

// KESTRO's own icon, from the program's resources.
QIcon programIcon();
