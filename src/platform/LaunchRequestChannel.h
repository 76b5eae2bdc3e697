#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

class QLocalServer;
class QLocalSocket;
class Scheduler;
class Timer;

// How a later launch reaches the running instance: a local socket only the
// user can open, on which each connection may carry one short request line.
// The running instance listens; a later launch calls sendSettingsRequest()
// before it exits. Requests are read as they arrive, never waited for; a
// connection is dropped after its first line or a few bytes without one, and
// only a known request does anything.
class LaunchRequestChannel final : public QObject
{
    Q_OBJECT
public:
    explicit LaunchRequestChannel(Scheduler &scheduler, QObject *parent = nullptr);
    ~LaunchRequestChannel() override;

    // Starts listening at `path`. Whatever lies there was left by an instance
    // that no longer holds the lock, so it is removed first. False when the
    // socket could not be made; later launches then reach nobody.
    bool listen(const QString &path);

    // For a later launch: asks the instance listening at `path` to open its
    // settings. An instance that holds the lock but is still starting has
    // no socket yet, so a refused or missing socket is tried again for up
    // to startupGraceSeconds. Blocks at most about that plus twice
    // sendTimeoutSeconds (connecting, then writing), so a stopped or hung
    // instance cannot hold the caller.
    // False when the request could not be handed over.
    static bool sendSettingsRequest(const QString &path);

    // The one request understood, including its line end.
    static inline const QByteArray settingsRequest = QByteArrayLiteral("settings\n");
    // A connection is dropped once it has sent this much without a line end.
    static constexpr qint64 maxRequestBytes = 64;
    // Seconds a connection may stay open before it has sent its line.
    static constexpr double requestTimeout = 2.0;
    // Seconds a later launch waits to connect, and again to write.
    static constexpr int sendTimeoutSeconds = 1;
    static constexpr int startupGraceSeconds = 5;
    static constexpr int startupRetryMilliseconds = 100;

Q_SIGNALS:
    void settingsRequested();

private:
    struct Connection {
        QByteArray received;
        std::unique_ptr<Timer> deadline;
    };

    void accept();
    void read(QLocalSocket *socket);
    void drop(QLocalSocket *socket);

    Scheduler &m_scheduler;
    std::unique_ptr<QLocalServer> m_server;
    std::map<QLocalSocket *, Connection> m_connections;
};
