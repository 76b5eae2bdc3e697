#include "TestImages.h"
#include "VirtualScheduler.h"
#include "sources/ScreenshotScanner.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

class ScreenshotScannerTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return folder.filePath(name); }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // Stands in for decoding: a file is a whole image once it ends in "END"
    // or holds anything else but the word "partial".
    static std::shared_ptr<const ScreenshotImage> load(const QString &path)
    {
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (bytes.isEmpty() || (bytes.contains("partial") && !bytes.endsWith("END")))
            return nullptr;
        return ScreenshotImage::open(path, QImage(1, 1, QImage::Format_ARGB32), QSize(1, 1), "png");
    }

    std::unique_ptr<ScreenshotScanner> makeScanner(const QString &directory)
    {
        return std::make_unique<ScreenshotScanner>(directory, scheduler, &load,
                                                   [this](const QString &p, auto) { settled.append(p); });
    }

    // These cases drive the scanner by its rescans, not by inotify.
    void startScanner()
    {
        scanner = makeScanner(folder.path());
        scanner->rescanWhileWatched = true;
        scanner->start();
    }

    QTemporaryDir folder;
    VirtualScheduler scheduler;
    std::unique_ptr<ScreenshotScanner> scanner;
    QStringList settled;
};

TEST_F(ScreenshotScannerTest, OnlyImageExtensionsCountWhateverTheirCase)
{
    for (const char *name : {"Shot.PNG", "a.heic", ".hidden.png", "b.jpeg", "c.JpG", "d.tiff", "e.WebP"})
        EXPECT_TRUE(ScreenshotScanner::hasImageExtension(name)) << name;
    for (const char *name : {"a.gif", "a.tif", "notes.txt", "png", "noextension", "a.png.part"})
        EXPECT_FALSE(ScreenshotScanner::hasImageExtension(name)) << name;
}

TEST_F(ScreenshotScannerTest, FilesPresentAtStartAreNeverReported)
{
    write("old.png", "data");
    startScanner();
    scheduler.advance(3.0);
    EXPECT_TRUE(settled.isEmpty());
}

TEST_F(ScreenshotScannerTest, ANewFileIsReportedOnceWithinHalfASecond)
{
    startScanner();
    write("new.png", "data");
    scheduler.advance(0.46); // rescan at 0.3, settle check at 0.45
    EXPECT_EQ(settled, QStringList({path("new.png")}));
    scheduler.advance(3.0);
    EXPECT_EQ(settled.size(), 1);
}

TEST_F(ScreenshotScannerTest, AFileThatFillsLateIsReportedOnceItStopsChanging)
{
    startScanner();
    write("slow.png", "");
    scheduler.advance(0.8);
    EXPECT_TRUE(settled.isEmpty());
    write("slow.png", "now it holds data");
    scheduler.advance(0.16);
    EXPECT_TRUE(settled.isEmpty()); // seen changing: not complete yet
    scheduler.advance(0.15);
    EXPECT_EQ(settled, QStringList({path("slow.png")}));
    scheduler.advance(3.0);
    EXPECT_EQ(settled.size(), 1);
}

TEST_F(ScreenshotScannerTest, AFileThatNeverFillsIsDroppedForGoodWhileItStays)
{
    startScanner();
    write("empty.png", "");
    scheduler.advance(0.3); // found
    scheduler.advance(11 * 0.15 + 0.01); // all eleven checks
    EXPECT_EQ(scheduler.pendingCount(), 1); // only the rescan is left
    write("empty.png", "filled too late");
    scheduler.advance(3.0);
    EXPECT_TRUE(settled.isEmpty());
}

TEST_F(ScreenshotScannerTest, DeletedAndRecreatedIsNewAgain)
{
    startScanner();
    write("again.png", "1");
    scheduler.advance(0.5);
    QFile::remove(path("again.png"));
    scheduler.advance(0.31);
    write("again.png", "2");
    scheduler.advance(0.5);
    EXPECT_EQ(settled, QStringList({path("again.png"), path("again.png")}));
}

TEST_F(ScreenshotScannerTest, FilesFoundTogetherAreReportedInListingOrder)
{
    startScanner();
    write("one.png", "1");
    write("two.png", "2");
    write("three.jpg", "3");
    const QStringList listed = scanner->currentImageFiles();
    scheduler.advance(0.5);
    QStringList expected;
    for (const QString &name : listed)
        expected.append(path(name));
    EXPECT_EQ(settled, expected);
}

