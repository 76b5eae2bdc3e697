#include "VirtualScheduler.h"
#include "sources/FolderArrival.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// inotify queues an event while the folder changes, so it is ready at once;
// a few passes deliver it and whatever it leaves to be deleted later.
void deliverFolderEvents()
{
    for (int pass = 0; pass < 4; ++pass) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST(FolderArrivalTest, FollowsThePathDownAndEndsItsWatchFromTheLastEvent)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    VirtualScheduler scheduler;
    int arrivals = 0;
    FolderArrival arrival(root.filePath(QStringLiteral("Pictures/Screenshots")), scheduler, [&] { ++arrivals; });
    arrival.start();

    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("Pictures")));
    deliverFolderEvents();
    EXPECT_EQ(arrivals, 0);

    // This event's own handler finishes the watch that delivered it.
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("Pictures/Screenshots")));
    deliverFolderEvents();
    EXPECT_EQ(arrivals, 1);
    EXPECT_TRUE(arrival.hasArrived());

    // Nothing watches or polls any longer.
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("Pictures/Screenshots/later")));
    deliverFolderEvents();
    scheduler.advance(10 * FolderArrival::pollInterval);
    EXPECT_EQ(arrivals, 1);
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

} // namespace
