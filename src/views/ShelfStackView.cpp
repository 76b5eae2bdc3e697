#include "views/ShelfStackView.h"

#include "platform/Scheduler.h"
#include "views/ItemCardView.h"
#include "views/TransparentPixmap.h"

#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>

ShelfStackView::ShelfStackView(int inset, int spacing, QWidget *parent)
    : QWidget(parent)
    , m_inset(inset)
    , m_spacing(spacing)
{
}

QList<ItemCardView *> ShelfStackView::cards() const
{
    QList<ItemCardView *> result;
    for (const auto &card : m_cards) {
        if (card)
            result.append(card);
    }
    return result;
}

QRect ShelfStackView::bodyFrame(int index) const
{
    const QSize body = m_cards.isEmpty() || !m_cards.first() ? QSize() : m_cards.first()->bodyRect().size();
    const int x = (width() - body.width()) / 2;
    return QRect(QPoint(x, m_inset + index * (body.height() + m_spacing)), body);
}

void ShelfStackView::insertCard(ItemCardView *card, int index, double slideSeconds)
{
    m_cards.insert(qBound(0, index, int(m_cards.size())), card);
    connect(card, &ItemCardView::shadowChanged, this, qOverload<>(&QWidget::update), Qt::UniqueConnection);
    // The new card starts in its place; the others slide.
    card->move(bodyFrame(int(m_cards.indexOf(card))).topLeft() - card->bodyRect().topLeft());
    card->show();
    card->raise();
    layOutCards(slideSeconds);
}

void ShelfStackView::removeCard(ItemCardView *card, double slideSeconds)
{
    m_cards.removeAll(card);
    layOutCards(slideSeconds);
}

void ShelfStackView::layOutCards(double slideSeconds)
{
    m_cards.removeAll(nullptr);
    for (int i = 0; i < m_cards.size(); ++i) {
        ItemCardView *card = m_cards.at(i);
        const QPoint target = bodyFrame(i).topLeft() - card->bodyRect().topLeft();
        for (auto *running : card->findChildren<QPropertyAnimation *>(Qt::FindDirectChildrenOnly)) {
            if (running->propertyName() == "pos")
                running->stop(); // deletes itself; the new slide starts where the card is
        }
        if (card->pos() == target)
            continue;
        auto *slide = new QPropertyAnimation(card, "pos", card);
        slide->setDuration(secondsToMilliseconds(slideSeconds));
        slide->setEasingCurve(QEasingCurve::OutCubic);
        slide->setEndValue(target);
        slide->start(QAbstractAnimation::DeleteWhenStopped);
    }
    // Lower cards above upper ones, so a delete button overhanging a
    // card's top edge is never covered by the card above it.
    for (const auto &card : m_cards)
        card->raise();
}

void ShelfStackView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const auto &card : m_cards) {
        if (!card || card->shadowOpacity() <= 0)
            continue;
        const int alpha = qRound(255 * card->shadowOpacity() / (shadowSteps * 1.5));
        const QRect body = card->bodyRect().translated(card->pos());
        const int margin = qCeil(shadowBlur);
        painter.drawPixmap(body.topLeft() - QPoint(margin, margin), shadow(body.size(), alpha));
    }
}

const QPixmap &ShelfStackView::shadow(QSize bodySize, int alpha) const
{
    // Drawn once per size and shade and kept: the outlines were flattened
    // anew at every frame of every card's flash and hover fade.
    const qreal ratio = devicePixelRatioF();
    if (bodySize != m_shadowBodySize || ratio != m_shadowRatio) {
        m_shadows.clear();
        m_shadowBodySize = bodySize;
        m_shadowRatio = ratio;
    }
    QPixmap &cached = m_shadows[alpha];
    if (!cached.isNull())
        return cached;
    const int margin = qCeil(shadowBlur);
    cached = TransparentPixmap::make(bodySize + QSize(2 * margin, 2 * margin + qCeil(shadowOffsetY)), ratio);
    QPainter painter(&cached);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, alpha));
    // A soft shadow from a few widening, fainter outlines of the body.
    const QRectF body = QRectF(QPointF(margin, margin + shadowOffsetY), QSizeF(bodySize));
    for (int step = shadowSteps; step >= 1; --step) {
        const qreal spread = shadowBlur * step / shadowSteps;
        QPainterPath outline;
        outline.addRoundedRect(body.adjusted(-spread, -spread, spread, spread), ItemCardView::cornerRadius + spread,
                               ItemCardView::cornerRadius + spread);
        painter.drawPath(outline);
    }
    return cached;
}
