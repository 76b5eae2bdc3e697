#include "views/ThumbnailView.h"

#include <QPainter>

ThumbnailView::ThumbnailView(const Screenshot &screenshot, QSize size, QWidget *parent)
    : ItemCardView(size, parent)
    , m_screenshot(screenshot)
{
    if (m_screenshot.image && !m_screenshot.image->isNull())
        m_thumbnail = QPixmap::fromImage(
            m_screenshot.image->scaled(size * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void ThumbnailView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintCardBackground(painter);
    if (m_thumbnail.isNull())
        return;
    const QSize fitted = m_thumbnail.size().scaled(size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), fitted);
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, m_thumbnail);
}
