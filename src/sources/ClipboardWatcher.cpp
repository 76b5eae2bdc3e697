#include "sources/ClipboardWatcher.h"

#include "platform/Pasteboard.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Scheduler.h"
#include "platform/TaskRunner.h"

#include <QPointer>


ClipboardWatcher::ClipboardWatcher(Scheduler &scheduler, Pasteboard &pasteboard, PrivateTempFolder &tempFolder,
                                   TaskRunner &tasks,
                                   NewItemCallback onNewItem, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_pasteboard(pasteboard)
    , m_tempFolder(tempFolder)
    , m_tasks(tasks)
    , m_onNewItem(std::move(onNewItem))
    , m_lastChangeCount(pasteboard.changeCount()) // what is there at start is never reported
{
}

ClipboardWatcher::~ClipboardWatcher() = default;

void ClipboardWatcher::start()
{
    const QPointer<ClipboardWatcher> self(this);
    m_toldOfChanges = m_pasteboard.setChangeHandler([self] {
        if (self && self->m_started)
            self->scheduleCheck();
    });
    m_started = true;
    if (!m_toldOfChanges)
        m_timer = m_scheduler.scheduleRepeating(pollInterval, this, [this] { check(); });
}

void ClipboardWatcher::scheduleCheck()
{
    if (m_timer)
        return; // the next check comes soon and sees this change too
    m_timer = m_scheduler.scheduleOneShot(pollInterval, this, [this] {
        m_timer.reset();
        check();
    });
}

void ClipboardWatcher::stop()
{
    m_started = false;
    m_timer.reset();
    ++m_pollReads; // a read still under way reports nothing
    m_pollReadUnderWay = false;
}

void ClipboardWatcher::takeCurrentItem(TakeCallback done)
{
    m_lastChangeCount = m_pasteboard.changeCount();
    read(std::move(done));
}

void ClipboardWatcher::check()
{
    const qint64 count = m_pasteboard.changeCount();
    // One read at a time: an owner that keeps taking the clipboard and never
    // answers must not pile reads up. The change is looked at afterwards.
    if (count == m_lastChangeCount || m_pollReadUnderWay)
        return;
    m_lastChangeCount = count;
    m_pollReadUnderWay = true;
    const quint64 sequence = ++m_pollReads;
    read([this, sequence](std::optional<ShelfItemKind> kind) {
        if (sequence != m_pollReads)
            return; // stopped meanwhile
        m_pollReadUnderWay = false;
        // A change during the read was not checked; without a steady poll, check it now.
        if (m_toldOfChanges && m_pasteboard.changeCount() != m_lastChangeCount)
            scheduleCheck();
        if (kind && m_onNewItem)
            m_onNewItem(*kind);
    });
}

void ClipboardWatcher::read(TakeCallback done)
{
    m_pasteboard.readContent(this, [this, done = std::move(done)](const PasteboardContent &content) mutable {
        if (content.concealed)
            return done(std::nullopt);
        if (!content.hasImage())
            return done(textItem(content));
        PrivateTempFolder *folder = &m_tempFolder;
        m_tasks.run(this, [this, folder, content, done = std::move(done)]() mutable -> TaskRunner::Continuation {
            const QString path = folder->writePngData(content.png);
            // Held at once, so that nothing sweeps the new file away.
            std::shared_ptr<const PrivateFile> held = folder->hold(path);
            std::shared_ptr<const ScreenshotImage> image =
                ScreenshotImage::open(path, content.thumbnail, content.imageSize, "png");
            return [this, path, held, image, content, done = std::move(done)] {
                if (!image)
                    return done(textItem(content));
                Screenshot screenshot = Screenshot::make(QUrl::fromLocalFile(path), image, m_scheduler.now());
                screenshot.privateFile = held;
                done(ShelfItemKind(std::move(screenshot)));
            };
        });
    });
}

std::optional<ShelfItemKind> ClipboardWatcher::textItem(const PasteboardContent &content) const
{
    if (content.text && !content.text->trimmed().isEmpty())
        return ShelfItemKind(*content.text);
    return std::nullopt;
}
