#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where screenshots are saved. Each capture tool keeps its folder in its own
// settings. Every candidate folder that exists is watched, one awaited
// folder per tool starts being watched when it appears, and when none exists
// the home folder's Desktop is watched as well.
struct ScreenshotFolders
{
    // Where the current user's settings live; a value of ScreenshotFolders
    // that carries them is resolved, and followed, on the watcher's thread.
    struct Places
    {
        QString configHome;
        QString home;
    };

    QStringList candidates; // absolute, cleaned, one per tool, without repeats
    QString fallback;
    // Folders that hold more than screenshots (Pictures, the home folder):
    // only the file names capture tools write count there.
    QStringList generalFolders;
    // Set when the folders follow the tools' settings.
    std::optional<Places> settings;

    // Follows the current user's settings; resolved later, off this thread.
    static ScreenshotFolders ofCurrentUser();
    // The folders named by the settings found in `places`.
    // `gnomeScreenshotSetting` is gnome-screenshot's `auto-save-directory`,
    // none when gnome-screenshot is not installed.
    static ScreenshotFolders resolve(const Places &places, const std::optional<QString> &gnomeScreenshotSetting);
    // Exactly one folder, watched like the fallback.
    static ScreenshotFolders only(const QString &folder);

    // A tool's setting as a folder path: trimmed, a file: URL turned into its
    // path, a leading tilde expanded; empty when nothing usable remains.
    static QString folderFromSetting(const QString &value, const QString &home);

    // The XDG Pictures folder named in user-dirs.dirs; empty when the file
    // names none.
    static QString namedPicturesFolder(const QString &configHome, const QString &home);

    // GNOME Shell's folder: Pictures with its translated "Screenshots" when
    // that exists, else the English name; the translated one is awaited.
    static QString gnomeFolder(const QString &pictures);

    // The settings files whose change can move a folder, by the folder that
    // holds them, relative to the config home ("" is the config home itself).
    struct SettingsFolder
    {
        QString folder;
        QStringList files;
    };
    static const QList<SettingsFolder> &settingsFolders();
    static inline const QString dconfFolder = QStringLiteral("dconf");
};
