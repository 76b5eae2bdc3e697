#pragma once

#include "platform/CompositorWatch.h"

// A compositor that the test starts and stops.
class FakeCompositorWatch final : public CompositorWatch
{
public:
    bool isCompositing() const override { return compositing; }
    void setCompositing(bool running) { Q_EMIT compositingChanged(compositing = running); }

    bool compositing = false;
};
