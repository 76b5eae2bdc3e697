#include "views/ItemCardView.h"

#include "platform/Scheduler.h"
#include "views/SymbolIcons.h"
#include "views/TransparentPixmap.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVariantAnimation>

namespace {

QVariantAnimation *opacityAnimation(QObject *owner, qreal from, qreal to, double seconds,
                                    std::function<void(qreal)> apply)
{
    auto *animation = new QVariantAnimation(owner);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setDuration(secondsToMilliseconds(seconds));
    QObject::connect(animation, &QVariantAnimation::valueChanged, owner,
                     [apply = std::move(apply)](const QVariant &value) { apply(value.toReal()); });
    return animation;
}

} // namespace

ItemCardView::ItemCardView(QSize bodySize, QWidget *parent)
    : QWidget(parent)
    , m_bodySize(bodySize)
{
    setFixedSize(bodySize + QSize(2 * margin, 2 * margin));
    setAttribute(Qt::WA_TranslucentBackground);

    auto *button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(QStringLiteral("Remove"));
    button->setToolTip(QStringLiteral("Remove"));
    button->setIcon(SymbolIcons::icon(SymbolIcons::Symbol::XmarkCircleFill, Qt::white));
    button->setIconSize(QSize(deleteButtonSize, deleteButtonSize));
    button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; background: transparent; }"));
    // The body's top-left corner, overhung by 4 points up and to the left.
    button->setGeometry(margin - 4, margin - 4, deleteButtonSize, deleteButtonSize);
    button->hide();
    connect(button, &QAbstractButton::clicked, this, [this] {
        if (onDelete)
            onDelete();
    });
    m_deleteButton = button;

    setMask(QRegion(bodyRect()) + QRegion(button->geometry()));
}

ItemCardView::~ItemCardView()
{
    // Destroyed outright in the middle of its drag, with the window it was
    // in: the drag cannot go on without its source, so it ends here, and
    // says so.
    if (m_isDragging) {
        QDrag::cancel();
        if (onDragEnd)
            onDragEnd();
    }
}

qreal ItemCardView::flashOpacity() const
{
    return m_flashOpacity;
}

void ItemCardView::copyToClipboard()
{
    if (!onCopy)
        return;
    const QPointer<ItemCardView> self(this);
    onCopy([self](bool copied) {
        if (self && copied)
            self->playFlash();
    });
}

void ItemCardView::playFlash()
{
    // The flash shows at once and fades; a second copy restarts it.
    if (m_flashAnimation)
        m_flashAnimation->stop();
    m_flashOpacity = flashStartOpacity;
    update();
    m_flashAnimation = opacityAnimation(this, flashStartOpacity, 0.0, flashDuration, [this](qreal opacity) {
        m_flashOpacity = opacity;
        update();
    });
    m_flashAnimation->start(QAbstractAnimation::DeleteWhenStopped);
}

const QPixmap &ItemCardView::cachedLayer(QPixmap &cache, bool flash) const
{
    const qreal ratio = devicePixelRatioF();
    if (TransparentPixmap::fits(cache, m_bodySize, ratio))
        return cache;
    cache = TransparentPixmap::make(m_bodySize, ratio);
    QPainter painter(&cache);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect body(QPoint(), m_bodySize);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(body), cornerRadius, cornerRadius);
    painter.setClipPath(shape);
    if (flash) {
        painter.fillRect(body, Qt::white);
    } else {
        painter.fillRect(body, bodyColor());
        paintContent(painter, body);
    }
    return cache;
}

void ItemCardView::paintBody(QPainter &painter, QPoint at) const
{
    // Both layers are drawn once and kept: flattening the rounded clip again
    // at every frame of the flash cost the main thread more than the copy.
    painter.drawPixmap(at, cachedLayer(m_bodyLayer, false));
    if (m_flashOpacity > 0) {
        painter.setOpacity(flashAlpha * m_flashOpacity);
        painter.drawPixmap(at, cachedLayer(m_flashLayer, true));
        painter.setOpacity(1);
    }
}

QPixmap ItemCardView::renderBody() const
{
    QPixmap pixmap = TransparentPixmap::make(m_bodySize, devicePixelRatioF());
    QPainter painter(&pixmap);
    paintBody(painter, QPoint());
    return pixmap;
}

bool ItemCardView::event(QEvent *event)
{
    // Removed while its own drag runs (pushed out by a new item, deleted
    // with a hot key): the drag's loop runs inside this card's mouse
    // handler, so the card only hides, and goes once the drag has returned.
    if (event->type() == QEvent::DeferredDelete && m_isDragging) {
        m_deleteAfterDrag = true;
        hide();
        return true;
    }
    return QWidget::event(event);
}

void ItemCardView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintBody(painter, bodyRect().topLeft());
}

void ItemCardView::enterEvent(QEnterEvent *)
{
    setHovered(true);
}

void ItemCardView::leaveEvent(QEvent *)
{
    setHovered(false);
}

void ItemCardView::setHovered(bool hovered)
{
    m_deleteButton->setVisible(hovered);
    animateShadow(hovered ? hoverShadowOpacity : 0.0);
}

void ItemCardView::animateShadow(qreal to)
{
    if (m_shadowAnimation)
        m_shadowAnimation->stop();
    m_shadowAnimation = opacityAnimation(this, m_shadowOpacity, to, hoverDuration, [this](qreal opacity) {
        m_shadowOpacity = opacity;
        Q_EMIT shadowChanged();
    });
    m_shadowAnimation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ItemCardView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !bodyRect().contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    m_mouseDownLocation = event->position().toPoint();
    m_isPressed = true;
    m_didDrag = false;
}

void ItemCardView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_isPressed || m_didDrag)
        return; // one drag per press
    if (!exceedsDragThreshold(event->position().toPoint() - m_mouseDownLocation))
        return;
    m_didDrag = true;
    startDrag();
}

void ItemCardView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_isPressed)
        return;
    m_isPressed = false;
    if (m_didDrag)
        return;
    if (onClick)
        onClick();
    else
        copyToClipboard();
}

void ItemCardView::startDrag()
{
    const QPointer<QDrag> drag = new QDrag(this);
    // The target fetches the data after the drop, when the drag's loop has
    // returned and a card removed meanwhile is gone: the drag object lives
    // on with the window, and Qt deletes it once the transfer is over.
    drag->setParent(window());
    drag->setMimeData(dragData());
    const QPixmap image = dragImage();
    drag->setPixmap(image);
    drag->setHotSpot(m_mouseDownLocation - bodyRect().topLeft());
    m_isDragging = true;
    const QPointer<ItemCardView> self(this);
    if (onDragStart)
        onDragStart();
    // Destroyed outright meanwhile: the destructor has told the end, and
    // the drag never runs.
    if (!self) {
        delete drag.data();
        return;
    }
    drag->exec(Qt::CopyAction, Qt::CopyAction);
    if (!self)
        return;
    m_isDragging = false;
    m_isPressed = false;
    if (onDragEnd)
        onDragEnd();
    if (m_deleteAfterDrag)
        deleteLater();
}
