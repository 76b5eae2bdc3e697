#pragma once

#include "FakeDefaultsStore.h"
#include "FakeGlobalInput.h"
#include "FakePasteboard.h"
#include "FakeScreenService.h"
#include "VirtualScheduler.h"
#include "hotkeys/HotkeyStore.h"
#include "platform/NotificationCenter.h"
#include "platform/PlatformServices.h"
#include "platform/PrivateTempFolder.h"

#include <QTemporaryDir>

// One set of fake platform services on virtual time, for a test fixture.
struct TestServices
{
    VirtualScheduler scheduler;
    FakeDefaultsStore defaults;
    NotificationCenter notifications;
    FakePasteboard pasteboard;
    FakeScreenService screens;
    QTemporaryDir tempParent;
    PrivateTempFolder tempFolder{tempParent.path()};
    FakeGlobalInput globalInput;
    HotkeyStore hotkeys{defaults, notifications};

    // Two quick taps of the default leader, Alt + Super.
    void doubleTapLeader()
    {
        for (int tap = 0; tap < 2; ++tap) {
            globalInput.modifiers = ModifierBits::option | ModifierBits::command;
            scheduler.advance(0.1);
            globalInput.modifiers = 0;
            scheduler.advance(0.1);
        }
    }

    PlatformServices services()
    {
        return PlatformServices{scheduler, defaults, notifications, pasteboard, screens, tempFolder, globalInput};
    }
};
