#pragma once

#include <QObject>
#include <QPointF>
#include <QSize>

#include <memory>
#include <optional>

class CompositorWatch;
class ItemCardView;
class PanelVisibility;
class PreviewPopup;
class QWidget;
class Shelf;
class ShelfActions;
struct ShelfItem;

// The items behind the footer buttons, shown as a card below the panel
// while the pointer rests on their button: the held clipboard item behind
// the paste button, the last evicted item behind the history button. A
// click on the card takes the item onto the shelf. Part of the panel, which
// owns it and outlives it.
class HoverPreview final : public QObject
{
    Q_OBJECT
public:
    enum class Source { clipboard, history };

    HoverPreview(ShelfActions &actions, Shelf &shelf, const PanelVisibility &visibility, CompositorWatch &compositor,
                 const QWidget *pasteButton, const QWidget *historyButton);
    ~HoverPreview() override;

    // Runs on every pointer poll, before the panel decides where it goes;
    // nothing while the pointer's position is unknown, which changes nothing.
    void updatePreview(std::optional<QPointF> mouse);
    // Forgets the source and lets the card go, if there is one.
    void dismiss();
    // A shown card holds the pointer as the panel itself does.
    bool holdsPointer(QPointF mouse) const;

    std::optional<Source> source() const { return m_previewSource; }
    PreviewPopup *popup() const { return m_previewPopup.get(); }

    static constexpr QSize popupSize{132, 92};
    static constexpr int cardPadding = 8;
    static constexpr qreal buttonZoneOutset = 6;
    static constexpr qreal popupZoneOutset = 8;

private:
    void showPreview(Source source);
    ItemCardView *makePreviewView(const ShelfItem &item, Source source);
    QRectF buttonZone(const QWidget *button) const;
    PreviewPopup &previewPopup();

    ShelfActions &m_actions;
    Shelf &m_shelf;
    const PanelVisibility &m_visibility;
    CompositorWatch &m_compositor;
    const QWidget *m_pasteButton;
    const QWidget *m_historyButton;
    std::unique_ptr<PreviewPopup> m_previewPopup; // made at the first preview
    std::optional<Source> m_previewSource;
};
