#include "sources/ScreenshotWatcher.h"

#include "platform/ImageFile.h"
#include "platform/QtScheduler.h"
#include "sources/ScreenshotScanner.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <libintl.h>

namespace {

const char *const screenshotsFolder = "Screenshots";

} // namespace

ScreenshotWatcher::ScreenshotWatcher(QString directory, NewScreenshotCallback onNewScreenshot, QObject *parent)
    : QObject(parent)
    , m_directory(std::move(directory))
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

QString ScreenshotWatcher::resolveScreenshotDirectory()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QStringList names;
    // GNOME Shell saves into a folder named in the user's language.
    const QString translated = QString::fromUtf8(dgettext("gnome-shell", screenshotsFolder));
    if (translated != QLatin1String(screenshotsFolder))
        names.append(translated);
    names.append(QLatin1String(screenshotsFolder));
    for (const QString &name : names) {
        const QFileInfo candidate(pictures + QLatin1Char('/') + name);
        if (!pictures.isEmpty() && candidate.isDir())
            return candidate.absoluteFilePath();
    }
    return QDir::homePath() + QStringLiteral("/Desktop");
}

void ScreenshotWatcher::start()
{
    if (m_scanner)
        return;
    // Runs on the watcher's thread, which stops before this object dies. The
    // image is decoded there; the main thread only adds it. A call queued
    // for an object that is gone is dropped by Qt.
    auto deliver = [this](const QString &path) {
        std::shared_ptr<const QImage> image = ImageFile::load(path);
        QMetaObject::invokeMethod(
            this,
            [this, path, image] {
                if (m_onNewScreenshot)
                    m_onNewScreenshot(QUrl::fromLocalFile(path), image);
            },
            Qt::QueuedConnection);
    };
    m_scanner = new ScreenshotScanner(m_directory, *m_queueScheduler, deliver);
    m_scanner->moveToThread(m_queue.get());
    connect(m_queue.get(), &QThread::finished, m_scanner, &QObject::deleteLater);
    m_queue->start();
    QMetaObject::invokeMethod(m_scanner, &ScreenshotScanner::start, Qt::QueuedConnection);
}

void ScreenshotWatcher::stop()
{
    if (m_scanner && m_queue->isRunning())
        QMetaObject::invokeMethod(m_scanner, &ScreenshotScanner::stop, Qt::BlockingQueuedConnection);
}
