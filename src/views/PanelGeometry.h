#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Where the panel stands, and the shapes it draws. Pure functions in Qt's
// coordinates (y grows downward).
class PanelGeometry
{
public:
    enum class State { hidden, peeking, shown };

    // How far beyond the panel's own width the hidden panel sits.
    static constexpr qreal hiddenOverhang = 4;
    static constexpr qreal cornerRadius = 12;
    // Half the border's line width: the strokes run this far inside the edge.
    static constexpr qreal strokeInset = 1;

    // The panel's frame for a state on a screen: vertically centred, its left
    // edge beyond, partly beyond or flush with the screen's left edge.
    static QRectF frame(State state, const QRectF &screen, const QSizeF &panelSize, qreal peekAmount);

    // The first screen containing the point, else the main screen, else the
    // first screen; nothing only when there are no screens at all.
    static std::optional<QRectF> screenFor(const QPointF &point, const QList<QRectF> &screens,
                                           const std::optional<QRectF> &mainScreen);

    // The screen whose left edge the point is at: the point's screen, when
    // the point lies within `threshold` of its left side and no other
    // screen adjoins that side at the point's height.
    static std::optional<QRectF> edgeScreen(const QPointF &point, qreal threshold, const QList<QRectF> &screens,
                                            const std::optional<QRectF> &mainScreen);

    // Where a hidden panel can wait unseen: its hidden frame, unless part of
    // that lies on another screen (one to the left, or across a gap); then
    // the same height beyond the left side of every screen.
    static QRectF parkedFrame(const QRectF &hidden, const QList<QRectF> &screens);

    // Screen frames include their top-left edges and exclude the far ones,
    // so a point on the border of two screens belongs to exactly one.
    static bool contains(const QRectF &screen, const QPointF &point);

    // The progress strokes, from the screen edge to the middle of the right
    // side, along the top and along the bottom.
    static QPainterPath topBorderPath(const QSizeF &size);
    static QPainterPath bottomBorderPath(const QSizeF &size);
    // The panel's outline: square on the screen side, rounded on the right.
    static QPainterPath shapePath(const QSizeF &size);
    // The first `fraction` (0 to 1) of a path by length.
    static QPainterPath partialPath(const QPainterPath &path, qreal fraction);
};
