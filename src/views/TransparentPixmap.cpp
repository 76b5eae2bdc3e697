#include "views/TransparentPixmap.h"

QPixmap TransparentPixmap::make(QSize logicalSize, qreal ratio)
{
    QPixmap pixmap(logicalSize * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

bool TransparentPixmap::fits(const QPixmap &pixmap, QSize logicalSize, qreal ratio)
{
    return !pixmap.isNull() && pixmap.size() == logicalSize * ratio && pixmap.devicePixelRatio() == ratio;
}
