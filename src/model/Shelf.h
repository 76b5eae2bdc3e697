#pragma once

#include "model/ShelfItem.h"

#include <QList>
#include <QObject>

#include <memory>
#include <optional>

class Scheduler;
class Timer;

// The shelf's contents: five slots newest first, the one-item history that
// overflow fills, and the clipboard slot behind the paste button. The
// history and the clipboard slot each empty themselves after a while. It
// says what changed; how the items are shown or stored is its listeners'.
class Shelf final : public QObject
{
    Q_OBJECT
public:
    explicit Shelf(Scheduler &scheduler, QObject *parent = nullptr);
    ~Shelf() override;

    // Puts the item on top; an item pushed out of the bottom becomes the history.
    void addItem(const ShelfItem &item);
    // False when no slot holds the id.
    bool deleteItem(const QUuid &id);
    void holdClipboardItem(const ShelfItemKind &kind);
    // Empty the clipboard slot or the history, handing out what they held.
    std::optional<ShelfItem> takeClipboardItem();
    std::optional<ShelfItem> takeLastEvicted();

    const QList<ShelfItem> &items() const { return m_items; }
    const std::optional<ShelfItem> &lastEvicted() const { return m_lastEvicted; }
    const std::optional<ShelfItem> &clipboardItem() const { return m_clipboardItem; }

    static constexpr int capacity = 5;
    static constexpr double temporarySlotLifetime = 300.0;

Q_SIGNALS:
    // A new item at index 0.
    void itemAdded(const ShelfItem &item);
    // The item at `index` went: pushed out by overflow, or deleted.
    void itemEvicted(qsizetype index);
    void itemDeleted(qsizetype index);
    // The slots are settled after a change: once per add or delete.
    void itemsChanged();
    void lastEvictedChanged();
    void clipboardItemChanged();

private:
    void evictOverflowIfNeeded();
    void setLastEvicted(std::optional<ShelfItem> item);
    void setClipboardItem(std::optional<ShelfItem> item);

    Scheduler &m_scheduler;
    QList<ShelfItem> m_items;
    std::optional<ShelfItem> m_lastEvicted;
    std::unique_ptr<Timer> m_evictedExpiry;
    std::optional<ShelfItem> m_clipboardItem;
    std::unique_ptr<Timer> m_clipboardExpiry;
};
