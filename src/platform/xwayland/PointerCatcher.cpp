#include "platform/xwayland/PointerCatcher.h"

#include <xcb/xcb.h>

namespace {

constexpr char windowInstance[] = "zorv-catcher";
constexpr quint32 pointerEvents = XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_POINTER_MOTION;

} // namespace

PointerCatcher::PointerCatcher(xcb_connection_t *connection)
    : m_connection(connection)
    , m_maker(connection)
{
    m_window = m_maker.create(withdrawnFrame, windowInstance, pointerEvents);
    xcb_flush(m_connection);
}

PointerCatcher::~PointerCatcher()
{
    xcb_destroy_window(m_connection, m_window);
    xcb_flush(m_connection);
}

QRect PointerCatcher::spreadFrame(const QList<QRect> &screens)
{
    QRect box;
    for (const QRect &screen : screens)
        box |= screen;
    return box.isEmpty() ? QRect() : box.adjusted(1, 0, 0, 0);
}

void PointerCatcher::spread(const QList<QRect> &screens)
{
    const QRect frame = spreadFrame(screens);
    if (frame.isEmpty() || (m_spread && frame == m_frame))
        return;
    place(frame);
    m_frame = frame;
    m_spread = true;
}

void PointerCatcher::withdraw()
{
    if (!m_spread)
        return;
    place(withdrawnFrame);
    m_spread = false;
}

void PointerCatcher::place(const QRect &frame)
{
    const quint32 values[] = {quint32(frame.x()), quint32(frame.y()), quint32(frame.width()),
                              quint32(frame.height())};
    xcb_configure_window(m_connection, m_window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                             | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(m_connection);
}
