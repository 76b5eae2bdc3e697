#include "platform/ScreenEdges.h"

#include <algorithm>

bool ScreenEdges::adjoinsLeftSide(const QRectF &other, const QRectF &screen)
{
    // Starts further left and reaches the side, or beyond it. A clone of the
    // screen (same left side) leaves the edge open.
    return other.left() < screen.left() && other.left() + other.width() >= screen.left();
}

bool ScreenEdges::isOpenAt(const QRectF &screen, qreal y, const QList<QRectF> &screens)
{
    return std::none_of(screens.begin(), screens.end(), [&](const QRectF &other) {
        return adjoinsLeftSide(other, screen) && y >= other.top() && y < other.top() + other.height();
    });
}

QList<ScreenEdges::Span> ScreenEdges::openSpans(const QRectF &screen, const QList<QRectF> &screens)
{
    QList<Span> covered;
    for (const QRectF &other : screens) {
        if (adjoinsLeftSide(other, screen))
            covered.append({other.top(), other.top() + other.height()});
    }
    std::sort(covered.begin(), covered.end(), [](const Span &a, const Span &b) { return a.top < b.top; });

    QList<Span> open;
    qreal from = screen.top();
    const qreal end = screen.top() + screen.height();
    for (const Span &cover : std::as_const(covered)) {
        if (cover.top > from)
            open.append({from, std::min(cover.top, end)});
        from = std::max(from, cover.bottom);
        if (from >= end)
            break;
    }
    if (from < end)
        open.append({from, end});
    return open;
}
