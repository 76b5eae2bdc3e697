#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into an orderly quit of the event loop, so the
// shutdown sequence runs (the screenshot watcher's thread ends cleanly).
// The handler only writes a byte to a pipe; the quit happens on the main
// thread when the pipe is read.
class QuitOnSignal final : public QObject
{
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
