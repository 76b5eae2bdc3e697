// Screenshot-to-shelf latency and main-thread stalls, in process, on the
// application's own objects: a 3840 x 2160 PNG is renamed into the watched
// folder 20 times; each time the clock runs until the item is on the shelf
// (and stored). A 1 ms timer on the main thread records the longest gap
// between its firings: the longest stall the panel would have suffered.
//
//   QT_QPA_PLATFORM=offscreen build/bench_screenshot_latency
#include "app/AppDelegate.h"
#include "panel/PanelController.h"
#include "platform/NotificationCenter.h"
#include "platform/PrivateTempFolder.h"
#include "platform/x11/QtPasteboard.h"
#include "platform/QtScheduler.h"
#include "platform/ScreenService.h"
#include "platform/SettingsDefaultsStore.h"
#include "platform/ThreadPoolTaskRunner.h"
#include "platform/ThumbnailCache.h"
#include "platform/x11/X11CompositorWatch.h"
#include "platform/x11/X11GlobalInput.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// A screen-like image: flat areas with detail, so PNG sizes are realistic.
QImage screenLikeImage()
{
    QImage image(3840, 2160, QImage::Format_RGB32);
    image.fill(QColor(40, 44, 52));
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); y += 3) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); x += 1 + int(random.bounded(6)))
            line[x] = random.generate();
    }
    return image;
}

class StallProbe
{
public:
    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last)
                m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    double longestMs() const { return double(m_longest) / 1e6; }
    void reset() { m_last = 0; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Runs the event loop until `done` holds or `limitMs` have passed, looking
// every millisecond. It sleeps in between: a loop that spins on
// processEvents() takes a whole core from the watcher's decoder on 2 cores.
template<typename Done>
void runUntil(Done done, int limitMs)
{
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QTimer look;
    look.setTimerType(Qt::PreciseTimer);
    look.setInterval(1);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= limitMs)
            loop.quit();
    });
    look.start();
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "offscreen"
                                                                             : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir work;
    QDir(work.path()).mkpath("shots");
    const QString shots = work.filePath("shots");
    const QString source = work.filePath("source.png");
    screenLikeImage().save(source, "PNG");
    std::printf("test image: 3840 x 2160, %lld bytes\n", QFile(source).size());

    QtScheduler scheduler;
    SettingsDefaultsStore defaults(work.filePath("config/zorv.conf"));
    NotificationCenter notifications;
    QtPasteboard pasteboard(QGuiApplication::clipboard());
    struct StillScreens final : ScreenService
    {
        QPointF pointerPosition() override { return {640, 400}; }
        QPointF currentPointerPosition() override { return {640, 400}; }
        QList<QRectF> screens() const override { return {QRectF(0, 0, 1280, 800)}; }
        std::optional<QRectF> mainScreen() const override { return QRectF(0, 0, 1280, 800); }
    } screens;
    PrivateTempFolder tempFolder(work.path());
    X11GlobalInput globalInput(X11GlobalInput::applicationWindows);
    X11CompositorWatch compositor;
    const ThumbnailCache thumbnails(work.filePath("thumbnails"), {tempFolder.path()});
    ThreadPoolTaskRunner tasks; // waits for its workers before what they use goes
    AppDelegate delegate(PlatformServices{scheduler, defaults, notifications, pasteboard, screens, tempFolder,
                                          globalInput, tasks, thumbnails, compositor});
    delegate.screenshotDirectory = shots;
    delegate.applicationDidFinishLaunching();

    StallProbe probe;
    QList<double> latencies;
    double longestStall = 0;
    constexpr int runs = 20;
    for (int i = 0; i < runs; ++i) {
        const QString staged = work.filePath(QStringLiteral("staged-%1.png").arg(i));
        QFile::copy(source, staged);
        runUntil([] { return false; }, 400); // let the previous add and its animations finish
        probe.reset();
        const QString target = shots + QStringLiteral("/Screenshot %1.png").arg(i);
        QElapsedTimer latency;
        latency.start();
        QFile::rename(staged, target);
        const QUrl url = QUrl::fromLocalFile(target);
        auto arrived = [&] {
            const QList<ShelfItem> items = delegate.panelController()->items();
            return !items.isEmpty() && items.first().screenshot() && items.first().screenshot()->url == url;
        };
        runUntil(arrived, 5000);
        latencies.append(double(latency.nsecsElapsed()) / 1e6);
        runUntil([&] { return latency.elapsed() >= 600; }, 600); // the card's fade-in and the peek's slide
        longestStall = std::max(longestStall, probe.longestMs());
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("screenshot-to-shelf latency over %d runs: median %.1f ms, min %.1f ms, max %.1f ms\n", runs,
                latencies.at(runs / 2), latencies.first(), latencies.last());
    std::printf("longest main-thread stall: %.1f ms\n", longestStall);
    delegate.applicationWillTerminate();
    return 0;
}
