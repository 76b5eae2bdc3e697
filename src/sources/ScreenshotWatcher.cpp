#include "sources/ScreenshotWatcher.h"

#include "platform/QtScheduler.h"
#include "sources/CaptureSettings.h"
#include "sources/ScreenshotFolderSet.h"

#include <QPointer>
#include <QThread>

ScreenshotWatcher::ScreenshotWatcher(ScreenshotFolders folders, NewScreenshotCallback onNewScreenshot,
                                     QObject *parent)
    : QObject(parent)
    , m_folders(std::move(folders))
    , m_onNewScreenshot(std::move(onNewScreenshot))
    , m_queueScheduler(std::make_unique<QtScheduler>())
    , m_queue(std::make_unique<QThread>())
{
    m_queue->setObjectName(QStringLiteral("zorv screenshot watcher"));
}

ScreenshotWatcher::~ScreenshotWatcher()
{
    stop();
    m_queue->quit();
    m_queue->wait();
}

void ScreenshotWatcher::start()
{
    if (m_folderSet)
        return;
    // Runs on the watcher's thread, which stops before this object dies. The
    // image was decoded there; the main thread only adds it. A call queued
    // for an object that is gone is dropped by Qt.
    auto deliver = [this](const QString &path, std::shared_ptr<const ScreenshotImage> image) {
        QMetaObject::invokeMethod(
            this,
            [this, path, image] {
                if (m_onNewScreenshot)
                    m_onNewScreenshot(QUrl::fromLocalFile(path), image);
            },
            Qt::QueuedConnection);
    };
    // Decoded on the watcher's thread, into a thumbnail only.
    auto load = [cache = m_thumbnailCache](const QString &path) { return ScreenshotImage::load(path, cache); };
    m_folderSet = new ScreenshotFolderSet(m_folders, *m_queueScheduler, load, deliver);
    // The tools' settings are read, and followed, on the watcher's thread:
    // the main thread never reads their files nor waits for gsettings.
    if (m_folders.settings) {
        const QPointer<ScreenshotFolderSet> folderSet(m_folderSet);
        auto onFolders = [folderSet](ScreenshotFolders folders, qint64 newSinceNs) {
            if (folderSet)
                folderSet->setFolders(std::move(folders), newSinceNs);
        };
        m_settings = new CaptureSettings(*m_folders.settings, *m_queueScheduler, onFolders, m_folderSet);
    }
    m_folderSet->moveToThread(m_queue.get());
    connect(m_queue.get(), &QThread::finished, m_folderSet, &QObject::deleteLater);
    m_queue->start();
    QMetaObject::invokeMethod(
        m_folderSet,
        [folderSet = m_folderSet, settings = m_settings] {
            if (settings)
                settings->start(); // the first reading is in place before the folders are scanned
            folderSet->start();
        },
        Qt::QueuedConnection);
}

void ScreenshotWatcher::stop()
{
    if (!m_folderSet || !m_queue->isRunning())
        return;
    QMetaObject::invokeMethod(
        m_folderSet,
        [folderSet = m_folderSet, settings = m_settings] {
            if (settings)
                settings->stop();
            folderSet->stop();
        },
        Qt::BlockingQueuedConnection);
}
