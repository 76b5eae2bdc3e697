#include "platform/xwayland/EdgeSentinel.h"

#include "platform/ScreenEdges.h"

#include <xcb/xcb.h>

namespace {

constexpr char windowInstance[] = "zorv-edge";
constexpr quint32 pointerEvents =
    XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_POINTER_MOTION;

} // namespace

EdgeSentinel::EdgeSentinel(xcb_connection_t *connection)
    : m_connection(connection)
    , m_maker(connection)
{
}

EdgeSentinel::~EdgeSentinel()
{
    for (quint32 window : std::as_const(m_windows))
        xcb_destroy_window(m_connection, window);
    xcb_flush(m_connection);
}

QList<QRect> EdgeSentinel::edgeFrames(const QList<QRect> &screens)
{
    QList<QRectF> frames;
    for (const QRect &screen : screens)
        frames.append(QRectF(screen));
    QList<QRect> edges;
    for (const QRectF &screen : std::as_const(frames)) {
        for (const ScreenEdges::Span &span : ScreenEdges::openSpans(screen, frames))
            edges.append(QRectF(screen.left(), span.top, width, span.bottom - span.top).toRect());
    }
    return edges;
}

void EdgeSentinel::setScreens(const QList<QRect> &screens)
{
    const QList<QRect> frames = edgeFrames(screens);
    while (m_windows.size() > frames.size())
        xcb_destroy_window(m_connection, m_windows.takeLast());
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const QRect &frame = frames.at(i);
        if (i == m_windows.size()) {
            m_windows.append(m_maker.create(frame, windowInstance, pointerEvents));
            continue;
        }
        const quint32 values[] = {quint32(frame.x()), quint32(frame.y()), quint32(frame.width()),
                                  quint32(frame.height())};
        xcb_configure_window(m_connection, m_windows.at(i),
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                                 | XCB_CONFIG_WINDOW_HEIGHT,
                             values);
    }
    xcb_flush(m_connection);
}
