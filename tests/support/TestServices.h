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

// Runs each task and its continuation at once, on the test's thread, or,
// while `deferred` is set, only when the test calls runPending().
class ImmediateTaskRunner final : public TaskRunner
{
public:
    void run(QObject *context, Task task) override
    {
        auto work = [guard = QPointer<QObject>(context), task = std::move(task)] {
            Continuation done = task();
            if (guard && done)
                done();
        };
        if (deferred)
            pending.append(work);
        else
            work();
    }
    void runPending()
    {
        for (const auto &work : std::exchange(pending, {}))
            work();
    }

    bool deferred = false;
    QList<std::function<void()>> pending;
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
