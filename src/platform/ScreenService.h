#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <optional>

// Where the pointer is and which screens exist, in Qt's global coordinates
// (y grows downward). Read on every panel poll, so implementations keep it cheap.
class ScreenService
{
public:
    virtual ~ScreenService() = default;

    // The position for a poll: may lag a jump of the pointer by a moment.
    virtual QPointF pointerPosition() = 0;
    // The position as it is now, for a one-off decision such as a retract.
    virtual QPointF currentPointerPosition() = 0;
    // False while the pointer is over a window whose position this display
    // does not report (under XWayland: a native Wayland window); both
    // positions above are then only the last one it knew.
    virtual bool isPointerKnown() const { return true; }
    // Screen frames in the system's order.
    virtual QList<QRectF> screens() const = 0;
    // The primary screen, if the system has one.
    virtual std::optional<QRectF> mainScreen() const = 0;

    // The application drags something out: until the drop, the pointer is
    // the drag's, and a service that lays windows of its own under the
    // pointer keeps them out of the drop's way.
    virtual void setDragging(bool dragging) { (void)dragging; }

    // Calls `wake` once, on the main thread, at the next pointer motion or
    // change of the screens after this call, so that a caller can stop
    // polling meanwhile. False when this service cannot tell: keep polling.
    virtual bool wakeOnChange(std::function<void()> wake)
    {
        (void)wake;
        return false;
    }
};
