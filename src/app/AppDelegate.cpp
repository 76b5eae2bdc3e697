#include "app/AppDelegate.h"

#include "shelf/PanelController.h"
#include "views/SymbolIcons.h"

#include <QCoreApplication>
#include <QMenu>
#include <QSystemTrayIcon>

AppDelegate::AppDelegate(const PlatformServices &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    // The panel restores the stored shelf while it is built, before any
    // source can report something new.
    m_panelController = std::make_unique<PanelController>(m_services);
    setupStatusItem();
}

void AppDelegate::applicationWillTerminate()
{
    // Nothing to save: the shelf is stored after every change.
}

void AppDelegate::setupStatusItem()
{
    m_statusMenu = std::make_unique<QMenu>();
    QAction *caption = m_statusMenu->addAction(QStringLiteral("Zorv"));
    caption->setEnabled(false);
    m_statusMenu->addSeparator();
    QAction *editHotkeys = m_statusMenu->addAction(QStringLiteral("Edit Hotkeys\u2026"));
    editHotkeys->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(editHotkeys, &QAction::triggered, this, &AppDelegate::openHotkeySettings);
    m_statusMenu->addSeparator();
    QAction *quitAction = m_statusMenu->addAction(QStringLiteral("Quit Zorv"));
    quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quitAction, &QAction::triggered, this, &AppDelegate::quit);

    m_statusItem = std::make_unique<QSystemTrayIcon>();
    m_statusItem->setIcon(SymbolIcons::icon(SymbolIcons::Symbol::CameraViewfinder, Qt::white));
    m_statusItem->setToolTip(QStringLiteral("Zorv"));
    m_statusItem->setContextMenu(m_statusMenu.get());
    // A left click opens the same menu, as the status item does elsewhere.
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_statusMenu->popup(QCursor::pos());
    });
    // Shown even without a tray host: the icon docks once one starts.
    m_statusItem->show();
}

void AppDelegate::openHotkeySettings()
{
    // The settings window does not exist yet.
}

void AppDelegate::quit()
{
    QCoreApplication::quit();
}
