#pragma once

#include "model/ScreenshotStore.h"

#include <QString>
#include <QUuid>

#include <variant>

// What an item holds: an image file, or a text kept exactly as received.
using ShelfItemKind = std::variant<Screenshot, QString>;

// One entry of the shelf. Items are told apart by id only: two items with
// the same content are two items.
struct ShelfItem
{
    QUuid id;
    ShelfItemKind kind;
    double addedAt = 0;

    // A new item with a fresh id, added at `now`.
    static ShelfItem make(ShelfItemKind kind, double now);

    const Screenshot *screenshot() const { return std::get_if<Screenshot>(&kind); }
    const QString *text() const { return std::get_if<QString>(&kind); }
};
