#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSize>

#include <memory>

class CompositorWatch;
class PanelBackgroundView;
class PanelWindow;
class QVariantAnimation;
class QWidget;
class ScaleFadeEffect;

// A small floating window that shows one view just below an anchor: it
// grows in from 0.8 with a fade and shrinks out the same way. The window is
// made once and only shown and hidden after that; it never takes focus.
// It is translucent while a compositor runs, and opaque with its rounded
// corners cut out of the window while none does.
class PreviewPopup final : public QObject
{
    Q_OBJECT
public:
    PreviewPopup(QSize size, CompositorWatch &compositor, QObject *parent = nullptr);
    ~PreviewPopup() override;

    // Shows `view` centred in the popup, `padding` inside its rounded edge,
    // with the popup's right edge on the anchor's and its top a few points
    // below the anchor's bottom (screen coordinates). The popup owns the view.
    void show(QWidget *view, const QRectF &anchor, int padding);
    void dismiss();

    PanelWindow *window() const { return m_window.get(); }
    bool isVisible() const;
    QRect frame() const;
    QWidget *itemView() const { return m_itemView; }
    qreal scale() const;
    qreal alpha() const;
    PanelBackgroundView *background() const { return m_background; }

    static constexpr int cornerRadius = 12;
    static constexpr int gapBelowAnchor = 6;
    static constexpr qreal hiddenScale = 0.8;
    static constexpr double growDuration = 0.18;
    static constexpr double fadeInDuration = 0.16;
    static constexpr double dismissDuration = 0.16;
    static constexpr qreal translucentAlpha = 0.6;

private:
    void applyCompositing(bool compositing);
    void applyScale(qreal scale, bool animated, double duration);
    void animateAlpha(qreal to, double duration, bool easeIn);
    void stopAnimations();

    std::unique_ptr<PanelWindow> m_window;
    QWidget *m_surface = nullptr; // everything drawn, under the scale and fade
    PanelBackgroundView *m_background = nullptr;
    QWidget *m_contentHost = nullptr;
    ScaleFadeEffect *m_effect = nullptr;
    QPointer<QWidget> m_itemView;
    QPointer<QVariantAnimation> m_scaleAnimation;
    QPointer<QVariantAnimation> m_alphaAnimation;
};
