#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class QVariantAnimation;
class Scheduler;

// A small keyboard key with a short text on it: a darker slab with a
// lighter face raised above it by `depth`. Pressing moves the face down by
// the depth; a destructive cap is red. It never takes the mouse, so clicks
// reach whatever lies below it.
//
// The widget is the cap plus a margin on every side for the slab's soft
// shadow; capRect() is where the cap itself is drawn.
class KeyCapView final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal alpha READ alpha WRITE setAlpha)
public:
    KeyCapView(const QString &title, int height, Scheduler &scheduler, QWidget *parent = nullptr);
    ~KeyCapView() override;

    const QString &title() const { return m_title; }
    int depth() const { return m_depth; }
    QSize capSize() const { return m_capSize; }
    QRect capRect() const { return QRect(QPoint(shadowMargin, shadowMargin), m_capSize); }
    // Places the widget so that the cap's top-left corner lies at `origin`.
    void moveCapTo(QPoint origin) { move(origin - capRect().topLeft()); }
    QPoint capOrigin() const { return pos() + capRect().topLeft(); }

    bool isPressed() const { return m_isPressed; }
    bool isDestructive() const { return m_isDestructive; }
    void setPressed(bool pressed, double duration);
    // A whole press and release: down now, up again a moment later.
    void tap();
    void setDestructive(bool destructive, double duration);

    // The cap's own opacity, multiplied into everything it draws.
    qreal alpha() const { return m_alpha; }
    void setAlpha(qreal alpha);
    // Animates the opacity; a running opacity animation is replaced.
    void animateAlpha(qreal to, double duration);

    // What the cap shows at this moment, mid-animation included.
    struct Look
    {
        QColor face;
        QColor side;
        QColor text;
        qreal shadowOpacity = 0;
        qreal faceOffset = 0; // how far the face has moved down
    };
    const Look &currentLook() const { return m_look; }

    static inline const QColor faceColor = QColor::fromRgbF(0.84f, 0.84f, 0.84f);
    static inline const QColor destructiveFaceColor = QColor::fromRgbF(0.93f, 0.36f, 0.34f);
    static inline const QColor sideColor = QColor::fromRgbF(0.52f, 0.52f, 0.52f);
    static inline const QColor textColor = QColor::fromRgbF(0.18f, 0.18f, 0.18f);
    static constexpr qreal pressedDarkening = 0.18;
    static constexpr qreal destructiveSideDarkening = 0.35;
    static constexpr qreal restingShadowOpacity = 0.35;
    static constexpr qreal pressedShadowOpacity = 0.15;
    static constexpr double pressDuration = 0.07;
    static constexpr double releaseDelay = 0.16;
    static constexpr double releaseDuration = 0.12;
    static constexpr int shadowMargin = 3;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Look targetLook() const;
    void animateLook(const Look &target, double duration, bool easeIn);
    QFont titleFont() const;

    QString m_title;
    int m_height;
    int m_depth;
    int m_cornerRadius;
    QSize m_capSize;
    Scheduler &m_scheduler;
    bool m_isDestructive = false;
    bool m_isPressed = false;
    Look m_look;
    QPointer<QVariantAnimation> m_lookAnimation;
    qreal m_alpha = 1.0;
    QPointer<QVariantAnimation> m_alphaAnimation;
};
