#pragma once

#include "FakeDefaultsStore.h"
#include "FakePasteboard.h"
#include "FakeScreenService.h"
#include "VirtualScheduler.h"
#include "platform/NotificationCenter.h"
#include "platform/PlatformServices.h"
#include "platform/PrivateTempFolder.h"
#include "platform/TaskRunner.h"

#include <QPointer>
#include <QTemporaryDir>

// Runs each task and its continuation at once, on the test's thread.
class ImmediateTaskRunner final : public TaskRunner
{
public:
    void run(QObject *context, Task task) override
    {
        const QPointer<QObject> guard(context);
        Continuation done = task();
        if (guard && done)
            done();
    }
};

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
    ImmediateTaskRunner tasks;

    PlatformServices services()
    {
        return PlatformServices{scheduler, defaults, notifications, pasteboard, screens, tempFolder, tasks};
    }
};
