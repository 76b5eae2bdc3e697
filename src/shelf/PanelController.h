#pragma once

#include "hotkeys/HotkeyAction.h"
#include "platform/PlatformServices.h"
#include "shelf/PanelVisibility.h"
#include "shelf/ShelfItem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>

class ClipboardCopier;
class FooterButton;
class HotkeyStore;
class HoverPreview;
class ItemCardView;
class KeyHintLayer;
class PanelBackgroundView;
class PanelBorderView;
class PanelWindow;
class PassthroughView;
class ShelfDropTargetView;
class ShelfStackView;
class QWidget;
class Timer;

// Owns the shelf: five slots newest first, the one-item history that
// overflow fills, the clipboard slot behind the paste button, the cards that
// show them, and the stored copy written after every change.
class PanelController final : public QObject
{
    Q_OBJECT
public:
    // How an added item shows itself.
    enum class RevealStyle { peek, show, quiet };
    using State = PanelVisibility::State;

    struct Slot
    {
        ShelfItem item;
        QPointer<ItemCardView> view;
    };

    // The hot-key store names the keys that the key hints show.
    PanelController(const PlatformServices &services, const HotkeyStore &hotkeys, QObject *parent = nullptr);
    ~PanelController() override;

    // Asked for the current clipboard when the paste button is used with an
    // empty clipboard slot; it answers through the callback it is given,
    // later, once the clipboard has been read.
    using PasteAnswer = std::function<void(std::optional<ShelfItemKind>)>;
    std::function<void(PasteAnswer)> onPasteRequested;

    void addItem(const ShelfItem &item, RevealStyle reveal);
    void deleteItem(const QUuid &id);
    void historyButtonTapped();
    void holdClipboardItem(const ShelfItemKind &kind);
    void pasteButtonTapped();
    // Empty the clipboard slot or the history, handing out what they held.
    std::optional<ShelfItem> takeClipboardItem();
    std::optional<ShelfItem> takeLastEvicted();
    // A card for an item, with the shelf's delete and drag behaviour.
    ItemCardView *makeView(const ShelfItem &item, QSize bodySize = itemSize);

    // While the leader has armed the hot keys: the panel comes out with a
    // key cap on every target, and the fired keys act on the shelf.
    void showKeyHints();
    void hideKeyHints();
    void performHotkey(HotkeyAction action);

    const QList<Slot> &slots() const { return m_slots; }
    QList<ShelfItem> items() const;
    const std::optional<ShelfItem> &lastEvicted() const { return m_lastEvicted; }
    const std::optional<ShelfItem> &clipboardItem() const { return m_clipboardItem; }
    FooterButton *historyButton() const { return m_historyButton; }
    FooterButton *pasteButton() const { return m_pasteButton; }
    ShelfStackView *stackView() const { return m_stackView; }
    PanelWindow *panel() const { return m_panel.get(); }
    PanelVisibility *visibility() const { return m_visibility.get(); }
    PanelBorderView *borderHostView() const { return m_borderHostView; }
    ShelfDropTargetView *dropTarget() const { return m_dropTarget; }
    PassthroughView *keyHintOverlay() const { return m_keyHintOverlay; }
    KeyHintLayer *keyHints() const { return m_keyHints.get(); }
    HoverPreview *hoverPreview() const { return m_hoverPreview.get(); }
    // The windows floating above the desktop, bottom first: the panel, then
    // the hover preview once it has been made.
    QList<QWidget *> floatingWindows() const;
    State state() const { return m_visibility->state(); }
    CompositorWatch &compositor() const { return m_services.compositor; }

    static constexpr int capacity = 5;
    static constexpr double temporarySlotLifetime = 300.0;
    static constexpr QSize itemSize{108, 76};
    static constexpr int panelWidth = 132;
    // Exactly five cards: 8 + 5 × 76 + 4 × 6 + 8 + 30.
    static constexpr int panelHeight = 450;
    static constexpr int itemSpacing = 6;
    static constexpr int padding = 8;
    static constexpr int footerHeight = 30;
    static constexpr int footerButtonOffset = 18;
    static constexpr double cardFadeInDuration = 0.22;
    static constexpr double cardEvictDuration = 0.22;
    static constexpr double cardCollapseDuration = 0.2;
    static constexpr qreal historyAlphaPresent = 1.0;
    static constexpr qreal historyAlphaAbsent = 0.3;
    static constexpr qreal pasteAlphaPresent = 1.0;
    static constexpr qreal pasteAlphaAbsent = 0.45;
    // After a write of the shelf failed, the next try comes with the next
    // change or after this many seconds, whichever is first.
    static constexpr double persistRetryDelay = 30.0;

private:
    void setupViews();
    void updateBorderPaths();
    // Opaque with the rounded corners cut out of the window, or translucent.
    void applyCompositing();
    void setupHistoryButton(QWidget *host);
    void evictOverflowIfNeeded();
    void collapseAway(ItemCardView *view, double duration);
    void setLastEvicted(std::optional<ShelfItem> item);
    void setClipboardItem(std::optional<ShelfItem> item);
    void updateHistoryButton();
    void updatePasteButton();
    void reveal(RevealStyle style);
    void persist();
    void restorePersisted();
    // The stored entries as they are read, in stored order: the outer
    // optional says whether an entry has been read, the inner one whether it
    // gave an item.
    struct RestoreProgress
    {
        QList<std::optional<std::optional<ShelfItemKind>>> read;
        qsizetype next = 0; // the oldest entry not added yet
    };
    void addRestoredItems(RestoreProgress &progress);
    void insertItem(const ShelfItem &item, RevealStyle style);
    void removeUnnamedPrivateFiles();

    PlatformServices m_services;
    ClipboardCopier *m_copier; // the cards' copies outlive the cards
    QList<Slot> m_slots;
    bool m_isRestoring = false;
    bool m_persistAfterRestore = false;
    QList<std::pair<ShelfItem, RevealStyle>> m_itemsAddedWhileRestoring;
    std::optional<ShelfItem> m_lastEvicted;
    std::unique_ptr<Timer> m_evictedExpiry;
    std::optional<ShelfItem> m_clipboardItem;
    std::unique_ptr<Timer> m_clipboardExpiry;
    std::unique_ptr<Timer> m_persistRetryTimer;

    std::unique_ptr<PanelWindow> m_panel;
    PanelBackgroundView *m_containerView = nullptr;
    ShelfDropTargetView *m_dropTarget = nullptr; // hosts the stack and the footer
    PanelBorderView *m_borderHostView = nullptr;
    PassthroughView *m_keyHintOverlay = nullptr;
    std::unique_ptr<PanelVisibility> m_visibility;
    std::unique_ptr<KeyHintLayer> m_keyHints;
    std::unique_ptr<HoverPreview> m_hoverPreview;
    ShelfStackView *m_stackView = nullptr;
    FooterButton *m_historyButton = nullptr;
    FooterButton *m_pasteButton = nullptr;
};
