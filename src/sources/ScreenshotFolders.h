#pragma once

#include <QString>
#include <QStringList>

// Where screenshots are saved. Each capture tool keeps its folder in its own
// settings; Zorv reads them once at launch. Every candidate folder that
// exists is watched, one awaited folder per tool starts being watched when
// it appears, and when none exists at launch the home folder's Desktop is
// watched as well.
struct ScreenshotFolders
{
    QStringList candidates; // absolute, cleaned, one per tool, without repeats
    QString fallback;

    // The folders for the current user's settings files and Pictures folder.
    static ScreenshotFolders resolve();
    // The same from explicit places, for tests.
    static ScreenshotFolders resolve(const QString &configHome, const QString &pictures, const QString &home);
    // Exactly one folder, watched like the fallback.
    static ScreenshotFolders only(const QString &folder);

    // A tool's setting as a folder path: trimmed, a file: URL turned into its
    // path, a leading tilde expanded; empty when nothing usable remains.
    static QString folderFromSetting(const QString &value, const QString &home);

    // GNOME Shell's folder: Pictures with its translated "Screenshots" when
    // that exists, else the English name; the translated one is awaited.
    static QString gnomeFolder(const QString &pictures);
};
