#pragma once

#include "model/ShelfItem.h"

#include <QSize>

class ItemCardView;

// What the panel's parts (key hints, hover preview) ask of the panel that
// owns them: the shelf operations that also move the panel or play on a
// card, and the cards themselves.
class ShelfActions
{
public:
    // How an added item shows itself.
    enum class RevealStyle { peek, show, quiet };

    virtual void addItem(const ShelfItem &item, RevealStyle reveal) = 0;
    virtual void deleteItem(const QUuid &id) = 0;
    // Copies the item in a slot, with its card's flash.
    virtual void copyItem(qsizetype index) = 0;
    virtual void historyButtonTapped() = 0;
    virtual void pasteButtonTapped() = 0;
    // A card for an item, with the shelf's delete and drag behaviour.
    virtual ItemCardView *makeView(const ShelfItem &item, QSize bodySize) = 0;

protected:
    ~ShelfActions() = default;
};
