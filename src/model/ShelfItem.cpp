#include "model/ShelfItem.h"

ShelfItem ShelfItem::make(ShelfItemKind kind, double now)
{
    return ShelfItem{QUuid::createUuid(), std::move(kind), now};
}
