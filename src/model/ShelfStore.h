#pragma once

#include "model/ShelfItem.h"

#include <QList>
#include <QObject>

#include <memory>
#include <optional>

class DefaultsStore;
class PrivateTempFolder;
class Scheduler;
class Shelf;
class TaskRunner;
class ThumbnailCache;
class Timer;

// Keeps the shelf's slots in the defaults store: written after every change
// of them, and read back once at launch. The history and the clipboard slot
// are never stored. A write stores a large text whole, so it runs on a
// worker, one at a time; a change made meanwhile is written after it, and
// one still waiting when the application quits is written then. Each write
// stores the newest entries when it starts, so none stores an older shelf
// over a newer one, however the workers are scheduled.
class ShelfStore final : public QObject
{
    Q_OBJECT
public:
    ShelfStore(Shelf &shelf, DefaultsStore &defaults, Scheduler &scheduler, TaskRunner &tasks,
               const ThumbnailCache &thumbnails, PrivateTempFolder &tempFolder, QObject *parent = nullptr);
    ~ShelfStore() override;

    // Adds the stored items below whatever the shelf holds, oldest first,
    // as they are read off the main thread; says restoreFinished() at the end.
    void restore();
    bool isRestoring() const { return m_isRestoring; }

    // After a write of the shelf failed, the next try comes with the next
    // change or after this many seconds, whichever is first.
    static constexpr double persistRetryDelay = 30.0;

Q_SIGNALS:
    void restoreFinished();

private:
    void persist();
    void writeFinished(bool written);
    void writeBeforeQuit();
    struct NewestEntries;
    // The stored entries as they are read, in stored order: the outer
    // optional says whether an entry has been read, the inner one whether it
    // gave an item.
    struct RestoreProgress
    {
        QList<std::optional<std::optional<ShelfItemKind>>> read;
        qsizetype next = 0; // the oldest entry not added yet
    };
    void addRestoredItems(RestoreProgress &progress);
    void finishRestore();
    void removeUnnamedPrivateFiles();

    Shelf &m_shelf;
    DefaultsStore &m_defaults;
    Scheduler &m_scheduler;
    TaskRunner &m_tasks;
    const ThumbnailCache &m_thumbnails;
    PrivateTempFolder &m_tempFolder;
    bool m_isRestoring = false;
    bool m_persistAfterRestore = false;
    bool m_writing = false;
    bool m_writeAgain = false; // the shelf changed while a write ran
    std::shared_ptr<NewestEntries> m_newest; // shared with the writes on workers
    std::unique_ptr<Timer> m_persistRetryTimer;
};
