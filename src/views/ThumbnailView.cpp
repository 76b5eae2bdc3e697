#include "views/ThumbnailView.h"

#include <QMimeData>
#include <QPainter>

namespace {

// The thumbnail has enough pixels for the card on a 2x screen.
constexpr qreal thumbnailScale = 2.0;

} // namespace

ThumbnailView::ThumbnailView(const Screenshot &screenshot, QSize size, QWidget *parent)
    : ItemCardView(size, parent)
    , m_screenshot(screenshot)
{
    if (m_screenshot.image)
        m_thumbnail = QPixmap::fromImage(m_screenshot.image->thumbnail());
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
