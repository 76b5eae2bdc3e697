#pragma once

#include "platform/TaskRunner.h"

#include <memory>

class QThreadPool;

// Tasks on a thread pool of their own, one thread per core, at a lower
// scheduling priority than the main thread. Not Qt's global pool: Qt's
// raster painting waits on that one, and decoding there stalled the panel.
class ThreadPoolTaskRunner final : public TaskRunner
{
public:
    ThreadPoolTaskRunner();
    // Waits for the tasks that have started; those still queued never run.
    ~ThreadPoolTaskRunner() override;
    void run(QObject *context, Task task) override;
    // Drops the queued tasks and waits for the running ones.
    void waitForDone();

    static constexpr int backgroundNiceness = 10;

private:
    std::unique_ptr<QThreadPool> m_pool;
};
