#pragma once

#include <QColor>
#include <QString>

// Image files for tests, written into a folder the test owns.
namespace TestImages {

// Writes a small PNG filled with `color` and returns its path.
QString writePng(const QString &folder, const QString &name, const QColor &color = Qt::red, int width = 8,
                 int height = 6);

} // namespace TestImages
