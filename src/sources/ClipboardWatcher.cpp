#include "sources/ClipboardWatcher.h"

#include "platform/Pasteboard.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Scheduler.h"


ClipboardWatcher::ClipboardWatcher(Scheduler &scheduler, Pasteboard &pasteboard, PrivateTempFolder &tempFolder,
                                   NewItemCallback onNewItem, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_pasteboard(pasteboard)
    , m_tempFolder(tempFolder)
    , m_onNewItem(std::move(onNewItem))
    , m_lastChangeCount(pasteboard.changeCount()) // what is there at start is never reported
{
}

ClipboardWatcher::~ClipboardWatcher() = default;

void ClipboardWatcher::start()
{
    m_timer = m_scheduler.scheduleRepeating(pollInterval, this, [this] { check(); });
}

void ClipboardWatcher::stop()
{
    m_timer.reset();
}

std::optional<ShelfItemKind> ClipboardWatcher::takeCurrentItem()
{
    m_lastChangeCount = m_pasteboard.changeCount();
    return item();
}

void ClipboardWatcher::check()
{
    const qint64 count = m_pasteboard.changeCount();
    if (count == m_lastChangeCount)
        return;
    m_lastChangeCount = count;
    if (std::optional<ShelfItemKind> kind = item(); kind && m_onNewItem)
        m_onNewItem(*kind);
}

std::optional<ShelfItemKind> ClipboardWatcher::item()
{
    if (m_pasteboard.isConcealed())
        return std::nullopt;
    if (std::optional<QImage> image = m_pasteboard.image(); image && !image->isNull())
        return Screenshot::savedAsPng(std::move(*image), m_tempFolder, m_scheduler.now());
    if (std::optional<QString> text = m_pasteboard.string(); text && !text->trimmed().isEmpty())
        return ShelfItemKind(*text);
    return std::nullopt;
}
