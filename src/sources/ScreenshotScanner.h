#pragma once

#include "model/ScreenshotImage.h"
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class FolderEvents;
class Scheduler;
class Timer;

// The screenshot watcher's work for one folder, all of it on one serial
// queue (a thread of its own in the application, the test thread under
// virtual time): folder events and a 0.3 s rescan find new image names, and
// each new file is followed until it is complete. Complete means its writer
// closed it or it was renamed in, or, without such an event, its size is
// non-zero and unchanged between two checks 0.15 s apart. Many capture tools
// write in place, so a file that is still changing, or fails to load while
// it changes, is followed for up to `growthLimit` seconds. A file that stays
// empty is given up after 11 checks. Loaded files go to `onSettled`, still
// on the queue.
class ScreenshotScanner final : public QObject
{
    Q_OBJECT
public:
    // Loads a complete file; null when it is not (yet) a readable image.
    using Loader = std::function<std::shared_ptr<const ScreenshotImage>(const QString &path)>;
    using SettledCallback = std::function<void(const QString &path, std::shared_ptr<const ScreenshotImage> image)>;

    // What start() counts as already there: files in a folder watched since
    // launch are old; in a folder that appeared later, everything is new.
    enum class Inventory { takeExisting, startEmpty };

    ScreenshotScanner(QString directory, Scheduler &queueScheduler, Loader load, SettledCallback onSettled,
                      QObject *parent = nullptr);
    ~ScreenshotScanner() override;

    // Takes the first inventory and starts watching; a folder that cannot
    // be opened leaves the scanner inert. With `newSinceNs`, files modified
    // at or after that file time (ns since the epoch) are new all the same:
    // captures saved into a folder since a tool's setting named it.
    void start(Inventory inventory = Inventory::takeExisting, qint64 newSinceNs = 0);
    void stop();
    void handleDirectoryChanged();
    // Reads queued folder events now (the event loop does it otherwise).
    void readFolderEvents();

    const QString &directory() const { return m_directory; }
    bool isRescanning() const { return m_fallbackTimer != nullptr; }

    // The 0.3 s rescan runs only while inotify is not watching the folder;
    // tests that drive the scanner by rescans alone keep it on.
    bool rescanWhileWatched = false;
    // Set before start() for a general folder such as Pictures: only the
    // names capture tools write count there.
    bool captureNamesOnly = false;
    bool isInert() const { return m_inert; }
    bool hasFolderEvents() const;

    // Names in the folder, in listing order, whose lower-cased extension
    // is an image extension (and, in a general folder, that a capture tool
    // would write).
    QStringList currentImageFiles() const;
    static bool hasImageExtension(const QString &name);

    static constexpr double rescanInterval = 0.3;
    static constexpr double settleInterval = 0.15;
    static constexpr int lastSettleAttempt = 10;
    static constexpr double growthLimit = 10.0;

    // What a check sees of a file: enough to tell whether it changed.
    struct Stamp
    {
        bool exists = false;
        bool isSpecial = false; // a directory, FIFO, device or socket
        qint64 size = 0;
        qint64 modifiedNs = 0;
        friend bool operator==(const Stamp &, const Stamp &) = default;
    };

private:
    struct Follow
    {
        QString path;
        double foundAt = 0;
        int emptyChecks = 0;
        bool heldData = false;
        bool completed = false; // a completion event came since the last check
        Stamp last;
        Stamp failed; // the state in which loading last failed
        std::unique_ptr<Timer> nextCheck;
    };

    void follow(const QString &name);
    void scheduleCheck(const QString &name);
    void check(const QString &name);
    bool isListable() const;
    void updateRescans();
    static Stamp stampOf(const QString &path);

    QString m_directory;
    Scheduler &m_scheduler;
    Loader m_load;
    SettledCallback m_onSettled;
    QSet<QString> m_knownFiles;
    std::map<QString, Follow> m_following; // by name
    std::unique_ptr<FolderEvents> m_folderEvents;
    std::unique_ptr<Timer> m_fallbackTimer;
    bool m_inert = false;
};
