#include "platform/ThreadPoolTaskRunner.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

#include <sys/resource.h>
#include <unistd.h>

ThreadPoolTaskRunner::ThreadPoolTaskRunner()
    : m_pool(std::make_unique<QThreadPool>())
{
}

ThreadPoolTaskRunner::~ThreadPoolTaskRunner()
{
    waitForDone();
}

void ThreadPoolTaskRunner::waitForDone()
{
    m_pool->clear();
    m_pool->waitForDone();
}

void ThreadPoolTaskRunner::run(QObject *context, Task task)
{
    m_pool->start([guard = QPointer<QObject>(context), task = std::move(task)] {
        // Background work yields to the main thread and the X server: a
        // launch that decodes five 4K screenshots must not delay the panel.
        ::setpriority(PRIO_PROCESS, pid_t(::gettid()), backgroundNiceness);
        Continuation done = task();
        // The guard is only read on the main thread, where its object lives.
        QMetaObject::invokeMethod(
            qApp,
            [guard, done = std::move(done)] {
                if (guard && done)
                    done();
            },
            Qt::QueuedConnection);
    });
}
