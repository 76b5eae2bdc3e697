#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

// Reads images from disk without trusting the file: only regular files are
// opened (a FIFO or device named like an image must never block), and
// decoding stops at an allocation limit, so a decompression bomb yields no
// image instead of exhausting memory.
class ImageFile
{
public:
    // Images above this many megabytes of decoded pixels are refused.
    static constexpr int allocationLimitMegabytes = 256;

    // The decoded image, or null when the path is not a readable image.
    static std::shared_ptr<const QImage> load(const QString &path);

    // Decodes image bytes held in memory, with the same limit; `format` may
    // be empty to let the reader guess. `applyOrientation` follows a photo's
    // orientation tag, as files on disk are read.
    static QImage decode(const QByteArray &bytes, const QByteArray &format, bool applyOrientation = false);

    // The card's thumbnail of a full image: fitted into `thumbnailBox`,
    // which is the card's image area at twice its size, for 2x screens.
    static QImage thumbnail(const QImage &full);
    static constexpr QSize thumbnailBox{200, 136};

    // True when `path` names a regular file (links followed).
    static bool isRegularFile(const QString &path);
};
