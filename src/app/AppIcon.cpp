#include "app/AppIcon.h"

#include "views/SymbolIcons.h"

#include <QPainter>

QIcon AppIcon::icon()
{
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(painted(size));
    return icon;
}

QPixmap AppIcon::painted(int size)
{
    QPixmap result(size, size);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    // The badge fills the square but for half a pixel, where the rim is drawn.
    const QRectF badge = QRectF(0, 0, size, size).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(rimColor, 1.0));
    painter.setBrush(badgeColor);
    painter.drawRoundedRect(badge, size * 0.22, size * 0.22);
    const int glyph = int(size * glyphScale + 0.5);
    const int offset = (size - glyph) / 2;
    painter.drawPixmap(offset, offset, SymbolIcons::pixmap(SymbolIcons::Symbol::CameraViewfinder, glyph, glyphColor));
    return result;
}
