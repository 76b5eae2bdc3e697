#include "platform/x11/X11ScreenService.h"

#include "platform/Scheduler.h"
#include "platform/x11/XInput2.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>

X11ScreenService::X11ScreenService(const Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    // Raw motion is read at each poll, not as it arrives: a fast mouse
    // would otherwise wake the program a thousand times a second.
    m_hasRawMotion = selectRawMotion();
    if (m_hasRawMotion) {
        m_motionNotifier =
            std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
        m_motionNotifier->setEnabled(false);
        connect(m_motionNotifier.get(), &QSocketNotifier::activated, this, [this] {
            drainEvents();
            fireWake();
        });
    }
    watchScreens();
}

void X11ScreenService::watchScreens()
{
    auto watch = [this](QScreen *screen) {
        connect(screen, &QScreen::geometryChanged, this, &X11ScreenService::fireWake);
    };
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen *screen) {
        watch(screen);
        fireWake();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &X11ScreenService::fireWake);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &X11ScreenService::fireWake);
}

bool X11ScreenService::wakeOnChange(std::function<void()> wake)
{
    if (!m_motionNotifier)
        return false;
    m_wake = std::move(wake);
    // Motion queued since the last poll counts as a change now.
    xcb_flush(m_connection);
    if (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        std::free(event);
        drainEvents();
        QMetaObject::invokeMethod(this, &X11ScreenService::fireWake, Qt::QueuedConnection);
        return true;
    }
    m_motionNotifier->setEnabled(true);
    return true;
}

void X11ScreenService::fireWake()
{
    if (m_motionNotifier)
        m_motionNotifier->setEnabled(false);
    m_stale = true;
    if (std::function<void()> wake = std::exchange(m_wake, nullptr))
        wake();
}

X11ScreenService::~X11ScreenService()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11ScreenService::selectRawMotion()
{
    if (!XInput2::open(m_connection))
        return false;
    XInput2::selectRawEvents(m_connection, m_root, XCB_INPUT_XI_EVENT_MASK_RAW_MOTION);
    return true;
}

void X11ScreenService::drainEvents()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        // Every event this connection selected is pointer motion.
        m_stale = true;
        std::free(event);
    }
}

QPointF X11ScreenService::queryPointer()
{
    auto reply = xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
    if (!reply)
        return m_cached;
    // X reports device pixels; Qt's global coordinates are scaled by the
    // device pixel ratio when high-DPI scaling is on.
    const QScreen *primary = QGuiApplication::primaryScreen();
    const qreal ratio = primary ? primary->devicePixelRatio() : 1.0;
    const QPointF position(reply->root_x / ratio, reply->root_y / ratio);
    std::free(reply);
    return position;
}

QPointF X11ScreenService::pointerPosition()
{
    if (!m_connection)
        return QCursor::pos();
    const double now = m_scheduler.now();
    if (m_hasRawMotion)
        drainEvents(); // motion since the last poll marks the position stale
    if (m_stale || !m_hasRawMotion || now - m_queriedAt >= maxCacheAge)
        return currentPointerPosition();
    return m_cached;
}

QPointF X11ScreenService::currentPointerPosition()
{
    if (!m_connection)
        return QCursor::pos();
    if (m_hasRawMotion)
        drainEvents(); // the query answers for every motion so far
    m_stale = false;
    m_queriedAt = m_scheduler.now();
    m_cached = queryPointer();
    return m_cached;
}

QList<QRectF> X11ScreenService::screens() const
{
    QList<QRectF> frames;
    for (const QScreen *screen : QGuiApplication::screens())
        frames.append(QRectF(screen->geometry()));
    return frames;
}

std::optional<QRectF> X11ScreenService::mainScreen() const
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return QRectF(screen->geometry());
    return std::nullopt;
}
