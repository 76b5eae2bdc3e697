#include "platform/x11/DisplayCheck.h"

#include "platform/x11/XcbConnection.h"

QString DisplayCheck::problem()
{
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return QStringLiteral("Zorv needs an X11 display, but DISPLAY is not set. "
                              "Start it from a desktop session (X11 or XWayland).");
    if (!XcbConnection(display.constData()).isValid())
        return QStringLiteral("Zorv needs an X11 display, but it cannot connect to DISPLAY=%1.")
            .arg(QString::fromLocal8Bit(display));
    return {};
}
