#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QFileSystemWatcher;
class Scheduler;
class Timer;

// The screenshot watcher's work, all of it on one serial queue (a thread of
// its own in the application, the test thread under virtual time): folder
// events and a 0.3 s rescan find new image names, and each new file is
// checked every 0.15 s until it holds data, up to 11 times. Settled files
// are handed to `onSettled`, still on the queue.
class ScreenshotScanner final : public QObject
{
    Q_OBJECT
public:
    using SettledCallback = std::function<void(const QString &path)>;

    ScreenshotScanner(QString directory, Scheduler &queueScheduler, SettledCallback onSettled,
                      QObject *parent = nullptr);
    ~ScreenshotScanner() override;

    // Takes the first inventory and starts watching; a folder that cannot
    // be opened leaves the scanner inert.
    void start();
    void stop();
    void handleDirectoryChanged();

    bool isInert() const { return m_inert; }

    // Names in the folder, in listing order, whose lower-cased extension
    // is an image extension.
    QStringList currentImageFiles() const;
    static bool hasImageExtension(const QString &name);

    static constexpr double rescanInterval = 0.3;
    static constexpr double settleInterval = 0.15;
    static constexpr int lastSettleAttempt = 10;

private:
    void waitForFileToSettle(const QString &path, int attempt);
    bool isListable() const;
    static bool holdsData(const QString &path);

    QString m_directory;
    Scheduler &m_scheduler;
    SettledCallback m_onSettled;
    QSet<QString> m_knownFiles;
    std::unique_ptr<QFileSystemWatcher> m_folderEvents;
    std::unique_ptr<Timer> m_fallbackTimer;
    bool m_inert = false;
};
