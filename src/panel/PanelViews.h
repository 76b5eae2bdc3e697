#pragma once

#include "platform/PlatformServices.h"

#include <QObject>
#include <QRect>

#include <memory>

class FooterButton;
class PanelBackgroundView;
class PanelBorderView;
class PanelWindow;
class PassthroughView;
class ShelfDropTargetView;
class ShelfStackView;

// The panel's window and the views in it, back to front: the background,
// the drop target holding the column of cards and the two footer buttons,
// the border, and the key hints' overlay. Without a compositor the window
// is opaque, with its rounded corners cut out.
class PanelViews final : public QObject
{
    Q_OBJECT
public:
    // The window starts at `frame`, which is off-screen until the panel slides out.
    PanelViews(const PlatformServices &services, const QRect &frame, QObject *parent = nullptr);
    ~PanelViews() override;

    // The border follows the window's frame once a slide has ended.
    void updateBorderPaths();

    PanelWindow *window() const { return m_window.get(); }
    ShelfDropTargetView *dropTarget() const { return m_dropTarget; }
    ShelfStackView *stackView() const { return m_stackView; }
    FooterButton *historyButton() const { return m_historyButton; }
    FooterButton *pasteButton() const { return m_pasteButton; }
    PanelBorderView *borderHostView() const { return m_borderHostView; }
    PassthroughView *keyHintOverlay() const { return m_keyHintOverlay; }

    static constexpr int panelWidth = 132;
    // Exactly five cards: 8 + 5 × 76 + 4 × 6 + 8 + 30.
    static constexpr int panelHeight = 450;
    static constexpr int itemSpacing = 6;
    static constexpr int padding = 8;
    static constexpr int footerHeight = 30;
    static constexpr int footerButtonOffset = 18;

private:
    void setupFooterButtons(QWidget *host);
    void applyCompositing();

    CompositorWatch &m_compositor;
    std::unique_ptr<PanelWindow> m_window;
    PanelBackgroundView *m_containerView = nullptr;
    ShelfDropTargetView *m_dropTarget = nullptr; // hosts the stack and the footer
    ShelfStackView *m_stackView = nullptr;
    FooterButton *m_historyButton = nullptr;
    FooterButton *m_pasteButton = nullptr;
    PanelBorderView *m_borderHostView = nullptr;
    PassthroughView *m_keyHintOverlay = nullptr;
};
