#pragma once

#include "FakeCompositorWatch.h"
#include "FakeDefaultsStore.h"
#include "FakeGlobalInput.h"
#include "FakePasteboard.h"
#include "FakeScreenService.h"
#include "VirtualScheduler.h"
#include "model/HotkeyStore.h"
#include "platform/NotificationCenter.h"
#include "platform/PlatformServices.h"
#include "platform/PrivateTempFolder.h"
#include "platform/TaskRunner.h"
#include "platform/ThumbnailCache.h"

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
    FakeGlobalInput globalInput;
    ImmediateTaskRunner tasks;
    QTemporaryDir cacheParent;
    ThumbnailCache thumbnails{cacheParent.filePath("thumbnails"), {tempFolder.path()}};
    HotkeyStore hotkeys{defaults, notifications};
    FakeCompositorWatch compositor;

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
        return PlatformServices{scheduler,  defaults,    notifications, pasteboard, screens,
                                tempFolder, globalInput, tasks,         thumbnails, compositor};
    }
};
