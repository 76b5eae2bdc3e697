#include "panel/PanelViews.h"

#include "platform/CompositorWatch.h"
#include "views/FooterButton.h"
#include "views/PanelBackgroundView.h"
#include "views/PanelBorderView.h"
#include "views/PanelGeometry.h"
#include "views/PanelWindow.h"
#include "views/PassthroughView.h"
#include "views/ShelfDropTargetView.h"
#include "views/ShelfStackView.h"

#include <QRegion>

PanelViews::PanelViews(const PlatformServices &services, const QRect &frame, QObject *parent)
    : QObject(parent)
    , m_compositor(services.compositor)
    , m_window(std::make_unique<PanelWindow>(frame))
{
    const QRect bounds(QPoint(), m_window->size());
    m_containerView = new PanelBackgroundView(m_compositor.isCompositing(), m_window.get());
    m_containerView->setGeometry(bounds);
    m_dropTarget = new ShelfDropTargetView(services.tempFolder, services.scheduler, services.tasks,
                                           &services.thumbnails, m_window.get());
    m_dropTarget->setGeometry(bounds);

    m_borderHostView = new PanelBorderView(m_window.get());
    m_borderHostView->setGeometry(bounds);

    m_stackView = new ShelfStackView(padding, itemSpacing, m_dropTarget);
    m_stackView->setGeometry(0, 0, panelWidth, panelHeight - footerHeight);

    setupFooterButtons(m_dropTarget);

    // Above everything, and invisible to the mouse: key hints never block a click.
    m_keyHintOverlay = new PassthroughView(m_window.get());
    m_keyHintOverlay->setGeometry(bounds);

    updateBorderPaths();
    connect(&m_compositor, &CompositorWatch::compositingChanged, this, &PanelViews::applyCompositing);
}

PanelViews::~PanelViews() = default;

void PanelViews::setupFooterButtons(QWidget *host)
{
    m_historyButton = new FooterButton(SymbolIcons::Symbol::ClockArrowCirclePath,
                                       QStringLiteral("Restore last removed screenshot"), host);
    m_pasteButton = new FooterButton(SymbolIcons::Symbol::Plus, QStringLiteral("Add clipboard contents"), host);
    const int buttonTop = host->height() - padding - FooterButton::side;
    const int centreX = host->width() / 2;
    m_historyButton->move(centreX - footerButtonOffset - FooterButton::side / 2, buttonTop);
    m_pasteButton->move(centreX + footerButtonOffset - FooterButton::side / 2, buttonTop);
}

void PanelViews::updateBorderPaths()
{
    m_borderHostView->updateBorderPaths();
    applyCompositing();
}

void PanelViews::applyCompositing()
{
    // Without a compositor translucent pixels show black: the background is
    // opaque and the rounded corners are cut out of the window itself.
    const bool compositing = m_compositor.isCompositing();
    m_containerView->setTranslucent(compositing);
    if (compositing)
        m_window->clearMask();
    else if (m_window->width() > 0 && m_window->height() > 0)
        m_window->setMask(QRegion(PanelGeometry::shapePath(m_window->size()).toFillPolygon().toPolygon()));
}
