#pragma once

#include "platform/ScreenService.h"
#include "platform/x11/XcbConnection.h"

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;
class Scheduler;

// Screens from Qt (cached, no server traffic) and the pointer from a private
// X connection. XInput2 raw motion events mark the cached position stale, so
// a resting pointer costs no round trip at all; a position older than
// maxCacheAge is re-read anyway, because warps produce no raw motion. A
// current position always costs a round trip.
// While a caller sleeps, the first raw motion or screen change wakes it;
// the connection is watched only then, so a moving mouse wakes Zorv once,
// not at every event.
class X11ScreenService final : public QObject, public ScreenService
{
    Q_OBJECT
public:
    explicit X11ScreenService(const Scheduler &scheduler, QObject *parent = nullptr);
    ~X11ScreenService() override;

    QPointF pointerPosition() override;
    QPointF currentPointerPosition() override;
    QList<QRectF> screens() const override;
    std::optional<QRectF> mainScreen() const override;
    bool wakeOnChange(std::function<void()> wake) override;

    static constexpr double maxCacheAge = 0.25;

private:
    bool selectRawMotion();
    void drainEvents();
    void watchScreens();
    void fireWake();
    QPointF queryPointer();

    const Scheduler &m_scheduler;
    XcbConnection m_connection;
    unsigned int m_root = 0;
    bool m_hasRawMotion = false;
    bool m_stale = true;
    double m_queriedAt = 0;
    QPointF m_cached;
    std::unique_ptr<QSocketNotifier> m_motionNotifier;
    std::function<void()> m_wake;
};
