#pragma once

#include "model/ScreenshotStore.h"
#include "views/ItemCardView.h"

// The card of a screenshot item: it shows the item's thumbnail.
class ThumbnailView final : public ItemCardView
{
    Q_OBJECT
public:
    ThumbnailView(const Screenshot &screenshot, QSize size, QWidget *parent = nullptr);

    const Screenshot &screenshot() const { return m_screenshot; }
    const QPixmap &thumbnail() const { return m_thumbnail; }

    static constexpr int imageInset = 4;

protected:
    QMimeData *dragData() const override;
    QPixmap dragImage() const override;
    void paintContent(QPainter &painter, const QRect &body) const override;
    QColor bodyColor() const override;

private:
    Screenshot m_screenshot;
    QPixmap m_thumbnail;
};
