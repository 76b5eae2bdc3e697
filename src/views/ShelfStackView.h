#pragma once

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class ItemCardView;

// The column of cards, newest on top: each card's body sits `spacing`
// below the previous one, `inset` from the top. Cards that move slide to
// their new place; the hover shadows are painted here, beneath the cards.
class ShelfStackView final : public QWidget
{
    Q_OBJECT
public:
    ShelfStackView(int inset, int spacing, QWidget *parent = nullptr);

    // Inserts a card at an index and slides the cards below it down.
    void insertCard(ItemCardView *card, int index, double slideSeconds);
    // Takes a card out of the column (it stays a child until its owner
    // deletes it) and closes the gap.
    void removeCard(ItemCardView *card, double slideSeconds);

    QList<ItemCardView *> cards() const;
    // Where the body of the card at an index belongs.
    QRect bodyFrame(int index) const;

    static constexpr qreal shadowBlur = 10;
    static constexpr qreal shadowOffsetY = 3;
    static constexpr int shadowSteps = 5;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void layOutCards(double slideSeconds);
    const QPixmap &shadow(QSize bodySize, int alpha) const;

    int m_inset;
    int m_spacing;
    QList<QPointer<ItemCardView>> m_cards;
    mutable QHash<int, QPixmap> m_shadows; // by shade, for one body size
    mutable QSize m_shadowBodySize;
    mutable qreal m_shadowRatio = 0;
};
