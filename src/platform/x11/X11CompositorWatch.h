#pragma once

#include "platform/CompositorWatch.h"
#include "platform/x11/XcbConnection.h"

#include <memory>

class QSocketNotifier;

// Follows the owner of the _NET_WM_CM_S<screen> selection, which a
// compositing manager holds while it runs. XFixes reports every change of
// owner on a private connection, read when its socket wakes the event loop:
// nothing is polled. Without XFixes the state found at start stays.
class X11CompositorWatch final : public CompositorWatch
{
    Q_OBJECT
public:
    explicit X11CompositorWatch(QObject *parent = nullptr);
    ~X11CompositorWatch() override;

    bool isCompositing() const override { return m_compositing; }

private:
    bool watchSelection(quint32 root);
    void readEvents();

    XcbConnection m_connection;
    quint32 m_selection = 0;
    quint8 m_selectionNotify = 0; // XFixes' SelectionNotify event code
    bool m_compositing = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
