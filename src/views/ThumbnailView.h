#pragma once

#include "shelf/ScreenshotStore.h"
#include "views/ItemCardView.h"

#include <QPixmap>

// The card of a screenshot item: the image scaled to fit.
class ThumbnailView final : public ItemCardView
{
    Q_OBJECT
public:
    ThumbnailView(const Screenshot &screenshot, QSize size, QWidget *parent = nullptr);

    const Screenshot &screenshot() const { return m_screenshot; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Screenshot m_screenshot;
    QPixmap m_thumbnail; // scaled once; a 4K screenshot is never rescaled per paint
};
