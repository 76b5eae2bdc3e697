#include "platform/ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString uriKey = QStringLiteral("Thumb::URI");
const QString mtimeKey = QStringLiteral("Thumb::MTime");
const QString sizeKey = QStringLiteral("Thumb::Size");

bool isUriSafe(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::strchr("-_.!~*'()/:@&=+$,", c) != nullptr && c != '\0';
}

// Makes `path` a folder only its owner can enter, unless it already exists.
bool ensurePrivateFolder(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) == 0)
        return true;
    struct stat info {};
    return errno == EEXIST && ::stat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

ThumbnailCache::ThumbnailCache(QString root, QStringList privateFolders)
    : m_root(std::move(root))
    , m_privateFolders(std::move(privateFolders))
{
    m_privateFolders.append(m_root); // never thumbnails of thumbnails
}

bool ThumbnailCache::isPrivate(const QString &path) const
{
    const QString clean = QDir::cleanPath(path);
    for (const QString &folder : m_privateFolders) {
        if (!folder.isEmpty() && clean.startsWith(QDir::cleanPath(folder) + QLatin1Char('/')))
            return true;
    }
    return false;
}

QString ThumbnailCache::defaultRoot()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/thumbnails");
}

QByteArray ThumbnailCache::uriOf(const QString &path)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray uri("file://");
    for (const char c : QFile::encodeName(path)) {
        if (isUriSafe(c)) {
            uri.append(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            uri.append('%').append(hex[byte >> 4]).append(hex[byte & 0xF]);
        }
    }
    return uri;
}

QString ThumbnailCache::largePathFor(const QString &path) const
{
    const QByteArray md5 = QCryptographicHash::hash(uriOf(path), QCryptographicHash::Md5).toHex();
    return m_root + QStringLiteral("/large/") + QString::fromLatin1(md5) + QStringLiteral(".png");
}

QImage ThumbnailCache::read(const QString &path, FileStamp stamp) const
{
    if (m_root.isEmpty())
        return {};
    QFile file(largePathFor(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&file, "png");
    reader.setAllocationLimit(allocationLimitMegabytes);
    const QImage thumbnail = reader.read();
    if (thumbnail.isNull() || thumbnail.text(uriKey).toUtf8() != uriOf(path)
        || thumbnail.text(mtimeKey) != QString::number(stamp.mtime))
        return {};
    const QString size = thumbnail.text(sizeKey);
    if (!size.isEmpty() && size != QString::number(stamp.size))
        return {};
    return thumbnail;
}

void ThumbnailCache::write(const QString &path, FileStamp stamp, const QImage &full) const
{
    if (m_root.isEmpty() || full.isNull() || isPrivate(path))
        return;
    // A fresh account may not even have the cache folder above it yet.
    if (!QDir().mkpath(QFileInfo(m_root).absolutePath()) || !ensurePrivateFolder(m_root)
        || !ensurePrivateFolder(m_root + QStringLiteral("/large")))
        return;
    // Sampled down to twice the size first: a smooth scale of a 4K image
    // straight to 256 px filters every source pixel, on the arrival's path.
    QImage thumbnail = full;
    if (full.width() > 4 * largeSize || full.height() > 4 * largeSize)
        thumbnail = full.scaled(2 * largeSize, 2 * largeSize, Qt::KeepAspectRatio, Qt::FastTransformation);
    if (thumbnail.width() > largeSize || thumbnail.height() > largeSize)
        thumbnail = thumbnail.scaled(largeSize, largeSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    thumbnail.setText(uriKey, QString::fromUtf8(uriOf(path)));
    thumbnail.setText(mtimeKey, QString::number(stamp.mtime));
    thumbnail.setText(sizeKey, QString::number(stamp.size));
    thumbnail.setText(QStringLiteral("Thumb::Image::Width"), QString::number(full.width()));
    thumbnail.setText(QStringLiteral("Thumb::Image::Height"), QString::number(full.height()));
    thumbnail.setText(QStringLiteral("Software"), QStringLiteral("Zorv"));

    // Written beside its final name and renamed over it, so that no reader
    // ever sees half a thumbnail.
    const QString target = largePathFor(path);
    QByteArray temporary = QFile::encodeName(target + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(temporary.data()); // 0600
    if (fd < 0)
        return;
    QFile out;
    bool saved = out.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) && thumbnail.save(&out, "PNG");
    out.close();
    saved = ::close(fd) == 0 && saved;
    if (!saved || ::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0)
        ::unlink(temporary.constData());
}
