#include "views/ShelfDropTargetView.h"

#include "platform/ImageFile.h"
#include "platform/PrivateTempFolder.h"
#include "platform/QtPasteboard.h"
#include "platform/Scheduler.h"
#include "platform/TaskRunner.h"
#include "views/DropContent.h"

#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QPointer>

#include <unistd.h>

namespace {

const QStringList acceptedTypes = {QStringLiteral("text/plain"), QStringLiteral("text/uri-list"),
                                   QStringLiteral("image/tiff"), QStringLiteral("image/png")};

} // namespace

ShelfDropTargetView::ShelfDropTargetView(PrivateTempFolder &tempFolder, const Scheduler &clock, TaskRunner &tasks,
                                         const ThumbnailCache *thumbnails, QWidget *parent)
    : QWidget(parent)
    , m_tempFolder(tempFolder)
    , m_clock(clock)
    , m_tasks(tasks)
    , m_thumbnails(thumbnails)
{
    setAcceptDrops(true);
}

bool ShelfDropTargetView::isAcceptable(const QMimeData *data)
{
    if (!data || QtPasteboard::isConcealed(data))
        return false;
    for (const QString &type : acceptedTypes) {
        if (data->hasFormat(type))
            return true;
    }
    // Qt offers images it made itself under its own type.
    return data->hasImage();
}

std::optional<ShelfItemKind> ShelfDropTargetView::itemFor(const QMimeData *data)
{
    if (!data || QtPasteboard::isConcealed(data))
        return std::nullopt;
    return itemFor(DropContent::of(data), m_tempFolder, m_thumbnails, m_clock.now());
}

std::optional<ShelfItemKind> ShelfDropTargetView::itemFor(const DropContent &content, PrivateTempFolder &folder,
                                                          const ThumbnailCache *thumbnails, double now)
{
    if (!content.filePath.isEmpty()) {
        if (auto image = ScreenshotImage::load(content.filePath, thumbnails))
            return Screenshot::ofFile(content.filePath, std::move(image), folder, now);
        return ShelfItemKind(content.filePath);
    }
    const QImage image =
        content.imageBytes.isEmpty() ? content.image : ImageFile::decode(content.imageBytes, content.imageFormat);
    if (!image.isNull()) {
        // A PNG is kept byte for byte; anything else is written as one.
        const QByteArray png = content.imageFormat == "png" ? content.imageBytes : QByteArray();
        if (std::optional<Screenshot> saved = Screenshot::savedAsPng(image, folder, now, png))
            return ShelfItemKind(std::move(*saved));
    }
    // An image that does not decode, or cannot be kept, leaves the text.
    if (!content.text.isEmpty())
        return ShelfItemKind(content.text);
    return std::nullopt;
}

bool ShelfDropTargetView::promisesItem(const DropContent &content, PrivateTempFolder &folder)
{
    if (!content.filePath.isEmpty() || !content.text.isEmpty())
        return true;
    if (content.imageBytes.isEmpty() && content.image.isNull())
        return false;
    // The image's header reads; it becomes an item if its PNG can be kept.
    const QString path = folder.path();
    return !path.isEmpty() && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

void ShelfDropTargetView::dragEnterEvent(QDragEnterEvent *event)
{
    reportHover(true);
    // Accepted even when the content is not, so that the exit is reported;
    // the move events below refuse what cannot be dropped.
    event->accept();
    if (isAcceptable(event->mimeData()))
        event->acceptProposedAction();
}

void ShelfDropTargetView::dragMoveEvent(QDragMoveEvent *event)
{
    if (isAcceptable(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ShelfDropTargetView::dragLeaveEvent(QDragLeaveEvent *)
{
    reportHover(false);
}

void ShelfDropTargetView::dropEvent(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    const DropContent content =
        data && !QtPasteboard::isConcealed(data) ? DropContent::of(data) : DropContent();
    // Decoding comes later, on a worker; the source hears now whether the
    // drop is taken, by what can be told without it.
    const bool taken = promisesItem(content, m_tempFolder);
    if (taken) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    reportHover(false); // the drag has ended here
    if (!taken)
        return;
    PrivateTempFolder *folder = &m_tempFolder;
    const ThumbnailCache *thumbnails = m_thumbnails;
    const double now = m_clock.now();
    const QPointer<ShelfDropTargetView> self(this);
    m_tasks.run(this, [self, content, folder, thumbnails, now]() -> TaskRunner::Continuation {
        std::optional<ShelfItemKind> kind = itemFor(content, *folder, thumbnails, now);
        return [self, kind = std::move(kind)] {
            if (self && kind && self->onItemDropped)
                self->onItemDropped(*kind);
        };
    });
}

void ShelfDropTargetView::reportHover(bool hovering)
{
    if (onDragHoverChanged)
        onDragHoverChanged(hovering);
}
