#pragma once

#include "platform/ScreenService.h"

// Screens and a pointer that the test places by hand.
class FakeScreenService final : public ScreenService
{
public:
    QPointF pointerPosition() override
    {
        ++pointerReads;
        return pointer;
    }
    std::optional<QPointF> knownPointerPosition() override
    {
        const QPointF position = pointerPosition();
        return pointerKnown ? std::optional<QPointF>(position) : std::nullopt;
    }
    QList<QRectF> screens() const override { return screenFrames; }
    std::optional<QRectF> mainScreen() const override { return main; }

    QPointF pointer{640, 400};
    bool pointerKnown = true;
    QList<QRectF> screenFrames{QRectF(0, 0, 1280, 800)};
    std::optional<QRectF> main = QRectF(0, 0, 1280, 800);
    int pointerReads = 0;
};
