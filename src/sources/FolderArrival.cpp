#include "sources/FolderArrival.h"

#include "platform/FolderEvents.h"
#include "platform/Scheduler.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

FolderArrival::FolderArrival(QString folder, Scheduler &scheduler, std::function<void()> onArrived, QObject *parent)
    : QObject(parent)
    , m_folder(QDir::cleanPath(folder))
    , m_scheduler(scheduler)
    , m_onArrived(std::move(onArrived))
{
}

FolderArrival::~FolderArrival() = default;

void FolderArrival::start()
{
    const QPointer<FolderArrival> self(this);
    m_events = new FolderEvents(
        [self](const QList<FolderEvents::Event> &) {
            if (self)
                self->check();
        },
        this);
    check();
}

void FolderArrival::check()
{
    if (m_arrived)
        return;
    if (QFileInfo(m_folder).isDir()) {
        m_arrived = true;
        // This may run inside the events' own handler: they go once it returned.
        if (m_events) {
            m_events->unwatch();
            m_events->deleteLater();
            m_events = nullptr;
        }
        m_poll.reset();
        if (m_onArrived)
            m_onArrived();
        return;
    }
    // The deepest ancestor that exists is where the next part will appear.
    QString ancestor = m_folder;
    do {
        ancestor = QFileInfo(ancestor).path();
    } while (ancestor.size() > 1 && !QFileInfo(ancestor).isDir());
    if (ancestor != m_watched || !m_events->isWatching()) {
        m_watched = ancestor;
        if (m_events->watch(ancestor))
            m_poll.reset();
        else if (!m_poll)
            m_poll = m_scheduler.scheduleRepeating(pollInterval, this, [this] { check(); });
    }
    // The part may have appeared before the watch was in place.
    if (QFileInfo(m_folder).isDir())
        check();
}
