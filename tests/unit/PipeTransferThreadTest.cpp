#include "platform/wayland/PipeTransferThread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

struct Pipe
{
    Pipe() { EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0); }
    ~Pipe()
    {
        for (int fd : fds) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    int takeRead() { return std::exchange(fds[0], -1); }
    int takeWrite() { return std::exchange(fds[1], -1); }
    void put(const QByteArray &bytes) { ASSERT_EQ(::write(fds[1], bytes.constData(), bytes.size()), bytes.size()); }
    void closeWrite() { ::close(takeWrite()); }
    int fds[2] = {-1, -1};
};

// Waits for the transfer thread's answer (no time passes for the test).
struct Results
{
    PipeTransferThread::ReadDone callback()
    {
        return [this](std::vector<std::optional<QByteArray>> results) {
            const std::lock_guard lock(mutex);
            value = std::move(results);
            done.notify_all();
        };
    }
    std::vector<std::optional<QByteArray>> wait()
    {
        std::unique_lock lock(mutex);
        done.wait(lock, [this] { return value.has_value(); });
        return *value;
    }
    std::mutex mutex;
    std::condition_variable done;
    std::optional<std::vector<std::optional<QByteArray>>> value;
};

} // namespace

TEST(PipeTransferThreadTest, ReadsPipesSideBySideWithinTheLimit)
{
    PipeTransferThread thread;
    Pipe first, second;
    Results results;
    thread.read({first.takeRead(), second.takeRead()}, 1 << 20, 60s, results.callback());
    // The second pipe fills beyond its buffer while the first stays open:
    // only reading both at once lets this writer finish.
    const QByteArray big(256 * 1024, 'b');
    std::thread writer([&] {
        second.put(big);
        second.closeWrite();
        first.put("first");
        first.closeWrite();
    });
    const auto read = results.wait();
    writer.join();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0], QByteArray("first"));
    EXPECT_EQ(read[1], big);

    // Above the limit, together, nothing is taken.
    Pipe third;
    Results refused;
    thread.read({third.takeRead()}, 4, 60s, refused.callback());
    third.put("too long");
    EXPECT_EQ(refused.wait(), std::vector<std::optional<QByteArray>>{std::nullopt});
}

TEST(PipeTransferThreadTest, GivesUpOnPeersThatStall)
{
    PipeTransferThread thread;
    // A writer that never closes: the deadline ends the read with nothing.
    Pipe silent;
    Results results;
    thread.read({silent.takeRead()}, 1 << 20, 0ms, results.callback());
    EXPECT_EQ(results.wait(), std::vector<std::optional<QByteArray>>{std::nullopt});

    // A reader that never reads: the write is dropped and the pipe closed,
    // and a reader that went away costs no SIGPIPE.
    Pipe stalled;
    thread.write(stalled.takeWrite(), QByteArray(1 << 20, 'x'), 0ms);
    Pipe gone;
    ::close(gone.takeRead());
    thread.write(gone.takeWrite(), "bytes", 60s);
    Pipe probe;
    Results after;
    thread.read({probe.takeRead()}, 16, 60s, after.callback());
    probe.put("alive");
    probe.closeWrite();
    EXPECT_EQ(after.wait(), std::vector<std::optional<QByteArray>>{QByteArray("alive")});
    // The stalled pipe was closed: its reader sees the end after the buffer.
    QByteArray drained;
    char buffer[65536];
    for (ssize_t n; (n = ::read(stalled.fds[0], buffer, sizeof buffer)) > 0;)
        drained.append(buffer, n);
    EXPECT_LT(drained.size(), 1 << 20);
}
