#include "model/ShelfStore.h"

#include "model/Shelf.h"
#include "model/ShelfArchive.h"
#include "platform/DefaultsStore.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Scheduler.h"
#include "platform/TaskRunner.h"
#include "platform/ThumbnailCache.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>

#include <malloc.h>
#include <mutex>
#include <utility>

struct ShelfStore::NewestEntries
{
    // Writes the newest entries; one write at a time, so that whatever it
    // takes is still the newest when it reaches the disk.
    bool write(DefaultsStore &defaults)
    {
        const std::lock_guard writing(writeMutex);
        QList<StringMap> taken;
        {
            const std::lock_guard reading(entriesMutex);
            taken = entries;
        }
        return defaults.setArray(ShelfArchive::storageKey, taken);
    }
    void set(QList<StringMap> newest)
    {
        const std::lock_guard lock(entriesMutex);
        entries = std::move(newest);
    }

    std::mutex writeMutex;
    std::mutex entriesMutex;
    QList<StringMap> entries;
};

ShelfStore::ShelfStore(Shelf &shelf, DefaultsStore &defaults, Scheduler &scheduler, TaskRunner &tasks,
                       const ThumbnailCache &thumbnails, PrivateTempFolder &tempFolder, QObject *parent)
    : QObject(parent)
    , m_shelf(shelf)
    , m_defaults(defaults)
    , m_scheduler(scheduler)
    , m_tasks(tasks)
    , m_thumbnails(thumbnails)
    , m_tempFolder(tempFolder)
    , m_newest(std::make_shared<NewestEntries>())
{
    connect(&shelf, &Shelf::itemsChanged, this, &ShelfStore::persist);
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &ShelfStore::writeBeforeQuit);
}

ShelfStore::~ShelfStore() = default;

void ShelfStore::persist()
{
    // While the stored shelf is being read, the store keeps every entry of
    // it: a kill meanwhile loses nothing. The change is written at the end.
    if (m_isRestoring) {
        m_persistAfterRestore = true;
        return;
    }
    m_newest->set(ShelfArchive::encode(m_shelf.items()));
    if (m_writing) {
        m_writeAgain = true;
        return;
    }
    m_writing = true;
    m_tasks.run(this, [this, &defaults = m_defaults, newest = m_newest]() -> TaskRunner::Continuation {
        const bool written = newest->write(defaults);
        return [this, written] { writeFinished(written); };
    });
}

void ShelfStore::writeFinished(bool written)
{
    m_writing = false;
    if (std::exchange(m_writeAgain, false)) {
        persist();
        return;
    }
    if (written) {
        m_persistRetryTimer.reset();
        return;
    }
    // A full disk or a read-only folder: the shelf stays whole here, and is
    // written again later even if nothing changes for hours.
    if (!m_persistRetryTimer) {
        m_persistRetryTimer = m_scheduler.scheduleOneShot(persistRetryDelay, this, [this] {
            m_persistRetryTimer.reset();
            persist();
        });
    }
}

void ShelfStore::writeBeforeQuit()
{
    // A write still queued is dropped when the application ends, and one
    // that waits for another or for a retry never starts. Here the main
    // thread may wait: this write follows the one that runs, if any.
    if (m_isRestoring || !(m_writing || m_writeAgain || m_persistRetryTimer))
        return;
    m_writeAgain = false;
    m_persistRetryTimer.reset();
    m_newest->write(m_defaults);
}

void ShelfStore::restore()
{
    const std::optional<QVariantList> stored = m_defaults.arrayForKey(ShelfArchive::storageKey);
    const std::optional<QList<StringMap>> entries =
        stored ? ShelfArchive::asStringMaps(*stored) : std::optional<QList<StringMap>>();
    if (!entries || entries->isEmpty()) {
        removeUnnamedPrivateFiles();
        Q_EMIT restoreFinished();
        return;
    }
    // Screenshots are decoded off the main thread, in parallel, so the panel
    // answers the pointer at once. Each entry is added once it and every
    // older one have been read, so the cards fill in as their thumbnails
    // arrive and still end in stored order.
    m_isRestoring = true;
    auto progress = std::make_shared<RestoreProgress>();
    progress->read.resize(entries->size());
    const double now = m_scheduler.now();
    const ThumbnailCache *cache = &m_thumbnails;
    for (qsizetype i = 0; i < entries->size(); ++i) {
        const StringMap entry = entries->at(i);
        m_tasks.run(this, [this, entry, now, cache, progress, i]() -> TaskRunner::Continuation {
            std::optional<ShelfItemKind> kind = ShelfArchive::decode(entry, now, cache);
            return [this, kind = std::move(kind), progress, i]() mutable {
                progress->read[i] = std::move(kind);
                addRestoredItems(*progress);
            };
        });
    }
}

void ShelfStore::addRestoredItems(RestoreProgress &progress)
{
    while (progress.next < progress.read.size() && progress.read[progress.next]) {
        std::optional<ShelfItemKind> &kind = *progress.read[progress.next++];
        if (!kind)
            continue; // skipped: no file, or not a readable image
        if (auto *screenshot = std::get_if<Screenshot>(&*kind))
            screenshot->privateFile = m_tempFolder.hold(screenshot->url.toLocalFile());
        m_shelf.addItem(ShelfItem::make(std::move(*kind), m_scheduler.now()));
        kind.reset();
    }
    if (progress.next == progress.read.size())
        finishRestore();
}

void ShelfStore::finishRestore()
{
    m_isRestoring = false;
    // Nothing restored and nothing changed: the stored value stays as it was.
    if (std::exchange(m_persistAfterRestore, false))
        persist();
    removeUnnamedPrivateFiles(); // items that came meanwhile hold their files
    // The decoders' full-size buffers are gone; give their pages back.
    ::malloc_trim(0);
    Q_EMIT restoreFinished();
}

void ShelfStore::removeUnnamedPrivateFiles()
{
    // Left by a run that ended without letting go of them, or by older versions.
    QSet<QString> named;
    QList<ShelfItem> held = m_shelf.items();
    if (m_shelf.lastEvicted())
        held.append(*m_shelf.lastEvicted());
    for (const ShelfItem &item : held) {
        if (const Screenshot *screenshot = item.screenshot())
            named.insert(QDir::cleanPath(screenshot->url.toLocalFile()));
    }
    m_tempFolder.removeFilesExcept(named);
}
