#include "views/ThumbnailView.h"

#include "platform/Pasteboard.h"

#include <QCoreApplication>

#include <QBuffer>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QThreadPool>

namespace {

// The thumbnail has enough pixels for the card on a 2x screen.
constexpr qreal thumbnailScale = 2.0;

} // namespace

ThumbnailView::ThumbnailView(const Screenshot &screenshot, QSize size, Pasteboard &pasteboard, QWidget *parent)
    : ItemCardView(size, pasteboard, parent)
    , m_screenshot(screenshot)
{
    if (m_screenshot.image)
        m_thumbnail = QPixmap::fromImage(m_screenshot.image->thumbnail());
}

void ThumbnailView::writeToPasteboard(Pasteboard &pasteboard) const
{
    const std::shared_ptr<const ScreenshotImage> image = m_screenshot.image;
    if (!image)
        return;
    // A PNG goes out as the captured bytes; nothing is decoded or encoded.
    if (image->format() == "png") {
        pasteboard.writePng(image->bytes());
        return;
    }
    // Other formats become PNG on a worker thread, then go on the clipboard,
    // unless anything was copied meanwhile: the later copy wins.
    const QPointer<const ThumbnailView> self(this);
    Pasteboard *target = &pasteboard; // outlives every card
    const qint64 countAtClick = pasteboard.changeCount();
    QThreadPool::globalInstance()->start([self, image, target, countAtClick] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image->decode().save(&buffer, "PNG"))
            return;
        QMetaObject::invokeMethod(
            qApp,
            [self, target, png, countAtClick] {
                if (self && target->changeCount() == countAtClick)
                    target->writePng(png);
            },
            Qt::QueuedConnection);
    });
}

QMimeData *ThumbnailView::dragData() const
{
    auto *data = new QMimeData;
    data->setUrls({m_screenshot.url});
    return data;
}

QPixmap ThumbnailView::dragImage() const
{
    // The thumbnail, not the full image: a 4K drag pixmap helps nobody.
    return m_thumbnail.isNull() ? renderBody() : m_thumbnail.scaled(m_thumbnail.size() / thumbnailScale);
}

void ThumbnailView::paintContent(QPainter &painter, const QRect &body) const
{
    if (m_thumbnail.isNull())
        return;
    const QRect box = body.adjusted(imageInset, imageInset, -imageInset, -imageInset);
    QRect target(QPoint(), m_thumbnail.size().scaled(box.size(), Qt::KeepAspectRatio));
    target.moveCenter(box.center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, m_thumbnail);
}

QColor ThumbnailView::bodyColor() const
{
    return QColor(0, 0, 0, qRound(0.15 * 255));
}
