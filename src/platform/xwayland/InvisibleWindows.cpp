#include "platform/xwayland/InvisibleWindows.h"

#include "platform/x11/XcbReply.h"

#include <xcb/xcb.h>

#include <QByteArray>

#include <array>
#include <cstring>

namespace {

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
    const auto reply = xcbReply(xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : quint32(XCB_ATOM_NONE);
}

} // namespace

InvisibleWindows::InvisibleWindows(xcb_connection_t *connection)
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

InvisibleWindows::~InvisibleWindows()
{
    if (m_colormap)
        xcb_free_colormap(m_connection, m_colormap);
}

void InvisibleWindows::chooseVisual()
{
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

quint32 InvisibleWindows::create(const QRect &frame, const char *instance, quint32 eventMask)
{
    const quint32 window = xcb_generate_id(m_connection);
    // In the order of their mask bits. Pixel 0 is transparent black.
    const quint32 values[] = {0, 0, 1, eventMask, m_colormap};
    quint32 mask = XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK;
    if (m_colormap)
        mask |= XCB_CW_COLORMAP;
    xcb_create_window(m_connection, m_depth, window, m_root, qint16(frame.x()), qint16(frame.y()),
                      quint16(frame.width()), quint16(frame.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, m_visual,
                      mask, values);
    const QByteArray wmClass = QByteArray(instance) + '\0' + "zorv" + '\0'; // instance and class
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        quint32(wmClass.size()), wmClass.constData());
    markNeverFocused(window);
    xcb_map_window(m_connection, window);
    return window;
}

void InvisibleWindows::markNeverFocused(quint32 window)
{
    // wlroots compositors (sway) hand the keyboard to every override-redirect
    // window that maps without a window type, or with one of a few types such
    // as DOCK, whatever its WM_HINTS say: the window would take the keyboard
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
