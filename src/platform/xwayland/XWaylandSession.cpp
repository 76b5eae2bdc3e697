#include "platform/xwayland/XWaylandSession.h"

#include "platform/x11/XcbReply.h"

#include <QGuiApplication>
#include <QScreen>

#include <xcb/xcb.h>

#include <cstring>

namespace {

bool hasExtension(xcb_connection_t *connection, const char *name)
{
    const auto reply = xcbReply(xcb_query_extension_reply(
        connection, xcb_query_extension(connection, std::uint16_t(std::strlen(name)), name), nullptr));
    return reply && reply->present;
}

} // namespace

bool XWaylandSession::isActive(xcb_connection_t *connection)
{
    // Newer XWayland servers announce themselves with an extension; older
    // ones (22.1 in Debian 12 has none) name their RandR outputs after
    // themselves, and Qt names its screens after those outputs. A Wayland
    // socket in the environment alone proves nothing: a nested X server
    // started from a Wayland session inherits it.
    if (connection && hasExtension(connection, "XWAYLAND"))
        return true;
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->name().startsWith(QLatin1String("XWAYLAND")))
            return true;
    }
    return false;
}
