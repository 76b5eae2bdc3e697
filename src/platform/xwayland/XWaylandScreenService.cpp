#include "platform/xwayland/XWaylandScreenService.h"

#include "platform/xwayland/EdgeSentinel.h"
#include "platform/xwayland/PointerCatcher.h"
#include "platform/xwayland/XWaylandWindowStack.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <QPointer>

#include <utility>

namespace {

quint32 motionWindow(const xcb_generic_event_t *event)
{
    return reinterpret_cast<const xcb_motion_notify_event_t *>(event)->event;
}

} // namespace

XWaylandScreenService::XWaylandScreenService(ScreenService &x11, QObject *parent)
    : QObject(parent)
    , m_x11(x11)
{
    if (!m_connection.isValid())
        return;
    xcb_connection_t *connection = m_connection.get();
    // Mapped first, so that it stays below everything else of Zorv's.
    m_catcher = std::make_unique<PointerCatcher>(connection);
    m_sentinel = std::make_unique<EdgeSentinel>(connection);
    m_stack = std::make_unique<XWaylandWindowStack>(connection);
    m_stack->watchRoot();
    // Where XWayland says the pointer is may be where it last left the X11
    // windows, long ago: unknown until it is seen again.
    m_lastX11 = m_position = m_x11.pointerPosition();
    m_leftAt = m_position;
    // Before the panel exists: the compositor stacks these unmanaged
    // windows in the order they were mapped, whatever their X stacking,
    // and hands the pointer to the one on top. Above the panel, the
    // sentinel would keep the pointer while it is over the panel.
    followScreens();
    m_notifier = std::make_unique<QSocketNotifier>(m_connection.fileDescriptor(), QSocketNotifier::Read);
    m_notifier->setEnabled(false);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &XWaylandScreenService::handleReadable);
}

XWaylandScreenService::~XWaylandScreenService() = default;

void XWaylandScreenService::setFloatingWindows(std::function<QList<quint32>()> windows)
{
    m_floatingWindows = std::move(windows);
}

QPointF XWaylandScreenService::pointerPosition()
{
    update(false);
    return m_position;
}

QPointF XWaylandScreenService::currentPointerPosition()
{
    update(true);
    return m_position;
}

void XWaylandScreenService::update(bool current)
{
    if (!m_connection.isValid()) {
        m_position = current ? m_x11.currentPointerPosition() : m_x11.pointerPosition();
        return;
    }
    drainEvents();
    // The X11 service answers anew only when the pointer moved over X11
    // windows, or after a while; the answer is then current, unless it is
    // just the frozen position where the pointer left.
    const QPointF x11 = current ? m_x11.currentPointerPosition() : m_x11.pointerPosition();
    if (x11 != m_lastX11) {
        m_lastX11 = x11;
        if (!m_leftAt || x11 != *m_leftAt) {
            m_leftAt.reset();
            m_position = x11;
        }
    }
    if (m_queryNow) {
        m_queryNow = false;
        m_position = queryPointer();
    }
    followScreens();
    const QList<quint32> floating = m_floatingWindows ? m_floatingWindows() : QList<quint32>();
    watchFloatingWindows(floating);
    m_stack->raise(QList<quint32>{m_catcher->window()} + m_sentinel->windows() + floating,
                   std::exchange(m_raiseNow, false));
}

bool XWaylandScreenService::wakeOnChange(std::function<void()> wake)
{
    if (!m_connection.isValid())
        return m_x11.wakeOnChange(std::move(wake));
    // Whichever of the two connections hears something first wakes the
    // poll, once.
    m_wake = std::make_shared<std::function<void()>>(std::move(wake));
    const std::weak_ptr<std::function<void()>> shared = m_wake;
    const QPointer<XWaylandScreenService> self(this);
    if (!m_x11.wakeOnChange([self, shared] {
            if (self && shared.lock() == self->m_wake)
                self->fireWake();
        })) {
        m_wake.reset();
        return false;
    }
    // Events already read from the socket would never make it readable:
    // what arrived since the last poll counts as a change now.
    xcb_flush(m_connection.get());
    if (drainEvents() > 0) {
        QMetaObject::invokeMethod(this, &XWaylandScreenService::fireWake, Qt::QueuedConnection);
        return true;
    }
    m_notifier->setEnabled(true);
    return true;
}

void XWaylandScreenService::handleReadable()
{
    if (m_wake) {
        fireWake();
        return;
    }
    // The catcher is out: it goes the moment it sees the pointer, not at the
    // next poll, or a click right behind the pointer could land on it.
    drainEvents();
    m_notifier->setEnabled(m_catcher->isSpread());
}

void XWaylandScreenService::fireWake()
{
    if (m_notifier)
        m_notifier->setEnabled(m_catcher && m_catcher->isSpread());
    const std::shared_ptr<std::function<void()>> wake = std::exchange(m_wake, nullptr);
    if (wake && *wake)
        (*wake)();
}

