#include "VirtualScheduler.h"
#include "sources/CaptureFileNames.h"
#include "sources/CaptureSettings.h"
#include "sources/GnomeScreenshotSetting.h"
#include "sources/ScreenshotFolderSet.h"
#include "sources/ScreenshotFolders.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/stat.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

qint64 modifiedNs(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0
               ? qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec : -1;
}

std::shared_ptr<const ScreenshotImage> anyImage(const QString &path)
{
    return ScreenshotImage::open(path, QImage(1, 1, QImage::Format_ARGB32), {1, 1}, "png");
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
    writeFile(config + "/user-dirs.dirs", "# comment\nXDG_PICTURES_DIR=\"$HOME/Pictures\"\n");

    // Without gnome-screenshot: GNOME's, Spectacle's and Flameshot's
    // (awaited: it does not exist yet); Xfce's names a file and is no folder.
    const ScreenshotFolders folders = ScreenshotFolders::resolve({config, home}, std::nullopt);
    EXPECT_EQ(folders.candidates,
              QStringList({pictures + "/Screenshots", home + "/Spectacle shots", home + "/Flame"}));
    EXPECT_EQ(folders.fallback, home + "/Desktop");
    EXPECT_EQ(folders.generalFolders, QStringList({pictures, home}));

    // gnome-screenshot saves into Pictures by default, or where its key says.
    EXPECT_EQ(ScreenshotFolders::resolve({config, home}, QString()).candidates.at(1), pictures);
    EXPECT_EQ(ScreenshotFolders::resolve({config, home}, "file:///shots%201").candidates.at(1), "/shots 1");
    // Into the home folder itself when user-dirs names no Pictures folder.
    QFile::remove(config + "/user-dirs.dirs");
    EXPECT_EQ(ScreenshotFolders::resolve({config, home}, QString()).candidates.at(1), home);

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
        ScreenshotFolders{{late, early}, root.filePath("Desktop"), {}, std::nullopt}, scheduler,
        &anyImage,
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
    ScreenshotFolderSet set(ScreenshotFolders{{root.filePath("missing")}, root.filePath("Desktop"), {}, std::nullopt}, scheduler,
                            nullptr, nullptr);
    set.start();
    EXPECT_EQ(set.watchedFolders(), QStringList({root.filePath("Desktop")}));
    set.stop();
    QDir().mkpath(root.filePath("missing"));
    QCoreApplication::processEvents();
    EXPECT_EQ(set.watchedFolders().size(), 1); // stopped: nothing new is watched
}

TEST(ScreenshotFoldersTest, OnlyCaptureToolNamesCountInAGeneralFolder)
{
    for (const char *name : {"Screenshot from 2026-12-09 10-15-03.png", "Screenshot from 2026-12-09 10-15-03 - 2.png",
                             "Screenshot_20261209_101503.png", "Screenshot_2026-12-09_10-15-03.png",
                             "2026-12-09_10-15.png", "2026-12-09_10-15_1.png", "2026-12-09-101503_1280x800_scrot.png",
                             "Screenshot at 2026-12-09 10:15:03.png"})
        EXPECT_TRUE(CaptureFileNames::isCaptureName(name)) << name;
    for (const char *name : {"IMG_2034.jpg", "holiday.png", "Screenshot.png", "Screenshot from the party.png",
                             "scan 2026-12-09.png", "2026-12-09.png"})
        EXPECT_FALSE(CaptureFileNames::isCaptureName(name)) << name;

    QTemporaryDir root;
    const QString pictures = root.filePath("Pictures");
    QDir().mkpath(pictures);
    VirtualScheduler scheduler;
    QStringList settled;
    ScreenshotFolderSet set(ScreenshotFolders{{pictures}, {}, {pictures}, std::nullopt}, scheduler, &anyImage,
                            [&](const QString &path, auto) { settled.append(path); });
    set.start();
    writeFile(pictures + "/IMG_2034.jpg", "photo");
    writeFile(pictures + "/Screenshot from 2026-12-09 10-15-03.png", "shot");
    QCoreApplication::processEvents();
    scheduler.advance(2.0);
    EXPECT_EQ(settled, QStringList({pictures + "/Screenshot from 2026-12-09 10-15-03.png"}));
}

