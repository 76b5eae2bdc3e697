#include "platform/xwayland/XWaylandWindowStack.h"

#include "platform/x11/XcbReply.h"

#include <xcb/xcb.h>

XWaylandWindowStack::XWaylandWindowStack(xcb_connection_t *connection)
    : m_connection(connection)
    , m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root)
{
}

void XWaylandWindowStack::watchRoot()
{
    // Structure events of the root's children, without redirecting them:
    // adding to the root's existing mask keeps what the connection had.
    const auto attributes = xcbReply(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, m_root), nullptr));
    const quint32 mask = (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

void XWaylandWindowStack::handleEvent(const void *data)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(data);
    quint32 window = 0;
    switch (event->response_type & 0x7f) {
    case XCB_CONFIGURE_NOTIFY:
        window = reinterpret_cast<const xcb_configure_notify_event_t *>(event)->window;
        break;
    case XCB_MAP_NOTIFY:
        window = reinterpret_cast<const xcb_map_notify_event_t *>(event)->window;
        break;
    case XCB_CIRCULATE_NOTIFY:
        window = reinterpret_cast<const xcb_circulate_notify_event_t *>(event)->window;
        break;
    default:
        return;
    }
    if (!m_own.contains(window))
        m_stale = true;
}

void XWaylandWindowStack::raise(const QList<quint32> &bottomToTop, bool force)
{
    const QSet<quint32> own(bottomToTop.cbegin(), bottomToTop.cend());
    if (!m_stale && !force && own == m_own)
        return;
    m_own = own;
    m_stale = false;
    const quint32 above = XCB_STACK_MODE_ABOVE;
    for (quint32 window : bottomToTop)
        xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(m_connection);
}
