#include "platform/wayland/PipeTransferThread.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

struct PipeTransferThread::Transfer
{
    bool isRead = true;
    std::vector<int> fds;
    std::vector<QByteArray> data;
    std::vector<bool> complete;
    qint64 maxBytes = 0;
    qint64 total = 0;
    bool overLimit = false;
    Clock::time_point deadline;
    ReadDone done;
    QByteArray bytes; // to write
    qsizetype written = 0;

    bool isOpen() const
    {
        return std::any_of(fds.begin(), fds.end(), [](int fd) { return fd >= 0; });
    }
    void closeAll()
    {
        for (int &fd : fds)
            closeFd(fd);
    }

    // Takes what the pipe holds now, and closes it at its end.
    void readFrom(std::size_t index)
    {
        char buffer[65536];
        for (;;) {
            const ssize_t count = ::read(fds[index], buffer, sizeof buffer);
            if (count > 0) {
                total += count;
                if (total > maxBytes) {
                    overLimit = true;
                    closeAll();
                    return;
                }
                data[index].append(buffer, count);
                continue;
            }
            if (count < 0 && (errno == EINTR))
                continue;
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            complete[index] = count == 0;
            closeFd(fds[index]);
            return;
        }
    }

    void writeTo()
    {
        while (written < bytes.size()) {
            const ssize_t count = ::write(fds[0], bytes.constData() + written, std::size_t(bytes.size() - written));
            if (count > 0) {
                written += count;
                continue;
            }
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            break; // the reader went away
        }
        closeFd(fds[0]);
    }

    void finish()
    {
        closeAll();
        if (!isRead || !done)
            return;
        std::vector<std::optional<QByteArray>> results(data.size());
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (complete[i] && !overLimit)
                results[i] = std::move(data[i]);
        }
        done(std::move(results));
    }
};

PipeTransferThread::PipeTransferThread()
{
    if (::pipe2(m_wakeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        m_wakeFds[0] = m_wakeFds[1] = -1;
    m_thread = std::thread([this] { run(); });
}

PipeTransferThread::~PipeTransferThread()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    wake();
    m_thread.join();
    for (auto &transfer : m_incoming)
        transfer->closeAll();
    closeFd(m_wakeFds[0]);
    closeFd(m_wakeFds[1]);
}

void PipeTransferThread::read(std::vector<int> fds, qint64 maxBytes, std::chrono::milliseconds timeout, ReadDone done)
{
    auto transfer = std::make_unique<Transfer>();
    transfer->data.resize(fds.size());
    transfer->complete.resize(fds.size(), false);
    transfer->fds = std::move(fds);
    transfer->maxBytes = maxBytes;
    transfer->deadline = Clock::now() + timeout;
    transfer->done = std::move(done);
    add(std::move(transfer));
}

void PipeTransferThread::write(int fd, QByteArray bytes, std::chrono::milliseconds timeout)
{
    auto transfer = std::make_unique<Transfer>();
    transfer->isRead = false;
    transfer->fds = {fd};
    transfer->bytes = std::move(bytes);
    transfer->deadline = Clock::now() + timeout;
    add(std::move(transfer));
}

void PipeTransferThread::add(std::unique_ptr<Transfer> transfer)
{
    for (int fd : transfer->fds) {
        if (fd >= 0)
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    {
        const std::lock_guard lock(m_mutex);
        if (!m_stopping) {
            m_incoming.push_back(std::move(transfer));
            transfer = nullptr;
        }
    }
    if (transfer)
        transfer->closeAll();
    else
        wake();
}

void PipeTransferThread::wake()
{
    if (m_wakeFds[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(m_wakeFds[1], &byte, 1);
    }
}

void PipeTransferThread::run()
{
    // A reader that closes its end early makes a write raise SIGPIPE, which
    // would end the whole program; here it only fails the write.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

    std::vector<std::unique_ptr<Transfer>> active;
    std::vector<pollfd> polled;
    std::vector<std::pair<Transfer *, std::size_t>> owners;
    for (;;) {
        {
            const std::lock_guard lock(m_mutex);
            if (m_stopping)
                break;
            for (auto &transfer : m_incoming)
                active.push_back(std::move(transfer));
            m_incoming.clear();
        }
        polled.assign(1, pollfd{m_wakeFds[0], POLLIN, 0});
        owners.assign(1, {nullptr, 0});
        std::optional<Clock::time_point> nearest;
        for (auto &transfer : active) {
            for (std::size_t i = 0; i < transfer->fds.size(); ++i) {
                if (transfer->fds[i] < 0)
                    continue;
                polled.push_back(pollfd{transfer->fds[i], short(transfer->isRead ? POLLIN : POLLOUT), 0});
                owners.emplace_back(transfer.get(), i);
            }
            nearest = nearest ? std::min(*nearest, transfer->deadline) : transfer->deadline;
        }
        int timeoutMs = -1;
        if (nearest) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*nearest - Clock::now());
            timeoutMs = int(std::max<qint64>(0, left.count()));
        }
        if (::poll(polled.data(), polled.size(), timeoutMs) < 0 && errno != EINTR)
            break;
        if (polled[0].revents) {
            char drain[64];
            while (::read(m_wakeFds[0], drain, sizeof drain) > 0) {
            }
        }
        for (std::size_t i = 1; i < polled.size(); ++i) {
            auto [transfer, index] = owners[i];
            if (!polled[i].revents || transfer->fds[index] < 0)
                continue;
            if (transfer->isRead)
                transfer->readFrom(index);
            else
                transfer->writeTo();
        }
        sigset_t pending;
        sigpending(&pending);
        if (sigismember(&pending, SIGPIPE)) {
            const timespec now{0, 0};
            sigtimedwait(&pipeSignal, nullptr, &now);
        }
        const Clock::time_point now = Clock::now();
        for (auto it = active.begin(); it != active.end();) {
            if (!(*it)->isOpen() || now >= (*it)->deadline) {
                (*it)->finish();
                it = active.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto &transfer : active)
        transfer->closeAll();
}
