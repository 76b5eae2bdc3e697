#pragma once

#include <QImage>
#include <QString>

// The private folder for PNG files that Zorv writes itself (clipboard images
// and dropped image data): ${TMPDIR:-/tmp}/zorv-<uid>, mode 0700. An
// existing path is used only if it is a real folder owned by the user with
// mode 0700; otherwise a fresh private folder is made beside it, so nobody
// else can read the files or plant links in their place.
class PrivateTempFolder
{
public:
    explicit PrivateTempFolder(const QString &parent = defaultParent());

    // The folder, created on first use; empty if no private folder could be made.
    QString path();

    // Writes the image as a new 0600 PNG named by a fresh upper-case UUID.
    // Returns the file's path, or the path it was meant to have when writing
    // failed (callers keep the item; its file is simply missing).
    QString writePng(const QImage &image);

    static QString defaultParent();

private:
    static bool isPrivateFolder(const QString &path);
    QString makeFolder();

    QString m_parent;
    QString m_path;
};
