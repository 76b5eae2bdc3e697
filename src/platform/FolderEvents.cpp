#include "platform/FolderEvents.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <climits>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr uint32_t entryMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr uint32_t completionMask = IN_CLOSE_WRITE | IN_MOVED_TO;
constexpr uint32_t lossMask = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_Q_OVERFLOW | IN_UNMOUNT;

} // namespace

FolderEvents::FolderEvents(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
    , m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &FolderEvents::readPending);
}

FolderEvents::~FolderEvents()
{
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FolderEvents::watch(const QString &folder)
{
    unwatch();
    if (m_fd < 0)
        return false;
    m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
                                  entryMask | completionMask | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
    return m_watch >= 0;
}

void FolderEvents::unwatch()
{
    if (m_watch >= 0)
        ::inotify_rm_watch(m_fd, m_watch);
    m_watch = -1;
}

void FolderEvents::readPending()
{
    if (m_fd < 0)
        return;
    alignas(struct inotify_event) char buffer[16 * (sizeof(struct inotify_event) + NAME_MAX + 1)];
    QList<Event> events;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length <= 0)
            break; // EAGAIN: nothing more queued
        for (ssize_t offset = 0; offset < length;) {
            const auto *raw = reinterpret_cast<const struct inotify_event *>(buffer + offset);
            offset += ssize_t(sizeof(struct inotify_event) + raw->len);
            // Events of a watch replaced since they were queued say nothing now.
            if (raw->wd != m_watch && !(raw->mask & IN_Q_OVERFLOW))
                continue;
            Event event;
            if (raw->len > 0)
                event.name = QFile::decodeName(raw->name);
            event.entriesChanged = raw->mask & entryMask;
            event.completed = raw->mask & completionMask;
            event.watchLost = raw->mask & lossMask;
            if (event.watchLost && !(raw->mask & IN_Q_OVERFLOW))
                m_watch = -1;
            events.append(event);
        }
    }
    if (!events.isEmpty() && m_handler)
        m_handler(events);
}
