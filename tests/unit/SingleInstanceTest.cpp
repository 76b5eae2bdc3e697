#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(SingleInstanceTest, ASecondInstanceIsRefusedWhileTheFirstRuns)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("zorv.lock");
    SingleInstance first(path);
    ASSERT_TRUE(first.tryAcquire());
    SingleInstance second(path);
    EXPECT_FALSE(second.tryAcquire());
}

TEST(SingleInstanceTest, ALockLeftByAKilledInstanceIsTakenOver)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("zorv.lock");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(path);
        lock.tryLock(0);
        ::_exit(lock.isLocked() ? 0 : 1); // dies holding the lock, like SIGKILL
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFileInfo::exists(path));

    SingleInstance next(path);
    EXPECT_TRUE(next.tryAcquire());
}

TEST(SingleInstanceTest, RuntimeFolderComesFromTheEnvironment)
{
    QTemporaryDir folder;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
    EXPECT_EQ(SingleInstance::standardLockPath(), folder.filePath("zorv.lock"));

    // Without one, or with one that does not exist, each user's lock lives
    // in that user's private folder.
    QTemporaryDir shared;
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(shared.path()));
    qputenv("XDG_RUNTIME_DIR", "/nonexistent/runtime");
    const QString missing = SingleInstance::standardLockPath();
    qunsetenv("XDG_RUNTIME_DIR");
    const QString fallback = SingleInstance::standardLockPath();
    savedTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", savedTmp);
    EXPECT_EQ(missing, fallback);
    EXPECT_EQ(fallback, shared.filePath(QString("zorv-%1/zorv.lock").arg(::getuid())));
    EXPECT_EQ(QFileInfo(QFileInfo(fallback).path()).permissions() & 0x0077, 0); // nobody else's
}

} // namespace
