#include "model/ScreenshotImage.h"

#include "platform/ImageFile.h"
#include "platform/ThumbnailCache.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openRegularFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QByteArray readAll(int fd)
{
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || info.st_size < 0)
        return {};
    QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {};
        done += n;
    }
    return bytes;
}

} // namespace

ScreenshotImage::ScreenshotImage(int fd, QSize size, QByteArray format, QImage thumbnail)
    : m_fd(fd)
    , m_size(size)
    , m_format(std::move(format))
    , m_thumbnail(std::move(thumbnail))
{
}

ScreenshotImage::~ScreenshotImage()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::shared_ptr<const ScreenshotImage> ScreenshotImage::load(const QString &path, const ThumbnailCache *cache)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    ::fstat(fd, &info);
    const ThumbnailCache::FileStamp stamp{qint64(info.st_mtime), qint64(info.st_size)};
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (cache) {
        if (auto cached = fromCachedThumbnail(fd, cache->read(absolute, stamp)))
            return cached;
    }
    QByteArray bytes = readAll(fd);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(ImageFile::allocationLimitMegabytes);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    const QImage image = reader.read();
    if (image.isNull()) {
        ::close(fd);
        return nullptr;
    }
    if (cache)
        cache->write(absolute, stamp, image);
    return std::shared_ptr<const ScreenshotImage>(
        new ScreenshotImage(fd, image.size(), format, ImageFile::thumbnail(image)));
}

std::shared_ptr<const ScreenshotImage> ScreenshotImage::fromCachedThumbnail(int fd, const QImage &cached)
{
    if (cached.isNull())
        return nullptr;
    // Only the file's header is read, for its size and format.
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return nullptr;
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    QSize size = reader.size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    ::lseek(fd, 0, SEEK_SET);
    if (format.isEmpty() || !size.isValid())
        return nullptr; // decoded in full instead
    return std::shared_ptr<const ScreenshotImage>(
        new ScreenshotImage(fd, size, format, ImageFile::thumbnail(cached)));
}

std::shared_ptr<const ScreenshotImage> ScreenshotImage::open(const QString &path, QImage thumbnail, QSize size,
                                                             QByteArray format)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return nullptr;
    return std::shared_ptr<const ScreenshotImage>(
        new ScreenshotImage(fd, size, std::move(format), std::move(thumbnail)));
}

QByteArray ScreenshotImage::bytes() const
{
    return readAll(m_fd);
}

QImage ScreenshotImage::decode() const
{
    return ImageFile::decode(bytes(), m_format, true);
}
