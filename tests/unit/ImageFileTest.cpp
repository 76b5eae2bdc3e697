#include "TestImages.h"
#include "platform/ImageFile.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class ImageFileTest : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QTemporaryDir folder;
};

TEST_F(ImageFileTest, LoadsARealPngWithItsPixels)
{
    const QString path = TestImages::writePng(folder.path(), "a.png", QColor(10, 200, 30), 12, 9);
    const auto image = ImageFile::load(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(12, 9));
    EXPECT_EQ(QColor(image->pixel(3, 3)), QColor(10, 200, 30));
}

TEST_F(ImageFileTest, NonImagesAndTruncatedImagesGiveNothing)
{
    EXPECT_FALSE(ImageFile::load(write("text.png", "hello")));
    EXPECT_FALSE(ImageFile::load(write("empty.png", "")));
    EXPECT_FALSE(ImageFile::load(folder.filePath("missing.png")));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(200, 200, QImage::Format_RGB32).save(&buffer, "PNG");
    EXPECT_FALSE(ImageFile::load(write("truncated.png", png.left(60))));
}

TEST_F(ImageFileTest, SpecialFilesNeverBlock)
{
    const QString fifo = folder.filePath("x.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(ImageFile::load(fifo)); // would hang forever if opened blocking
    EXPECT_FALSE(ImageFile::isRegularFile(fifo));

    const QString zeroLink = folder.filePath("zero.png");
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(zeroLink).constData()), 0);
    EXPECT_FALSE(ImageFile::load(zeroLink));

    ASSERT_TRUE(QDir(folder.path()).mkdir("dir.png"));
    EXPECT_FALSE(ImageFile::load(folder.filePath("dir.png")));
    EXPECT_FALSE(ImageFile::isRegularFile(folder.filePath("dir.png")));
}

TEST_F(ImageFileTest, DecompressionBombIsRefused)
{
    // A valid PNG header claiming 60000 × 60000 pixels (about 14 GB decoded).
    QByteArray header = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
    const quint32 side = 60000;
    for (int shift : {24, 16, 8, 0})
        header.append(char((side >> shift) & 0xff));
    for (int shift : {24, 16, 8, 0})
        header.append(char((side >> shift) & 0xff));
    header.append(QByteArray::fromHex("0806000000"));
    header.append(QByteArray(4, '\0')); // CRC, wrong on purpose; the size check comes first
    header.append(QByteArray(4096, '\0'));
    EXPECT_FALSE(ImageFile::load(write("bomb.png", header)));
}

} // namespace
