#include "platform/DesktopSession.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using Desktop = DesktopSession::Desktop;
using Eavesdropping = DesktopSession::KeyEavesdropping;

QString limitation(bool wayland, Desktop desktop, Eavesdropping eavesdropping = Eavesdropping::none)
{
    DesktopSession session;
    session.isWayland = wayland;
    session.desktop = desktop;
    session.eavesdropping = eavesdropping;
    return session.leaderLimitation();
}

} // namespace

TEST(DesktopSessionTest, TellsTheDesktopAndKWinsSettingFromWhatTheSessionSays)
{
    EXPECT_EQ(DesktopSession::desktopNamed("KDE", false), Desktop::plasma);
    EXPECT_EQ(DesktopSession::desktopNamed("ubuntu:GNOME", false), Desktop::gnome);
    EXPECT_EQ(DesktopSession::desktopNamed("", true), Desktop::sway); // sway names no desktop itself
    EXPECT_EQ(DesktopSession::desktopNamed("Hyprland", false), Desktop::other);

    EXPECT_EQ(DesktopSession::eavesdroppingIn("[Xwayland]\n XwaylandEavesdrops = all \n"), Eavesdropping::all);
    EXPECT_EQ(DesktopSession::eavesdroppingIn("[Xwayland]\nXwaylandEavesdrops[$i]=2\n"), Eavesdropping::combinations);
    EXPECT_EQ(DesktopSession::eavesdroppingIn("[Xwayland]\nXwaylandEavesdrops=All\nXwaylandEavesdrops=Modifiers"),
              Eavesdropping::modifiers); // the last one counts
    // The key in another group says nothing.
    EXPECT_FALSE(DesktopSession::eavesdroppingIn("[Windows]\nXwaylandEavesdrops=All\n[Xwayland]\nScale=1\n"));

    EXPECT_EQ(DesktopSession::kwinrcPaths("/c", "/h", "/a:/b"), QStringList({"/c/kwinrc", "/a/kwinrc", "/b/kwinrc"}));
    EXPECT_EQ(DesktopSession::kwinrcPaths("relative", "/h", ""), QStringList({"/h/.config/kwinrc", "/etc/xdg/kwinrc"}));
}

TEST(DesktopSessionTest, TheLeaderIsLimitedOnWaylandUnlessKWinPassesEveryKey)
{
    EXPECT_TRUE(limitation(false, Desktop::gnome).isEmpty()); // an X11 session
    EXPECT_TRUE(limitation(true, Desktop::plasma, Eavesdropping::all).isEmpty());
    EXPECT_EQ(limitation(true, Desktop::gnome), DesktopSession::waylandLimitation);
    EXPECT_EQ(limitation(true, Desktop::other, Eavesdropping::all), DesktopSession::waylandLimitation);
    // Fewer keys than all lose the digits, so only "All" counts.
    for (auto partial : {Eavesdropping::none, Eavesdropping::modifiers, Eavesdropping::combinations})
        EXPECT_EQ(limitation(true, Desktop::plasma, partial), DesktopSession::plasmaLimitation);
}

TEST(DesktopSessionTest, TheUsersKWinSettingCountsOverTheSystems)
{
    QTemporaryDir dir;
    const auto write = [&dir](const QString &name, const QByteArray &text) {
        QDir(dir.path()).mkpath(name);
        QFile file(dir.path() + "/" + name + "/kwinrc");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    const QByteArray oldDesktop = qgetenv("XDG_CURRENT_DESKTOP"), oldHome = qgetenv("XDG_CONFIG_HOME"),
                     oldDirs = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/home").toUtf8());
    qputenv("XDG_CONFIG_DIRS", (dir.path() + "/system").toUtf8());

    write("system", "[Xwayland]\nXwaylandEavesdrops=All\n");
    EXPECT_EQ(DesktopSession::detect(true).desktop, Desktop::plasma);
    EXPECT_TRUE(DesktopSession::detect(true).leaderLimitation().isEmpty());
    write("home", "[Xwayland]\nXwaylandEavesdrops=Modifiers\n");
    EXPECT_EQ(DesktopSession::detect(true).leaderLimitation(), DesktopSession::plasmaLimitation);
    // On a plain X server every key is heard, whatever KWin would do.
    EXPECT_TRUE(DesktopSession::detect(false).leaderLimitation().isEmpty());

    const auto restore = [](const char *name, const QByteArray &old) {
        old.isNull() ? qunsetenv(name) : qputenv(name, old);
    };
    restore("XDG_CURRENT_DESKTOP", oldDesktop);
    restore("XDG_CONFIG_HOME", oldHome);
    restore("XDG_CONFIG_DIRS", oldDirs);
}
