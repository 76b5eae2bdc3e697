#include "VirtualScheduler.h"
#include "sources/ScreenshotFolderSet.h"
#include "sources/ScreenshotFolders.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST(ScreenshotFoldersTest, EachCaptureToolsSettingNamesAFolder)
{
    QTemporaryDir root;
    const QString home = root.filePath("home"), config = home + "/.config", pictures = home + "/Pictures";
    QDir().mkpath(pictures + "/Screenshots");
    QDir().mkpath(home + "/Spectacle shots");
    writeFile(config + "/spectaclerc",
              "[General]\ndefaultSaveLocation=file:///elsewhere\n[Save]\n"
              "defaultSaveLocation[$e]=file://" + home.toUtf8() + "/Spectacle%20shots/\n");
    writeFile(config + "/flameshot/flameshot.ini", "[General]\nsavePath=\"  ~/Flame  \"\nsavePathFixed=true\n");
    writeFile(home + "/not-a-folder", "x");
    writeFile(config + "/xfce4/xfce4-screenshooter", "[Preferences]\nscreenshot_dir=file://" + home.toUtf8()
                                                         + "/not-a-folder\n");

    const ScreenshotFolders folders = ScreenshotFolders::resolve(config, pictures, home);
    // GNOME's, Spectacle's and Flameshot's (awaited: it does not exist yet);
    // Xfce's names a file and is no folder.
    EXPECT_EQ(folders.candidates,
              QStringList({pictures + "/Screenshots", home + "/Spectacle shots", home + "/Flame"}));
    EXPECT_EQ(folders.fallback, home + "/Desktop");

    for (const char *value : {"", "   ", "relative/path", "smb://server/share", "file://host/x"})
        EXPECT_TRUE(ScreenshotFolders::folderFromSetting(value, home).isEmpty()) << value;
    EXPECT_EQ(ScreenshotFolders::folderFromSetting(" ~ ", home), home);
    EXPECT_EQ(ScreenshotFolders::folderFromSetting("/a/b/../c/", home), "/a/c");
}

TEST(ScreenshotFoldersTest, AFolderThatAppearsLaterIsWatchedWithTheCaptureThatMadeIt)
{
    QTemporaryDir root;
    const QString early = root.filePath("early"), late = root.filePath("Pictures/Screenshots");
    QDir().mkpath(early);
    VirtualScheduler scheduler;
    QStringList settled;
    ScreenshotFolderSet set(
        ScreenshotFolders{{late, early}, root.filePath("Desktop")}, scheduler,
        [](const QString &path) { return ScreenshotImage::open(path, QImage(1, 1, QImage::Format_ARGB32), {1, 1}, "png"); },
        [&](const QString &path, auto) { settled.append(path); });
    set.start();
    EXPECT_EQ(set.watchedFolders(), QStringList({early})); // a candidate exists: no Desktop

    // The parent is missing too: the wait follows the path as it is made.
    QDir().mkpath(root.filePath("Pictures"));
    QCoreApplication::processEvents();
    QDir().mkpath(late);
    writeFile(late + "/first.png", "shot");
    QCoreApplication::processEvents();
    EXPECT_EQ(set.watchedFolders(), QStringList({early, late}));
    scheduler.advance(0.5);
    EXPECT_EQ(settled, QStringList({late + "/first.png"}));
}

TEST(ScreenshotFoldersTest, TheDesktopIsWatchedOnlyWhenNoCandidateExists)
{
    QTemporaryDir root;
    VirtualScheduler scheduler;
    QDir().mkpath(root.filePath("Desktop"));
    ScreenshotFolderSet set(ScreenshotFolders{{root.filePath("missing")}, root.filePath("Desktop")}, scheduler,
                            nullptr, nullptr);
    set.start();
    EXPECT_EQ(set.watchedFolders(), QStringList({root.filePath("Desktop")}));
    set.stop();
    QDir().mkpath(root.filePath("missing"));
    QCoreApplication::processEvents();
    EXPECT_EQ(set.watchedFolders().size(), 1); // stopped: nothing new is watched
}

} // namespace
