#pragma once

#include "model/ShelfItem.h"
#include "platform/DefaultsStore.h"

#include <QList>

#include <optional>

class ThumbnailCache;

// The stored form of the shelf: a list of string maps, oldest item first,
// each {"type": "text", "text": …} or {"type": "screenshot", "url": path}.
// Nothing else is stored: no ids, dates, image data, history or clipboard slot.
class ShelfArchive
{
public:
    static inline const QString storageKey = QStringLiteral("zorv.shelf.items");

    // `newestFirst` is the shelf top to bottom; the result is oldest first.
    static QList<StringMap> encode(const QList<ShelfItem> &newestFirst);

    // The stored list, or nothing unless every element is a map whose values
    // are all strings: one bad element makes the whole value unusable.
    static std::optional<QList<StringMap>> asStringMaps(const QVariantList &stored);

    // The item an entry describes, or nothing when it must be skipped: no or
    // unknown "type", a missing field, or a screenshot whose file is gone or
    // is not a readable image. Screenshots are decoded here, or their
    // thumbnails taken from `cache` when it holds valid ones.
    static std::optional<ShelfItemKind> decode(const StringMap &entry, double now,
                                               const ThumbnailCache *cache = nullptr);
};
