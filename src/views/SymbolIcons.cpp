#include "views/SymbolIcons.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// Every symbol is drawn on a 24 × 24 grid and scaled to the requested size.
constexpr qreal grid = 24.0;

void drawCameraViewfinder(QPainter &p)
{
    const qreal c = 6; // corner bracket length
    const QRectF frame(3, 4, 18, 16);
    QPainterPath brackets;
    brackets.moveTo(frame.left(), frame.top() + c);
    brackets.lineTo(frame.topLeft());
    brackets.lineTo(frame.left() + c, frame.top());
    brackets.moveTo(frame.right() - c, frame.top());
    brackets.lineTo(frame.topRight());
    brackets.lineTo(frame.right(), frame.top() + c);
    brackets.moveTo(frame.right(), frame.bottom() - c);
    brackets.lineTo(frame.bottomRight());
    brackets.lineTo(frame.right() - c, frame.bottom());
    brackets.moveTo(frame.left() + c, frame.bottom());
    brackets.lineTo(frame.bottomLeft());
    brackets.lineTo(frame.left(), frame.bottom() - c);
    p.drawPath(brackets);
    p.drawEllipse(QPointF(12, 12), 3.5, 3.5);
}

void drawClockArrow(QPainter &p)
{
    // An open circle whose gap carries an arrow head, with clock hands inside.
    const QRectF circle(4, 4, 16, 16);
    p.drawArc(circle, 150 * 16, -300 * 16);
    const QPointF tip(4.8, 8.0);
    QPainterPath head;
    head.moveTo(tip + QPointF(-1.5, -3.5));
    head.lineTo(tip);
    head.lineTo(tip + QPointF(3.8, -0.6));
    p.drawPath(head);
    p.drawLine(QPointF(12, 8), QPointF(12, 12));
    p.drawLine(QPointF(12, 12), QPointF(15, 14));
}

void drawPlus(QPainter &p)
{
    p.drawLine(QPointF(12, 5), QPointF(12, 19));
    p.drawLine(QPointF(5, 12), QPointF(19, 12));
}

void drawXmarkCircleFill(QPainter &p, const QColor &color)
{
    p.setBrush(color);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(12, 12), 10, 10);
    // The cross is cut out of the disc so it shows whatever lies beneath.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    QPen cross(Qt::black, 2.2, Qt::SolidLine, Qt::RoundCap);
    p.setPen(cross);
    p.drawLine(QPointF(8.5, 8.5), QPointF(15.5, 15.5));
    p.drawLine(QPointF(15.5, 8.5), QPointF(8.5, 15.5));
}

} // namespace

QPixmap SymbolIcons::pixmap(Symbol symbol, int size, const QColor &color, qreal devicePixelRatio)
{
    const int pixels = std::max(1, int(std::ceil(size * devicePixelRatio)));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    pixmap.setDevicePixelRatio(devicePixelRatio);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / grid, size / grid);
    p.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (symbol) {
    case Symbol::CameraViewfinder:
        drawCameraViewfinder(p);
        break;
    case Symbol::ClockArrowCirclePath:
        drawClockArrow(p);
        break;
    case Symbol::Plus:
        drawPlus(p);
        break;
    case Symbol::XmarkCircleFill:
        drawXmarkCircleFill(p, color);
        break;
    }
    return pixmap;
}

QIcon SymbolIcons::icon(Symbol symbol, const QColor &color)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(pixmap(symbol, size, color));
    return icon;
}
