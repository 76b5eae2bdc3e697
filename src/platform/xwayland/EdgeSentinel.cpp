#include "platform/xwayland/EdgeSentinel.h"

#include "platform/ScreenEdges.h"

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char windowClass[] = "zorv-edge\0zorv"; // instance and class
constexpr quint32 pointerEvents =
    XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_POINTER_MOTION;

// WM_HINTS as nine CARD32 (ICCCM 4.1.2.4): flags, then input. Only the
// input field is given, and it says "never give me the keyboard".
constexpr quint32 inputHintFlag = 1;
constexpr std::array<quint32, 9> noInputHints = {inputHintFlag, 0, 0, 0, 0, 0, 0, 0, 0};

xcb_intern_atom_cookie_t internAtom(xcb_connection_t *connection, const char *name)
{
    return xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name);
}

quint32 atomFrom(xcb_connection_t *connection, xcb_intern_atom_cookie_t cookie)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const quint32 atom = reply ? reply->atom : quint32(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

EdgeSentinel::EdgeSentinel(xcb_connection_t *connection)
    : m_connection(connection)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_root = screen->root;
    m_visual = screen->root_visual;
    m_depth = screen->root_depth;
    // Both requests first, so their answers come back in one round trip.
    const xcb_intern_atom_cookie_t typeCookie = internAtom(m_connection, "_NET_WM_WINDOW_TYPE");
    const xcb_intern_atom_cookie_t utilityCookie = internAtom(m_connection, "_NET_WM_WINDOW_TYPE_UTILITY");
    m_windowTypeAtom = atomFrom(m_connection, typeCookie);
    m_utilityTypeAtom = atomFrom(m_connection, utilityCookie);
    chooseVisual();
}

EdgeSentinel::~EdgeSentinel()
{
    for (quint32 window : std::as_const(m_windows))
        xcb_destroy_window(m_connection, window);
    if (m_colormap)
        xcb_free_colormap(m_connection, m_colormap);
    xcb_flush(m_connection);
}

void EdgeSentinel::chooseVisual()
{
    // An input-only window would be simpler, but XWayland gives it no
    // surface, so the compositor never sends the pointer to it (measured).
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths)) {
        if (depths.data->depth != 32)
            continue;
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
            if (visuals.data->_class != XCB_VISUAL_CLASS_TRUE_COLOR)
                continue;
            m_visual = visuals.data->visual_id;
            m_depth = 32;
            m_colormap = xcb_generate_id(m_connection);
            xcb_create_colormap(m_connection, XCB_COLORMAP_ALLOC_NONE, m_colormap, m_root, m_visual);
            return;
        }
    }
}

quint32 EdgeSentinel::createWindow(const QRect &frame)
{
    const quint32 window = xcb_generate_id(m_connection);
    // In the order of their mask bits. Pixel 0 is transparent black.
    const quint32 values[] = {0, 0, 1, pointerEvents, m_colormap};
    quint32 mask = XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK;
    if (m_colormap)
        mask |= XCB_CW_COLORMAP;
    xcb_create_window(m_connection, m_depth, window, m_root, qint16(frame.x()), qint16(frame.y()),
                      quint16(frame.width()), quint16(frame.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, m_visual,
                      mask, values);
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof windowClass, windowClass);
    markNeverFocused(window);
    xcb_map_window(m_connection, window);
    return window;
}

void EdgeSentinel::markNeverFocused(quint32 window)
{
    // wlroots compositors (sway) hand the keyboard to every override-redirect
    // window that maps without a window type, or with one of a few types such
    // as DOCK, whatever its WM_HINTS say: the edge would take the keyboard
    // from the user's application and keep it. A utility window, like the
    // panel, is left alone there (measured on sway 1.7). The input hint is
    // for the window managers and compositors that go by the ICCCM instead.
    if (m_windowTypeAtom != XCB_ATOM_NONE && m_utilityTypeAtom != XCB_ATOM_NONE) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_windowTypeAtom, XCB_ATOM_ATOM, 32, 1,
                            &m_utilityTypeAtom);
    }
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        quint32(noInputHints.size()), noInputHints.data());
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
            m_windows.append(createWindow(frame));
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
