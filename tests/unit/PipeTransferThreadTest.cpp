#include "platform/wayland/PipeTransferThread.h"

#include <gtest/gtest.h>

#include <future>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Results = std::vector<std::optional<QByteArray>>;

struct Pipe
{
    Pipe() { EXPECT_EQ(::pipe(fds), 0); }
    ~Pipe() { closeRead(), closeWrite(); }
    int takeRead() { return std::exchange(fds[0], -1); }
    int takeWrite() { return std::exchange(fds[1], -1); }
    void put(const QByteArray &bytes) { ASSERT_EQ(::write(fds[1], bytes.constData(), bytes.size()), bytes.size()); }
    void closeRead()
    {
        if (fds[0] >= 0)
            ::close(takeRead());
    }
    void closeWrite()
    {
        if (fds[1] >= 0)
            ::close(takeWrite());
    }
    int fds[2] = {-1, -1};
};

// The transfer thread's answer, waited for (no time passes for the test).
std::future<Results> read(PipeTransferThread &thread, std::vector<int> fds, qint64 limit,
                          std::chrono::milliseconds timeout)
{
    auto promise = std::make_shared<std::promise<Results>>();
    thread.read(std::move(fds), limit, timeout, [promise](Results results) { promise->set_value(std::move(results)); });
    return promise->get_future();
}

} // namespace

TEST(PipeTransferThreadTest, ReadsPipesSideBySideWithinTheLimit)
{
    PipeTransferThread thread;
    Pipe first, second;
    auto results = read(thread, {first.takeRead(), second.takeRead()}, 1 << 20, 60s);
    // The second pipe fills beyond its buffer while the first stays open:
    // only reading both at once lets this writer finish.
    const QByteArray big(256 * 1024, 'b');
    std::thread writer([&] {
        second.put(big);
        second.closeWrite();
        first.put("first");
        first.closeWrite();
    });
    EXPECT_EQ(results.get(), (Results{QByteArray("first"), big}));
    writer.join();

    // Above the limit, together, nothing is taken.
    Pipe third;
    auto refused = read(thread, {third.takeRead()}, 4, 60s);
    third.put("too long");
    EXPECT_EQ(refused.get(), Results{std::nullopt});
}

TEST(PipeTransferThreadTest, GivesUpOnPeersThatStall)
{
    PipeTransferThread thread;
    // A writer that never closes: the deadline ends the read with nothing.
    Pipe silent;
    EXPECT_EQ(read(thread, {silent.takeRead()}, 1 << 20, 0ms).get(), Results{std::nullopt});

    // A reader that never reads: the write is dropped and the pipe closed;
    // a reader that went away costs no SIGPIPE.
    Pipe stalled, gone;
    thread.write(stalled.takeWrite(), QByteArray(1 << 20, 'x'), 0ms);
    gone.closeRead();
    thread.write(gone.takeWrite(), "bytes", 60s);
    Pipe probe;
    auto after = read(thread, {probe.takeRead()}, 16, 60s);
    probe.put("alive");
    probe.closeWrite();
    EXPECT_EQ(after.get(), Results{QByteArray("alive")});
    QByteArray drained;
    char buffer[65536];
    for (ssize_t n; (n = ::read(stalled.fds[0], buffer, sizeof buffer)) > 0;)
        drained.append(buffer, n);
    EXPECT_LT(drained.size(), 1 << 20); // ended by its writer, short of the whole
}
