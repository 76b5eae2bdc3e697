#include "TestImages.h"
#include "model/ScreenshotImage.h"
#include "platform/ThumbnailCache.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <utime.h>

namespace {

class ThumbnailCacheTest : public ::testing::Test
{
protected:
    ThumbnailCache::FileStamp stampOf(const QString &path)
    {
        struct stat info {};
        ::stat(QFile::encodeName(path).constData(), &info);
        return {qint64(info.st_mtime), qint64(info.st_size)};
    }
    static int modeOf(const QString &path)
    {
        struct stat info {};
        ::stat(QFile::encodeName(path).constData(), &info);
        return int(info.st_mode & 07777);
    }

    QTemporaryDir folder;
    QString root = folder.filePath("cache/thumbnails");
    QTemporaryDir privateFolder;
    ThumbnailCache cache{root, {privateFolder.path()}};
};

TEST_F(ThumbnailCacheTest, NamesFilesByTheMd5OfTheirEscapedUri)
{
    EXPECT_EQ(ThumbnailCache::uriOf(QString::fromUtf8("/home/u/a b/\xC3\xBC#%;[x].png")),
              "file:///home/u/a%20b/%C3%BC%23%25%3B%5Bx%5D.png");
    EXPECT_EQ(ThumbnailCache::uriOf("/p/Shot-1_(2)~!$&'*+,=:@.png"), "file:///p/Shot-1_(2)~!$&'*+,=:@.png");
    // The standard's own example.
    EXPECT_TRUE(ThumbnailCache(QStringLiteral("/c")).largePathFor("/home/jens/photos/me.png")
                    .endsWith("/large/c6ee772d9e49320e97ec29a7eb5b1697.png"));
}

TEST_F(ThumbnailCacheTest, ADecodeLeavesAPrivateThumbnailAndTheNextLoadReadsItUntilTheFileChanges)
{
    const QString path = TestImages::writePng(folder.path(), "shot.png", Qt::blue, 1200, 600);
    auto first = ScreenshotImage::load(path, &cache);
    ASSERT_TRUE(first);
    const QString cached = cache.largePathFor(path);
    ASSERT_TRUE(QFile::exists(cached));
    EXPECT_EQ(modeOf(cached), 0600);
    EXPECT_EQ(modeOf(root), 0700);
    EXPECT_EQ(modeOf(root + "/large"), 0700);
    const QImage written(cached);
    EXPECT_EQ(written.size(), QSize(256, 128));
    EXPECT_EQ(written.text("Thumb::URI").toUtf8(), ThumbnailCache::uriOf(path));
    EXPECT_EQ(written.text("Thumb::MTime"), QString::number(stampOf(path).mtime));
    EXPECT_TRUE(QDir(root + "/large").entryList({"*.XXXXXX", "*.png.*"}, QDir::Files).isEmpty());

    // A valid cached thumbnail stands in for the file: a red one shows red.
    QImage red(256, 128, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.setText("Thumb::URI", QString::fromUtf8(ThumbnailCache::uriOf(path)));
    red.setText("Thumb::MTime", QString::number(stampOf(path).mtime));
    ASSERT_TRUE(red.save(cached, "PNG"));
    auto warm = ScreenshotImage::load(path, &cache);
    ASSERT_TRUE(warm);
    EXPECT_EQ(warm->size(), QSize(1200, 600)); // from the file's header
    EXPECT_EQ(warm->format(), "png");
    EXPECT_EQ(warm->thumbnail().pixelColor(10, 10), QColor(Qt::red));

    // Another modification time makes it stale: the file is decoded again.
    struct utimbuf later {stampOf(path).mtime + 10, stampOf(path).mtime + 10};
    ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &later), 0);
    auto changed = ScreenshotImage::load(path, &cache);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->thumbnail().pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(QImage(cached).text("Thumb::MTime"), QString::number(later.modtime));
}

TEST_F(ThumbnailCacheTest, PrivateFilesAndUnreadableCachesLeaveNothingAndStillLoad)
{
    const QString secret = TestImages::writePng(privateFolder.path(), "clip.png", Qt::green, 600, 400);
    ASSERT_TRUE(ScreenshotImage::load(secret, &cache));
    EXPECT_FALSE(QFile::exists(cache.largePathFor(secret)));

    // A cache that cannot be created costs the thumbnail, never the image.
    QFile blocker(folder.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const ThumbnailCache broken(folder.filePath("blocked/thumbnails"));
    const QString path = TestImages::writePng(folder.path(), "shot.png", Qt::blue, 600, 400);
    EXPECT_TRUE(ScreenshotImage::load(path, &broken));
}

} // namespace