int XWaylandScreenService::drainEvents()
{
    return m_connection.drainEvents([this](const xcb_generic_event_t &event) {
        const quint8 type = event.response_type & 0x7f;
        if (type == XCB_ENTER_NOTIFY || type == XCB_LEAVE_NOTIFY)
            handleCrossing(&event);
        else if (type == XCB_MOTION_NOTIFY && motionWindow(&event) == m_catcher->window())
            handleCaught();
        else if (type == XCB_MOTION_NOTIFY)
            m_queryNow = true; // along the sentinel: the position is current
        else
            m_stack->handleEvent(&event);
    });
}

void XWaylandScreenService::handleCrossing(const void *data)
{
    const auto *crossing = static_cast<const xcb_enter_notify_event_t *>(data);
    const bool enter = (crossing->response_type & 0x7f) == XCB_ENTER_NOTIFY;
    if (crossing->event == m_catcher->window()) {
        if (enter && crossing->mode == XCB_NOTIFY_MODE_NORMAL)
            handleCaught();
        return;
    }
    // A grab (a drag, a menu) takes the pointer's events away from the
    // catcher, and the windows under the pointer must be found without it.
    if (!enter && crossing->mode == XCB_NOTIFY_MODE_GRAB) {
        m_catcher->withdraw();
        return;
    }
    // Crossings between a window and its own children, and the other ones
    // that a grab makes, do not move the pointer between programs; the end
    // of a grab over one of these windows is as if the pointer came in.
    const bool normal = crossing->mode == XCB_NOTIFY_MODE_NORMAL
        || (enter && crossing->mode == XCB_NOTIFY_MODE_UNGRAB);
    if (!normal || crossing->detail == XCB_NOTIFY_DETAIL_INFERIOR)
        return;
    if (enter) {
        // The position in an enter event can be the stale one; a query
        // right after it is current (measured).
        m_leftAt.reset();
        m_queryNow = true;
        spreadCatcher();
        return;
    }
    const qreal ratio = devicePixelRatio();
    m_leftAt = QPointF(crossing->root_x / ratio, crossing->root_y / ratio);
    m_position = *m_leftAt;
    m_queryNow = false;
}

void XWaylandScreenService::spreadCatcher()
{
    if (m_dragging)
        return;
    m_catcher->spread(m_deviceScreens);
    m_notifier->setEnabled(true);
}

void XWaylandScreenService::setDragging(bool dragging)
{
    m_dragging = dragging;
    if (!m_connection.isValid())
        return;
    if (dragging) {
        // The drag finds its target under the pointer, and on sway a drag
        // that crossed onto the catcher lost its drop (measured).
        m_catcher->withdraw();
        return;
    }
    // The drop leaves the pointer where it is, with no crossing to tell.
    const auto reply = queryPointerReply();
    if (reply && isOwnWindow(reply->child))
        spreadCatcher();
}

bool XWaylandScreenService::isOwnWindow(quint32 window) const
{
    return m_sentinel->contains(window) || m_watched.contains(window);
}

void XWaylandScreenService::handleCaught()
{
    if (!m_catcher->isSpread())
        return; // what was queued before it went
    // Where it was seen is current; from there it went on to another
    // program's window, which may be one that XWayland cannot follow.
    m_position = queryPointer();
    m_leftAt = m_position;
    m_queryNow = false;
    m_catcher->withdraw();
}

void XWaylandScreenService::followScreens()
{
    const QList<QRectF> screens = m_x11.screens();
    if (screens == m_screens)
        return;
    m_screens = screens;
    const qreal ratio = devicePixelRatio();
    QList<QRect> devicePixels;
    for (const QRectF &screen : screens)
        devicePixels.append(QRectF(screen.topLeft() * ratio, screen.size() * ratio).toRect());
    m_sentinel->setScreens(devicePixels);
    m_deviceScreens = devicePixels;
    if (m_catcher->isSpread())
        m_catcher->spread(m_deviceScreens);
    m_raiseNow = true; // new sentinels are made on top of everything
}

void XWaylandScreenService::watchFloatingWindows(const QList<quint32> &windows)
{
    const quint32 crossings = XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW;
    bool added = false;
    for (quint32 window : windows) {
        if (m_watched.contains(window))
            continue;
        // Event masks are per client: this does not change what Qt hears.
        xcb_change_window_attributes(m_connection.get(), window, XCB_CW_EVENT_MASK, &crossings);
        m_watched.insert(window);
        added = true;
    }
    if (added)
        xcb_flush(m_connection.get());
}

QPointF XWaylandScreenService::queryPointer()
{
    const auto reply = queryPointerReply();
    if (!reply)
        return m_position;
    const qreal ratio = devicePixelRatio();
    return QPointF(reply->root_x / ratio, reply->root_y / ratio);
}

XcbReply<xcb_query_pointer_reply_t> XWaylandScreenService::queryPointerReply() const
{
    xcb_connection_t *connection = m_connection.get();
    return xcbReply(xcb_query_pointer_reply(
        connection, xcb_query_pointer(connection, m_connection.rootWindow(0)), nullptr));
}

qreal XWaylandScreenService::devicePixelRatio()
{
    // As the X11 service counts: X reports device pixels.
    const QScreen *primary = QGuiApplication::primaryScreen();
    return primary ? primary->devicePixelRatio() : 1.0;
}