TEST(ScreenshotFoldersTest, GSettingsStringsAreReadAsGVariantText)
{
    EXPECT_EQ(GnomeScreenshotSetting::parseString("''\n"), QString());
    EXPECT_EQ(GnomeScreenshotSetting::parseString("'file:///home/u/Shots'\n"), "file:///home/u/Shots");
    EXPECT_EQ(GnomeScreenshotSetting::parseString("\"it's\""), "it's");
    EXPECT_EQ(GnomeScreenshotSetting::parseString(R"('a\\b \'c\' \u00e9\t')"), "a\\b 'c' \u00e9\t");
    for (const char *bad : {"", "'", "@ms nothing", "'unterminated", "'a'b'", "'bad \\u12'"})
        EXPECT_EQ(GnomeScreenshotSetting::parseString(bad), std::nullopt) << bad;
}

// A tool's folder changed while Zorv runs: the new folder is watched, with
// the capture saved there since the change, and the old one is let go.
TEST(ScreenshotFoldersTest, AChangedSettingMovesTheWatchToTheNewFolder)
{
    QTemporaryDir root;
    const QString home = root.filePath("home"), config = home + "/.config";
    const QString before = home + "/Before", after = home + "/After";
    QDir().mkpath(before);
    QDir().mkpath(after);
    writeFile(after + "/old.png", "old");
    QFile(after + "/old.png").setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    writeFile(config + "/flameshot/flameshot.ini", "[General]\nsavePath=" + before.toUtf8() + "\n");

    VirtualScheduler scheduler;
    QStringList settled;
    ScreenshotFolderSet set(ScreenshotFolders{}, scheduler, &anyImage, [&](const QString &path, auto) { settled.append(path); });
    QList<qint64> cutoffs;
    CaptureSettings settings({config, home}, scheduler, [&](ScreenshotFolders folders, qint64 newSinceNs) {
        cutoffs.append(newSinceNs);
        set.setFolders(std::move(folders), newSinceNs);
    });
    settings.gsettingsProgram.clear();
    settings.start();
    set.start();
    EXPECT_TRUE(set.watchedFolders().contains(before));

    // Flameshot rewrites its file through a temporary one; the capture
    // comes at once, before the burst has settled.
    writeFile(config + "/flameshot/flameshot.ini.tmp", "[General]\nsavePath=" + after.toUtf8() + "\n");
    ASSERT_EQ(std::rename(QFile::encodeName(config + "/flameshot/flameshot.ini.tmp").constData(),
                          QFile::encodeName(config + "/flameshot/flameshot.ini").constData()), 0);
    writeFile(after + "/2026-12-09_10-15.png", "shot");
    settings.readEvents();
    scheduler.advance(CaptureSettings::settleDelay);
    EXPECT_EQ(cutoffs.last(), modifiedNs(config + "/flameshot/flameshot.ini"));
    EXPECT_TRUE(set.watchedFolders().contains(after));
    EXPECT_FALSE(set.watchedFolders().contains(before));
    scheduler.advance(1.0);
    EXPECT_EQ(settled, QStringList({after + "/2026-12-09_10-15.png"}));

    // A settings folder made after start is followed too.
    const qsizetype reports = cutoffs.size();
    writeFile(config + "/xfce4/xfce4-screenshooter", "[Preferences]\nscreenshot_dir=" + before.toUtf8() + "\n");
    settings.readEvents();
    settings.readEvents(); // the new folder's own events, now that it is watched
    scheduler.advance(CaptureSettings::settleDelay);
    EXPECT_GT(cutoffs.size(), reports);
    EXPECT_TRUE(set.watchedFolders().contains(before));
}

TEST(ScreenshotFoldersTest, SettingsAreFollowedFromAConfigFolderMadeLater)
{
    QTemporaryDir root;
    const QString home = root.path(), config = home + "/.config", shots = home + "/Shots";
    QDir().mkpath(shots);
    VirtualScheduler scheduler;
    QStringList candidates;
    CaptureSettings settings({config, home}, scheduler,
                             [&](ScreenshotFolders folders, qint64) { candidates = folders.candidates; });
    settings.gsettingsProgram.clear();
    settings.start();
    EXPECT_FALSE(candidates.contains(shots));
    writeFile(config + "/spectaclerc", "[ImageSave]\nimageSaveLocation=file://" + shots.toUtf8() + "\n");
    QCoreApplication::processEvents();
    scheduler.advance(CaptureSettings::settleDelay);
    EXPECT_TRUE(candidates.contains(shots));
}

} // namespace
