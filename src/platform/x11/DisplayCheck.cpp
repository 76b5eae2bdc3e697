#include "platform/x11/DisplayCheck.h"

#include <xcb/xcb.h>

QString DisplayCheck::problem()
{
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return QStringLiteral("Zorv needs an X11 display, but DISPLAY is not set. "
                              "Start it from a desktop session (X11 or XWayland).");
    xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (failed)
        return QStringLiteral("Zorv needs an X11 display, but it cannot connect to DISPLAY=%1.")
            .arg(QString::fromLocal8Bit(display));
    return {};
}
