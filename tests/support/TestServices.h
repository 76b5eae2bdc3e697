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

    PlatformServices services()
    {
        return PlatformServices{scheduler, defaults, notifications, pasteboard, screens, tempFolder, globalInput};
    }
};
