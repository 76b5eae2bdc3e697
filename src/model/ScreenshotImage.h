#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class ThumbnailCache;

// What a screenshot keeps of its image: the card's thumbnail, decoded once,
// and an open descriptor of its file, so that copying later reads exactly
// the captured bytes even if the file was deleted or replaced meanwhile. No
// full-size image is kept; one is decoded only on demand, off the main thread.
class ScreenshotImage
{
public:
    ~ScreenshotImage();
    ScreenshotImage(const ScreenshotImage &) = delete;
    ScreenshotImage &operator=(const ScreenshotImage &) = delete;

    // Opens a regular file (never blocking on a FIFO or device), decodes it
    // with the allocation limit and keeps a thumbnail; null when it is not a
    // readable image. Costly for large files: not on the main thread. With
    // a cache, a valid cached thumbnail stands in for decoding the file, and
    // a decoded file leaves one there.
    static std::shared_ptr<const ScreenshotImage> load(const QString &path,
                                                       const ThumbnailCache *cache = nullptr);
    // A file whose thumbnail is already known, such as a PNG just written
    // from the clipboard or read from the thumbnail cache.
    static std::shared_ptr<const ScreenshotImage> open(const QString &path, QImage thumbnail, QSize size,
                                                       QByteArray format);

    QSize size() const { return m_size; }
    const QImage &thumbnail() const { return m_thumbnail; }
    // The reader's name of the file's format: "png", "jpeg", …
    const QByteArray &format() const { return m_format; }
    // The file's bytes as they were when it was opened; empty on failure.
    QByteArray bytes() const;
    // The full image, decoded from bytes(). Not on the main thread.
    QImage decode() const;

private:
    static std::shared_ptr<const ScreenshotImage> fromCachedThumbnail(int fd, const QImage &cached);
    ScreenshotImage(int fd, QSize size, QByteArray format, QImage thumbnail);

    int m_fd;
    QSize m_size;
    QByteArray m_format;
    QImage m_thumbnail;
};
