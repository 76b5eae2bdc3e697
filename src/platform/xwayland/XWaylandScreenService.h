#pragma once

#include "platform/ScreenService.h"
#include "platform/x11/XcbConnection.h"

#include <QObject>
#include <QSet>

#include <functional>
#include <memory>

class EdgeSentinel;
class PointerCatcher;
class QSocketNotifier;
class XWaylandWindowStack;

// Screens and the pointer under XWayland. The X11 service answers as on
// any X server, corrected for what XWayland does not report: over a native
// Wayland window the position it reports stays where the pointer last was
// over an X11 window. So the open left screen edges carry a sentinel whose
// crossings bring the position back, a pointer that leaves Zorv's floating
// windows (or the sentinel) counts as unknown until it is seen on an X11
// window again, and those windows are kept above the windows that the
// compositor raises. Where the compositor does not report the pointer
// leaving an X11 window, a catcher spread beneath Zorv's windows while the
// pointer is over them reports it instead. Everything is read on a private
// connection at each poll; while the poll sleeps, any event on that
// connection (a crossing, a motion along the sentinel, another window
// restacked) wakes it, and while the catcher is out, its events are read
// as they come.
class XWaylandScreenService final : public QObject, public ScreenService
{
    Q_OBJECT
public:
    explicit XWaylandScreenService(ScreenService &x11, QObject *parent = nullptr);
    ~XWaylandScreenService() override;

    // The floating windows (X ids) to keep on top, bottom first; read at
    // every poll, since some are made late.
    void setFloatingWindows(std::function<QList<quint32>()> windows);

    QPointF pointerPosition() override;
    QPointF currentPointerPosition() override;
    bool isPointerKnown() const override { return !m_leftAt; }
    QList<QRectF> screens() const override { return m_x11.screens(); }
    std::optional<QRectF> mainScreen() const override { return m_x11.mainScreen(); }
    bool wakeOnChange(std::function<void()> wake) override;
    void setDragging(bool dragging) override;

    const EdgeSentinel *sentinel() const { return m_sentinel.get(); }

private:
    void update(bool current);
    int drainEvents(); // how many events it handled
    void handleCrossing(const void *event); // an xcb_enter_notify_event_t
    // The pointer was seen on the catcher: it has left Zorv's windows.
    void handleCaught();
    // The pointer came onto one of Zorv's windows, or is on one after a drag.
    void spreadCatcher();
    bool isOwnWindow(quint32 window) const;
    void followScreens();
    void watchFloatingWindows(const QList<quint32> &windows);
    QPointF queryPointer();
    XcbReply<xcb_query_pointer_reply_t> queryPointerReply() const; // null when the server did not answer
    static qreal devicePixelRatio();
    void handleReadable();
    void fireWake();

    ScreenService &m_x11;
    XcbConnection m_connection;
    // These three draw on the connection: declared after it, they go first.
    std::unique_ptr<PointerCatcher> m_catcher;
    std::unique_ptr<EdgeSentinel> m_sentinel;
    std::unique_ptr<XWaylandWindowStack> m_stack;
    std::function<QList<quint32>()> m_floatingWindows;
    QSet<quint32> m_watched; // floating windows whose crossings this connection hears
    QList<QRectF> m_screens; // the ones the sentinel follows
    QList<QRect> m_deviceScreens; // the same in X pixels
    QPointF m_position; // the newest position learned
    QPointF m_lastX11; // the X11 service's last answer
    std::optional<QPointF> m_leftAt; // set while the pointer is elsewhere: where it left
    bool m_queryNow = false;
    bool m_raiseNow = false;
    bool m_dragging = false;
    std::unique_ptr<QSocketNotifier> m_notifier; // enabled while a poll sleeps or the catcher is out
    std::shared_ptr<std::function<void()>> m_wake; // shared with the X11 service's wake
};
