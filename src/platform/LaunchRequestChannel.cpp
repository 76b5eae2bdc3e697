#include "platform/LaunchRequestChannel.h"

#include "platform/Scheduler.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

LaunchRequestChannel::LaunchRequestChannel(Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_server(std::make_unique<QLocalServer>())
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &LaunchRequestChannel::accept);
}

LaunchRequestChannel::~LaunchRequestChannel()
{
    // The sockets are children of the server; nothing may call back here
    // while they go.
    for (auto &[socket, connection] : m_connections)
        socket->disconnect(this);
    m_connections.clear();
}

bool LaunchRequestChannel::listen(const QString &path)
{
    QLocalServer::removeServer(path);
    if (m_server->listen(path))
        return true;
    qWarning("Zorv: cannot listen for later launches at %s: %s", qPrintable(path),
             qPrintable(m_server->errorString()));
    return false;
}

void LaunchRequestChannel::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // Qt buffers no more than a request may hold.
        socket->setReadBufferSize(maxRequestBytes);
        Connection &connection = m_connections[socket];
        const QPointer<LaunchRequestChannel> self(this);
        connection.deadline = m_scheduler.scheduleOneShot(requestTimeout, socket, [self, socket] {
            if (self)
                self->drop(socket);
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            read(socket); // what was sent just before the close
            drop(socket);
        });
        read(socket);
    }
}

void LaunchRequestChannel::read(QLocalSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    QByteArray &received = found->second.received;
    received += socket->read(maxRequestBytes - received.size());
    const qsizetype end = received.indexOf('\n');
    if (end < 0) {
        if (received.size() >= maxRequestBytes)
            drop(socket);
        return;
    }
    const bool settings = received.left(end + 1) == settingsRequest;
    drop(socket);
    if (settings)
        Q_EMIT settingsRequested();
}

void LaunchRequestChannel::drop(QLocalSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    m_connections.erase(found);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

bool LaunchRequestChannel::sendSettingsRequest(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));

    // This runs in the short-lived second process, before any event loop:
    // a plain bounded retry is all the waiting there is.
    constexpr int attempts = startupGraceSeconds * 1000 / startupRetryMilliseconds;
    for (int attempt = 0;; ++attempt) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        // The send timeout bounds a blocking connect on a local socket as well
        // as the write: a stopped instance with a full backlog cannot hold us.
        const timeval limit{sendTimeoutSeconds, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
            const ssize_t written = ::send(fd, settingsRequest.constData(), size_t(settingsRequest.size()), MSG_NOSIGNAL);
            ::close(fd);
            return written == settingsRequest.size();
        }
        const int error = errno;
        ::close(fd);
        const bool notListeningYet = error == ENOENT || error == ECONNREFUSED;
        if (!notListeningYet || attempt + 1 >= attempts)
            return false;
        ::usleep(useconds_t(startupRetryMilliseconds) * 1000);
    }
}
