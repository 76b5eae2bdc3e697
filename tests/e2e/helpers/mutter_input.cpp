// Moves and clicks the cursor of a headless mutter, and presses keys, through
// its remote desktop D-Bus service:  mutter_input WIDTH HEIGHT
// One remote desktop session lives as long as the program (mutter ends a
// session whose caller leaves the bus). It reads one step per line: "to X Y"
// (a point of the WIDTH × HEIGHT monitor), "click" (the left button), "down"
// or "up" (that button alone), "key CODE" (a press and release of an evdev
// key code), "press CODE" or "release CODE"; it answers "ok" once mutter has
// taken the step, or "error". Absolute motion needs a screen cast stream of the monitor, which
// needs PipeWire.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

namespace {

constexpr char remoteDesktopService[] = "org.gnome.Mutter.RemoteDesktop";
constexpr char screenCastService[] = "org.gnome.Mutter.ScreenCast";
constexpr char monitorConnector[] = "Meta-0"; // mutter's virtual monitor
constexpr quint32 leftButton = 0x110; // BTN_LEFT

bool failed(const QDBusMessage &reply, const char *what)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    std::fprintf(stderr, "mutter_input: %s: %s\n", what, qPrintable(reply.errorMessage()));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int width = argc == 3 ? std::atoi(argv[1]) : 0;
    const int height = argc == 3 ? std::atoi(argv[2]) : 0;
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: mutter_input WIDTH HEIGHT\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusInterface remoteDesktop(remoteDesktopService, "/org/gnome/Mutter/RemoteDesktop",
                                 "org.gnome.Mutter.RemoteDesktop", bus);
    const QDBusReply<QDBusObjectPath> sessionPath = remoteDesktop.call("CreateSession");
    if (!sessionPath.isValid()) {
        std::fprintf(stderr, "mutter_input: no remote desktop session: %s\n", qPrintable(sessionPath.error().message()));
        return 1;
    }
    QDBusInterface session(remoteDesktopService, sessionPath.value().path(), "org.gnome.Mutter.RemoteDesktop.Session",
                           bus);
    const QString sessionId = session.property("SessionId").toString();

    QDBusInterface screenCast(screenCastService, "/org/gnome/Mutter/ScreenCast", "org.gnome.Mutter.ScreenCast", bus);
    const QDBusReply<QDBusObjectPath> castPath =
        screenCast.call("CreateSession", QVariantMap{{"remote-desktop-session-id", sessionId}});
    if (!castPath.isValid()) {
        std::fprintf(stderr, "mutter_input: no screen cast session: %s\n", qPrintable(castPath.error().message()));
        return 1;
    }
    QDBusInterface cast(screenCastService, castPath.value().path(), "org.gnome.Mutter.ScreenCast.Session", bus);
    const QDBusReply<QDBusObjectPath> streamPath = cast.call("RecordMonitor", QString(monitorConnector), QVariantMap());
    if (!streamPath.isValid()) {
        std::fprintf(stderr, "mutter_input: no stream of %s: %s\n", monitorConnector,
                     qPrintable(streamPath.error().message()));
        return 1;
    }
    if (failed(session.call("Start"), "Start"))
        return 1;
    const QDBusObjectPath stream = streamPath.value();

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string step;
        words >> step;
        int x = -1, y = -1;
        unsigned code = 0;
        bool ok = false;
        if (step == "to" && words >> x >> y && x >= 0 && y >= 0 && x < width && y < height) {
            ok = !failed(session.call("NotifyPointerMotionAbsolute", stream.path(), double(x), double(y)),
                         "motion");
        } else if (step == "click") {
            ok = !failed(session.call("NotifyPointerButton", int(leftButton), true), "press")
                && !failed(session.call("NotifyPointerButton", int(leftButton), false), "release");
        } else if (step == "down" || step == "up") {
            ok = !failed(session.call("NotifyPointerButton", int(leftButton), step == "down"), "button");
        } else if ((step == "key" || step == "press" || step == "release") && words >> code) {
            ok = true;
            if (step != "release")
                ok = !failed(session.call("NotifyKeyboardKeycode", code, true), "key press");
            if (ok && step != "press")
                ok = !failed(session.call("NotifyKeyboardKeycode", code, false), "key release");
        }
        std::cout << (ok ? "ok" : "error") << std::endl;
    }
    session.call("Stop");
    return 0;
}
