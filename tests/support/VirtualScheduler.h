#pragma once

#include "platform/Scheduler.h"

#include <QAnimationDriver>
#include <QPointer>

#include <memory>
#include <vector>

// Drives Qt animations from the virtual clock. elapsed() counts from the
// driver's own start(), as Qt expects; an absolute clock would make every
// animation jump to its end.
class VirtualAnimationDriver final : public QAnimationDriver
{
public:
    void setNow(qint64 milliseconds);
    qint64 elapsed() const override { return m_nowMs - m_startedAtMs; }

protected:
    void start() override;

private:
    qint64 m_nowMs = 0;
    qint64 m_startedAtMs = 0;
};

// A scheduler on virtual time. Nothing fires until the test advances the
// clock; timers then fire in time order, each seeing now() at its own fire
// date, and Qt animations, queued calls and deferred deletes run along.
class VirtualScheduler final : public Scheduler
{
public:
    explicit VirtualScheduler(double start = 1000.0);
    ~VirtualScheduler() override;

    double now() const override { return m_now; }
    std::unique_ptr<Timer> scheduleRepeating(double interval, QObject *context, Callback callback) override;
    std::unique_ptr<Timer> scheduleOneShot(double delay, QObject *context, Callback callback) override;
    void runAfter(double delay, QObject *context, Callback callback) override;

    void advance(double seconds);
    void advanceTo(double date);
    // Number of timers and delayed calls still waiting to fire.
    int pendingCount() const;

    struct Entry
    {
        double fireAt = 0;
        double interval = 0;
        bool repeats = false;
        bool valid = true;
        bool guarded = false; // had a context; fires only while it lives
        quint64 sequence = 0;
        QPointer<QObject> context;
        Callback callback;
    };

private:
    std::shared_ptr<Entry> add(double delay, bool repeats, QObject *context, Callback callback);
    std::shared_ptr<Entry> nextDueBy(double date) const;
    void settle();
    void setNow(double date);

    static constexpr double animationFrame = 1.0 / 60.0;
    static constexpr int settlePasses = 4;

    double m_now;
    quint64 m_nextSequence = 0;
    std::vector<std::shared_ptr<Entry>> m_entries;
    std::unique_ptr<VirtualAnimationDriver> m_animationDriver;
};
