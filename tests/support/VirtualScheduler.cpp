#include "VirtualScheduler.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <cmath>

void VirtualAnimationDriver::setNow(qint64 milliseconds)
{
    m_nowMs = milliseconds;
    if (isRunning())
        advance();
}

void VirtualAnimationDriver::start()
{
    m_startedAtMs = m_nowMs;
    QAnimationDriver::start();
}

namespace {

class VirtualTimer final : public Timer
{
public:
    explicit VirtualTimer(std::shared_ptr<VirtualScheduler::Entry> entry)
        : m_entry(std::move(entry))
    {
    }
    ~VirtualTimer() override { invalidate(); }

    void invalidate() override { m_entry->valid = false; }
    bool isValid() const override { return m_entry->valid; }
    void setFireDate(double date) override
    {
        if (m_entry->valid)
            m_entry->fireAt = date;
    }

private:
    std::shared_ptr<VirtualScheduler::Entry> m_entry;
};

} // namespace

VirtualScheduler::VirtualScheduler(double start)
    : m_now(start)
    , m_animationDriver(std::make_unique<VirtualAnimationDriver>())
{
    setNow(start);
    m_animationDriver->install();
}

VirtualScheduler::~VirtualScheduler()
{
    m_animationDriver->uninstall();
}

std::unique_ptr<Timer> VirtualScheduler::scheduleRepeating(double interval, QObject *context, Callback callback)
{
    return std::make_unique<VirtualTimer>(add(interval, true, context, std::move(callback)));
}

std::unique_ptr<Timer> VirtualScheduler::scheduleOneShot(double delay, QObject *context, Callback callback)
{
    return std::make_unique<VirtualTimer>(add(delay, false, context, std::move(callback)));
}

void VirtualScheduler::runAfter(double delay, QObject *context, Callback callback)
{
    add(delay, false, context, std::move(callback));
}

std::shared_ptr<VirtualScheduler::Entry> VirtualScheduler::add(double delay, bool repeats, QObject *context,
                                                               Callback callback)
{
    auto entry = std::make_shared<Entry>();
    entry->fireAt = m_now + std::max(0.0, delay);
    entry->interval = delay;
    entry->repeats = repeats;
    entry->guarded = context != nullptr;
    entry->context = context;
    entry->sequence = m_nextSequence++;
    entry->callback = std::move(callback);
    m_entries.push_back(entry);
    return entry;
}

std::shared_ptr<VirtualScheduler::Entry> VirtualScheduler::nextDueBy(double date) const
{
    std::shared_ptr<Entry> next;
    for (const auto &entry : m_entries) {
        if (!entry->valid || entry->fireAt > date + 1e-9)
            continue;
        if (!next || entry->fireAt < next->fireAt
            || (entry->fireAt == next->fireAt && entry->sequence < next->sequence))
            next = entry;
    }
    return next;
}

void VirtualScheduler::advance(double seconds)
{
    advanceTo(m_now + seconds);
}

void VirtualScheduler::advanceTo(double date)
{
    settle();
    for (;;) {
        std::shared_ptr<Entry> entry = nextDueBy(date);
        // Running animations advance in display frames, so that what they do
        // when they end happens at about the right time among the timers.
        if (m_animationDriver->isRunning()) {
            const double frame = m_now + animationFrame;
            if (frame < date && (!entry || frame < entry->fireAt)) {
                setNow(frame);
                settle();
                continue;
            }
        }
        if (!entry)
            break;
        setNow(std::max(m_now, entry->fireAt));
        if (entry->guarded && !entry->context) {
            entry->valid = false;
        } else {
            if (entry->repeats)
                entry->fireAt += std::max(entry->interval, 1e-6);
            else
                entry->valid = false;
            Callback callback = entry->callback; // the callback may drop its own timer
            callback();
        }
        settle();
    }
    setNow(std::max(m_now, date));
    settle();
}

void VirtualScheduler::setNow(double date)
{
    m_now = date;
    m_animationDriver->setNow(qint64(std::llround(m_now * 1000)));
}

void VirtualScheduler::settle()
{
    std::erase_if(m_entries, [](const auto &entry) { return !entry->valid; });
    // Qt starts animations through queued calls that queue further calls;
    // one pass delivers only what was posted before it began.
    for (int pass = 0; pass < settlePasses; ++pass)
        QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int VirtualScheduler::pendingCount() const
{
    return int(std::count_if(m_entries.begin(), m_entries.end(), [](const auto &e) { return e->valid; }));
}
