#include "TestImages.h"

#include <QImage>

namespace TestImages {

QString writePng(const QString &folder, const QString &name, const QColor &color, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    const QString path = folder + QLatin1Char('/') + name;
    image.save(path, "PNG");
    return path;
}

} // namespace TestImages
