#include "app/AppDelegate.h"
#include "app/AppIcon.h"
#include "platform/DisplayCheck.h"
#include "platform/NotificationCenter.h"
#include "platform/QtPasteboard.h"
#include "platform/PrivateTempFolder.h"
#include "platform/QtScheduler.h"
#include "platform/QuitOnSignal.h"
#include "platform/SettingsDefaultsStore.h"
#include "platform/SingleInstance.h"
#include "platform/X11GlobalInput.h"
#include "platform/ThreadPoolTaskRunner.h"
#include "platform/X11ScreenService.h"

#include <QApplication>
#include <QClipboard>

#include <cstdio>

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
    QtPasteboard pasteboard(QGuiApplication::clipboard());
    X11ScreenService screens(scheduler);
    PrivateTempFolder tempFolder;
    X11GlobalInput globalInput(X11GlobalInput::applicationWindows);
    ThreadPoolTaskRunner tasks;
    const PlatformServices services{scheduler,  defaults,    notifications, pasteboard, screens,
                                    tempFolder, globalInput, tasks};

    AppDelegate delegate(services);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationDidFinishLaunching();
    return app.exec();
}
