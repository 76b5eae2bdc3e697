#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The desktop Zorv runs on, as far as it decides whether the leader can be
// heard. Zorv speaks X11; on a Wayland desktop its X server is XWayland,
// which passes keys typed into native Wayland windows to X11 programs only
// where the compositor allows it. Only KWin can, when its setting for legacy
// X11 apps lets them read every key ("All" in kwinrc; fewer keys lose the
// digits and some releases). Elsewhere the leader is heard only while an
// X11 window has the keyboard focus.
class DesktopSession
{
public:
    enum class Desktop { gnome, plasma, sway, other };
    // KWin's XwaylandEavesdrops, from kwinrc's [Xwayland] group.
    enum class KeyEavesdropping { none, modifiers, combinations, all };

    bool isWayland = false;
    Desktop desktop = Desktop::other;
    KeyEavesdropping eavesdropping = KeyEavesdropping::none;

    // The current session: isXWayland says whether Zorv's X server is
    // XWayland (a nested X server inside a Wayland session hears every key
    // typed into it). The desktop comes from XDG_CURRENT_DESKTOP, sway's
    // from its socket variable as sway sets no desktop name; KWin's setting
    // from kwinrc, read anew each time, as the user may change it while
    // Zorv runs.
    static DesktopSession detect(bool isXWayland);

    // XDG_CURRENT_DESKTOP is a colon-separated list, most specific first
    // ("ubuntu:GNOME"); the first name known here decides.
    static Desktop desktopNamed(const QString &currentDesktops, bool swaySocket);
    // The value of [Xwayland] XwaylandEavesdrops in one kwinrc, if it sets it.
    static std::optional<KeyEavesdropping> eavesdroppingIn(const QByteArray &kwinrc);
    // The kwinrc files KConfig reads, most important first.
    static QStringList kwinrcPaths(const QString &configHome, const QString &home, const QString &configDirs);

    // Whether the leader's keys reach Zorv whichever window has the focus.
    bool hearsKeysEverywhere() const;
    // One sentence for the settings window where they do not; empty where
    // they do.
    QString leaderLimitation() const;

    static inline const QString waylandLimitation =
        QStringLiteral("On this Wayland desktop, the leader and its keys work only while an X11 app has the "
                       "keyboard focus.");
    static inline const QString plasmaLimitation = QStringLiteral(
        "On Plasma, the leader and its keys work only while an X11 app has the keyboard focus, unless \"Allow "
        "legacy X11 apps to read keystrokes typed in all apps\" is set to \"Always\" in System Settings, "
        "Applications, Legacy X11 App Support.");
    // kwinrc is a small settings file; a larger one is not KWin's.
    static constexpr qint64 maxKwinrcSize = 256 * 1024;
};
