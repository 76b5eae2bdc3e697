#pragma once

#include <QIcon>
#include <QString>

// Zorv's icon for the tray and its windows: the one installed in the icon
// theme under the desktop entry's name, so that menus, windows and the tray
// agree, and the painted symbol where the theme lacks it (a build run in
// place, or a theme without Zorv's icon).
class AppIcon
{
public:
    static inline const QString themeName = QStringLiteral("zorv");

    static QIcon icon();
};
