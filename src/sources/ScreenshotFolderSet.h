#pragma once

#include "sources/ScreenshotFolders.h"
#include "sources/ScreenshotScanner.h"

#include <QObject>

#include <memory>
#include <vector>

class FolderArrival;
class Scheduler;

// Every screenshot folder that is watched, on the watcher's queue: one
// scanner per existing folder, and for each candidate that does not exist
// yet a wait for it to appear. A folder that appears is scanned from empty,
// so the capture that created it counts. When a tool's setting moves its
// folder, the new folder is watched and the one no tool names any more is
// let go.
class ScreenshotFolderSet final : public QObject
{
    Q_OBJECT
public:
    ScreenshotFolderSet(ScreenshotFolders folders, Scheduler &queueScheduler, ScreenshotScanner::Loader load,
                        ScreenshotScanner::SettledCallback onSettled, QObject *parent = nullptr);
    ~ScreenshotFolderSet() override;

    void start();
    void stop();
    // Watches `folders` from now on. In a folder that was not watched
    // before, files modified at or after `newSinceNs` (file time in ns since
    // the epoch; 0 for none) are new: they were saved after the setting
    // changed, perhaps before this call.
    void setFolders(ScreenshotFolders folders, qint64 newSinceNs = 0);
    const ScreenshotFolders &folders() const { return m_folders; }

    // The folders scanned now, in the order they were added.
    QStringList watchedFolders() const;
    // The folders awaited now, in the order they were added.
    QStringList awaitedFolders() const;
    const std::vector<std::unique_ptr<ScreenshotScanner>> &scanners() const { return m_scanners; }
    const std::vector<std::unique_ptr<FolderArrival>> &arrivals() const { return m_arrivals; }

private:
    void apply(qint64 newSinceNs);
    void addScanner(const QString &folder, ScreenshotScanner::Inventory inventory, qint64 newSinceNs = 0);
    bool isGeneralFolder(const QString &folder) const;

    ScreenshotFolders m_folders;
    Scheduler &m_scheduler;
    ScreenshotScanner::Loader m_load;
    ScreenshotScanner::SettledCallback m_onSettled;
    std::vector<std::unique_ptr<ScreenshotScanner>> m_scanners;
    std::vector<std::unique_ptr<FolderArrival>> m_arrivals;
    bool m_started = false;
    bool m_stopped = false;
};
