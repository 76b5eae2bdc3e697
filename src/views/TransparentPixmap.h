#pragma once

#include <QPixmap>
#include <QSize>

// The kept drawings of the panel's views: pixmaps at the window's device
// pixel ratio, cleared to transparent, drawn once and copied at each frame.
class TransparentPixmap
{
public:
    // A cleared pixmap of `logicalSize` points at `ratio` pixels per point.
    static QPixmap make(QSize logicalSize, qreal ratio);
    // Whether `pixmap` was made for that size and ratio, so it can be kept.
    static bool fits(const QPixmap &pixmap, QSize logicalSize, qreal ratio);
};
