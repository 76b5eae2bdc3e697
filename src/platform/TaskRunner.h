#pragma once

#include <functional>

class QObject;

// Work that must not run on the main thread, such as decoding images. Each
// task runs on a worker; the continuation it returns then runs on the main
// thread, unless `context` is gone by then. Tasks may run in parallel.
class TaskRunner
{
public:
    using Continuation = std::function<void()>;
    using Task = std::function<Continuation()>;

    virtual ~TaskRunner() = default;
    virtual void run(QObject *context, Task task) = 0;
};
