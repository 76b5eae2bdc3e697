#include "app/AppDelegate.h"

#include "app/AppIcon.h"
#include "hotkeys/HotkeyManager.h"
#include "model/HotkeyStore.h"
#include "panel/PanelController.h"
#include "platform/DesktopSession.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Scheduler.h"
#include "sources/ClipboardWatcher.h"
#include "sources/ScreenshotWatcher.h"
#include "views/HotkeySettingsWindowController.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>

AppDelegate::AppDelegate(const PlatformServices &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_hotkeyStore(std::make_unique<HotkeyStore>(services.defaults, services.notifications))
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    // The panel restores the stored shelf while it is built, before any
    // source can report something new.
    m_panelController = std::make_unique<PanelController>(m_services, *m_hotkeyStore);
    setupClipboardWatcher();
    setupScreenshotWatcher();
    setupHotkeyManager();
    setupStatusItem();
}

void AppDelegate::applicationWillTerminate()
{
    // Nothing to save here: the shelf is stored after every change, and its
    // store writes a change still waiting as the application quits. The
    // stored shelf names its private files, so they outlive the items going
    // away.
    m_services.tempFolder.keepFiles();
    if (m_watcher)
        m_watcher->stop();
    if (m_clipboardWatcher)
        m_clipboardWatcher->stop();
    // Disarms if armed, which takes the key hints down first.
    if (m_hotkeyManager)
        m_hotkeyManager->stop();
}

void AppDelegate::setupClipboardWatcher()
{
    const QPointer<AppDelegate> self(this);
    m_clipboardWatcher = std::make_unique<ClipboardWatcher>(
        m_services.scheduler, m_services.pasteboard, m_services.tempFolder, m_services.tasks, [self](const ShelfItemKind &kind) {
            if (self)
                self->m_panelController->holdClipboardItem(kind);
        });
    m_clipboardWatcher->start();
    m_panelController->onPasteRequested = [self](PanelController::PasteAnswer answer) {
        if (self)
            self->m_clipboardWatcher->takeCurrentItem(std::move(answer));
    };
}

void AppDelegate::setupScreenshotWatcher()
{
    // The capture tools' settings are read, and followed, by the watcher.
    ScreenshotFolders folders =
        screenshotDirectory.isEmpty() ? ScreenshotFolders::ofCurrentUser() : ScreenshotFolders::only(screenshotDirectory);
    const QPointer<AppDelegate> self(this);
    m_watcher = std::make_unique<ScreenshotWatcher>(
        std::move(folders), [self](const QUrl &url, std::shared_ptr<const ScreenshotImage> image) {
            if (self)
                self->addScreenshot(url, std::move(image));
        });
    m_watcher->setThumbnailCache(&m_services.thumbnails);
    m_watcher->start();
}

void AppDelegate::addScreenshot(const QUrl &url, std::shared_ptr<const ScreenshotImage> image)
{
    if (!image)
        return; // not a readable image: no item, no peek
    const double now = m_services.scheduler.now();
    m_panelController->addItem(ShelfItem::make(Screenshot::make(url, std::move(image), now), now),
                               PanelController::RevealStyle::peek);
}

void AppDelegate::setupHotkeyManager()
{
    m_hotkeyManager = std::make_unique<HotkeyManager>(m_services.scheduler, m_services.globalInput, *m_hotkeyStore,
                                                      m_services.notifications);
    const QPointer<AppDelegate> self(this);
    m_hotkeyManager->onArm = [self] {
        if (self)
            self->m_panelController->showKeyHints();
    };
    m_hotkeyManager->onDisarm = [self] {
        if (self)
            self->m_panelController->hideKeyHints();
    };
    m_hotkeyManager->onAction = [self](HotkeyAction action) {
        if (self)
            self->m_panelController->performHotkey(action);
    };
    m_hotkeyManager->start();
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
    m_statusItem->setIcon(AppIcon::icon());
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

HotkeySettingsWindowController *AppDelegate::hotkeySettings()
{
    if (m_hotkeySettings)
        return m_hotkeySettings.get();
    m_hotkeySettings = std::make_unique<HotkeySettingsWindowController>(
        *m_hotkeyStore, m_services.notifications, m_services.globalInput, m_services.scheduler);
    const QPointer<AppDelegate> self(this);
    // Keys typed into a recorder must neither arm nor fire anything.
    m_hotkeySettings->onRecordingChanged = [self](bool recording) {
        if (self && self->m_hotkeyManager)
            self->m_hotkeyManager->setSuspended(recording);
    };
    m_hotkeySettings->leaderLimitation = [onXWayland = onXWayland] {
        return DesktopSession::detect(onXWayland).leaderLimitation();
    };
    return m_hotkeySettings.get();
}

void AppDelegate::openHotkeySettings()
{
    QWidget *window = hotkeySettings()->window();
    if (!window->isVisible()) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame = window->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            window->move(frame.topLeft());
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
    // No recorder starts out focused, so no key is taken before a click.
    if (QWidget *focused = window->focusWidget())
        focused->clearFocus();
    window->setFocus(Qt::OtherFocusReason);
}

void AppDelegate::quit()
{
    QCoreApplication::quit();
}
