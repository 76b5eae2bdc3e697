#include "panel/PanelController.h"

#include "model/ShelfStore.h"
#include "panel/HoverPreview.h"
#include "panel/KeyHintLayer.h"
#include "platform/CompositorWatch.h"
#include "platform/Scheduler.h"
#include "transfer/ClipboardCopier.h"
#include "views/CardFade.h"
#include "views/FooterButton.h"
#include "views/PanelWindow.h"
#include "views/PassthroughView.h"
#include "views/PreviewPopup.h"
#include "views/ShelfDropTargetView.h"
#include "views/ShelfStackView.h"
#include "views/TextItemView.h"
#include "views/ThumbnailView.h"

#include <QWidget>

PanelController::PanelController(const PlatformServices &services, const HotkeyStore &hotkeys, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_shelf(new Shelf(services.scheduler, this))
    , m_store(new ShelfStore(*m_shelf, services.defaults, services.scheduler, services.tasks, services.thumbnails,
                             services.tempFolder, this))
    , m_copier(new ClipboardCopier(services.pasteboard, services.tasks, this))
    , m_views(new PanelViews(services,
                             PanelVisibility::initialFrame(services.screens,
                                                           QSizeF(PanelViews::panelWidth, PanelViews::panelHeight))
                                 .toRect(),
                             this))
{
    m_visibility = std::make_unique<PanelVisibility>(services.scheduler, services.screens, panel(), borderHostView());
    // The visibility and the views die with this.
    m_visibility->onSlideFinished = [this] { m_views->updateBorderPaths(); };
    m_keyHints = std::make_unique<KeyHintLayer>(*this, *m_shelf, *m_visibility,
                                                KeyHintLayer::Targets{stackView(), historyButton(), pasteButton()},
                                                hotkeys, services.scheduler, keyHintOverlay());
    m_hoverPreview = std::make_unique<HoverPreview>(*this, *m_shelf, *m_visibility, services.compositor,
                                                    pasteButton(), historyButton());
    m_visibility->onPoll = [this](std::optional<QPointF> mouse) { m_hoverPreview->updatePreview(mouse); };
    m_visibility->holdsPointer = [this](QPointF mouse) { return m_hoverPreview->holdsPointer(mouse); };
    connectViews();
    panel()->show(); // never hidden again: hiding means sliding off-screen
    m_visibility->startPolling();
    connectShelf();
    m_store->restore();
    updatePasteButton();
}

PanelController::~PanelController() = default;

QList<QWidget *> PanelController::floatingWindows() const
{
    QList<QWidget *> windows{panel()};
    if (PreviewPopup *popup = m_hoverPreview->popup())
        windows.append(popup->window());
    return windows;
}

QList<PanelController::Slot> PanelController::slots() const
{
    QList<Slot> result;
    for (qsizetype i = 0; i < m_cards.size(); ++i)
        result.append(Slot{m_shelf->items().at(i), m_cards.at(i)});
    return result;
}

void PanelController::connectViews()
{
    // Dropped items arrive on top, with the panel fully out; a drag over
    // the panel keeps it out.
    const QPointer<PanelController> self(this);
    m_views->dropTarget()->onItemDropped = [self](const ShelfItemKind &kind) {
        if (self)
            self->addItem(ShelfItem::make(kind, self->m_services.scheduler.now()), RevealStyle::show);
    };
    m_views->dropTarget()->onDragHoverChanged = [self](bool hovering) {
        if (self && self->m_visibility)
            self->m_visibility->handleDragHoverChanged(hovering);
    };
    connect(historyButton(), &QAbstractButton::clicked, this, &PanelController::historyButtonTapped);
    connect(pasteButton(), &QAbstractButton::clicked, this, &PanelController::pasteButtonTapped);
    updateHistoryButton();
}

void PanelController::connectShelf()
{
    connect(m_shelf, &Shelf::itemAdded, this, &PanelController::showAddedItem);
    connect(m_shelf, &Shelf::itemEvicted, this, [this](qsizetype index) { collapseAway(index, cardEvictDuration); });
    connect(m_shelf, &Shelf::itemDeleted, this, [this](qsizetype index) { collapseAway(index, cardCollapseDuration); });
    connect(m_shelf, &Shelf::lastEvictedChanged, this, &PanelController::updateHistoryButton);
    connect(m_shelf, &Shelf::clipboardItemChanged, this, &PanelController::updatePasteButton);
    connect(m_store, &ShelfStore::restoreFinished, this, [this] {
        for (const auto &[item, style] : std::exchange(m_itemsAddedWhileRestoring, {}))
            addItem(item, style);
    });
}

void PanelController::addItem(const ShelfItem &item, RevealStyle style)
{
    // The store is not rewritten without the entries still being read.
    if (m_store->isRestoring()) {
        m_itemsAddedWhileRestoring.append({item, style});
        return;
    }
    m_shelf->addItem(item);
    reveal(style);
}

void PanelController::showAddedItem(const ShelfItem &item)
{
    ItemCardView *view = makeView(item);
    m_cards.prepend(view);
    stackView()->insertCard(view, 0, cardFadeInDuration);
    CardFade::fadeIn(view, cardFadeInDuration);
}

void PanelController::collapseAway(qsizetype index, double duration)
{
    const QPointer<ItemCardView> view = m_cards.takeAt(index);
    if (!view)
        return;
    // Leaving the column at once lets the cards below close the gap while
    // this one fades where it stood.
    stackView()->removeCard(view, duration);
    CardFade::fadeOutAndDelete(view, duration);
}

void PanelController::copyItem(qsizetype index)
{
    if (ItemCardView *view = m_cards.value(index))
        view->copyToClipboard();
}

void PanelController::historyButtonTapped()
{
    if (std::optional<ShelfItem> item = m_shelf->takeLastEvicted())
        addItem(*item, RevealStyle::show);
}

void PanelController::pasteButtonTapped()
{
    if (std::optional<ShelfItem> item = m_shelf->takeClipboardItem()) {
        addItem(*item, RevealStyle::show);
        return;
    }
    if (!onPasteRequested)
        return;
    const QPointer<PanelController> self(this);
    onPasteRequested([self](std::optional<ShelfItemKind> kind) {
        if (self && kind)
            self->addItem(ShelfItem::make(std::move(*kind), self->m_services.scheduler.now()), RevealStyle::show);
    });
}

void PanelController::showKeyHints()
{
    m_hoverPreview->dismiss();
    m_keyHints->showKeyHints();
}

void PanelController::hideKeyHints()
{
    m_keyHints->hideKeyHints();
}

void PanelController::performHotkey(HotkeyAction action)
{
    m_keyHints->performHotkey(action);
}

ItemCardView *PanelController::makeView(const ShelfItem &item, QSize bodySize)
{
    ItemCardView *view = nullptr;
    if (const Screenshot *screenshot = item.screenshot())
        view = new ThumbnailView(*screenshot, bodySize, stackView());
    else
        view = new TextItemView(*item.text(), bodySize, stackView());

    const QPointer<PanelController> self(this);
    const QPointer<ClipboardCopier> copier(m_copier);
    view->onCopy = [copier, kind = item.kind](ItemCardView::CopyDone done) {
        if (copier)
            copier->copyItem(kind, std::move(done));
    };
    view->onDelete = [self, id = item.id] {
        if (self)
            self->deleteItem(id);
    };
    view->onDragStart = [self] {
        if (self)
            self->m_visibility->setDragging(true);
    };
    view->onDragEnd = [self] {
        if (self)
            self->m_visibility->setDragging(false);
    };
    return view;
}

void PanelController::updateHistoryButton()
{
    const bool present = m_shelf->lastEvicted().has_value();
    historyButton()->setEnabled(present);
    historyButton()->setAlpha(present ? historyAlphaPresent : historyAlphaAbsent);
}

void PanelController::updatePasteButton()
{
    pasteButton()->setAlpha(m_shelf->clipboardItem() ? pasteAlphaPresent : pasteAlphaAbsent);
}

void PanelController::reveal(RevealStyle style)
{
    switch (style) {
    case RevealStyle::peek:
        m_visibility->revealPeek();
        break;
    case RevealStyle::show:
        m_visibility->showProtected();
        break;
    case RevealStyle::quiet:
        break;
    }
}
