#pragma once

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Moves clipboard data through pipes on a thread of its own, all transfers
// at once in one poll loop: another program that never writes the data it
// offered, or never reads what it asked for, holds up nothing but its own
// transfer, and that only until its deadline. The thread sleeps in poll()
// while nothing moves. Every descriptor handed over is closed here.
class PipeTransferThread
{
public:
    // One result per descriptor, in order: the bytes up to the end of the
    // pipe, or nothing when the deadline passed first or the pipes together
    // carried more than the limit.
    using ReadDone = std::function<void(std::vector<std::optional<QByteArray>> results)>;

    PipeTransferThread();
    ~PipeTransferThread();
    PipeTransferThread(const PipeTransferThread &) = delete;
    PipeTransferThread &operator=(const PipeTransferThread &) = delete;

    // Reads every pipe to its end; `done` runs on the transfer thread.
    void read(std::vector<int> fds, qint64 maxBytes, std::chrono::milliseconds timeout, ReadDone done);
    // Writes `bytes` into the pipe and closes it, or gives up at the deadline.
    void write(int fd, QByteArray bytes, std::chrono::milliseconds timeout);

private:
    struct Transfer;
    void add(std::unique_ptr<Transfer> transfer);
    void run();
    void wake();

    std::mutex m_mutex;
    std::vector<std::unique_ptr<Transfer>> m_incoming;
    bool m_stopping = false;
    int m_wakeFds[2] = {-1, -1};
    std::thread m_thread;
};
