#include "app/AppIcon.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>

namespace {

double luminance(QRgb rgb)
{
    auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

// The share of the icon's square that stands out from `panel` by at least
// the 3:1 contrast asked of graphics that must be seen.
double visibleShare(const QPixmap &icon, const QColor &panel)
{
    QImage image(icon.size(), QImage::Format_RGB32);
    image.fill(panel);
    QPainter(&image).drawPixmap(0, 0, icon);
    const double background = luminance(panel.rgb());
    int visible = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double l = luminance(image.pixel(x, y));
            visible += (std::max(l, background) + 0.05) / (std::min(l, background) + 0.05) >= 3.0;
        }
    }
    return double(visible) / (image.width() * image.height());
}

TEST(AppIconTest, TheTrayIconStandsOutOnLightAndDarkPanels)
{
    // Xfce's light and dark panels, a white one and a black one.
    for (const QColor panel : {QColor(0xf2, 0xf2, 0xf2), QColor(0x2b, 0x2b, 0x2b), QColor(Qt::white), QColor(Qt::black)}) {
        for (int size : {16, 22, 32}) {
            const QPixmap icon = AppIcon::painted(size);
            ASSERT_EQ(icon.size(), QSize(size, size));
            // A bare white glyph with a dark halo reached 0.2 to 0.4 here.
            EXPECT_GE(visibleShare(icon, panel), 0.45) << panel.name().toStdString() << " at " << size << " px";
        }
    }
}

} // namespace
