#pragma once

#include "platform/CompositorWatch.h"

// A compositor that the test starts and stops.
class FakeCompositorWatch final : public CompositorWatch
{
public:
    bool isCompositing() const override { return compositing; }

    void setCompositing(bool running)
    {
        if (running == compositing)
            return;
        compositing = running;
        Q_EMIT compositingChanged(running);
    }

    bool compositing = false;
};
