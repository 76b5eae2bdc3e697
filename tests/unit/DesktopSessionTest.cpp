#include "platform/DesktopSession.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using Desktop = DesktopSession::Desktop;
using Eavesdropping = DesktopSession::KeyEavesdropping;

DesktopSession session(bool wayland, Desktop desktop, Eavesdropping eavesdropping = Eavesdropping::none)
{
    DesktopSession s;
    s.isWayland = wayland;
    s.desktop = desktop;
    s.eavesdropping = eavesdropping;
    return s;
}

// Sets an environment variable for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_wasSet)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_wasSet;
};

void write(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

TEST(DesktopSessionTest, TheFirstKnownDesktopNameDecides)
{
    EXPECT_EQ(DesktopSession::desktopNamed("KDE", false), Desktop::plasma);
    EXPECT_EQ(DesktopSession::desktopNamed("ubuntu:GNOME", false), Desktop::gnome);
    EXPECT_EQ(DesktopSession::desktopNamed("GNOME-Classic:GNOME", false), Desktop::gnome);
    EXPECT_EQ(DesktopSession::desktopNamed("sway", false), Desktop::sway);
    EXPECT_EQ(DesktopSession::desktopNamed("", true), Desktop::sway); // sway names no desktop itself
    EXPECT_EQ(DesktopSession::desktopNamed("Hyprland", false), Desktop::other);
    EXPECT_EQ(DesktopSession::desktopNamed("", false), Desktop::other);
}

TEST(DesktopSessionTest, ReadsKWinsEavesdroppingFromItsGroupOnly)
{
    EXPECT_EQ(DesktopSession::eavesdroppingIn("[Xwayland]\nXwaylandEavesdrops=All\n"), Eavesdropping::all);
    EXPECT_EQ(DesktopSession::eavesdroppingIn("[Xwayland]\n XwaylandEavesdrops = combinations \n"),
              Eavesdropping::combinations);
    EXPECT_EQ(DesktopSession::eavesdroppingIn("[Xwayland]\nXwaylandEavesdrops[$i]=3\n"), Eavesdropping::all);
    EXPECT_EQ(DesktopSession::eavesdroppingIn("[Xwayland]\nXwaylandEavesdrops=All\nXwaylandEavesdrops=Modifiers"),
              Eavesdropping::modifiers);
    EXPECT_EQ(DesktopSession::eavesdroppingIn("[Xwayland]\nXwaylandEavesdrops=bogus\n"), Eavesdropping::none);
    // The same key in another group, or another key, says nothing.
    EXPECT_FALSE(DesktopSession::eavesdroppingIn("[Windows]\nXwaylandEavesdrops=All\n[Xwayland]\nScale=1\n"));
    EXPECT_FALSE(DesktopSession::eavesdroppingIn(""));
}

TEST(DesktopSessionTest, KwinrcIsLookedForWhereKConfigLooks)
{
    EXPECT_EQ(DesktopSession::kwinrcPaths("/c", "/h", "/a:/b"), QStringList({"/c/kwinrc", "/a/kwinrc", "/b/kwinrc"}));
    EXPECT_EQ(DesktopSession::kwinrcPaths("", "/h", ""), QStringList({"/h/.config/kwinrc", "/etc/xdg/kwinrc"}));
    EXPECT_EQ(DesktopSession::kwinrcPaths("relative", "/h", "also:relative"),
              QStringList({"/h/.config/kwinrc", "/etc/xdg/kwinrc"}));
}

TEST(DesktopSessionTest, TheLeaderIsLimitedOnWaylandUnlessKWinPassesEveryKey)
{
    EXPECT_TRUE(session(false, Desktop::gnome).leaderLimitation().isEmpty()); // an X11 session
    EXPECT_TRUE(session(true, Desktop::plasma, Eavesdropping::all).leaderLimitation().isEmpty());
    EXPECT_EQ(session(true, Desktop::gnome).leaderLimitation(), DesktopSession::waylandLimitation);
    EXPECT_EQ(session(true, Desktop::sway).leaderLimitation(), DesktopSession::waylandLimitation);
    EXPECT_EQ(session(true, Desktop::other, Eavesdropping::all).leaderLimitation(), DesktopSession::waylandLimitation);
    // Fewer keys than all lose the digits, so only "All" counts.
    for (auto partial : {Eavesdropping::none, Eavesdropping::modifiers, Eavesdropping::combinations})
        EXPECT_EQ(session(true, Desktop::plasma, partial).leaderLimitation(), DesktopSession::plasmaLimitation);
    EXPECT_TRUE(DesktopSession::plasmaLimitation.contains(
        "\"Allow legacy X11 apps to read keystrokes typed in all apps\" is set to \"Always\""));
}

TEST(DesktopSessionTest, DetectsPlasmaAndTheUsersKWinSettingOverTheSystems)
{
    QTemporaryDir dir;
    const ScopedEnv desktop("XDG_CURRENT_DESKTOP", "KDE");
    const ScopedEnv configHome("XDG_CONFIG_HOME", (dir.path() + "/home").toUtf8());
    const ScopedEnv configDirs("XDG_CONFIG_DIRS", (dir.path() + "/system").toUtf8());
    write(dir.path() + "/system/kwinrc", "[Xwayland]\nXwaylandEavesdrops=All\n");
    DesktopSession detected = DesktopSession::detect(true);
    EXPECT_EQ(detected.desktop, Desktop::plasma);
    EXPECT_TRUE(detected.leaderLimitation().isEmpty());

    write(dir.path() + "/home/kwinrc", "[Xwayland]\nXwaylandEavesdrops=Modifiers\n");
    EXPECT_EQ(DesktopSession::detect(true).leaderLimitation(), DesktopSession::plasmaLimitation);
    // On a plain X server every key is heard, whatever KWin would do.
    EXPECT_TRUE(DesktopSession::detect(false).leaderLimitation().isEmpty());
}
