#pragma once

#include "platform/PrivateFile.h"

#include <QByteArray>
#include <QImage>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

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
    // The same with PNG data that exists already. Safe on any thread.
    QString writePngData(const QByteArray &png);

    // The shared hold on a file in this folder, deleting it when the last
    // holder lets go; null for any path outside the folder.
    std::shared_ptr<const PrivateFile> hold(const QString &path);
    // Removes every image of Zorv's own in the folder that `keep` does not
    // name and no holder holds: what a run that ended abruptly left behind.
    // Other files, such as the single-instance lock, stay.
    void removeFilesExcept(const QSet<QString> &keep);

    // Zorv's own images here are named by a fresh UUID and ".png".
    static QString ownImageName();
    static bool isOwnImageName(const QString &name);
    static inline const QString imageSuffix = QStringLiteral(".png");
    // From now on nothing is deleted; for shutdown, when holders go away
    // while the stored shelf still names their files.
    void keepFiles();

    static QString defaultParent();

private:
    static bool isPrivateFolder(const QString &path);
    QString makeFolder();
    QString lockedPath();
    QString newFile(const std::function<bool(int fd)> &write);

    QString m_parent;
    std::mutex m_mutex; // the clipboard's worker writes here too
    QString m_path;
    std::shared_ptr<PrivateFile::Registry> m_registry = std::make_shared<PrivateFile::Registry>();
};
