#pragma once

#include <QRect>

struct xcb_connection_t;

// Makes the invisible X11 windows that Zorv puts under the pointer to learn
// where it is under XWayland: override-redirect, fully transparent where
// the server offers an alpha visual, drawing nothing, and never taking the
// keyboard. An input-only window would be simpler, but XWayland gives it
// no surface, so the compositor never sends the pointer to it (measured).
class InvisibleWindows final
{
public:
    // Uses the connection, which must outlive it.
    explicit InvisibleWindows(xcb_connection_t *connection);
    ~InvisibleWindows();
    InvisibleWindows(const InvisibleWindows &) = delete;
    InvisibleWindows &operator=(const InvisibleWindows &) = delete;

    // A mapped window with this frame (X pixels), WM_CLASS instance
    // `instance` and class "zorv", reporting `eventMask` to this connection.
    quint32 create(const QRect &frame, const char *instance, quint32 eventMask);
    quint32 root() const { return m_root; }

private:
    void chooseVisual();
    // Types the window so that no desktop gives it the keyboard.
    void markNeverFocused(quint32 window);

    xcb_connection_t *m_connection;
    quint32 m_root = 0;
    quint32 m_visual = 0;
    quint8 m_depth = 0;
    quint32 m_colormap = 0; // only with an alpha visual
    quint32 m_windowTypeAtom = 0;
    quint32 m_utilityTypeAtom = 0;
};
