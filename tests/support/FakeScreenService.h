#pragma once

#include "platform/ScreenService.h"

#include <utility>

// Screens and a pointer that the test places by hand. A lagging position,
// when set, is what polls see while the pointer is already elsewhere.
class FakeScreenService final : public ScreenService
{
public:
    QPointF pointerPosition() override
    {
        ++pointerReads;
        return laggingPointer.value_or(pointer);
    }
    QPointF currentPointerPosition() override
    {
        ++pointerReads;
        return pointer;
    }
    bool isPointerKnown() const override { return pointerKnown; }
    void setDragging(bool isDragging) override { dragging = isDragging; }
    QList<QRectF> screens() const override { return screenFrames; }
    std::optional<QRectF> mainScreen() const override { return main; }

    // Off unless a test turns it on: then moving the pointer with movePointer()
    // wakes a sleeping poll, as raw motion does.
    bool wakeOnChange(std::function<void()> wake) override
    {
        if (canWake)
            pendingWake = std::move(wake);
        return canWake;
    }
    void movePointer(QPointF to)
    {
        pointer = to;
        if (auto wake = std::exchange(pendingWake, nullptr))
            wake();
    }

    bool canWake = false;
    std::function<void()> pendingWake;

    QPointF pointer{640, 400};
    std::optional<QPointF> laggingPointer;
    bool pointerKnown = true;
    bool dragging = false;
    QList<QRectF> screenFrames{QRectF(0, 0, 1280, 800)};
    std::optional<QRectF> main = QRectF(0, 0, 1280, 800);
    int pointerReads = 0;
};
