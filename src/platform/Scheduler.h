#pragma once

#include <functional>
#include <memory>

class QObject;

// A pending main-thread timer. Destroying the handle invalidates the timer,
// so an owner that keeps its timers in optional fields cancels them simply
// by clearing the field.
class Timer
{
public:
    virtual ~Timer() = default;

    // After this the timer never fires again; calling it twice is harmless.
    virtual void invalidate() = 0;
    virtual bool isValid() const = 0;
    // Moves a pending one-shot timer to fire at `date` (a Scheduler::now() value).
    virtual void setFireDate(double date) = 0;
};

// The one source of time for the whole program: the clock, repeating and
// one-shot timers on the main thread, and delayed work. Production runs on
// QTimer; unit tests substitute a virtual clock that they advance explicitly.
class Scheduler
{
public:
    using Callback = std::function<void()>;

    virtual ~Scheduler() = default;

    // Seconds on a monotonic clock. Only differences and order are meaningful.
    virtual double now() const = 0;

    // Fires every `interval` seconds, the first time one interval from now.
    // Nothing fires once `context` is destroyed.
    virtual std::unique_ptr<Timer> scheduleRepeating(double interval, QObject *context, Callback callback) = 0;

    // Fires once, `delay` seconds from now.
    virtual std::unique_ptr<Timer> scheduleOneShot(double delay, QObject *context, Callback callback) = 0;

    // Runs `callback` once after `delay` seconds unless `context` is gone by
    // then. Use a one-shot timer instead when the work must be cancellable.
    virtual void runAfter(double delay, QObject *context, Callback callback) = 0;
};

// Converts seconds to the millisecond interval Qt wants, rounding to nearest.
int secondsToMilliseconds(double seconds);
