// Runs the hot-key manager on the real X11 input and prints what it does,
// one line per callback, for the end-to-end tests:
//   hotkey_probe           ready, then "armed", "disarmed", "action NAME",
//                          and "keymap reloaded" after a keyboard change
//   hotkey_probe keymap    the translation of the keys 1, 5, H, =, X, A, Escape, Space
//   hotkey_probe monitors  two click monitors at once: "click first" and
//                          "click second" per click; the second monitor
//                          removes itself after its first click
#include "hotkeys/HotkeyManager.h"
#include "model/HotkeyStore.h"
#include "platform/NotificationCenter.h"
#include "platform/QtScheduler.h"
#include "platform/SettingsDefaultsStore.h"
#include "platform/x11/X11GlobalInput.h"
#include "platform/x11/X11KeyMap.h"

#include <QApplication>

#include <cstdio>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    X11GlobalInput input(X11GlobalInput::applicationWindows);
    if (!input.isConnected()) {
        say(QStringLiteral("no X connection"));
        return 1;
    }
    if (app.arguments().value(1) == QLatin1String("keymap")) {
        for (quint32 mac : {18u, 23u, 4u, 24u, 7u, 0u, 53u, 49u}) {
            const quint8 x = *X11KeyMap::xKeycodeForMac(mac);
            say(QStringLiteral("mac %1 x %2 back %3 chars [%4]")
                    .arg(mac)
                    .arg(x)
                    .arg(X11KeyMap::macKeyCodeForX(x).value_or(9999))
                    .arg(input.keyMap().level1Characters(x).value_or(QStringLiteral("none"))));
        }
        say(QStringLiteral("alt %1 super %2 numlock %3")
                .arg(input.keyMap().altMask())
                .arg(input.keyMap().superMask())
                .arg(input.keyMap().numLockMask()));
        return 0;
    }

    if (app.arguments().value(1) == QLatin1String("monitors")) {
        std::optional<GlobalInput::Token> second;
        input.addMouseDownMonitor([] { say(QStringLiteral("click first")); });
        second = input.addMouseDownMonitor([&input, &second] {
            say(QStringLiteral("click second"));
            input.removeMouseDownMonitor(*second);
        });
        say(QStringLiteral("ready"));
        return app.exec();
    }

    QtScheduler scheduler;
    SettingsDefaultsStore defaults(SettingsDefaultsStore::standardPath());
    NotificationCenter notifications;
    HotkeyStore store(defaults, notifications);
    HotkeyManager manager(scheduler, input, store, notifications);
    manager.onArm = [] { say(QStringLiteral("armed")); };
    manager.onDisarm = [] { say(QStringLiteral("disarmed")); };
    manager.onAction = [](HotkeyAction action) { say(QStringLiteral("action ") + HotkeyActions::rawValue(action)); };
    QObject::connect(&input, &X11GlobalInput::keyMapReloaded, [] { say(QStringLiteral("keymap reloaded")); });
    manager.start();
    say(QStringLiteral("ready xkb=%1 xi=%2").arg(input.hasEventFedModifiers()).arg(input.hasRawEvents()));
    return app.exec();
}
