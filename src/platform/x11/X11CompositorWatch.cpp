#include "platform/x11/X11CompositorWatch.h"

#include <QByteArray>
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

X11CompositorWatch::X11CompositorWatch(QObject *parent)
    : CompositorWatch(parent)
{
    int screen = 0;
    m_connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screen && roots.rem > 0; ++i)
        xcb_screen_next(&roots);
    if (roots.rem == 0)
        return;

    // Interned even while no compositor ever ran, so that the first one is seen.
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, false, quint16(name.size()), name.constData()), nullptr);
    if (!atom)
        return;
    m_selection = atom->atom;
    std::free(atom);

    // Watched before the owner is asked for, so no change falls in between.
    const bool watching = watchSelection(roots.data->root);
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr);
    m_compositing = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    if (!watching)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11CompositorWatch::readEvents);
    readEvents(); // what arrived along with the replies is queued already
}

X11CompositorWatch::~X11CompositorWatch()
{
    m_notifier.reset();
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11CompositorWatch::watchSelection(quint32 root)
{
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(m_connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return false;
    // XFixes answers nothing else before a client has told it its version.
    xcb_xfixes_query_version_reply_t *version = xcb_xfixes_query_version_reply(
        m_connection, xcb_xfixes_query_version(m_connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr);
    if (!version)
        return false;
    std::free(version);
    m_selectionNotify = quint8(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    xcb_xfixes_select_selection_input(m_connection, root, m_selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(m_connection);
    return true;
}

void X11CompositorWatch::readEvents()
{
    bool compositing = m_compositing;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == m_selectionNotify) {
            const auto *notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
            // A compositor that exits or crashes loses the selection with its
            // window or its connection: such an event means no owner, whatever
            // window it names.
            if (notify->selection == m_selection)
                compositing = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER
                    && notify->owner != XCB_WINDOW_NONE;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection))
        m_notifier->setEnabled(false); // the server is gone; so is Zorv's panel
    if (compositing == m_compositing)
        return;
    m_compositing = compositing;
    Q_EMIT compositingChanged(compositing);
}
