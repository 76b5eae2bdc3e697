#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

// The freedesktop thumbnail cache, shared with file managers: a "large"
// thumbnail (at most 256 px) of a file is `<root>/large/<md5 of its URI>.png`,
// valid while its Thumb::URI and Thumb::MTime (and Thumb::Size, when present)
// still match the file. Zorv reads a valid one instead of decoding the whole
// image, and writes one, 0600 in 0700 folders, when there is none. Every
// member is safe to call from any thread.
class ThumbnailCache
{
public:
    // An empty root turns the cache off. Nothing is written for files in
    // `privateFolders`, such as Zorv's own copies of clipboard images, which
    // must not outlive their files in a cache that lasts.
    explicit ThumbnailCache(QString root, QStringList privateFolders = {});
    // `$XDG_CACHE_HOME/thumbnails`, or `~/.cache/thumbnails`.
    static QString defaultRoot();

    // What the cache knows of a file, from its stat data: mtime in seconds.
    struct FileStamp
    {
        qint64 mtime = 0;
        qint64 size = 0;
    };

    // The cached thumbnail of the file at `path` (absolute), or null when
    // there is none or it is stale.
    QImage read(const QString &path, FileStamp stamp) const;
    // Stores a thumbnail of `full`, the decoded file at `path`.
    void write(const QString &path, FileStamp stamp, const QImage &full) const;

    // The file's URI as the cache names it: "file://" and the path, each
    // byte outside RFC 2396's unreserved and path characters escaped as %XX.
    static QByteArray uriOf(const QString &path);
    QString largePathFor(const QString &path) const;

    static constexpr int largeSize = 256;
    static constexpr int allocationLimitMegabytes = 8;

private:
    bool isPrivate(const QString &path) const;

    QString m_root;
    QStringList m_privateFolders;
};
