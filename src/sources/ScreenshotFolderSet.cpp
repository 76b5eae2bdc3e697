#include "sources/ScreenshotFolderSet.h"

#include "sources/FolderArrival.h"

#include <QFileInfo>

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
    bool anyExists = false;
    for (const QString &folder : m_folders.candidates) {
        const QFileInfo info(folder);
        if (info.isDir()) {
            anyExists = true;
            addScanner(folder, ScreenshotScanner::Inventory::takeExisting);
            continue;
        }
        auto arrival = std::make_unique<FolderArrival>(folder, m_scheduler, [this, folder] {
            if (!m_stopped)
                addScanner(folder, ScreenshotScanner::Inventory::startEmpty);
        });
        arrival->start();
        m_arrivals.push_back(std::move(arrival));
    }
    if (!anyExists && !m_folders.fallback.isEmpty())
        addScanner(m_folders.fallback, ScreenshotScanner::Inventory::takeExisting);
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

void ScreenshotFolderSet::addScanner(const QString &folder, ScreenshotScanner::Inventory inventory)
{
    // Two tools saving into one folder (through a link, say) share its scanner.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    for (const auto &scanner : m_scanners) {
        if (!canonical.isEmpty() && QFileInfo(scanner->directory()).canonicalFilePath() == canonical)
            return;
    }
    auto scanner = std::make_unique<ScreenshotScanner>(folder, m_scheduler, m_load, m_onSettled);
    scanner->start(inventory);
    m_scanners.push_back(std::move(scanner));
}
