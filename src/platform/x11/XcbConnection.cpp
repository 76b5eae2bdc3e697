#include "platform/x11/XcbConnection.h"

#include <xcb/xcb.h>

XcbConnection::XcbConnection(const char *display)
{
    xcb_connection_t *connection = xcb_connect(display, &m_screenNumber);
    // xcb never returns null, but a failed connection is good for nothing
    // but being closed.
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
}

XcbConnection::~XcbConnection()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

quint32 XcbConnection::rootWindow(int screen) const
{
    if (!m_connection)
        return 0;
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screen && roots.rem > 0; ++i)
        xcb_screen_next(&roots);
    return roots.rem > 0 ? roots.data->root : 0;
}

int XcbConnection::fileDescriptor() const
{
    return m_connection ? xcb_get_file_descriptor(m_connection) : -1;
}

bool XcbConnection::hasError() const
{
    return !m_connection || xcb_connection_has_error(m_connection) != 0;
}

XcbReply<xcb_generic_event_t> XcbConnection::pollEvent() const
{
    return xcbReply(m_connection ? xcb_poll_for_event(m_connection) : nullptr);
}

int XcbConnection::drainEvents(const std::function<void(const xcb_generic_event_t &)> &handle) const
{
    int count = 0;
    while (XcbReply<xcb_generic_event_t> event = pollEvent()) {
        ++count;
        if (handle)
            handle(*event);
    }
    return count;
}
