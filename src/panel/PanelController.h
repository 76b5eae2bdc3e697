#pragma once

#include "model/HotkeyAction.h"
#include "model/Shelf.h"
#include "panel/PanelViews.h"
#include "panel/PanelVisibility.h"
#include "panel/ShelfActions.h"
#include "platform/PlatformServices.h"

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
class ShelfStore;
class QWidget;

// Shows the shelf in the panel: a card for every slot, the two footer
// buttons that reflect the history and the clipboard slot, the key hints and
// the hover preview; and moves the panel as items arrive. The shelf itself
// and its stored copy are owned here, kept by classes of their own.
class PanelController final : public QObject, public ShelfActions
{
    Q_OBJECT
public:
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

    void addItem(const ShelfItem &item, RevealStyle reveal) override;
    void deleteItem(const QUuid &id) override { m_shelf->deleteItem(id); }
    void copyItem(qsizetype index) override;
    void historyButtonTapped() override;
    void pasteButtonTapped() override;
    void holdClipboardItem(const ShelfItemKind &kind) { m_shelf->holdClipboardItem(kind); }
    ItemCardView *makeView(const ShelfItem &item, QSize bodySize = itemSize) override;

    // While the leader has armed the hot keys: the panel comes out with a
    // key cap on every target, and the fired keys act on the shelf.
    void showKeyHints();
    void hideKeyHints();
    void performHotkey(HotkeyAction action);

    const Shelf &shelf() const { return *m_shelf; }
    QList<Slot> slots() const;
    const QList<ShelfItem> &items() const { return m_shelf->items(); }
    const std::optional<ShelfItem> &lastEvicted() const { return m_shelf->lastEvicted(); }
    const std::optional<ShelfItem> &clipboardItem() const { return m_shelf->clipboardItem(); }
    FooterButton *historyButton() const { return m_views->historyButton(); }
    FooterButton *pasteButton() const { return m_views->pasteButton(); }
    ShelfStackView *stackView() const { return m_views->stackView(); }
    PanelWindow *panel() const { return m_views->window(); }
    PanelVisibility *visibility() const { return m_visibility.get(); }
    PanelBorderView *borderHostView() const { return m_views->borderHostView(); }
    PassthroughView *keyHintOverlay() const { return m_views->keyHintOverlay(); }
    KeyHintLayer *keyHints() const { return m_keyHints.get(); }
    HoverPreview *hoverPreview() const { return m_hoverPreview.get(); }
    // The windows floating above the desktop, bottom first: the panel, then
    // the hover preview once it has been made.
    QList<QWidget *> floatingWindows() const;
    State state() const { return m_visibility->state(); }

    static constexpr QSize itemSize{108, 76};
    static constexpr double cardFadeInDuration = 0.22;
    static constexpr double cardEvictDuration = 0.22;
    static constexpr double cardCollapseDuration = 0.2;
    static constexpr qreal historyAlphaPresent = 1.0;
    static constexpr qreal historyAlphaAbsent = 0.3;
    static constexpr qreal pasteAlphaPresent = 1.0;
    static constexpr qreal pasteAlphaAbsent = 0.45;

private:
    void connectViews();
    void connectShelf();
    void showAddedItem(const ShelfItem &item);
    void collapseAway(qsizetype index, double duration);
    void updateHistoryButton();
    void updatePasteButton();
    void reveal(RevealStyle style);

    PlatformServices m_services;
    Shelf *m_shelf;
    ShelfStore *m_store;
    ClipboardCopier *m_copier; // the cards' copies outlive the cards
    QList<QPointer<ItemCardView>> m_cards; // one for each of the shelf's slots, in order
    // Until the stored shelf is back, new items wait: they go on top of it.
    QList<std::pair<ShelfItem, RevealStyle>> m_itemsAddedWhileRestoring;
    PanelViews *m_views;
    std::unique_ptr<PanelVisibility> m_visibility;
    std::unique_ptr<KeyHintLayer> m_keyHints;
    std::unique_ptr<HoverPreview> m_hoverPreview;
};
