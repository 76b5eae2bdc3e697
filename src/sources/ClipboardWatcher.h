#pragma once

#include "shelf/ShelfItem.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class Pasteboard;
class PrivateTempFolder;
class Scheduler;
class Timer;

// Polls the clipboard and turns each new content into a shelf item kind: an
// image becomes a PNG in the private temporary folder, text stays text.
// Content a password manager marked as secret is never taken.
class ClipboardWatcher final : public QObject
{
    Q_OBJECT
public:
    using NewItemCallback = std::function<void(const ShelfItemKind &)>;

    ClipboardWatcher(Scheduler &scheduler, Pasteboard &pasteboard, PrivateTempFolder &tempFolder,
                     NewItemCallback onNewItem, QObject *parent = nullptr);
    ~ClipboardWatcher() override;

    void start();
    void stop();

    // The clipboard's content now, marked as seen so the poll skips it.
    std::optional<ShelfItemKind> takeCurrentItem();

    static constexpr double pollInterval = 0.4;

private:
    void check();
    std::optional<ShelfItemKind> item();

    Scheduler &m_scheduler;
    Pasteboard &m_pasteboard;
    PrivateTempFolder &m_tempFolder;
    NewItemCallback m_onNewItem;
    std::unique_ptr<Timer> m_timer;
    qint64 m_lastChangeCount;
};
