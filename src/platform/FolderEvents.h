#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;

// inotify on one folder, read through a socket notifier on the thread that
// owns this object. Unlike QFileSystemWatcher it says which entry changed
// and whether its writer has finished: a file closed after writing, or
// renamed into the folder, is complete.
class FolderEvents final : public QObject
{
    Q_OBJECT
public:
    struct Event
    {
        QString name;              // the entry's name; empty for the folder itself
        bool entriesChanged = false; // created, deleted or moved in or out
        bool completed = false;      // closed after writing, or renamed in
        bool watchLost = false;      // the folder went away or events were dropped
    };
    using Handler = std::function<void(const QList<Event> &events)>;

    // The handler runs inside this object's socket notification: to end the
    // watch from there, unwatch() and deleteLater(), never delete at once.
    explicit FolderEvents(Handler handler, QObject *parent = nullptr);
    ~FolderEvents() override;

    // Starts watching `folder`, replacing any earlier watch. False when
    // inotify cannot watch it (no such folder, out of watches).
    bool watch(const QString &folder);
    void unwatch();
    bool isWatching() const { return m_watch >= 0; }

    // Reads whatever the kernel has queued and hands it to the handler.
    void readPending();

private:
    Handler m_handler;
    int m_fd = -1;
    int m_watch = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
