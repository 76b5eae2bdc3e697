#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

#include <optional>

// Where the pointer is and which screens exist, in Qt's global coordinates
// (y grows downward). Read on every panel poll, so implementations keep it cheap.
class ScreenService
{
public:
    virtual ~ScreenService() = default;

    virtual QPointF pointerPosition() = 0;
    // The pointer, or nothing while it is over a window whose position this
    // display does not report (under XWayland: a native Wayland window),
    // where pointerPosition() gives the last position it knew.
    virtual std::optional<QPointF> knownPointerPosition() { return pointerPosition(); }
    // Screen frames in the system's order.
    virtual QList<QRectF> screens() const = 0;
    // The primary screen, if the system has one.
    virtual std::optional<QRectF> mainScreen() const = 0;
};
