#pragma once

#include "platform/TaskRunner.h"

// Tasks on Qt's global thread pool, one thread per core.
class ThreadPoolTaskRunner final : public TaskRunner
{
public:
    void run(QObject *context, Task task) override;
};
