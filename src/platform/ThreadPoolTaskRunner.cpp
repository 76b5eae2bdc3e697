#include "platform/ThreadPoolTaskRunner.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

void ThreadPoolTaskRunner::run(QObject *context, Task task)
{
    QThreadPool::globalInstance()->start([guard = QPointer<QObject>(context), task = std::move(task)] {
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
