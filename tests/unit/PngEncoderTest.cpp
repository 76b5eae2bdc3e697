#include "platform/PngEncoder.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>

namespace {

// Noise defeats every shortcut of the filter and the run-length deflate;
// odd sizes catch row and pixel stride mistakes.
QImage noise(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, QColor::fromRgba(random.generate() | (x % 3 ? 0xff000000u : 0)));
    return image;
}

TEST(PngEncoderTest, EncodesEveryPixelAsQtDecodesIt)
{
    for (const QImage &image : {noise(37, 23, QImage::Format_RGB32), noise(41, 19, QImage::Format_ARGB32)}) {
        const QByteArray png = PngEncoder::encode(image);
        const QImage decoded = QImage::fromData(png, "PNG");
        ASSERT_FALSE(decoded.isNull());
        EXPECT_EQ(decoded.hasAlphaChannel(), image.hasAlphaChannel());
        const QImage::Format common = image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        EXPECT_EQ(decoded.convertToFormat(common), image.convertToFormat(common));
    }
    EXPECT_TRUE(PngEncoder::encode(QImage()).isEmpty());
}

} // namespace
