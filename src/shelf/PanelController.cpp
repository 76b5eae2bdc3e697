#include "shelf/PanelController.h"

#include "platform/CompositorWatch.h"
#include "platform/DefaultsStore.h"
#include "platform/Scheduler.h"
#include "shelf/ClipboardCopier.h"
#include "shelf/HoverPreview.h"
#include "shelf/KeyHintLayer.h"
#include "shelf/PanelBackgroundView.h"
#include "shelf/PanelBorderView.h"
#include "shelf/PanelWindow.h"
#include "shelf/PassthroughView.h"
#include "shelf/PreviewPopup.h"
#include "shelf/ShelfArchive.h"
#include "views/CardFade.h"
#include "views/FooterButton.h"
#include "views/ShelfDropTargetView.h"
#include "views/ShelfStackView.h"
#include "views/TextItemView.h"
#include "views/ThumbnailView.h"

#include "platform/PrivateTempFolder.h"
#include "platform/TaskRunner.h"
#include "platform/ThumbnailCache.h"

#include <QDir>

#include <malloc.h>
#include <QRegion>
#include <QWidget>

PanelController::PanelController(const PlatformServices &services, const HotkeyStore &hotkeys, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_copier(new ClipboardCopier(services.pasteboard, services.tasks, this))
{
    const QRectF hidden = PanelVisibility::initialFrame(services.screens, QSizeF(panelWidth, panelHeight));
    m_panel = std::make_unique<PanelWindow>(hidden.toRect());
    m_containerView = new PanelBackgroundView(services.compositor.isCompositing(), m_panel.get());
    m_dropTarget = new ShelfDropTargetView(services.tempFolder, services.scheduler, services.tasks, &services.thumbnails,
                                           m_panel.get());
    setupViews();
    m_visibility = std::make_unique<PanelVisibility>(services.scheduler, services.screens, m_panel.get(),
                                                     m_borderHostView);
    m_visibility->onSlideFinished = [this] { updateBorderPaths(); }; // the visibility dies with this
    m_keyHints = std::make_unique<KeyHintLayer>(*this, hotkeys, services.scheduler, m_keyHintOverlay);
    m_hoverPreview = std::make_unique<HoverPreview>(*this);
    m_visibility->onPoll = [this](std::optional<QPointF> mouse) { m_hoverPreview->updatePreview(mouse); };
    m_visibility->holdsPointer = [this](QPointF mouse) { return m_hoverPreview->holdsPointer(mouse); };
    connect(&services.compositor, &CompositorWatch::compositingChanged, this, &PanelController::applyCompositing);
    m_panel->show(); // never hidden again: hiding means sliding off-screen
    m_visibility->startPolling();
    restorePersisted();
    updatePasteButton();
}

PanelController::~PanelController() = default;

QList<QWidget *> PanelController::floatingWindows() const
{
    QList<QWidget *> windows{m_panel.get()};
    if (PreviewPopup *popup = m_hoverPreview->popup())
        windows.append(popup->window());
    return windows;
}

QList<ShelfItem> PanelController::items() const
{
    QList<ShelfItem> result;
    result.reserve(m_slots.size());
    for (const Slot &slot : m_slots)
        result.append(slot.item);
    return result;
}

void PanelController::setupViews()
{
    const QRect bounds(QPoint(), m_panel->size());
    m_containerView->setGeometry(bounds);
    m_dropTarget->setGeometry(bounds);

    m_borderHostView = new PanelBorderView(m_panel.get());
    m_borderHostView->setGeometry(bounds);

    // Dropped items arrive on top, with the panel fully out; a drag over
    // the panel keeps it out.
    const QPointer<PanelController> self(this);
    m_dropTarget->onItemDropped = [self](const ShelfItemKind &kind) {
        if (self)
            self->addItem(ShelfItem::make(kind, self->m_services.scheduler.now()), RevealStyle::show);
    };
    m_dropTarget->onDragHoverChanged = [self](bool hovering) {
        if (self && self->m_visibility)
            self->m_visibility->handleDragHoverChanged(hovering);
    };

    m_stackView = new ShelfStackView(padding, itemSpacing, m_dropTarget);
    m_stackView->setGeometry(0, 0, panelWidth, panelHeight - footerHeight);

    setupHistoryButton(m_dropTarget);

    // Above everything, and invisible to the mouse: key hints never block a click.
    m_keyHintOverlay = new PassthroughView(m_panel.get());
    m_keyHintOverlay->setGeometry(bounds);

    updateBorderPaths();
}

void PanelController::updateBorderPaths()
{
    m_borderHostView->updateBorderPaths();
    applyCompositing();
}

void PanelController::applyCompositing()
{
    // Without a compositor translucent pixels show black: the background is
    // opaque and the rounded corners are cut out of the window itself.
    const bool compositing = m_services.compositor.isCompositing();
    m_containerView->setTranslucent(compositing);
    if (compositing)
        m_panel->clearMask();
    else if (m_panel->width() > 0 && m_panel->height() > 0)
        m_panel->setMask(QRegion(PanelGeometry::shapePath(m_panel->size()).toFillPolygon().toPolygon()));
}

void PanelController::setupHistoryButton(QWidget *host)
{
    m_historyButton = new FooterButton(SymbolIcons::Symbol::ClockArrowCirclePath,
                                       QStringLiteral("Restore last removed screenshot"), host);
    m_pasteButton = new FooterButton(SymbolIcons::Symbol::Plus, QStringLiteral("Add clipboard contents"), host);
    const int buttonTop = host->height() - padding - FooterButton::side;
    const int centreX = host->width() / 2;
    m_historyButton->move(centreX - footerButtonOffset - FooterButton::side / 2, buttonTop);
    m_pasteButton->move(centreX + footerButtonOffset - FooterButton::side / 2, buttonTop);
    connect(m_historyButton, &QAbstractButton::clicked, this, &PanelController::historyButtonTapped);
    connect(m_pasteButton, &QAbstractButton::clicked, this, &PanelController::pasteButtonTapped);
    updateHistoryButton();
}

void PanelController::addItem(const ShelfItem &item, RevealStyle style)
{
    // Until the stored shelf is back, new items wait: they go on top of it,
    // and the store is not rewritten without the entries still being read.
    if (m_isRestoring) {
        m_itemsAddedWhileRestoring.append({item, style});
        return;
    }
    insertItem(item, style);
    persist();
}

void PanelController::insertItem(const ShelfItem &item, RevealStyle style)
{
    ItemCardView *view = makeView(item);
    m_slots.prepend(Slot{item, view});
    m_stackView->insertCard(view, 0, cardFadeInDuration);
    CardFade::fadeIn(view, cardFadeInDuration);
    evictOverflowIfNeeded();
    reveal(style);
}

void PanelController::evictOverflowIfNeeded()
{
    while (m_slots.size() > capacity) {
        const Slot oldest = m_slots.takeLast();
        setLastEvicted(oldest.item);
        m_evictedExpiry = m_services.scheduler.scheduleOneShot(temporarySlotLifetime, this, [this] {
            m_evictedExpiry.reset();
            setLastEvicted(std::nullopt);
        });
        if (oldest.view)
            collapseAway(oldest.view, cardEvictDuration);
    }
}

void PanelController::collapseAway(ItemCardView *view, double duration)
{
    // Leaving the column at once lets the cards below close the gap while
    // this one fades where it stood.
    m_stackView->removeCard(view, duration);
    CardFade::fadeOutAndDelete(view, duration);
}

void PanelController::deleteItem(const QUuid &id)
{
    for (qsizetype i = 0; i < m_slots.size(); ++i) {
        if (m_slots.at(i).item.id != id)
            continue;
        const Slot removed = m_slots.takeAt(i);
        if (removed.view)
            collapseAway(removed.view, cardCollapseDuration);
        persist();
        return;
    }
}

void PanelController::historyButtonTapped()
{
    if (std::optional<ShelfItem> item = takeLastEvicted())
        addItem(*item, RevealStyle::show);
}

std::optional<ShelfItem> PanelController::takeLastEvicted()
{
    std::optional<ShelfItem> item = std::move(m_lastEvicted);
    m_evictedExpiry.reset();
    setLastEvicted(std::nullopt);
    return item;
}

std::optional<ShelfItem> PanelController::takeClipboardItem()
{
    std::optional<ShelfItem> item = std::move(m_clipboardItem);
    m_clipboardExpiry.reset();
    setClipboardItem(std::nullopt);
    return item;
}

void PanelController::holdClipboardItem(const ShelfItemKind &kind)
{
    setClipboardItem(ShelfItem::make(kind, m_services.scheduler.now()));
    m_clipboardExpiry = m_services.scheduler.scheduleOneShot(temporarySlotLifetime, this, [this] {
        m_clipboardExpiry.reset();
        setClipboardItem(std::nullopt);
    });
}

void PanelController::pasteButtonTapped()
{
    if (std::optional<ShelfItem> item = takeClipboardItem()) {
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
        view = new ThumbnailView(*screenshot, bodySize, m_stackView);
    else
        view = new TextItemView(*item.text(), bodySize, m_stackView);

    const QPointer<PanelController> self(this);
    const QPointer<ClipboardCopier> copier(m_copier);
    view->onCopy = [copier, kind = item.kind](ItemCardView::CopyDone done) {
        if (copier)
            copier->copyItem(kind, std::move(done));
    };
    const QUuid id = item.id;
    view->onDelete = [self, id] {
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

void PanelController::setLastEvicted(std::optional<ShelfItem> item)
{
    m_lastEvicted = std::move(item);
    updateHistoryButton();
}

void PanelController::setClipboardItem(std::optional<ShelfItem> item)
{
    m_clipboardItem = std::move(item);
    updatePasteButton();
}

void PanelController::updateHistoryButton()
{
    m_historyButton->setEnabled(m_lastEvicted.has_value());
    m_historyButton->setAlpha(m_lastEvicted ? historyAlphaPresent : historyAlphaAbsent);
}

void PanelController::updatePasteButton()
{
    m_pasteButton->setAlpha(m_clipboardItem ? pasteAlphaPresent : pasteAlphaAbsent);
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

void PanelController::persist()
{
    // While the stored shelf is being read, the store keeps every entry of
    // it: a kill meanwhile loses nothing. The change is written at the end.
    if (m_isRestoring) {
        m_persistAfterRestore = true;
        return;
    }
    if (m_services.defaults.setArray(ShelfArchive::storageKey, ShelfArchive::encode(items()))) {
        m_persistRetryTimer.reset();
        return;
    }
    // A full disk or a read-only folder: the shelf stays whole here, and is
    // written again later even if nothing changes for hours.
    if (!m_persistRetryTimer) {
        m_persistRetryTimer = m_services.scheduler.scheduleOneShot(persistRetryDelay, this, [this] {
            m_persistRetryTimer.reset();
            persist();
        });
    }
}

void PanelController::restorePersisted()
{
    const std::optional<QVariantList> stored = m_services.defaults.arrayForKey(ShelfArchive::storageKey);
    const std::optional<QList<StringMap>> entries =
        stored ? ShelfArchive::asStringMaps(*stored) : std::optional<QList<StringMap>>();
    if (!entries || entries->isEmpty()) {
        removeUnnamedPrivateFiles();
        return;
    }
    // Screenshots are decoded off the main thread, in parallel, so the panel
    // answers the pointer at once. Each entry is added once it and every
    // older one have been read, so the cards fill in as their thumbnails
    // arrive and still end in stored order.
    m_isRestoring = true;
    auto progress = std::make_shared<RestoreProgress>();
    progress->read.resize(entries->size());
    const double now = m_services.scheduler.now();
    const ThumbnailCache *cache = &m_services.thumbnails;
    for (qsizetype i = 0; i < entries->size(); ++i) {
        const StringMap entry = entries->at(i);
        m_services.tasks.run(this, [this, entry, now, cache, progress, i]() -> TaskRunner::Continuation {
            std::optional<ShelfItemKind> kind = ShelfArchive::decode(entry, now, cache);
            return [this, kind = std::move(kind), progress, i]() mutable {
                progress->read[i] = std::move(kind);
                addRestoredItems(*progress);
            };
        });
    }
}

void PanelController::addRestoredItems(RestoreProgress &progress)
{
    while (progress.next < progress.read.size() && progress.read[progress.next]) {
        std::optional<ShelfItemKind> &kind = *progress.read[progress.next++];
        if (!kind)
            continue; // skipped: no file, or not a readable image
        if (auto *screenshot = std::get_if<Screenshot>(&*kind))
            screenshot->privateFile = m_services.tempFolder.hold(screenshot->url.toLocalFile());
        insertItem(ShelfItem::make(std::move(*kind), m_services.scheduler.now()), RevealStyle::quiet);
        kind.reset();
        m_persistAfterRestore = true;
    }
    if (progress.next < progress.read.size())
        return;
    m_isRestoring = false;
    // Nothing restored and nothing changed: the stored value stays as it was.
    if (std::exchange(m_persistAfterRestore, false))
        persist();
    removeUnnamedPrivateFiles(); // items that came meanwhile hold their files
    // The decoders' full-size buffers are gone; give their pages back.
    ::malloc_trim(0);
    for (const auto &[item, style] : std::exchange(m_itemsAddedWhileRestoring, {}))
        addItem(item, style);
}

void PanelController::removeUnnamedPrivateFiles()
{
    // Left by a run that ended without letting go of them, or by older versions.
    QSet<QString> named;
    QList<ShelfItem> held = items();
    if (m_lastEvicted)
        held.append(*m_lastEvicted);
    for (const ShelfItem &item : held) {
        if (const Screenshot *screenshot = item.screenshot())
            named.insert(QDir::cleanPath(screenshot->url.toLocalFile()));
    }
    m_services.tempFolder.removeFilesExcept(named);
}
