#pragma once

#include "platform/ScreenService.h"

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
    QList<QRectF> screens() const override { return screenFrames; }
    std::optional<QRectF> mainScreen() const override { return main; }

    QPointF pointer{640, 400};
    std::optional<QPointF> laggingPointer;
    bool pointerKnown = true;
    QList<QRectF> screenFrames{QRectF(0, 0, 1280, 800)};
    std::optional<QRectF> main = QRectF(0, 0, 1280, 800);
    int pointerReads = 0;
};
