#include "views/KeyCapView.h"

#include "platform/Scheduler.h"
#include "views/NumberAnimation.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

int roundPoints(double value)
{
    return int(std::lround(value)); // halves away from zero
}

QColor towardsBlack(const QColor &color, qreal fraction)
{
    return QColor::fromRgbF(color.redF() * (1 - fraction), color.greenF() * (1 - fraction),
                            color.blueF() * (1 - fraction), color.alphaF());
}

QColor mix(const QColor &from, const QColor &to, qreal t)
{
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t,
                            from.greenF() + (to.greenF() - from.greenF()) * t,
                            from.blueF() + (to.blueF() - from.blueF()) * t,
                            from.alphaF() + (to.alphaF() - from.alphaF()) * t);
}

KeyCapView::Look mix(const KeyCapView::Look &from, const KeyCapView::Look &to, qreal t)
{
    return {mix(from.face, to.face, t), mix(from.side, to.side, t), mix(from.text, to.text, t),
            from.shadowOpacity + (to.shadowOpacity - from.shadowOpacity) * t,
            from.faceOffset + (to.faceOffset - from.faceOffset) * t};
}

} // namespace

KeyCapView::KeyCapView(const QString &title, int height, Scheduler &scheduler, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
    , m_height(height)
    , m_depth(std::max(roundPoints(height * 0.12), 2))
    , m_cornerRadius(roundPoints(height * 0.24))
    , m_scheduler(scheduler)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    const int textWidth = int(std::ceil(QFontMetricsF(titleFont()).horizontalAdvance(m_title)));
    m_capSize = QSize(std::max(height, textWidth + roundPoints(height * 0.6)), height);
    setFixedSize(m_capSize + QSize(2 * shadowMargin, 2 * shadowMargin));
    m_look = targetLook();
}

KeyCapView::~KeyCapView() = default;

QFont KeyCapView::titleFont() const
{
    QFont font = this->font();
    font.setPixelSize(std::max(roundPoints(m_height * 0.55), 8));
    font.setWeight(QFont::DemiBold);
    return font;
}

KeyCapView::Look KeyCapView::targetLook() const
{
    const QColor face = m_isDestructive ? destructiveFaceColor : faceColor;
    Look look;
    look.face = m_isPressed ? towardsBlack(face, pressedDarkening) : face;
    look.side = m_isDestructive ? towardsBlack(destructiveFaceColor, destructiveSideDarkening) : sideColor;
    look.text = m_isDestructive ? QColor(Qt::white) : textColor;
    look.shadowOpacity = m_isPressed ? pressedShadowOpacity : restingShadowOpacity;
    look.faceOffset = m_isPressed ? m_depth : 0;
    return look;
}

void KeyCapView::setPressed(bool pressed, double duration)
{
    m_isPressed = pressed;
    animateLook(targetLook(), duration, pressed);
}

void KeyCapView::tap()
{
    setPressed(true, pressDuration);
    // Each tap releases on its own schedule; a second tap meanwhile presses
    // again and is released by the first tap's release too.
    m_scheduler.runAfter(releaseDelay, this, [this] { setPressed(false, releaseDuration); });
}

void KeyCapView::setDestructive(bool destructive, double duration)
{
    m_isDestructive = destructive;
    animateLook(targetLook(), duration, false);
}

void KeyCapView::animateLook(const Look &target, double duration, bool easeIn)
{
    if (secondsToMilliseconds(duration) == 0) {
        if (m_lookAnimation)
            m_lookAnimation->stop();
        m_look = target;
        update();
        return;
    }
    // The new change starts from what shows now.
    const Look start = m_look;
    NumberAnimation::replace(m_lookAnimation, this, 0, 1, duration, easeIn ? QEasingCurve::InQuad : QEasingCurve::OutQuad,
                             [this, start, target](qreal progress) {
                                 m_look = mix(start, target, progress);
                                 update();
                             });
}

void KeyCapView::setAlpha(qreal alpha)
{
    if (qFuzzyCompare(m_alpha, alpha))
        return;
    m_alpha = alpha;
    update();
}

void KeyCapView::animateAlpha(qreal to, double duration)
{
    if (secondsToMilliseconds(duration) == 0) {
        if (m_alphaAnimation)
            m_alphaAnimation->stop();
        setAlpha(to);
        return;
    }
    NumberAnimation::replace(m_alphaAnimation, this, m_alpha, to, duration, QEasingCurve::InOutQuad,
                             [this](qreal alpha) { setAlpha(alpha); });
}

void KeyCapView::paintEvent(QPaintEvent *)
{
    // Painted at the window's device pixel ratio on every paint, so the
    // text stays crisp on whatever screen the cap is shown.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_alpha);
    const QRectF cap(capRect());
    const qreal radius = m_cornerRadius;

    // The slab's soft shadow, one point below it.
    painter.setPen(Qt::NoPen);
    constexpr int shadowSteps = 2;
    for (int step = shadowSteps; step >= 1; --step) {
        QColor shadow(Qt::black);
        shadow.setAlphaF(m_look.shadowOpacity / (shadowSteps + 1));
        painter.setBrush(shadow);
        painter.drawRoundedRect(cap.translated(0, 1).adjusted(-step, -step, step, step), radius + step, radius + step);
    }
    painter.setBrush(m_look.side);
    painter.drawRoundedRect(cap, radius, radius);

    const QRectF face(cap.left(), cap.top() + m_look.faceOffset, cap.width(), cap.height() - m_depth);
    QColor border(Qt::white);
    border.setAlphaF(0.5);
    painter.setPen(QPen(border, 0.5));
    painter.setBrush(m_look.face);
    painter.drawRoundedRect(face.adjusted(0.25, 0.25, -0.25, -0.25), radius, radius);

    painter.setPen(m_look.text);
    painter.setFont(titleFont());
    painter.drawText(face, Qt::AlignCenter, m_title);
}
