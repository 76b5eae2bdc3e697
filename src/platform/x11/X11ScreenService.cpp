#include "platform/x11/X11ScreenService.h"

#include "platform/Scheduler.h"
#include "platform/x11/XInput2.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

X11ScreenService::X11ScreenService(const Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
{
    if (!m_connection.isValid())
        return;
    m_root = m_connection.rootWindow(0);
    // Raw motion is read at each poll, not as it arrives: a fast mouse
    // would otherwise wake the program a thousand times a second.
    m_hasRawMotion = selectRawMotion();
    if (m_hasRawMotion) {
        m_motionNotifier =
            std::make_unique<QSocketNotifier>(m_connection.fileDescriptor(), QSocketNotifier::Read);
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
    xcb_flush(m_connection.get());
    if (m_connection.pollEvent()) {
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

X11ScreenService::~X11ScreenService() = default;

bool X11ScreenService::selectRawMotion()
{
    if (!XInput2::open(m_connection.get()))
        return false;
    XInput2::selectRawEvents(m_connection.get(), m_root, XCB_INPUT_XI_EVENT_MASK_RAW_MOTION);
    return true;
}

void X11ScreenService::drainEvents()
{
    // Every event this connection selected is pointer motion.
    if (m_connection.drainEvents() > 0)
        m_stale = true;
}

QPointF X11ScreenService::queryPointer()
{
    xcb_connection_t *connection = m_connection.get();
    const auto reply = xcbReply(xcb_query_pointer_reply(connection, xcb_query_pointer(connection, m_root), nullptr));
    if (!reply)
        return m_cached;
    // X reports device pixels; Qt's global coordinates are scaled by the
    // device pixel ratio when high-DPI scaling is on.
    const QScreen *primary = QGuiApplication::primaryScreen();
    const qreal ratio = primary ? primary->devicePixelRatio() : 1.0;
    return QPointF(reply->root_x / ratio, reply->root_y / ratio);
}

QPointF X11ScreenService::pointerPosition()
{
    if (!m_connection.isValid())
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
    if (!m_connection.isValid())
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
