// Launches the shelf panel on an arbitrary settings file, as Zorv does at
// start: the INI reader, the string-map check, the entry rules, the cards
// and the rewrite of the store. A shelf that was restored must be stored
// exactly as it is shown, and never hold more than five items.
#include "FakeCompositorWatch.h"
#include "FakeGlobalInput.h"
#include "FakePasteboard.h"
#include "FakeScreenService.h"
#include "FuzzSupport.h"
#include "TestServices.h"
#include "VirtualScheduler.h"
#include "model/HotkeyStore.h"
#include "model/ShelfArchive.h"
#include "panel/PanelController.h"
#include "platform/NotificationCenter.h"
#include "platform/PlatformServices.h"
#include "platform/PrivateTempFolder.h"
#include "platform/SettingsDefaultsStore.h"

#include <QFile>

#include <cstdint>
#include <cstdlib>

namespace {

struct Fixture
{
    VirtualScheduler scheduler;
    NotificationCenter notifications;
    FakePasteboard pasteboard;
    FakeScreenService screens;
    PrivateTempFolder tempFolder{FuzzSupport::scratchFolder()};
    FakeGlobalInput globalInput;
    ImmediateTaskRunner tasks;
    ThumbnailCache thumbnails{QString()}; // off: inputs name arbitrary files
    FakeCompositorWatch compositor;
};

Fixture *fixture = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::startApplication(argc, argv);
    fixture = new Fixture;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A new name for every input: QSettings caches files by name, and a
    // rewrite within the same clock tick could read as unchanged.
    static quint64 counter = 0;
    const QString path = FuzzSupport::scratchFolder() + QStringLiteral("/zorv-%1.conf").arg(++counter);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(FuzzSupport::withScratchPaths(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))));
    }
    {
        SettingsDefaultsStore defaults(path);
        const PlatformServices services{fixture->scheduler,  defaults,           fixture->notifications,
                                        fixture->pasteboard, fixture->screens,   fixture->tempFolder,
                                        fixture->globalInput, fixture->tasks, fixture->thumbnails,
                                        fixture->compositor};
        const HotkeyStore hotkeys(defaults, fixture->notifications);
        PanelController panel(services, hotkeys);
        const QList<ShelfItem> items = panel.items();
        if (items.size() > 5)
            std::abort();
        if (!items.isEmpty()) {
            // What the next launch will read, from a copy under a new name so
            // that it is parsed from the disk and not taken from the cache.
            const QString copy = path + QStringLiteral(".next.conf");
            QFile::remove(copy);
            QFile::copy(path, copy);
            const SettingsDefaultsStore reread(copy);
            const std::optional<QVariantList> stored = reread.arrayForKey(ShelfArchive::storageKey);
            const auto entries = stored ? ShelfArchive::asStringMaps(*stored) : std::nullopt;
            if (!entries || *entries != ShelfArchive::encode(items))
                std::abort();
            QFile::remove(copy);
        }
    }
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".lock"));
    return 0;
}
