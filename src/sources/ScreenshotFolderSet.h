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
// so the capture that created it counts.
class ScreenshotFolderSet final : public QObject
{
    Q_OBJECT
public:
    ScreenshotFolderSet(ScreenshotFolders folders, Scheduler &queueScheduler, ScreenshotScanner::Loader load,
                        ScreenshotScanner::SettledCallback onSettled, QObject *parent = nullptr);
    ~ScreenshotFolderSet() override;

    void start();
    void stop();

    // The folders scanned now, in the order they were added.
    QStringList watchedFolders() const;
    const std::vector<std::unique_ptr<ScreenshotScanner>> &scanners() const { return m_scanners; }
    const std::vector<std::unique_ptr<FolderArrival>> &arrivals() const { return m_arrivals; }

private:
    void addScanner(const QString &folder, ScreenshotScanner::Inventory inventory);

    ScreenshotFolders m_folders;
    Scheduler &m_scheduler;
    ScreenshotScanner::Loader m_load;
    ScreenshotScanner::SettledCallback m_onSettled;
    std::vector<std::unique_ptr<ScreenshotScanner>> m_scanners;
    std::vector<std::unique_ptr<FolderArrival>> m_arrivals;
    bool m_stopped = false;
};
