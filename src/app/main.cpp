#include "app/AppDelegate.h"
#include "app/AppIcon.h"
#include "panel/PanelController.h"
#include "platform/CombinedPasteboard.h"
#include "platform/LaunchRequestChannel.h"
#include "platform/NotificationCenter.h"
#include "platform/PrivateTempFolder.h"
#include "platform/x11/QtPasteboard.h"
#include "platform/QtScheduler.h"
#include "platform/QuitOnSignal.h"
#include "platform/SettingsDefaultsStore.h"
#include "platform/SingleInstance.h"
#include "platform/ThreadPoolTaskRunner.h"
#include "platform/ThumbnailCache.h"
#include "platform/wayland/DataControlDevice.h"
#include "platform/wayland/DataControlPasteboard.h"
#include "platform/x11/DisplayCheck.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11CompositorWatch.h"
#include "platform/x11/X11GlobalInput.h"
#include "platform/x11/X11ScreenService.h"
#include "platform/x11/X11SelectionOwner.h"
#include "platform/x11/X11TimestampGuard.h"
#include "platform/xwayland/XWaylandScreenService.h"
#include "platform/xwayland/XWaylandSession.h"

#include <QApplication>
#include <QClipboard>
#include <QWidget>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // Zorv speaks X11 only; under Wayland it runs through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    if (qgetenv("QT_QPA_PLATFORM") == "xcb") {
        const QString problem = DisplayCheck::problem();
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(problem));
            return 2;
        }
    }

    SingleInstance instance;
    if (!instance.tryAcquire()) {
        // Where no tray host runs, starting Zorv again is the way to its
        // settings. Nobody answering changes nothing about what is said.
        LaunchRequestChannel::sendSettingsRequest(instance.requestSocketPath());
        std::fprintf(stderr, "Zorv is already running.\n");
        return 0;
    }

    QApplication::setApplicationName(QStringLiteral("zorv"));
    QApplication::setOrganizationName(QStringLiteral("zorv"));
    QApplication::setDesktopFileName(QStringLiteral("zorv"));
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(AppIcon::icon());
    QuitOnSignal quitOnSignal;

    QtScheduler scheduler;
    SettingsDefaultsStore defaults(SettingsDefaultsStore::standardPath());
    NotificationCenter notifications;
    QtPasteboard x11Pasteboard(QGuiApplication::clipboard());
    X11ScreenService x11Screens(scheduler);
    // Under XWayland the pointer needs help at the edge and the panel on
    // top; on a plain X server nothing is added.
    std::unique_ptr<XWaylandScreenService> xwaylandScreens;
    auto *x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    X11TimestampGuard timestampGuard(x11 ? x11->connection() : nullptr);
    if (XWaylandSession::isActive(x11 ? x11->connection() : nullptr))
        xwaylandScreens = std::make_unique<XWaylandScreenService>(x11Screens);
    ScreenService &screens = xwaylandScreens ? static_cast<ScreenService &>(*xwaylandScreens) : x11Screens;
    PrivateTempFolder tempFolder;
    X11GlobalInput globalInput(X11GlobalInput::applicationWindows);
    X11CompositorWatch compositor;
    const ThumbnailCache thumbnails(ThumbnailCache::defaultRoot(), {tempFolder.path()});
    // Declared after everything its workers use, so that it is destroyed, and
    // has waited for them, before any of that goes.
    ThreadPoolTaskRunner tasks;
    // In a Wayland session native programs' copies reach X11 late or not at
    // all; where the compositor offers data-control, Zorv follows the Wayland
    // selection itself. Elsewhere, or once that connection breaks, the X11
    // clipboard serves alone.
    std::unique_ptr<DataControlDevice> dataControl;
    std::unique_ptr<DataControlPasteboard> waylandPasteboard;
    std::unique_ptr<CombinedPasteboard> combinedPasteboard;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        dataControl = std::make_unique<DataControlDevice>();
        waylandPasteboard = std::make_unique<DataControlPasteboard>(*dataControl, tasks);
        xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
        combinedPasteboard = std::make_unique<CombinedPasteboard>(
            x11Pasteboard, *waylandPasteboard, [connection]() -> std::optional<CombinedPasteboard::X11Holder> {
                const std::optional<X11SelectionOwner::Owner> owner = X11SelectionOwner::owner(connection, "CLIPBOARD");
                if (!owner)
                    return std::nullopt;
                return CombinedPasteboard::X11Holder{owner->window, owner->isThisClient, owner->isWindowManager};
            },
            [connection] { return X11ActiveWindow::get(connection).value_or(XCB_WINDOW_NONE) != XCB_WINDOW_NONE; });
    }
    Pasteboard &pasteboard = combinedPasteboard ? static_cast<Pasteboard &>(*combinedPasteboard) : x11Pasteboard;
    const PlatformServices services{scheduler,  defaults,    notifications, pasteboard, screens,
                                    tempFolder, globalInput, tasks,         thumbnails, compositor};

    AppDelegate delegate(services);
    delegate.onXWayland = xwaylandScreens != nullptr;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationDidFinishLaunching();
    if (xwaylandScreens) {
        xwaylandScreens->setFloatingWindows([&delegate] {
            QList<quint32> ids;
            for (QWidget *window : delegate.panelController()->floatingWindows())
                ids.append(quint32(window->winId()));
            return ids;
        });
    }
    LaunchRequestChannel launchRequests(scheduler);
    QObject::connect(&launchRequests, &LaunchRequestChannel::settingsRequested, &delegate,
                     &AppDelegate::openHotkeySettings);
    launchRequests.listen(instance.requestSocketPath());
    const int status = app.exec();
    // A decode may still run for a restore or a drop; it finishes before the
    // delegate and the services are taken down. What it hands back is then
    // dropped with the application's pending events.
    tasks.waitForDone();
    return status;
}
