#include "sources/ScreenshotFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

#include <libintl.h>

namespace {

const char *const screenshotsFolder = "Screenshots";

// The value of `key` in `[group]` of a KDE or GLib key file. Both escape
// the same few characters; localised variants ("key[de]") are ignored.
QString keyFileValue(const QString &path, const QString &group, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    QString currentGroup;
    while (!in.atEnd()) {
        const QString line = in.readLine(64 * 1024).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            currentGroup = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (currentGroup != group || equals < 0)
            continue;
        QString name = line.left(equals).trimmed();
        name = name.left(name.indexOf(QLatin1String("[$"))); // KDE's flags, e.g. key[$e]
        if (name != key)
            continue;
        const QString raw = line.mid(equals + 1);
        QString value;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] != QLatin1Char('\\') || i + 1 == raw.size()) {
                value += raw[i];
                continue;
            }
            const QChar next = raw[++i];
            value += next == QLatin1Char('s') ? QChar(' ') : next == QLatin1Char('t') ? QChar('\t')
                   : next == QLatin1Char('n') ? QChar('\n') : next == QLatin1Char('r') ? QChar('\r') : next;
        }
        return value;
    }
    return {};
}

// Flameshot writes its file with QSettings, so QSettings reads it back.
QString flameshotValue(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {};
    const QSettings settings(path, QSettings::IniFormat);
    const QVariant value = settings.value(QStringLiteral("savePath"));
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(',')) : value.toString();
}

} // namespace

QString ScreenshotFolders::folderFromSetting(const QString &value, const QString &home)
{
    QString path = value.trimmed();
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(path);
        const bool here = url.host().isEmpty() || url.host() == QLatin1String("localhost");
        path = url.isLocalFile() && here ? url.toLocalFile() : QString();
    }
    if (path == QLatin1String("~"))
        path = home;
    else if (path.startsWith(QLatin1String("~/")))
        path = home + path.mid(1);
    // A relative path would depend on where Zorv happens to be started.
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return {};
    return QDir::cleanPath(path);
}

QString ScreenshotFolders::gnomeFolder(const QString &pictures)
{
    if (pictures.isEmpty())
        return {};
    QStringList names;
    const QString translated = QString::fromUtf8(dgettext("gnome-shell", screenshotsFolder));
    if (translated != QLatin1String(screenshotsFolder))
        names.append(translated);
    names.append(QLatin1String(screenshotsFolder));
    for (const QString &name : names) {
        if (QFileInfo(pictures + QLatin1Char('/') + name).isDir())
            return QDir::cleanPath(pictures + QLatin1Char('/') + name);
    }
    return QDir::cleanPath(pictures + QLatin1Char('/') + names.first());
}

QString ScreenshotFolders::namedPicturesFolder(const QString &configHome, const QString &home)
{
    // Lines like XDG_PICTURES_DIR="$HOME/Pictures", as xdg-user-dirs writes them.
    QFile file(configHome + QStringLiteral("/user-dirs.dirs"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    const QString prefix = QStringLiteral("XDG_PICTURES_DIR=");
    while (!in.atEnd()) {
        const QString line = in.readLine(64 * 1024).trimmed();
        if (!line.startsWith(prefix))
            continue;
        QString value = line.mid(prefix.size());
        if (value.size() < 2 || !value.startsWith(QLatin1Char('"')) || !value.endsWith(QLatin1Char('"')))
            return {};
        value = value.mid(1, value.size() - 2).replace(QLatin1String("\\\""), QLatin1String("\""));
        if (value == QLatin1String("$HOME") || value.startsWith(QLatin1String("$HOME/")))
            value = home + value.mid(5);
        return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
    }
    return {};
}

ScreenshotFolders ScreenshotFolders::resolve(const Places &places, const std::optional<QString> &gnomeScreenshotSetting)
{
    const QString &configHome = places.configHome;
    const QString &home = places.home;
    const QString namedPictures = namedPicturesFolder(configHome, home);
    // Qt and GNOME Shell assume ~/Pictures when user-dirs names none;
    // gnome-screenshot then saves into the home folder itself.
    const QString pictures = namedPictures.isEmpty() ? home + QStringLiteral("/Pictures") : namedPictures;
    QString gnomeScreenshotFolder;
    if (gnomeScreenshotSetting) {
        gnomeScreenshotFolder = folderFromSetting(*gnomeScreenshotSetting, home);
        if (gnomeScreenshotSetting->trimmed().isEmpty())
            gnomeScreenshotFolder = namedPictures.isEmpty() ? QDir::cleanPath(home) : namedPictures;
    }
    const QStringList settings = {
        gnomeFolder(pictures),
        gnomeScreenshotFolder,
        // KDE Spectacle: the [ImageSave] key of recent versions, else the older [Save] one.
        folderFromSetting(keyFileValue(configHome + QStringLiteral("/spectaclerc"), QStringLiteral("ImageSave"),
                                       QStringLiteral("imageSaveLocation")),
                          home),
        folderFromSetting(keyFileValue(configHome + QStringLiteral("/spectaclerc"), QStringLiteral("Save"),
                                       QStringLiteral("defaultSaveLocation")),
                          home),
        folderFromSetting(flameshotValue(configHome + QStringLiteral("/flameshot/flameshot.ini")), home),
        folderFromSetting(keyFileValue(configHome + QStringLiteral("/xfce4/xfce4-screenshooter"),
                                       QStringLiteral("Preferences"), QStringLiteral("screenshot_dir")),
                          home),
    };
    ScreenshotFolders folders;
    bool spectacleSeen = false;
    for (qsizetype i = 0; i < settings.size(); ++i) {
        const bool isSpectacle = i == 2 || i == 3;
        if (settings[i].isEmpty() || (isSpectacle && spectacleSeen))
            continue;
        spectacleSeen = spectacleSeen || isSpectacle;
        // A setting that names a file, or anything but a folder, is not one.
        const QFileInfo info(settings[i]);
        if (info.exists() && !info.isDir())
            continue;
        if (!folders.candidates.contains(settings[i]))
            folders.candidates.append(settings[i]);
    }
    folders.fallback = home + QStringLiteral("/Desktop");
    folders.generalFolders = {QDir::cleanPath(pictures), QDir::cleanPath(home)};
    folders.settings = places;
    return folders;
}

ScreenshotFolders ScreenshotFolders::ofCurrentUser()
{
    ScreenshotFolders folders;
    folders.settings =
        Places{QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), QDir::homePath()};
    return folders;
}

ScreenshotFolders ScreenshotFolders::only(const QString &folder)
{
    return ScreenshotFolders{{}, folder, {}, std::nullopt};
}

const QList<ScreenshotFolders::SettingsFolder> &ScreenshotFolders::settingsFolders()
{
    static const QList<SettingsFolder> folders = {
        {QString(), {QStringLiteral("spectaclerc"), QStringLiteral("user-dirs.dirs")}},
        {QStringLiteral("flameshot"), {QStringLiteral("flameshot.ini")}},
        {QStringLiteral("xfce4"), {QStringLiteral("xfce4-screenshooter")}},
        // GSettings' dconf database, rewritten whole on every change.
        {dconfFolder, {QStringLiteral("user")}},
    };
    return folders;
}
