#include "platform/PrivateTempFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

int mode(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

TEST(PrivateTempFolderTest, CreatesAPrivateFolderNamedForTheUser)
{
    QTemporaryDir parent;
    PrivateTempFolder folder(parent.path());
    const QString expected = parent.filePath(QStringLiteral("zorv-%1").arg(::getuid()));
    EXPECT_EQ(folder.path(), expected);
    EXPECT_EQ(mode(expected), 0700);
}

TEST(PrivateTempFolderTest, RefusesFoldersOthersCouldTamperWith)
{
    QTemporaryDir parent;
    const QString preferred = parent.filePath(QStringLiteral("zorv-%1").arg(::getuid()));

    ASSERT_TRUE(QDir().mkdir(preferred));
    ::chmod(QFile::encodeName(preferred).constData(), 0777);
    PrivateTempFolder open(parent.path());
    EXPECT_NE(open.path(), preferred);
    EXPECT_EQ(mode(open.path()), 0700);

    QDir(preferred).removeRecursively();
    QTemporaryDir elsewhere;
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere.path()).constData(), QFile::encodeName(preferred).constData()),
              0);
    PrivateTempFolder linked(parent.path());
    EXPECT_NE(linked.path(), preferred);
    EXPECT_TRUE(linked.path().startsWith(preferred + "-"));
}

TEST(PrivateTempFolderTest, WritesPrivatePngsAndComesBackIfTheFolderIsRemoved)
{
    QTemporaryDir parent;
    PrivateTempFolder folder(parent.path());
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QString first = folder.writePng(image);
    EXPECT_EQ(mode(first), 0600);
    EXPECT_EQ(QImage(first).pixelColor(0, 0), QColor(Qt::green));

    QDir(folder.path()).removeRecursively(); // a cleaned /tmp
    const QString second = folder.writePng(image);
    EXPECT_TRUE(QFile::exists(second));
    EXPECT_NE(first, second);
}

TEST(PrivateTempFolderTest, AFileGoesWhenItsLastHolderLetsGoAndNeverOutsideTheFolder)
{
    QTemporaryDir parent;
    PrivateTempFolder folder(parent.path());
    const QString file = folder.writePngData("not checked here");
    EXPECT_EQ(mode(file), 0600);
    auto first = folder.hold(file);
    auto second = folder.hold(file);
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second); // one shared hold per file
    first.reset();
    EXPECT_TRUE(QFile::exists(file));
    second.reset();
    EXPECT_FALSE(QFile::exists(file));

    const QString outside = parent.filePath("outside.png");
    QFile(outside).open(QIODevice::WriteOnly);
    EXPECT_FALSE(folder.hold(outside));
    EXPECT_FALSE(folder.hold(folder.path() + "/../outside.png"));

    // At launch: what nothing names or holds goes; the folder's parent is untouched.
    const QString named = folder.writePngData("a"), held = folder.writePngData("b"), stray = folder.writePngData("c");
    const auto holding = folder.hold(held);
    const QString lock = folder.path() + "/zorv.lock";
    QFile(lock).open(QIODevice::WriteOnly);
    folder.removeFilesExcept({named});
    EXPECT_TRUE(QFile::exists(lock)); // not an image of Zorv's
    EXPECT_TRUE(QFile::exists(named));
    EXPECT_TRUE(QFile::exists(held));
    EXPECT_FALSE(QFile::exists(stray));
    EXPECT_TRUE(QFile::exists(outside));

    // At shutdown holders go while the stored shelf still names their files.
    folder.keepFiles();
    auto last = folder.hold(named);
    last.reset();
    EXPECT_TRUE(QFile::exists(named));
}

} // namespace
