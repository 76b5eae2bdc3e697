#include "transfer/ClipboardCopier.h"

#include "model/ScreenshotImage.h"
#include "platform/ImageFile.h"
#include "platform/Pasteboard.h"
#include "platform/PngEncoder.h"
#include "platform/TaskRunner.h"

#include <QMimeDatabase>

ClipboardCopier::ClipboardCopier(Pasteboard &pasteboard, TaskRunner &tasks, QObject *parent)
    : QObject(parent)
    , m_pasteboard(pasteboard)
    , m_tasks(tasks)
{
}

void ClipboardCopier::copyItem(const ShelfItemKind &kind, Done done)
{
    if (const QString *text = std::get_if<QString>(&kind))
        done(copyText(*text));
    else
        copyScreenshot(std::get<Screenshot>(kind).image, std::move(done));
}

bool ClipboardCopier::copyText(const QString &text)
{
    ++m_lastRequest; // a screenshot still being read must not overwrite this
    return m_pasteboard.writeString(text);
}

void ClipboardCopier::copyScreenshot(std::shared_ptr<const ScreenshotImage> image, Done done)
{
    if (!image) {
        done(false);
        return;
    }
    const quint64 request = ++m_lastRequest;
    const qint64 countAtRequest = m_pasteboard.changeCount();
    m_tasks.run(this, [this, image, request, countAtRequest, done = std::move(done)]() -> TaskRunner::Continuation {
        // On a worker: the whole file, and its type from its contents.
        const QByteArray bytes = image->bytes();
        const QString mimeType = QMimeDatabase().mimeTypeForData(bytes).name();
        return [this, image, bytes, mimeType, request, countAtRequest, done] {
            writeScreenshot(image, bytes, mimeType, request, countAtRequest, done);
        };
    });
}

void ClipboardCopier::writeScreenshot(const std::shared_ptr<const ScreenshotImage> &image, const QByteArray &bytes,
                                      const QString &mimeType, quint64 request, qint64 countAtRequest,
                                      const Done &done)
{
    // Anything copied since the request, here or elsewhere, was copied later.
    const bool superseded = request != m_lastRequest || m_pasteboard.changeCount() != countAtRequest;
    if (superseded || bytes.isEmpty() || !mimeType.startsWith(QLatin1String("image/"))) {
        done(false);
        return;
    }
    const bool copied = m_pasteboard.writeImage(bytes, mimeType);
    done(copied);
    if (copied && mimeType != QLatin1String(Pasteboard::pngType))
        addPng(image, bytes);
}

void ClipboardCopier::addPng(const std::shared_ptr<const ScreenshotImage> &image, const QByteArray &bytes)
{
    const qint64 countAtWrite = m_pasteboard.changeCount();
    m_tasks.run(this, [this, format = image->format(), bytes, countAtWrite]() -> TaskRunner::Continuation {
        const QByteArray png = PngEncoder::encode(ImageFile::decode(bytes, format, true));
        if (png.isEmpty())
            return {};
        return [this, png, countAtWrite] {
            // Only onto the copy it belongs to: not over a later one.
            if (m_pasteboard.changeCount() == countAtWrite)
                m_pasteboard.addImageType(png, QLatin1String(Pasteboard::pngType));
        };
    });
}
