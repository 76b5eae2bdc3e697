#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

// Zorv's own line icons, painted so that no icon theme is needed.
class SymbolIcons
{
public:
    enum class Symbol {
        CameraViewfinder, // the status item
        ClockArrowCirclePath, // restore from history
        Plus, // add the clipboard
        XmarkCircleFill, // delete a card
    };

    static QPixmap pixmap(Symbol symbol, int size, const QColor &color, qreal devicePixelRatio = 1.0);
    static QIcon icon(Symbol symbol, const QColor &color);
};
