#include "platform/x11/X11CompositorWatch.h"

#include <QByteArray>
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

X11CompositorWatch::X11CompositorWatch(QObject *parent)
    : CompositorWatch(parent)
{
    xcb_connection_t *connection = m_connection.get();
    const quint32 root = m_connection.rootWindow(m_connection.screenNumber());
    if (!root)
        return;

    // Interned even while no compositor ever ran, so that the first one is seen.
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(m_connection.screenNumber());
    const auto atom = xcbReply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, false, quint16(name.size()), name.constData()), nullptr));
    if (!atom)
        return;
    m_selection = atom->atom;

    // Watched before the owner is asked for, so no change falls in between.
    const bool watching = watchSelection(root);
    const auto owner = xcbReply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, m_selection), nullptr));
    m_compositing = owner && owner->owner != XCB_WINDOW_NONE;
    if (!watching)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_connection.fileDescriptor(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11CompositorWatch::readEvents);
    readEvents(); // what arrived along with the replies is queued already
}

X11CompositorWatch::~X11CompositorWatch() = default;

bool X11CompositorWatch::watchSelection(quint32 root)
{
    xcb_connection_t *connection = m_connection.get();
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return false;
    // XFixes answers nothing else before a client has told it its version.
    const auto version = xcbReply(xcb_xfixes_query_version_reply(
        connection, xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr));
    if (!version)
        return false;
    m_selectionNotify = quint8(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    xcb_xfixes_select_selection_input(connection, root, m_selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(connection);
    return true;
}

void X11CompositorWatch::readEvents()
{
    bool compositing = m_compositing;
    m_connection.drainEvents([this, &compositing](const xcb_generic_event_t &event) {
        if ((event.response_type & 0x7f) == m_selectionNotify) {
            const auto *notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(&event);
            // A compositor that exits or crashes loses the selection with its
            // window or its connection: such an event means no owner, whatever
            // window it names.
            if (notify->selection == m_selection)
                compositing = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER
                    && notify->owner != XCB_WINDOW_NONE;
        }
    });
    if (m_connection.hasError())
        m_notifier->setEnabled(false); // the server is gone; so is Zorv's panel
    if (compositing == m_compositing)
        return;
    m_compositing = compositing;
    Q_EMIT compositingChanged(compositing);
}
