#include "panel/HoverPreview.h"

#include "model/Shelf.h"
#include "panel/PanelVisibility.h"
#include "panel/ShelfActions.h"
#include "views/ItemCardView.h"
#include "views/PreviewPopup.h"

#include <QPointer>

HoverPreview::HoverPreview(ShelfActions &actions, Shelf &shelf, const PanelVisibility &visibility,
                           CompositorWatch &compositor, const QWidget *pasteButton, const QWidget *historyButton)
    : m_actions(actions)
    , m_shelf(shelf)
    , m_visibility(visibility)
    , m_compositor(compositor)
    , m_pasteButton(pasteButton)
    , m_historyButton(historyButton)
{
}

HoverPreview::~HoverPreview() = default;

PreviewPopup &HoverPreview::previewPopup()
{
    if (!m_previewPopup)
        m_previewPopup = std::make_unique<PreviewPopup>(popupSize, m_compositor);
    return *m_previewPopup;
}

void HoverPreview::updatePreview(std::optional<QPointF> mouse)
{
    // The key hints dismiss the card and keep it away while they are up;
    // otherwise the pointer resting on a button would bring it back at once.
    if (m_visibility.state() != PanelVisibility::State::shown || m_visibility.isShowingKeyHints) {
        if (m_previewSource)
            dismiss();
        return;
    }
    // A card dragged out of the preview keeps its window until the drag ends.
    if (m_visibility.isDragging())
        return;
    // Unknown between the panel and the card, too, where another
    // program's window shows through the gap: the card stays, and goes
    // with the panel if the pointer does not come back.
    if (!mouse)
        return;
    if (buttonZone(m_pasteButton).contains(*mouse) && m_shelf.clipboardItem()) {
        showPreview(Source::clipboard);
        return;
    }
    if (buttonZone(m_historyButton).contains(*mouse) && m_shelf.lastEvicted()) {
        showPreview(Source::history);
        return;
    }
    if (m_previewSource && !holdsPointer(*mouse))
        dismiss();
}

void HoverPreview::dismiss()
{
    m_previewSource.reset();
    if (m_previewPopup)
        m_previewPopup->dismiss();
}

bool HoverPreview::holdsPointer(QPointF mouse) const
{
    if (!m_previewPopup || !m_previewPopup->isVisible())
        return false;
    const QRectF frame(m_previewPopup->frame());
    return frame.adjusted(-popupZoneOutset, -popupZoneOutset, popupZoneOutset, popupZoneOutset).contains(mouse);
}

QRectF HoverPreview::buttonZone(const QWidget *button) const
{
    // From the panel's own frame: the window's position lags its slide.
    const QPointF topLeft = m_visibility.frame().topLeft() + button->mapTo(button->window(), QPoint());
    return QRectF(topLeft, QSizeF(button->size()))
        .adjusted(-buttonZoneOutset, -buttonZoneOutset, buttonZoneOutset, buttonZoneOutset);
}

void HoverPreview::showPreview(Source source)
{
    if (m_previewSource == source)
        return; // not rebuilt while the pointer stays
    const std::optional<ShelfItem> &item =
        source == Source::history ? m_shelf.lastEvicted() : m_shelf.clipboardItem();
    if (!item)
        return;
    m_previewSource = source;
    previewPopup().show(makePreviewView(*item, source), m_visibility.frame(), cardPadding);
}

ItemCardView *HoverPreview::makePreviewView(const ShelfItem &item, Source source)
{
    const QSize body = popupSize - QSize(2 * cardPadding, 2 * cardPadding);
    ItemCardView *view = m_actions.makeView(item, body);
    // A double click, or a click on the fading card, takes the item once.
    auto taken = std::make_shared<bool>(false);
    const QPointer<HoverPreview> self(this);
    const auto take = [self, item, source, taken] {
        if (!self || *taken)
            return;
        *taken = true;
        if (source == Source::clipboard)
            self->m_shelf.takeClipboardItem();
        else
            self->m_shelf.takeLastEvicted();
        self->dismiss();
        self->m_actions.addItem(item, ShelfActions::RevealStyle::show);
    };
    view->onClick = take;
    view->onDelete = take;
    return view;
}
