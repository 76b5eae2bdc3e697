#pragma once

#include "model/ScreenshotImage.h"
#include "platform/PlatformServices.h"

#include <QImage>
#include <QObject>
#include <QUrl>

#include <memory>

class ClipboardWatcher;
class HotkeyManager;
class HotkeySettingsWindowController;
class HotkeyStore;
class PanelController;
class ScreenshotWatcher;
class QMenu;
class QSystemTrayIcon;

// Creates, owns and connects every long-lived object of the application, in
// a fixed order, and stops them again when the application quits.
class AppDelegate final : public QObject
{
    Q_OBJECT
public:
    explicit AppDelegate(const PlatformServices &services, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    void applicationWillTerminate();

    PanelController *panelController() const { return m_panelController.get(); }
    QSystemTrayIcon *statusItem() const { return m_statusItem.get(); }
    QMenu *statusMenu() const { return m_statusMenu.get(); }
    ClipboardWatcher *clipboardWatcher() const { return m_clipboardWatcher.get(); }
    ScreenshotWatcher *watcher() const { return m_watcher.get(); }
    HotkeyStore *hotkeyStore() const { return m_hotkeyStore.get(); }
    HotkeyManager *hotkeyManager() const { return m_hotkeyManager.get(); }
    // Made at the first "Edit Hotkeys…" and kept; closing only hides it.
    HotkeySettingsWindowController *hotkeySettings();
    void openHotkeySettings();

    // When set before launch, the only folder watched for screenshots;
    // otherwise the capture tools' folders are resolved at launch.
    QString screenshotDirectory;
    // Whether the X server is XWayland, where the desktop decides which
    // keys Zorv hears.
    bool onXWayland = false;

private:
    void setupClipboardWatcher();
    void setupScreenshotWatcher();
    void addScreenshot(const QUrl &url, std::shared_ptr<const ScreenshotImage> image);
    void setupHotkeyManager();
    void setupStatusItem();
    void quit();

    PlatformServices m_services;
    std::unique_ptr<HotkeyStore> m_hotkeyStore;
    std::unique_ptr<QMenu> m_statusMenu;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    std::unique_ptr<PanelController> m_panelController;
    std::unique_ptr<ClipboardWatcher> m_clipboardWatcher;
    std::unique_ptr<ScreenshotWatcher> m_watcher;
    std::unique_ptr<HotkeyManager> m_hotkeyManager;
    std::unique_ptr<HotkeySettingsWindowController> m_hotkeySettings;
};
