#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// Zorv's icon for the tray and its windows: the one installed in the icon
// theme under the desktop entry's name, so that menus, windows and the tray
// agree, and the same picture painted where the theme lacks it (a build run
// in place, or a theme without Zorv's icon). The viewfinder is white on a
// blue badge with a light rim: a tray may be light or dark, and a bare
// white or grey glyph fades into a light one.
class AppIcon
{
public:
    static inline const QString themeName = QStringLiteral("zorv");
    static inline const QColor badgeColor = QColor(0x2f, 0x6f, 0xe4);
    static inline const QColor glyphColor = QColor(Qt::white);
    static inline const QColor rimColor = QColor(255, 255, 255, 110);
    // The glyph's share of the badge's side.
    static constexpr double glyphScale = 0.8;

    static QIcon icon();
    // The painted icon, `size` pixels square.
    static QPixmap painted(int size);
};
