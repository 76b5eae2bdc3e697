#pragma once

#include "model/ShelfItem.h"

#include <optional>

struct DropContent;
class PrivateTempFolder;
class QMimeData;
class ThumbnailCache;

// What a drop from another program becomes on the shelf. The drag's data is
// read on the main thread where it arrived; the decoding that turns its
// content into an item may run on any thread.
class DropDecoder
{
public:
    // Whether a drag offering this data can be dropped: plain text, a file
    // URL, TIFF or PNG, and nothing marked as a password.
    static bool isAcceptable(const QMimeData *data);
    // The drag's content, cheaply read; nothing at all from data marked as
    // a password.
    static DropContent contentOf(const QMimeData *data);
    // What a drop of this content means: the first local file (an image in
    // place, else its path as text), else image data (written as a private
    // PNG; a browser's untyped bytes count when they hold an image), else
    // non-empty text exactly as given. Any thread.
    static std::optional<ShelfItemKind> itemFor(const DropContent &content, PrivateTempFolder &folder,
                                                const ThumbnailCache *thumbnails, double now);
    // Whether the content will make an item, judged without decoding: a
    // file or text always does; image data, whose header already reads,
    // does when the private folder can take its PNG. A drop that promises
    // nothing is refused, so its source does not count it as delivered.
    static bool promisesItem(const DropContent &content, PrivateTempFolder &folder);
};
