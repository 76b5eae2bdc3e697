#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

class FlashOverlay;
class QAbstractButton;
class QMimeData;
class QVariantAnimation;

// The behaviour that screenshot and text cards share: a rounded body that
// shows a soft shadow and a delete button on hover, a click that copies the
// item with a white flash, and a drag that carries it out of the panel.
// The card reports through callbacks that its owner sets; it knows nothing
// of the panel, and leaves the copy itself to its owner.
//
// The widget is the body plus a margin on every side, so that the delete
// button can overhang the body's top-left corner. Only the body and the
// button take the mouse; the margin is masked out.
class ItemCardView : public QWidget
{
    Q_OBJECT
public:
    ItemCardView(QSize bodySize, QWidget *parent = nullptr);
    ~ItemCardView() override;

    std::function<void()> onClick; // when unset, a click copies
    std::function<void()> onDelete;
    std::function<void()> onDragStart;
    std::function<void()> onDragEnd; // whatever the drag's outcome
    // Puts the item on the clipboard; `done` says, maybe later, whether it is there.
    using CopyDone = std::function<void(bool copied)>;
    std::function<void(CopyDone done)> onCopy;

    // Asks for the copy, and plays the flash once the item is on the
    // clipboard: a copy that did not happen does not flash.
    void copyToClipboard();
    // Whether a drag of this card is running.
    bool isDragging() const { return m_isDragging; }

    QRect bodyRect() const { return QRect(QPoint(margin, margin), m_bodySize); }
    QAbstractButton *deleteButton() const { return m_deleteButton; }
    qreal shadowOpacity() const { return m_shadowOpacity; }
    qreal flashOpacity() const;

    // Whether a press moved this far has become a drag.
    static bool exceedsDragThreshold(QPoint delta)
    {
        return delta.x() * delta.x() + delta.y() * delta.y() > dragThreshold * dragThreshold;
    }

    static constexpr int margin = 4; // the delete button's overhang
    static constexpr int cornerRadius = 10;
    static constexpr int deleteButtonSize = 18;
    static constexpr int dragThreshold = 4; // points; exactly 4 is still a click
    static constexpr qreal hoverShadowOpacity = 0.4;
    static constexpr double hoverDuration = 0.15;
    static constexpr qreal flashStartOpacity = 0.6;
    static constexpr double flashDuration = 0.35;
    static constexpr qreal flashAlpha = 0.35; // of white over the body, at full flash

Q_SIGNALS:
    void shadowChanged();

protected:
    // What the variant puts into a drag.
    virtual QMimeData *dragData() const = 0;
    virtual QPixmap dragImage() const = 0;
    // Draws the variant's content in the body (in body coordinates).
    virtual void paintContent(QPainter &painter, const QRect &body) const = 0;
    virtual QColor bodyColor() const = 0;

    // The body as drawn, with its rounded clip and the flash.
    QPixmap renderBody() const;

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setHovered(bool hovered);
    void animateShadow(qreal to);
    void startDrag();
    void playFlash();
    void paintBody(QPainter &painter, QPoint at) const;
    // The body's drawing, or the flash's white shape when `flash`, made once
    // into `cache` for the current device pixel ratio.
    const QPixmap &cachedLayer(QPixmap &cache, bool flash) const;

    QSize m_bodySize;
    QAbstractButton *m_deleteButton = nullptr;
    qreal m_shadowOpacity = 0;
    QPointer<QVariantAnimation> m_shadowAnimation;
    qreal m_flashOpacity = 0;
    mutable QPixmap m_bodyLayer;
    mutable QPixmap m_flashLayer;
    QPointer<QVariantAnimation> m_flashAnimation;
    QPoint m_mouseDownLocation;
    bool m_isPressed = false;
    bool m_didDrag = false;
    bool m_isDragging = false;
    bool m_deleteAfterDrag = false;
};
