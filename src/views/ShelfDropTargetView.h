#pragma once

#include "model/ShelfItem.h"

#include <QWidget>

#include <functional>
#include <optional>

class PrivateTempFolder;
class QMimeData;
class Scheduler;
class TaskRunner;
class ThumbnailCache;

// The panel's content area as a drop target: files, images and text dropped
// from other programs become shelf item kinds. It reports every drag that
// enters (acceptable or not) and every exit or end, so the panel can stay
// out while something is dragged over it. A dropped image is decoded by the
// task runner, and its item reported once that is done.
class ShelfDropTargetView final : public QWidget
{
    Q_OBJECT
public:
    ShelfDropTargetView(PrivateTempFolder &tempFolder, const Scheduler &clock, TaskRunner &tasks,
                        const ThumbnailCache *thumbnails = nullptr, QWidget *parent = nullptr);

    std::function<void(const ShelfItemKind &)> onItemDropped;
    std::function<void(bool hovering)> onDragHoverChanged;

    // Whether a drag offering this data can be dropped here.
    static bool isAcceptable(const QMimeData *data);
    // What a drop of this data means. Decodes at once: for tests; a drop
    // decodes on the task runner.
    std::optional<ShelfItemKind> itemFor(const QMimeData *data);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void reportHover(bool hovering);

    PrivateTempFolder &m_tempFolder;
    const Scheduler &m_clock;
    TaskRunner &m_tasks;
    const ThumbnailCache *m_thumbnails;
};
