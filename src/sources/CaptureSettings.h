#pragma once

#include "sources/ScreenshotFolders.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class FolderArrival;
class FolderEvents;
class GnomeScreenshotSetting;
class Scheduler;
class Timer;

// Follows the capture tools' settings while Zorv runs: the folders holding
// their settings files are watched with inotify, so nothing wakes until a
// file there changes, and each change of a tool's file, or of GSettings'
// database, resolves the screenshot folders again. Everything runs on the
// thread that calls start().
class CaptureSettings final : public QObject
{
    Q_OBJECT
public:
    // `newSinceNs` is the newest settings file's time (ns since the epoch)
    // after a change, 0 for the first reading.
    using FoldersCallback = std::function<void(ScreenshotFolders folders, qint64 newSinceNs)>;

    CaptureSettings(ScreenshotFolders::Places places, Scheduler &scheduler, FoldersCallback onFolders,
                    QObject *parent = nullptr);
    ~CaptureSettings() override;

    // Reads the settings once, reports them and starts watching; the
    // GSettings answer follows, when it comes, as another report.
    void start();
    // Stops watching; nothing is reported afterwards.
    void stop();
    // Reads queued file events now (the event loop does it otherwise).
    void readEvents();

    // Empty keeps GSettings out, for tests that must not depend on the machine.
    QString gsettingsProgram = QStringLiteral("gsettings");

    // Tools write a settings file in a few steps (a lock, a temporary
    // file, a rename); they are read once the burst has passed.
    static constexpr double settleDelay = 0.1;

private:
    struct Watch
    {
        QString folder;
        QStringList files;
        bool isDconf = false;
        std::unique_ptr<FolderEvents> events;
    };

    void watchFolders();
    void handleEvents(const Watch &watch, const QStringList &names);
    void scheduleRead();
    void report();
    qint64 newestSettingsTime() const;

    ScreenshotFolders::Places m_places;
    Scheduler &m_scheduler;
    FoldersCallback m_onFolders;
    std::vector<Watch> m_watches;
    std::unique_ptr<FolderArrival> m_configArrival;
    std::unique_ptr<GnomeScreenshotSetting> m_gnomeScreenshot;
    std::unique_ptr<Timer> m_readTimer;
    bool m_changed = false; // a report from now on follows a change
    bool m_stopped = false;
};