TEST_F(ScreenshotScannerTest, SpecialEntriesNeverBlockTheQueue)
{
    startScanner();
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.png")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(folder.path()).mkdir("dir.png"));
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(path("zero.png")).constData()), 0);
    scheduler.advance(3.0);
    // The FIFO never holds data; the others settle and fail to load later.
    EXPECT_FALSE(settled.contains(path("fifo.png")));
    write("after.png", "x");
    scheduler.advance(0.5);
    EXPECT_TRUE(settled.contains(path("after.png")));
}

TEST_F(ScreenshotScannerTest, AFolderThatCannotBeOpenedLeavesTheScannerInert)
{
    scanner = makeScanner(folder.filePath("missing"));
    scanner->start();
    EXPECT_TRUE(scanner->isInert());
    EXPECT_EQ(scheduler.pendingCount(), 0);
    QDir().mkdir(folder.filePath("missing"));
    write("missing/late.png", "x");
    scheduler.advance(2.0);
    EXPECT_TRUE(settled.isEmpty());
}

TEST_F(ScreenshotScannerTest, AFolderGoneForAMomentDoesNotMakeOldFilesNew)
{
    for (int i = 0; i < 5; ++i)
        write(QString("old%1.png").arg(i), "data");
    startScanner();
    const QString aside = folder.path() + "-aside";
    ASSERT_TRUE(QDir().rename(folder.path(), aside));
    scheduler.advance(0.4); // a rescan while the folder cannot be listed
    ASSERT_TRUE(QDir().rename(aside, folder.path()));
    scheduler.advance(2.0);
    EXPECT_TRUE(settled.isEmpty());
    write("new.png", "data");
    scheduler.advance(0.5);
    EXPECT_EQ(settled, QStringList({path("new.png")}));
}

TEST_F(ScreenshotScannerTest, AFileWrittenInPlaceIsTakenWhenItsWriterClosesIt)
{
    startScanner();
    ASSERT_TRUE(scanner->hasFolderEvents());
    QFile file(path("inplace.png"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("partial");
    file.flush();
    scanner->readFolderEvents();
    scheduler.advance(1.0); // unchanged and still incomplete: tried, and it fails
    file.write(" END");
    file.flush();
    scheduler.advance(0.16);
    EXPECT_TRUE(settled.isEmpty()); // changed since the last look
    file.close();
    scanner->readFolderEvents(); // closed: judged at once, not at the next check
    EXPECT_EQ(settled, QStringList({path("inplace.png")}));
    scheduler.advance(3.0);
    EXPECT_EQ(settled.size(), 1);
}

TEST_F(ScreenshotScannerTest, AFileThatKeepsChangingIsFollowedForTenSecondsOnly)
{
    startScanner();
    QByteArray bytes = "partial";
    for (double t = 0; t < ScreenshotScanner::growthLimit + 0.5; t += 0.1) {
        write("growing.png", bytes += 'x');
        scheduler.advance(0.1);
    }
    write("growing.png", bytes + "END");
    scheduler.advance(2.0);
    EXPECT_TRUE(settled.isEmpty());
    EXPECT_EQ(scheduler.pendingCount(), 1); // only the rescan is left
}

TEST_F(ScreenshotScannerTest, RescansRunOnlyWhileInotifyIsNotWatching)
{
    scanner = makeScanner(folder.path());
    scanner->start();
    EXPECT_TRUE(scanner->hasFolderEvents());
    EXPECT_FALSE(scanner->isRescanning());
    write("seen.png", "data");
    scanner->readFolderEvents();
    scheduler.advance(0.2);
    EXPECT_EQ(settled, QStringList({path("seen.png")}));

    // The folder goes away: rescans stand in until it can be watched again.
    const QString aside = folder.path() + "-aside";
    ASSERT_TRUE(QDir().rename(folder.path(), aside));
    ASSERT_TRUE(QDir().mkdir(folder.path()));
    QDir(aside).removeRecursively();
    scanner->readFolderEvents();
    EXPECT_TRUE(scanner->isRescanning());
    scheduler.advance(0.35);
    EXPECT_TRUE(scanner->hasFolderEvents());
    EXPECT_FALSE(scanner->isRescanning());
    write("back.png", "data");
    scanner->readFolderEvents();
    scheduler.advance(0.2);
    EXPECT_EQ(settled.last(), path("back.png"));
}

TEST_F(ScreenshotScannerTest, StoppingEndsTheRescans)
{
    startScanner();
    scanner->stop();
    write("after-stop.png", "x");
    scheduler.advance(2.0);
    EXPECT_TRUE(settled.isEmpty());
}

} // namespace
