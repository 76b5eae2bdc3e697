#include "TestServices.h"
#include "sources/ClipboardWatcher.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

class ClipboardWatcherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fake.pasteboard.writeString("there before"); // present at creation
        watcher = std::make_unique<ClipboardWatcher>(fake.scheduler, fake.pasteboard, fake.tempFolder, fake.tasks,
                                                     [this](const ShelfItemKind &kind) { reported.append(kind); });
        watcher->start();
    }

    const QString *reportedText(int i) const { return std::get_if<QString>(&reported.at(i)); }

    std::optional<std::optional<ShelfItemKind>> take()
    {
        std::optional<std::optional<ShelfItemKind>> answer;
        watcher->takeCurrentItem([&](std::optional<ShelfItemKind> kind) { answer = std::move(kind); });
        return answer;
    }

    TestServices fake;
    std::unique_ptr<ClipboardWatcher> watcher;
    QList<ShelfItemKind> reported;
};

TEST_F(ClipboardWatcherTest, WhatWasThereAtStartIsNeverReportedButCanBeTaken)
{
    fake.scheduler.advance(2.0);
    EXPECT_TRUE(reported.isEmpty());
    const auto taken = take();
    ASSERT_TRUE(taken && *taken);
    EXPECT_EQ(std::get<QString>(**taken), "there before");
}

TEST_F(ClipboardWatcherTest, TextIsReportedExactlyAndBlankTextNotAtAll)
{
    fake.pasteboard.writeString("  two leading spaces and a newline\n");
    fake.scheduler.advance(0.39);
    EXPECT_TRUE(reported.isEmpty()); // the first poll comes 0.4 s after start
    fake.scheduler.advance(0.02);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(*reportedText(0), "  two leading spaces and a newline\n");

    fake.pasteboard.writeString(" \n\t ");
    fake.scheduler.advance(2.0);
    EXPECT_EQ(reported.size(), 1);
}

TEST_F(ClipboardWatcherTest, TwoCopiesBetweenPollsReportTheLatestOnce)
{
    fake.pasteboard.writeString("first");
    fake.pasteboard.writeString("second");
    fake.scheduler.advance(1.0);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(*reportedText(0), "second");
}

TEST_F(ClipboardWatcherTest, ImagesBecomePrivatePngFilesAndWinOverText)
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30, 128));
    fake.pasteboard.writeImage(image);
    fake.pasteboard.currentString = QString("alt text");
    fake.tasks.deferred = true; // the PNG is written off the main thread
    fake.scheduler.advance(0.5);
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_TRUE(QDir(fake.tempFolder.path()).isEmpty());
    fake.tasks.runPending();
    ASSERT_EQ(reported.size(), 1);
    const Screenshot *shot = std::get_if<Screenshot>(&reported.first());
    ASSERT_TRUE(shot);
    const QString path = shot->url.toLocalFile();
    const QString stem = QFileInfo(path).completeBaseName();
    EXPECT_TRUE(QFileInfo(path).fileName().endsWith(".png"));
    EXPECT_EQ(stem, stem.toUpper());
    EXPECT_FALSE(QUuid::fromString(stem).isNull());
    EXPECT_NE(QUuid::fromString(stem), shot->id);
    EXPECT_EQ(QFileInfo(path).absolutePath(), fake.tempFolder.path());

    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const QImage written(path);
    EXPECT_EQ(written.pixelColor(1, 1), QColor(10, 20, 30, 128)); // alpha survives
}

TEST_F(ClipboardWatcherTest, TakingMarksTheContentAsSeen)
{
    fake.pasteboard.writeString("taken");
    EXPECT_TRUE(*take());
    fake.scheduler.advance(1.0);
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(ClipboardWatcherTest, PasswordsAreNeverTaken)
{
    fake.pasteboard.writeString("hunter2");
    fake.pasteboard.concealed = true;
    fake.scheduler.advance(1.0);
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_FALSE(*take());
}

TEST_F(ClipboardWatcherTest, NothingUsableAndStoppingReportNothing)
{
    fake.pasteboard.clear(); // e.g. the owner quit
    fake.scheduler.advance(1.0);
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_FALSE(*take());

    watcher->stop();
    fake.pasteboard.writeString("after stop");
    fake.scheduler.advance(1.0);
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(ClipboardWatcherTest, AnOwnerThatNeverAnswersDelaysOnlyItsOwnItem)
{
    fake.pasteboard.hangs = true;
    fake.pasteboard.writeString("slow owner");
    fake.scheduler.advance(0.5); // the poll asked and goes on without an answer
    fake.pasteboard.writeString("next copy");
    fake.pasteboard.writeString("and another");
    fake.scheduler.advance(2.0);
    EXPECT_EQ(fake.pasteboard.pendingReads.size(), 1); // reads never pile up
    EXPECT_TRUE(reported.isEmpty());

    // The changes made while the first read waited are read next, once.
    fake.pasteboard.answerPendingReads();
    fake.scheduler.advance(0.4);
    fake.pasteboard.answerPendingReads();
    fake.scheduler.advance(1.0);
    EXPECT_TRUE(fake.pasteboard.pendingReads.isEmpty());
    ASSERT_EQ(reported.size(), 2);
    EXPECT_EQ(*reportedText(0), "slow owner");
    EXPECT_EQ(*reportedText(1), "and another");

    std::optional<std::optional<ShelfItemKind>> pasted;
    watcher->takeCurrentItem([&](std::optional<ShelfItemKind> kind) { pasted = std::move(kind); });
    EXPECT_FALSE(pasted); // lands when the read completes
    fake.pasteboard.answerPendingReads();
    ASSERT_TRUE(pasted && *pasted);

    // Stopped with a read under way: its answer reports nothing.
    fake.pasteboard.writeString("after stop");
    fake.scheduler.advance(0.5);
    watcher->stop();
    fake.pasteboard.answerPendingReads();
    EXPECT_EQ(reported.size(), 2);
}

TEST_F(ClipboardWatcherTest, ToldOfChangesItChecksOnceAfterEachChangeAndSleepsOtherwise)
{
    watcher->stop();
    fake.pasteboard.reportsChanges = true;
    watcher->start();
    fake.scheduler.advance(5.0);
    EXPECT_EQ(fake.scheduler.pendingCount(), 0); // no steady poll

    fake.pasteboard.writeString("first");
    fake.scheduler.advance(0.39);
    EXPECT_TRUE(reported.isEmpty()); // on the 0.4 s cadence
    fake.scheduler.advance(0.02);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(fake.scheduler.pendingCount(), 0);

    // A change while the read waits is checked when the read ends.
    fake.pasteboard.hangs = true;
    fake.pasteboard.writeString("slow");
    fake.scheduler.advance(0.5);
    fake.pasteboard.writeString("during the read");
    fake.scheduler.advance(1.0);
    fake.pasteboard.answerPendingReads();
    fake.scheduler.advance(0.5);
    fake.pasteboard.answerPendingReads();
    ASSERT_EQ(reported.size(), 3);
    EXPECT_EQ(*reportedText(2), "during the read");
}

} // namespace
