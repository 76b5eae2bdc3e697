#include "platform/LaunchRequestChannel.h"

#include "VirtualScheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A plain client, so that the channel sees exactly the bytes written.
struct Client {
    Client(const QString &path, const QByteArray &data)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
        EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
        write(data);
    }
    ~Client() { ::close(fd); }
    void write(const QByteArray &data) { EXPECT_EQ(::send(fd, data.constData(), size_t(data.size()), 0), data.size()); }
    // Whether the channel hung up after handling what the kernel holds:
    // a few passes of the event loop, no waiting.
    bool closed()
    {
        for (int pass = 0; pass < 10; ++pass)
            QCoreApplication::processEvents();
        char byte = 0;
        const ssize_t got = ::recv(fd, &byte, 1, MSG_DONTWAIT);
        return got == 0 || (got < 0 && errno != EAGAIN);
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
};

TEST(LaunchRequestChannelTest, OnlyAWholeSettingsLineCountsAndSilentConnectionsGo)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("zorv.socket"));
    VirtualScheduler scheduler;
    LaunchRequestChannel channel(scheduler);
    int requests = 0;
    QObject::connect(&channel, &LaunchRequestChannel::settingsRequested, [&requests] { ++requests; });
    ASSERT_TRUE(channel.listen(path));

    EXPECT_TRUE(Client(path, "quit\n").closed());
    EXPECT_TRUE(Client(path, "settings now\n").closed());
    EXPECT_TRUE(Client(path, QByteArray(LaunchRequestChannel::maxRequestBytes * 4, 's')).closed());
    Client pieces(path, "sett");
    EXPECT_FALSE(pieces.closed());
    EXPECT_EQ(requests, 0);
    pieces.write("ings\n");
    EXPECT_TRUE(pieces.closed());
    EXPECT_EQ(requests, 1);

    Client silent(path, {});
    EXPECT_FALSE(silent.closed());
    scheduler.advance(LaunchRequestChannel::requestTimeout);
    EXPECT_TRUE(silent.closed());
}

} // namespace
