#include "app/AppIcon.h"

#include "views/SymbolIcons.h"

QIcon AppIcon::icon()
{
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    // The tray's colour is unknown: white with a dark outline reads on any.
    return SymbolIcons::outlinedIcon(SymbolIcons::Symbol::CameraViewfinder, Qt::white, QColor(0, 0, 0, 170));
}
