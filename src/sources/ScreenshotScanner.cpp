#include "sources/ScreenshotScanner.h"

#include "platform/Scheduler.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList imageExtensions = {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                     QStringLiteral("heic"), QStringLiteral("tiff")};

} // namespace

ScreenshotScanner::ScreenshotScanner(QString directory, Scheduler &queueScheduler, SettledCallback onSettled,
                                     QObject *parent)
    : QObject(parent)
    , m_directory(std::move(directory))
    , m_scheduler(queueScheduler)
    , m_onSettled(std::move(onSettled))
{
}

ScreenshotScanner::~ScreenshotScanner() = default;

bool ScreenshotScanner::hasImageExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && imageExtensions.contains(name.mid(dot + 1).toLower());
}

QStringList ScreenshotScanner::currentImageFiles() const
{
    // Hidden names count too; directories named like images are judged
    // later, when they fail to load.
    const QStringList entries =
        QDir(m_directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                    QDir::Unsorted);
    QStringList images;
    for (const QString &name : entries) {
        if (hasImageExtension(name))
            images.append(name);
    }
    return images;
}

void ScreenshotScanner::start()
{
    const QStringList initial = currentImageFiles();
    m_knownFiles = QSet<QString>(initial.cbegin(), initial.cend());

    if (!isListable()) {
        m_inert = true;
        return;
    }

    m_folderEvents = std::make_unique<QFileSystemWatcher>();
    m_folderEvents->addPath(m_directory);
    connect(m_folderEvents.get(), &QFileSystemWatcher::directoryChanged, this,
            &ScreenshotScanner::handleDirectoryChanged);
    m_fallbackTimer = m_scheduler.scheduleRepeating(rescanInterval, this, [this] { handleDirectoryChanged(); });
}

void ScreenshotScanner::stop()
{
    m_folderEvents.reset();
    m_fallbackTimer.reset();
}

void ScreenshotScanner::handleDirectoryChanged()
{
    // A folder that cannot be read for a moment (renamed by a sync tool,
    // out of descriptors) must not make every old file look new later.
    if (!isListable())
        return;
    const QStringList current = currentImageFiles();
    QStringList fresh;
    for (const QString &name : current) {
        if (!m_knownFiles.contains(name))
            fresh.append(name);
    }
    // Replaced, not merged: a name that left the folder is new when it returns.
    m_knownFiles = QSet<QString>(current.cbegin(), current.cend());
    for (const QString &name : fresh)
        waitForFileToSettle(m_directory + QLatin1Char('/') + name, 0);
}

bool ScreenshotScanner::isListable() const
{
    const int fd = ::open(QFile::encodeName(m_directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool ScreenshotScanner::holdsData(const QString &path)
{
    // The entry's own size, links not followed: a FIFO or an empty file never settles.
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && info.st_size >= 1;
}

void ScreenshotScanner::waitForFileToSettle(const QString &path, int attempt)
{
    m_scheduler.runAfter(settleInterval, this, [this, path, attempt] {
        if (holdsData(path)) {
            if (m_onSettled)
                m_onSettled(path);
        } else if (attempt < lastSettleAttempt) {
            waitForFileToSettle(path, attempt + 1);
        }
    });
}
