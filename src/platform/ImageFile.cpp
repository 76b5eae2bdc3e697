#include "platform/ImageFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ImageFile::isRegularFile(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

std::shared_ptr<const QImage> ImageFile::load(const QString &path)
{
    // O_NONBLOCK keeps open() from waiting on a FIFO swapped in after any
    // earlier check; fstat then decides on the very file that was opened.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    QImageReader reader(&file);
    reader.setAllocationLimit(allocationLimitMegabytes);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return nullptr;
    return std::make_shared<const QImage>(std::move(image));
}

QImage ImageFile::decode(const QByteArray &bytes, const QByteArray &format, bool applyOrientation)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(allocationLimitMegabytes);
    reader.setAutoTransform(applyOrientation);
    return reader.read();
}

QImage ImageFile::thumbnail(const QImage &full)
{
    if (full.isNull())
        return {};
    if (full.width() <= thumbnailBox.width() && full.height() <= thumbnailBox.height())
        return full;
    // A smooth scale of a 4K image straight to the box filters every source
    // pixel; going to twice the box first, by sampling, costs little and
    // looks the same at card size.
    const QSize twice = thumbnailBox * 2;
    if (full.width() > twice.width() * 2 || full.height() > twice.height() * 2)
        return full.scaled(twice, Qt::KeepAspectRatio, Qt::FastTransformation)
            .scaled(thumbnailBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return full.scaled(thumbnailBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
