#pragma once

#include <QImage>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

class QThread;
class ScreenshotScanner;
class Scheduler;

// Watches the folder where screenshots are saved and reports each new image
// file once it holds data. The work runs on a thread of its own, which also
// decodes the image, so a large screenshot never stalls the panel; the
// report itself arrives on the main thread, in the order files settle.
class ScreenshotWatcher final : public QObject
{
    Q_OBJECT
public:
    // `image` is null when the file is not a readable image.
    using NewScreenshotCallback = std::function<void(const QUrl &url, std::shared_ptr<const QImage> image)>;

    ScreenshotWatcher(QString directory, NewScreenshotCallback onNewScreenshot, QObject *parent = nullptr);
    ~ScreenshotWatcher() override;

    // The folder the desktop's screenshot tool saves to: Pictures/Screenshots
    // (GNOME's translated name first), if it exists; else ~/Desktop.
    static QString resolveScreenshotDirectory();

    void start();
    void stop();

private:
    QString m_directory;
    NewScreenshotCallback m_onNewScreenshot;
    std::unique_ptr<Scheduler> m_queueScheduler;
    std::unique_ptr<QThread> m_queue;
    ScreenshotScanner *m_scanner = nullptr; // lives on m_queue
};
