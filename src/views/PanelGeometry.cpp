#include "views/PanelGeometry.h"

#include "platform/ScreenEdges.h"

#include <algorithm>
#include <cmath>

QRectF PanelGeometry::frame(State state, const QRectF &screen, const QSizeF &panelSize, qreal peekAmount)
{
    qreal x = screen.left();
    switch (state) {
    case State::hidden:
        x = screen.left() - panelSize.width() - hiddenOverhang;
        break;
    case State::peeking:
        x = screen.left() + peekAmount - panelSize.width();
        break;
    case State::shown:
        break;
    }
    const qreal y = screen.center().y() - panelSize.height() / 2;
    return QRectF(QPointF(x, y), panelSize);
}

bool PanelGeometry::contains(const QRectF &screen, const QPointF &point)
{
    return point.x() >= screen.left() && point.x() < screen.left() + screen.width() && point.y() >= screen.top()
        && point.y() < screen.top() + screen.height();
}

std::optional<QRectF> PanelGeometry::screenFor(const QPointF &point, const QList<QRectF> &screens,
                                               const std::optional<QRectF> &mainScreen)
{
    for (const QRectF &screen : screens) {
        if (contains(screen, point))
            return screen;
    }
    if (mainScreen)
        return mainScreen;
    if (!screens.isEmpty())
        return screens.first();
    return std::nullopt;
}

std::optional<QRectF> PanelGeometry::edgeScreen(const QPointF &point, qreal threshold,
                                                const QList<QRectF> &screens,
                                                const std::optional<QRectF> &mainScreen)
{
    const std::optional<QRectF> screen = screenFor(point, screens, mainScreen);
    if (!screen || point.x() > screen->left() + threshold || !ScreenEdges::isOpenAt(*screen, point.y(), screens))
        return std::nullopt;
    return screen;
}

QRectF PanelGeometry::parkedFrame(const QRectF &hidden, const QList<QRectF> &screens)
{
    const bool seen =
        std::any_of(screens.begin(), screens.end(), [&](const QRectF &screen) { return screen.intersects(hidden); });
    if (!seen)
        return hidden;
    qreal left = hidden.left();
    for (const QRectF &screen : screens)
        left = std::min(left, screen.left());
    // As far beyond the leftmost side as the hidden frame is beyond its own.
    return hidden.translated(left - hiddenOverhang - hidden.width() - hidden.left(), 0);
}

QPainterPath PanelGeometry::topBorderPath(const QSizeF &size)
{
    const qreal w = size.width();
    const qreal h = size.height();
    const qreal r = cornerRadius - strokeInset;
    QPainterPath path(QPointF(0, strokeInset));
    path.lineTo(w - cornerRadius, strokeInset);
    // Clockwise from twelve to three o'clock around (w - 12, 12).
    path.arcTo(QRectF(w - cornerRadius - r, cornerRadius - r, 2 * r, 2 * r), 90, -90);
    path.lineTo(w - strokeInset, h / 2);
    return path;
}

QPainterPath PanelGeometry::bottomBorderPath(const QSizeF &size)
{
    const qreal w = size.width();
    const qreal h = size.height();
    const qreal r = cornerRadius - strokeInset;
    QPainterPath path(QPointF(0, h - strokeInset));
    path.lineTo(w - cornerRadius, h - strokeInset);
    // Counter-clockwise from six to three o'clock around (w - 12, h - 12).
    path.arcTo(QRectF(w - cornerRadius - r, h - cornerRadius - r, 2 * r, 2 * r), -90, 90);
    path.lineTo(w - strokeInset, h / 2);
    return path;
}

QPainterPath PanelGeometry::shapePath(const QSizeF &size)
{
    const qreal w = size.width();
    const qreal h = size.height();
    const qreal r = cornerRadius;
    QPainterPath path(QPointF(0, 0));
    path.lineTo(w - r, 0);
    path.arcTo(QRectF(w - 2 * r, 0, 2 * r, 2 * r), 90, -90);
    path.lineTo(w, h - r);
    path.arcTo(QRectF(w - 2 * r, h - 2 * r, 2 * r, 2 * r), 0, -90);
    path.lineTo(0, h);
    path.closeSubpath();
    return path;
}

QPainterPath PanelGeometry::partialPath(const QPainterPath &path, qreal fraction)
{
    fraction = std::clamp(fraction, 0.0, 1.0);
    if (fraction <= 0 || path.isEmpty())
        return {};
    // Enough samples for a smooth line on a 450-point side.
    constexpr int samples = 160;
    const int count = std::max(2, int(std::ceil(samples * fraction)));
    QPainterPath partial(path.pointAtPercent(0));
    for (int i = 1; i <= count; ++i)
        partial.lineTo(path.pointAtPercent(fraction * i / count));
    return partial;
}
