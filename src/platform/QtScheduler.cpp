#include "platform/QtScheduler.h"

#include <QPointer>
#include <QTimer>

namespace {

class QtTimer final : public Timer
{
public:
    QtTimer(const QtScheduler &scheduler, double interval, bool repeats, QObject *context,
            Scheduler::Callback callback)
        : m_scheduler(scheduler)
        , m_timer(new QTimer(context)) // dies with its context, so it cannot outlive its target
    {
        m_timer->setTimerType(Qt::PreciseTimer);
        m_timer->setSingleShot(!repeats);
        m_timer->setInterval(secondsToMilliseconds(interval));
        QObject::connect(m_timer, &QTimer::timeout, m_timer, std::move(callback));
        m_timer->start();
    }

    ~QtTimer() override { delete m_timer.data(); }

    void invalidate() override
    {
        if (m_timer)
            m_timer->stop();
    }

    bool isValid() const override { return m_timer && m_timer->isActive(); }

    void setFireDate(double date) override
    {
        if (isValid())
            m_timer->start(secondsToMilliseconds(date - m_scheduler.now()));
    }

private:
    const QtScheduler &m_scheduler;
    QPointer<QTimer> m_timer;
};

} // namespace

QtScheduler::QtScheduler()
{
    m_clock.start();
}

double QtScheduler::now() const
{
    return double(m_clock.nsecsElapsed()) / 1e9;
}

std::unique_ptr<Timer> QtScheduler::scheduleRepeating(double interval, QObject *context, Callback callback)
{
    return makeTimer(interval, true, context, std::move(callback));
}

std::unique_ptr<Timer> QtScheduler::scheduleOneShot(double delay, QObject *context, Callback callback)
{
    return makeTimer(delay, false, context, std::move(callback));
}

std::unique_ptr<Timer> QtScheduler::makeTimer(double interval, bool repeats, QObject *context, Callback callback)
{
    return std::make_unique<QtTimer>(*this, interval, repeats, context, std::move(callback));
}

void QtScheduler::runAfter(double delay, QObject *context, Callback callback)
{
    if (context)
        QTimer::singleShot(secondsToMilliseconds(delay), Qt::PreciseTimer, context, std::move(callback));
    else
        QTimer::singleShot(secondsToMilliseconds(delay), Qt::PreciseTimer, std::move(callback));
}
