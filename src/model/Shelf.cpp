#include "model/Shelf.h"

#include "platform/Scheduler.h"

Shelf::Shelf(Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
{
}

Shelf::~Shelf() = default;

void Shelf::addItem(const ShelfItem &item)
{
    m_items.prepend(item);
    Q_EMIT itemAdded(item);
    evictOverflowIfNeeded();
    Q_EMIT itemsChanged();
}

void Shelf::evictOverflowIfNeeded()
{
    while (m_items.size() > capacity) {
        const ShelfItem oldest = m_items.takeLast();
        Q_EMIT itemEvicted(m_items.size());
        setLastEvicted(oldest);
        m_evictedExpiry = m_scheduler.scheduleOneShot(temporarySlotLifetime, this, [this] {
            m_evictedExpiry.reset();
            setLastEvicted(std::nullopt);
        });
    }
}

bool Shelf::deleteItem(const QUuid &id)
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).id != id)
            continue;
        m_items.removeAt(i);
        Q_EMIT itemDeleted(i);
        Q_EMIT itemsChanged();
        return true;
    }
    return false;
}

std::optional<ShelfItem> Shelf::takeLastEvicted()
{
    std::optional<ShelfItem> item = std::move(m_lastEvicted);
    m_evictedExpiry.reset();
    setLastEvicted(std::nullopt);
    return item;
}

std::optional<ShelfItem> Shelf::takeClipboardItem()
{
    std::optional<ShelfItem> item = std::move(m_clipboardItem);
    m_clipboardExpiry.reset();
    setClipboardItem(std::nullopt);
    return item;
}

void Shelf::holdClipboardItem(const ShelfItemKind &kind)
{
    setClipboardItem(ShelfItem::make(kind, m_scheduler.now()));
    m_clipboardExpiry = m_scheduler.scheduleOneShot(temporarySlotLifetime, this, [this] {
        m_clipboardExpiry.reset();
        setClipboardItem(std::nullopt);
    });
}

void Shelf::setLastEvicted(std::optional<ShelfItem> item)
{
    m_lastEvicted = std::move(item);
    Q_EMIT lastEvictedChanged();
}

void Shelf::setClipboardItem(std::optional<ShelfItem> item)
{
    m_clipboardItem = std::move(item);
    Q_EMIT clipboardItemChanged();
}
