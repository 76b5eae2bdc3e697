#pragma once

#include "model/ShelfItem.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class Pasteboard;
struct PasteboardContent;
class PrivateTempFolder;
class Scheduler;
class TaskRunner;
class Timer;

// Watches the clipboard and turns each new content into a shelf item kind: an
// image becomes a PNG in the private temporary folder, text stays text.
// Content a password manager marked as secret is never taken. Reading is
// asynchronous: a program that owns the clipboard and never answers delays
// only its own item, never the panel. Where the pasteboard reports changes,
// the check runs once, 0.4 s after a change, instead of every 0.4 s.
class ClipboardWatcher final : public QObject
{
    Q_OBJECT
public:
    using NewItemCallback = std::function<void(const ShelfItemKind &)>;
    using TakeCallback = std::function<void(std::optional<ShelfItemKind>)>;

    // An image's PNG is written into the private folder by `tasks`, off the
    // main thread: for a 4K image the write alone took a frame's time.
    ClipboardWatcher(Scheduler &scheduler, Pasteboard &pasteboard, PrivateTempFolder &tempFolder, TaskRunner &tasks,
                     NewItemCallback onNewItem, QObject *parent = nullptr);
    ~ClipboardWatcher() override;

    void start();
    void stop();

    // Reads the clipboard's content now, marked as seen so the poll skips
    // it; `done` gets the item, or nothing, on the main thread.
    void takeCurrentItem(TakeCallback done);

    static constexpr double pollInterval = 0.4;

private:
    void check();
    void scheduleCheck();
    void read(TakeCallback done);
    std::optional<ShelfItemKind> textItem(const PasteboardContent &content) const;

    Scheduler &m_scheduler;
    Pasteboard &m_pasteboard;
    PrivateTempFolder &m_tempFolder;
    TaskRunner &m_tasks;
    NewItemCallback m_onNewItem;
    std::unique_ptr<Timer> m_timer; // repeating, or one check after a change
    qint64 m_lastChangeCount;
    quint64 m_pollReads = 0; // a read reports only if no stop came after it
    bool m_pollReadUnderWay = false;
    bool m_started = false;
    bool m_toldOfChanges = false; // the pasteboard reports changes: no steady poll
};
