#pragma once

#include "platform/Pasteboard.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Reads the CLIPBOARD selection of other programs on a thread of its own,
// through a private X connection, so that an owner that never answers
// cannot stall anything but this thread. Every read ends within
// `timeoutMs`, refuses content above `maxBytes` (INCR transfers included)
// and checks the password managers' hint before taking anything.
class X11ClipboardReader
{
public:
    X11ClipboardReader();
    ~X11ClipboardReader();
    X11ClipboardReader(const X11ClipboardReader &) = delete;
    X11ClipboardReader &operator=(const X11ClipboardReader &) = delete;

    // Queues a read; `done` runs on the reader's thread.
    void fetch(std::function<void(PasteboardContent)> done);
    // Queues other work for the reader's thread, after earlier reads.
    void post(std::function<void()> work);

    static constexpr int timeoutMs = Pasteboard::readTimeoutMs;
    static constexpr qint64 maxBytes = Pasteboard::maxReadBytes;

private:
    class Connection;
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::unique_ptr<Connection> m_connection; // used on the reader's thread only
    std::thread m_thread;
};
