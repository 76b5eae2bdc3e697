#pragma once

#include "FakeDefaultsStore.h"
#include "FakePasteboard.h"
#include "FakeScreenService.h"
#include "VirtualScheduler.h"
#include "platform/NotificationCenter.h"
#include "platform/PlatformServices.h"

// One set of fake platform services on virtual time, for a test fixture.
struct TestServices
{
    VirtualScheduler scheduler;
    FakeDefaultsStore defaults;
    NotificationCenter notifications;
    FakePasteboard pasteboard;
    FakeScreenService screens;

    PlatformServices services() { return PlatformServices{scheduler, defaults, notifications, pasteboard, screens}; }
};
