#pragma once

#include "model/ScreenshotImage.h"
#include "sources/ScreenshotFolders.h"

#include <QImage>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

class CaptureSettings;
class QThread;
class ScreenshotFolderSet;
class Scheduler;
class ThumbnailCache;

// Watches the folders where screenshots are saved and reports each new image
// file once it is complete. The work runs on a thread of its own, which also
// decodes the image into its thumbnail, so a large screenshot never stalls
// the panel; the
// report itself arrives on the main thread, in the order files settle.
class ScreenshotWatcher final : public QObject
{
    Q_OBJECT
public:
    using NewScreenshotCallback =
        std::function<void(const QUrl &url, std::shared_ptr<const ScreenshotImage> image)>;

    ScreenshotWatcher(ScreenshotFolders folders, NewScreenshotCallback onNewScreenshot, QObject *parent = nullptr);
    ~ScreenshotWatcher() override;

    // Where thumbnails of arriving files are kept for the next launch; set
    // before start(). The cache must outlive the watcher.
    void setThumbnailCache(const ThumbnailCache *cache) { m_thumbnailCache = cache; }

    void start();
    void stop();

private:
    ScreenshotFolders m_folders;
    NewScreenshotCallback m_onNewScreenshot;
    std::unique_ptr<Scheduler> m_queueScheduler;
    std::unique_ptr<QThread> m_queue;
    ScreenshotFolderSet *m_folderSet = nullptr; // lives on m_queue
    CaptureSettings *m_settings = nullptr;      // a child of m_folderSet, when the folders follow the tools' settings
    const ThumbnailCache *m_thumbnailCache = nullptr;
};
