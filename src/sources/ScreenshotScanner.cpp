#include "sources/ScreenshotScanner.h"

#include "platform/FolderEvents.h"
#include "platform/Scheduler.h"
#include "sources/CaptureFileNames.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList imageExtensions = {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                     QStringLiteral("heic"), QStringLiteral("tiff"), QStringLiteral("webp")};

} // namespace

ScreenshotScanner::ScreenshotScanner(QString directory, Scheduler &queueScheduler, Loader load,
                                     SettledCallback onSettled, QObject *parent)
    : QObject(parent)
    , m_directory(std::move(directory))
    , m_scheduler(queueScheduler)
    , m_load(std::move(load))
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
    // when they are checked.
    const QStringList entries =
        QDir(m_directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                    QDir::Unsorted);
    QStringList images;
    for (const QString &name : entries) {
        if (hasImageExtension(name) && (!captureNamesOnly || CaptureFileNames::isCaptureName(name)))
            images.append(name);
    }
    return images;
}

bool ScreenshotScanner::hasFolderEvents() const
{
    return m_folderEvents && m_folderEvents->isWatching();
}

void ScreenshotScanner::start(Inventory inventory, qint64 newSinceNs)
{
    if (!isListable()) {
        m_inert = true;
        return;
    }
    m_folderEvents = std::make_unique<FolderEvents>([this](const QList<FolderEvents::Event> &events) {
        bool rescan = false;
        for (const FolderEvents::Event &event : events)
            rescan = rescan || event.entriesChanged || event.watchLost;
        updateRescans(); // a lost watch brings the rescans back
        if (rescan)
            handleDirectoryChanged();
        // A completed file is checked at once, after the scan that found it.
        for (const FolderEvents::Event &event : events) {
            const auto found = m_following.find(event.name);
            if (!event.completed || found == m_following.end())
                continue;
            found->second.completed = true;
            check(event.name);
        }
    });
    // Watching before listing: nothing created in between goes unseen.
    m_folderEvents->watch(m_directory);
    if (inventory == Inventory::takeExisting) {
        const QStringList initial = currentImageFiles();
        for (const QString &name : initial) {
            if (newSinceNs <= 0 || stampOf(m_directory + QLatin1Char('/') + name).modifiedNs < newSinceNs)
                m_knownFiles.insert(name);
        }
        if (m_knownFiles.size() != initial.size())
            handleDirectoryChanged();
    } else {
        handleDirectoryChanged();
    }
    updateRescans();
}

void ScreenshotScanner::updateRescans()
{
    const bool needed = !hasFolderEvents() || rescanWhileWatched;
    if (needed && !m_fallbackTimer) {
        m_fallbackTimer = m_scheduler.scheduleRepeating(rescanInterval, this, [this] {
            // The folder may be back (renamed away and back, re-created): watch it again.
            if (m_folderEvents && !m_folderEvents->isWatching() && m_folderEvents->watch(m_directory))
                updateRescans();
            handleDirectoryChanged();
        });
    } else if (!needed) {
        m_fallbackTimer.reset();
    }
}

void ScreenshotScanner::stop()
{
    m_folderEvents.reset();
    m_fallbackTimer.reset();
}

void ScreenshotScanner::readFolderEvents()
{
    if (m_folderEvents)
        m_folderEvents->readPending();
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
        follow(name);
}

bool ScreenshotScanner::isListable() const
{
    const int fd = ::open(QFile::encodeName(m_directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

ScreenshotScanner::Stamp ScreenshotScanner::stampOf(const QString &path)
{
    // The entry itself, links not followed: a FIFO never blocks the queue.
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    Stamp stamp;
    stamp.exists = true;
    stamp.isSpecial = !S_ISREG(info.st_mode);
    // A link counts by what it points to; stat opens nothing, so it cannot block.
    struct stat target {};
    if (S_ISLNK(info.st_mode))
        stamp.isSpecial = ::stat(QFile::encodeName(path).constData(), &target) != 0 || !S_ISREG(target.st_mode);
    stamp.size = info.st_size;
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

void ScreenshotScanner::follow(const QString &name)
{
    // A name is judged once: found again while followed, it is the same file.
    if (m_following.count(name))
        return;
    Follow &file = m_following[name];
    file.path = m_directory + QLatin1Char('/') + name;
    file.foundAt = m_scheduler.now();
    file.last = stampOf(file.path); // the first look; unchanged at the next check means complete
    scheduleCheck(name);
}

void ScreenshotScanner::scheduleCheck(const QString &name)
{
    Follow &file = m_following.at(name);
    file.nextCheck = m_scheduler.scheduleOneShot(settleInterval, this, [this, name] { check(name); });
}

void ScreenshotScanner::check(const QString &name)
{
    const auto found = m_following.find(name);
    if (found == m_following.end())
        return;
    Follow &file = found->second;
    const Stamp now = stampOf(file.path);
    const bool completed = std::exchange(file.completed, false);
    const bool unchanged = now == file.last;
    file.last = now;
    auto giveUp = [this, found] { m_following.erase(found); };

    if (now.exists && now.isSpecial)
        return giveUp(); // only regular files are ever read
    if (!now.exists || now.size == 0) {
        // Empty or gone: an empty file waits its eleven checks; a file that
        // held data and was truncated to be rewritten keeps its time.
        if (!file.heldData && ++file.emptyChecks > lastSettleAttempt)
            return giveUp();
        if (file.heldData && m_scheduler.now() - file.foundAt >= growthLimit)
            return giveUp();
        return scheduleCheck(name);
    }
    file.heldData = true;
    if ((completed || unchanged) && now != file.failed) {
        std::shared_ptr<const ScreenshotImage> image = m_load ? m_load(file.path) : nullptr;
        // Loaded while the writer was still at work: the pixels may be partial.
        if (image && stampOf(file.path) == now) {
            const QString path = file.path;
            giveUp();
            if (m_onSettled)
                m_onSettled(path, std::move(image));
            return;
        }
        if (!image)
            file.failed = now; // tried again once the file changes
    }
    if (m_scheduler.now() - file.foundAt >= growthLimit)
        return giveUp();
    scheduleCheck(name);
}
