#include "sources/ScreenshotFolderSet.h"

#include "sources/FolderArrival.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// The same folder under either spelling: as named, or through links.
bool sameFolder(const QString &a, const QString &b)
{
    if (QDir::cleanPath(a) == QDir::cleanPath(b))
        return true;
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

ScreenshotFolderSet::ScreenshotFolderSet(ScreenshotFolders folders, Scheduler &queueScheduler,
                                         ScreenshotScanner::Loader load,
                                         ScreenshotScanner::SettledCallback onSettled, QObject *parent)
    : QObject(parent)
    , m_folders(std::move(folders))
    , m_scheduler(queueScheduler)
    , m_load(std::move(load))
    , m_onSettled(std::move(onSettled))
{
}

ScreenshotFolderSet::~ScreenshotFolderSet() = default;

void ScreenshotFolderSet::start()
{
    if (m_started || m_stopped)
        return;
    m_started = true;
    apply(0);
}

void ScreenshotFolderSet::setFolders(ScreenshotFolders folders, qint64 newSinceNs)
{
    m_folders = std::move(folders);
    if (m_started && !m_stopped)
        apply(newSinceNs);
}

void ScreenshotFolderSet::apply(qint64 newSinceNs)
{
    QStringList wanted;
    bool anyExists = false;
    for (const QString &folder : m_folders.candidates) {
        anyExists = anyExists || QFileInfo(folder).isDir();
        wanted.append(folder);
    }
    const bool useFallback = !anyExists && !m_folders.fallback.isEmpty();
    if (useFallback)
        wanted.append(m_folders.fallback);
    auto isWanted = [&wanted](const QString &folder) {
        return std::any_of(wanted.cbegin(), wanted.cend(), [&](const QString &w) { return sameFolder(w, folder); });
    };

    // Folders no setting names any more are let go; a wait that ended has
    // handed its folder to a scanner.
    std::erase_if(m_arrivals,
                  [&](const auto &arrival) { return arrival->hasArrived() || !isWanted(arrival->folder()); });
    std::erase_if(m_scanners, [&](const auto &scanner) {
        if (isWanted(scanner->directory()) && scanner->captureNamesOnly == isGeneralFolder(scanner->directory()))
            return false;
        scanner->stop();
        return true;
    });

    for (const QString &folder : wanted) {
        const bool scanned = std::any_of(m_scanners.cbegin(), m_scanners.cend(),
                                         [&](const auto &scanner) { return sameFolder(scanner->directory(), folder); });
        const bool awaited = std::any_of(m_arrivals.cbegin(), m_arrivals.cend(),
                                         [&](const auto &arrival) { return arrival->folder() == folder; });
        if (scanned || awaited)
            continue;
        // The fallback is watched as it is; a missing one leaves its scanner inert.
        if (QFileInfo(folder).isDir() || (useFallback && folder == m_folders.fallback)) {
            addScanner(folder, ScreenshotScanner::Inventory::takeExisting, newSinceNs);
            continue;
        }
        auto arrival = std::make_unique<FolderArrival>(folder, m_scheduler, [this, folder] {
            if (!m_stopped)
                addScanner(folder, ScreenshotScanner::Inventory::startEmpty);
        });
        arrival->start();
        m_arrivals.push_back(std::move(arrival));
    }
}

void ScreenshotFolderSet::stop()
{
    m_stopped = true;
    m_arrivals.clear();
    for (const auto &scanner : m_scanners)
        scanner->stop();
}

QStringList ScreenshotFolderSet::watchedFolders() const
{
    QStringList folders;
    for (const auto &scanner : m_scanners)
        folders.append(scanner->directory());
    return folders;
}

QStringList ScreenshotFolderSet::awaitedFolders() const
{
    QStringList folders;
    for (const auto &arrival : m_arrivals) {
        if (!arrival->hasArrived())
            folders.append(arrival->folder());
    }
    return folders;
}

bool ScreenshotFolderSet::isGeneralFolder(const QString &folder) const
{
    return std::any_of(m_folders.generalFolders.cbegin(), m_folders.generalFolders.cend(),
                       [&](const QString &general) { return sameFolder(general, folder); });
}

void ScreenshotFolderSet::addScanner(const QString &folder, ScreenshotScanner::Inventory inventory,
                                     qint64 newSinceNs)
{
    // Two tools saving into one folder (through a link, say) share its scanner.
    for (const auto &scanner : m_scanners) {
        if (sameFolder(scanner->directory(), folder))
            return;
    }
    auto scanner = std::make_unique<ScreenshotScanner>(folder, m_scheduler, m_load, m_onSettled);
    scanner->captureNamesOnly = isGeneralFolder(folder);
    scanner->start(inventory, newSinceNs);
    m_scanners.push_back(std::move(scanner));
}
