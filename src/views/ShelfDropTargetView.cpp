#include "views/ShelfDropTargetView.h"

#include "platform/Scheduler.h"
#include "platform/TaskRunner.h"
#include "transfer/DropContent.h"
#include "transfer/DropDecoder.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPointer>

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
    return DropDecoder::isAcceptable(data);
}

std::optional<ShelfItemKind> ShelfDropTargetView::itemFor(const QMimeData *data)
{
    return DropDecoder::itemFor(DropDecoder::contentOf(data), m_tempFolder, m_thumbnails, m_clock.now());
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
    const DropContent content = DropDecoder::contentOf(data);
    // Decoding comes later, on a worker; the source hears now whether the
    // drop is taken, by what can be told without it.
    const bool taken = DropDecoder::promisesItem(content, m_tempFolder);
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
        std::optional<ShelfItemKind> kind = DropDecoder::itemFor(content, *folder, thumbnails, now);
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
