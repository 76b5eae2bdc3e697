#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class FolderEvents;
class Scheduler;
class Timer;

// Waits for a folder that does not exist yet, such as the Screenshots
// folder that GNOME creates at the first capture. It watches the deepest
// part of the path that exists and follows the path down as it is created;
// where inotify cannot watch, it looks once every `pollInterval` seconds.
// `onArrived` runs once, on this object's thread, when the folder exists.
class FolderArrival final : public QObject
{
    Q_OBJECT
public:
    FolderArrival(QString folder, Scheduler &scheduler, std::function<void()> onArrived, QObject *parent = nullptr);
    ~FolderArrival() override;

    void start();
    // Looks again now; the folder events and the poll call it.
    void check();

    const QString &folder() const { return m_folder; }
    bool hasArrived() const { return m_arrived; }

    static constexpr double pollInterval = 1.0;

private:
    QString m_folder;
    Scheduler &m_scheduler;
    std::function<void()> m_onArrived;
    FolderEvents *m_events = nullptr; // a child; deleted later once arrived
    std::unique_ptr<Timer> m_poll;
    QString m_watched;
    bool m_arrived = false;
};
