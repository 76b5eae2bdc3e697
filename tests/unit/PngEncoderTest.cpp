#include "platform/PngEncoder.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>

namespace {

// Noise, with and without alpha, in odd sizes: every pixel must come back
// as Qt's own decoder reads it.
TEST(PngEncoderTest, EncodesEveryPixelAsQtDecodesIt)
{
    QRandomGenerator random(7);
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
        QImage image(37, 23, format);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, random.generate());
        const QImage decoded = QImage::fromData(PngEncoder::encode(image), "PNG");
        EXPECT_EQ(decoded.hasAlphaChannel(), image.hasAlphaChannel());
        EXPECT_EQ(decoded.convertToFormat(format), image);
    }
    EXPECT_TRUE(PngEncoder::encode(QImage()).isEmpty());
}

} // namespace
