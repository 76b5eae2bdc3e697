#pragma once

#include "model/ShelfItem.h"

#include <QObject>

#include <functional>
#include <memory>

class Pasteboard;
class ScreenshotImage;
class TaskRunner;

// Puts shelf items on the clipboard for the cards. A copy belongs to the
// copier, not to the card that asked for it, so it completes even when the
// card goes away meanwhile. A screenshot goes out as its file's own bytes
// in the file's own type, read off the main thread; any format but PNG is
// then offered as PNG too, as soon as the fast encoder has made it, as long
// as the clipboard still holds the copy. Of two copies, the later one wins.
class ClipboardCopier final : public QObject
{
    Q_OBJECT
public:
    // Says, on the main thread, whether the copy is on the clipboard.
    using Done = std::function<void(bool copied)>;

    ClipboardCopier(Pasteboard &pasteboard, TaskRunner &tasks, QObject *parent = nullptr);

    void copyItem(const ShelfItemKind &kind, Done done);
    // True when the text is on the clipboard.
    bool copyText(const QString &text);
    void copyScreenshot(std::shared_ptr<const ScreenshotImage> image, Done done);

private:
    void writeScreenshot(const std::shared_ptr<const ScreenshotImage> &image, const QByteArray &bytes,
                         const QString &mimeType, quint64 request, qint64 countAtRequest, const Done &done);
    void addPng(const std::shared_ptr<const ScreenshotImage> &image, const QByteArray &bytes);

    Pasteboard &m_pasteboard;
    TaskRunner &m_tasks;
    quint64 m_lastRequest = 0;
};
