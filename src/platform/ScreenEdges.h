#pragma once

#include <QList>
#include <QRectF>

// Where the left sides of the screens are edges that the pointer can rest
// against. Where another screen adjoins a screen's left side (touching it
// or overlapping it), the pointer crosses over to that screen instead, so
// that stretch is no edge: the boundary between two monitors side by side
// is not the place where the user reaches for something beyond the screen.
// A screen beyond a gap does not adjoin: a display server keeps the pointer
// on its screens, so the pointer stops at such an edge as at any other.
// Frames are in global coordinates, y downward, each including its top and
// left borders and excluding its far ones.
class ScreenEdges
{
public:
    // A stretch of a left edge, from top (included) to bottom (excluded).
    struct Span
    {
        qreal top = 0;
        qreal bottom = 0;
        bool operator==(const Span &) const = default;
    };

    // Whether nothing adjoins the screen's left side at height y.
    static bool isOpenAt(const QRectF &screen, qreal y, const QList<QRectF> &screens);
    // The stretches of the screen's left side where nothing adjoins it,
    // top to bottom; empty where another screen covers the whole side.
    static QList<Span> openSpans(const QRectF &screen, const QList<QRectF> &screens);

private:
    static bool adjoinsLeftSide(const QRectF &other, const QRectF &screen);
};
