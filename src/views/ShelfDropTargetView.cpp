#include "views/ShelfDropTargetView.h"

#include "platform/ImageFile.h"
#include "platform/PrivateTempFolder.h"
#include "platform/QtPasteboard.h"
#include "platform/Scheduler.h"

#include <QDragEnterEvent>
#include <QMimeData>

namespace {

const QStringList acceptedTypes = {QStringLiteral("text/plain"), QStringLiteral("text/uri-list"),
                                   QStringLiteral("image/tiff"), QStringLiteral("image/png")};

} // namespace

ShelfDropTargetView::ShelfDropTargetView(PrivateTempFolder &tempFolder, const Scheduler &clock, QWidget *parent)
    : QWidget(parent)
    , m_tempFolder(tempFolder)
    , m_clock(clock)
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
    const double now = m_clock.now();
    for (const QUrl &url : data->urls()) {
        // Only the first file counts; it is used where it lies. A file URL
        // without a path ("file://") names no file and would be empty text.
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (path.isEmpty())
            continue;
        if (auto image = ScreenshotImage::load(path))
            return Screenshot::ofFile(path, std::move(image), m_tempFolder, now);
        return ShelfItemKind(path);
    }
    if (data->hasImage()) {
        QImage image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull()) {
            if (std::optional<Screenshot> saved = Screenshot::savedAsPng(image, m_tempFolder, now))
                return ShelfItemKind(std::move(*saved));
            return std::nullopt;
        }
    }
    if (data->hasText() && !data->text().isEmpty())
        return ShelfItemKind(data->text());
    return std::nullopt;
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
    const std::optional<ShelfItemKind> kind = itemFor(event->mimeData());
    if (kind) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    reportHover(false); // the drag has ended here
    if (kind && onItemDropped)
        onItemDropped(*kind);
}

void ShelfDropTargetView::reportHover(bool hovering)
{
    if (onDragHoverChanged)
        onDragHoverChanged(hovering);
}
