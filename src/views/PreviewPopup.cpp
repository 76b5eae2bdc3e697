#include "views/PreviewPopup.h"

#include "platform/CompositorWatch.h"
#include "views/NumberAnimation.h"
#include "views/PanelBackgroundView.h"
#include "views/PanelWindow.h"
#include "views/ScaleFadeEffect.h"

#include <QPainterPath>
#include <QRegion>

namespace {

QPainterPath roundedRect(const QSizeF &size)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(), size), PreviewPopup::cornerRadius, PreviewPopup::cornerRadius);
    return path;
}

QRegion roundedRegion(const QSize &size)
{
    return QRegion(roundedRect(size).toFillPolygon().toPolygon());
}

// Later, not now: the view may be the one whose click led here.
void discard(QWidget *view)
{
    if (!view)
        return;
    view->hide();
    view->deleteLater();
}

} // namespace

PreviewPopup::PreviewPopup(QSize size, CompositorWatch &compositor, QObject *parent)
    : QObject(parent)
    , m_window(std::make_unique<PanelWindow>(QRect(QPoint(), size)))
{
    const QRect bounds(QPoint(), size);
    QPalette palette = m_window->palette();
    palette.setColor(QPalette::Window, QColor(28, 28, 32));
    m_window->setPalette(palette);
    m_surface = new QWidget(m_window.get());
    m_surface->setGeometry(bounds);
    m_background = new PanelBackgroundView(compositor.isCompositing(), translucentAlpha, &roundedRect, m_surface);
    m_background->setGeometry(bounds);
    m_contentHost = new QWidget(m_surface);
    m_contentHost->setGeometry(bounds);
    m_contentHost->setMask(roundedRegion(size)); // clips the card to the corners
    m_effect = new ScaleFadeEffect(m_surface);
    m_surface->setGraphicsEffect(m_effect);
    applyCompositing(compositor.isCompositing());
    connect(&compositor, &CompositorWatch::compositingChanged, this, &PreviewPopup::applyCompositing);
}

void PreviewPopup::applyCompositing(bool compositing)
{
    m_background->setTranslucent(compositing);
    // Without a compositor nothing can show through: what the scale and
    // fade uncover is the panel's own dark tint, inside rounded corners.
    m_window->setAutoFillBackground(!compositing);
    if (compositing)
        m_window->clearMask();
    else
        m_window->setMask(roundedRegion(m_window->size()));
    m_window->update();
}

PreviewPopup::~PreviewPopup() = default;

bool PreviewPopup::isVisible() const
{
    return m_window->isVisible();
}

QRect PreviewPopup::frame() const
{
    return m_window->geometry();
}

qreal PreviewPopup::scale() const
{
    return m_effect->scale();
}

qreal PreviewPopup::alpha() const
{
    return m_effect->opacity();
}

void PreviewPopup::show(QWidget *view, const QRectF &anchor, int padding)
{
    // A dismiss still fading out must not hide what is shown now.
    stopAnimations();
    discard(m_itemView);
    const QRect inset = m_contentHost->rect().adjusted(padding, padding, -padding, -padding);
    view->setParent(m_contentHost);
    view->move(inset.center() - view->rect().center());
    view->show();
    m_itemView = view;

    const QPointF topRight(anchor.right(), anchor.bottom() + gapBelowAnchor);
    m_window->move(QPointF(topRight.x() - m_window->width(), topRight.y()).toPoint());
    m_effect->setOpacity(0);
    m_effect->setScale(hiddenScale);
    m_window->show();
    m_window->raise();
    applyScale(1, true, growDuration);
    animateAlpha(1, fadeInDuration, false);
}

void PreviewPopup::dismiss()
{
    if (!isVisible())
        return;
    applyScale(hiddenScale, true, dismissDuration);
    animateAlpha(0, dismissDuration, true);
    const QPointer<QWidget> shown = m_itemView;
    connect(m_alphaAnimation, &QVariantAnimation::finished, this, [this, shown] {
        m_window->hide();
        discard(shown);
    });
}

void PreviewPopup::applyScale(qreal scale, bool animated, double duration)
{
    if (!animated) {
        if (m_scaleAnimation)
            m_scaleAnimation->stop();
        m_effect->setScale(scale);
        return;
    }
    NumberAnimation::replace(m_scaleAnimation, m_effect, m_effect->scale(), scale, duration, QEasingCurve::OutQuad,
                             [effect = m_effect](qreal value) { effect->setScale(value); });
}

void PreviewPopup::animateAlpha(qreal to, double duration, bool easeIn)
{
    NumberAnimation::replace(m_alphaAnimation, m_effect, m_effect->opacity(), to, duration,
                             easeIn ? QEasingCurve::InQuad : QEasingCurve::InOutQuad,
                             [effect = m_effect](qreal value) { effect->setOpacity(value); });
}

void PreviewPopup::stopAnimations()
{
    // Stopped animations never report that they finished, so a pending
    // dismiss completion is dropped with them.
    if (m_scaleAnimation)
        m_scaleAnimation->stop();
    if (m_alphaAnimation)
        m_alphaAnimation->stop();
}
