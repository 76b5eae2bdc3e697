#include "sources/CaptureSettings.h"

#include "platform/FolderEvents.h"
#include "platform/Scheduler.h"
#include "sources/FolderArrival.h"
#include "sources/GnomeScreenshotSetting.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <sys/stat.h>

CaptureSettings::CaptureSettings(ScreenshotFolders::Places places, Scheduler &scheduler, FoldersCallback onFolders,
                                 QObject *parent)
    : QObject(parent)
    , m_places(std::move(places))
    , m_scheduler(scheduler)
    , m_onFolders(std::move(onFolders))
{
}

CaptureSettings::~CaptureSettings() = default;

void CaptureSettings::start()
{
    if (!m_watches.empty() || m_stopped)
        return;
    for (const ScreenshotFolders::SettingsFolder &folder : ScreenshotFolders::settingsFolders()) {
        Watch watch;
        watch.folder = folder.folder.isEmpty() ? m_places.configHome : m_places.configHome + QLatin1Char('/') + folder.folder;
        watch.files = folder.files;
        watch.isDconf = folder.folder == ScreenshotFolders::dconfFolder;
        m_watches.push_back(std::move(watch));
    }
    for (Watch &watch : m_watches) {
        const Watch *target = &watch; // the vector is never resized again
        watch.events = std::make_unique<FolderEvents>([this, target](const QList<FolderEvents::Event> &events) {
            QStringList names;
            for (const FolderEvents::Event &event : events)
                names.append(event.name);
            handleEvents(*target, names);
        });
    }
    watchFolders();

    const QPointer<CaptureSettings> self(this);
    m_gnomeScreenshot = std::make_unique<GnomeScreenshotSetting>(m_scheduler, [self] {
        if (self)
            self->report();
    });
    m_gnomeScreenshot->program = gsettingsProgram;
    report();
    m_gnomeScreenshot->read();
}

void CaptureSettings::stop()
{
    m_stopped = true;
    m_watches.clear();
    m_configArrival.reset(); // never called from the wait's callback
    m_readTimer.reset();
    // A gsettings read still running ends by itself; its answer is dropped.
}

void CaptureSettings::watchFolders()
{
    bool configWatched = false;
    for (Watch &watch : m_watches) {
        if (!watch.events->isWatching())
            watch.events->watch(watch.folder);
        configWatched = configWatched || (watch.folder == m_places.configHome && watch.events->isWatching());
    }
    // Without a config folder yet, wait for one; the tools create it.
    if (configWatched && m_configArrival) {
        // This may run inside the wait's own callback: let it return first.
        m_configArrival.release()->deleteLater();
    } else if (!configWatched && !m_configArrival) {
        m_configArrival = std::make_unique<FolderArrival>(m_places.configHome, m_scheduler, [this] {
            watchFolders();
            // Whatever was written along with the folder is read now.
            if (m_gnomeScreenshot) {
                m_changed = true;
                m_gnomeScreenshot->read();
            }
            scheduleRead();
        });
        m_configArrival->start();
    }
}

void CaptureSettings::readEvents()
{
    for (const Watch &watch : m_watches)
        watch.events->readPending();
}

void CaptureSettings::handleEvents(const Watch &watch, const QStringList &names)
{
    bool reread = false, rereadGSettings = false;
    auto changed = [&](const Watch &changedWatch) {
        rereadGSettings = rereadGSettings || changedWatch.isDconf;
        reread = reread || !changedWatch.isDconf;
    };
    for (const QString &name : names) {
        if (watch.files.contains(name) || (name.isEmpty() && !watch.events->isWatching()))
            changed(watch); // a file changed, or the folder went away with its settings
    }
    // A settings folder made since (or made again) is watched from now on,
    // and what was written into it before the watch is read.
    if (watch.folder == m_places.configHome) {
        watchFolders();
        for (const Watch &other : m_watches) {
            if (&other != &watch && names.contains(QFileInfo(other.folder).fileName()))
                changed(other);
        }
    }
    if (rereadGSettings && m_gnomeScreenshot) {
        m_changed = true;
        m_gnomeScreenshot->read(); // reports when it answers
    }
    if (reread)
        scheduleRead();
}

void CaptureSettings::scheduleRead()
{
    m_changed = true;
    if (m_readTimer)
        return;
    m_readTimer = m_scheduler.scheduleOneShot(settleDelay, this, [this] {
        m_readTimer.reset();
        report();
    });
}

void CaptureSettings::report()
{
    // Until gnome-screenshot's setting is known, its folder is left out.
    if (m_stopped)
        return;
    const std::optional<QString> gnomeScreenshot =
        m_gnomeScreenshot ? m_gnomeScreenshot->value() : std::optional<QString>();
    if (m_onFolders)
        m_onFolders(ScreenshotFolders::resolve(m_places, gnomeScreenshot), m_changed ? newestSettingsTime() : 0);
}

qint64 CaptureSettings::newestSettingsTime() const
{
    qint64 newest = 0;
    for (const Watch &watch : m_watches) {
        for (const QString &file : watch.files) {
            struct stat info {};
            const QByteArray path = QFile::encodeName(watch.folder + QLatin1Char('/') + file);
            if (::stat(path.constData(), &info) == 0)
                newest = std::max(newest, qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec);
        }
    }
    return newest;
}
