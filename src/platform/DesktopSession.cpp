#include "platform/DesktopSession.h"

#include <QDir>
#include <QFile>

DesktopSession DesktopSession::detect(bool isXWayland)
{
    DesktopSession session;
    session.isWayland = isXWayland;
    session.desktop = desktopNamed(qEnvironmentVariable("XDG_CURRENT_DESKTOP"), qEnvironmentVariableIsSet("SWAYSOCK"));
    if (!isXWayland || session.desktop != Desktop::plasma)
        return session;
    const QStringList paths = kwinrcPaths(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath(),
                                          qEnvironmentVariable("XDG_CONFIG_DIRS"));
    for (const QString &path : paths) {
        QFile file(path);
        if (file.size() > maxKwinrcSize || !file.open(QIODevice::ReadOnly))
            continue;
        if (const auto value = eavesdroppingIn(file.read(maxKwinrcSize))) {
            session.eavesdropping = *value;
            break;
        }
    }
    return session;
}

DesktopSession::Desktop DesktopSession::desktopNamed(const QString &currentDesktops, bool swaySocket)
{
    for (const QString &name : currentDesktops.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString lower = name.trimmed().toLower();
        if (lower == QLatin1String("kde"))
            return Desktop::plasma;
        if (lower == QLatin1String("gnome"))
            return Desktop::gnome;
        if (lower == QLatin1String("sway"))
            return Desktop::sway;
    }
    return swaySocket ? Desktop::sway : Desktop::other;
}

std::optional<DesktopSession::KeyEavesdropping> DesktopSession::eavesdroppingIn(const QByteArray &kwinrc)
{
    // KConfig's format: [Group] lines, then key=value lines; a key may carry
    // a locale or [$...] flags after its name, and the last one set counts.
    std::optional<KeyEavesdropping> found;
    bool inGroup = false;
    for (const QByteArray &rawLine : kwinrc.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[Xwayland]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inGroup || equals < 0)
            continue;
        QByteArray key = line.left(equals).trimmed();
        if (const qsizetype flags = key.indexOf('['); flags >= 0)
            key.truncate(flags);
        if (key != "XwaylandEavesdrops")
            continue;
        // KWin takes the choice's name in any case, or its number.
        const QByteArray value = line.mid(equals + 1).trimmed().toLower();
        if (value == "all" || value == "3")
            found = KeyEavesdropping::all;
        else if (value == "combinations" || value == "2")
            found = KeyEavesdropping::combinations;
        else if (value == "modifiers" || value == "1")
            found = KeyEavesdropping::modifiers;
        else
            found = KeyEavesdropping::none;
    }
    return found;
}

QStringList DesktopSession::kwinrcPaths(const QString &configHome, const QString &home, const QString &configDirs)
{
    // As the XDG base directories say: a relative path in the variables is
    // ignored, and an unset or empty one means its default.
    QStringList paths;
    if (QDir::isAbsolutePath(configHome))
        paths.append(configHome + QStringLiteral("/kwinrc"));
    else if (!home.isEmpty())
        paths.append(home + QStringLiteral("/.config/kwinrc"));
    QStringList dirs;
    for (const QString &dir : configDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir))
            dirs.append(dir);
    }
    if (dirs.isEmpty())
        dirs.append(QStringLiteral("/etc/xdg"));
    for (const QString &dir : std::as_const(dirs))
        paths.append(dir + QStringLiteral("/kwinrc"));
    return paths;
}

bool DesktopSession::hearsKeysEverywhere() const
{
    return !isWayland || (desktop == Desktop::plasma && eavesdropping == KeyEavesdropping::all);
}

QString DesktopSession::leaderLimitation() const
{
    if (hearsKeysEverywhere())
        return {};
    return desktop == Desktop::plasma ? plasmaLimitation : waylandLimitation;
}
