#pragma once

#include "platform/Scheduler.h"

#include <QElapsedTimer>

// Scheduler on the Qt event loop of the thread that uses it. Timers are
// precise QTimers, which keep firing inside the nested loops of menus and drags.
class QtScheduler final : public Scheduler
{
public:
    QtScheduler();

    double now() const override;
    std::unique_ptr<Timer> scheduleRepeating(double interval, QObject *context, Callback callback) override;
    std::unique_ptr<Timer> scheduleOneShot(double delay, QObject *context, Callback callback) override;
    void runAfter(double delay, QObject *context, Callback callback) override;

private:
    std::unique_ptr<Timer> makeTimer(double interval, bool repeats, QObject *context, Callback callback);

    QElapsedTimer m_clock;
};
