#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

struct wl_display;
struct wl_proxy;
struct wl_registry;
struct wl_seat;
struct DataControlProtocol;
class QSocketNotifier;

// The Wayland seat's selection through the data-control protocol (the
// standard ext form where the compositor offers it, else the wlroots one),
// on a connection of Zorv's own, with no surface and no keyboard focus needed.
// Everything here runs on the main thread and never waits: the connection is
// read when its descriptor has data, so at rest it costs no wake-up. Moving
// the data itself is for others (see receive() and setSelection()).
class DataControlDevice final : public QObject
{
    Q_OBJECT
public:
    // Called with the type another program asks for and the pipe to write
    // it into; the handler owns the descriptor.
    using SendHandler = std::function<void(const QString &type, int fd)>;

    // Connects to the compositor named by WAYLAND_DISPLAY. Whether it offers
    // data-control is known a moment later: ready() or lost() follows.
    explicit DataControlDevice(QObject *parent = nullptr);
    ~DataControlDevice() override;

    bool isReady() const { return m_device != nullptr && m_initialSelectionKnown && !m_isLost; }
    // The selection is the one this program set last: the compositor cancels
    // a source before it tells of the selection that replaced it.
    bool ownsSelection() const { return isReady() && m_latestSource != nullptr; }
    // The types of the selection another program holds; empty when there is
    // none or it is ours.
    QStringList selectionTypes() const;
    // Asks the selection's holder for `type`; gives the pipe's read end,
    // which the caller owns, or -1.
    int receive(const QString &type);
    // Makes a selection of `types`, replacing whatever the seat holds.
    void setSelection(const QStringList &types, SendHandler onSend);

    // Which form of the protocol is in use, once ready(): "ext" or "wlr".
    QString protocolName() const;

Q_SIGNALS:
    void ready();
    // The seat's selection changed, to ours too. The selection present
    // before ready() is no change.
    void selectionChanged();
    // No data-control here, or the connection broke; the device stays unusable.
    void lost();

private:
    struct Offer;
    struct Source;
    struct Listeners;
    friend struct Listeners;

    void dispatch();
    void flush();
    void fail();
    void disconnectDisplay();
    void globalsKnown();
    void initialSelectionKnown();
    void takeSelection(wl_proxy *offer);
    void dropOffer(wl_proxy *offer);
    void dropSource(Source *source);

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    wl_seat *m_seat = nullptr;
    // The globals of each form, by name and version, until the registry is known.
    struct Global
    {
        uint32_t name = 0;
        uint32_t version = 0;
    };
    Global m_extGlobal;
    Global m_wlrGlobal;
    const DataControlProtocol *m_protocol = nullptr;
    wl_proxy *m_manager = nullptr;
    wl_proxy *m_device = nullptr;
    std::unique_ptr<QSocketNotifier> m_readable;
    std::unique_ptr<QSocketNotifier> m_writable; // only while requests wait to be sent
    std::vector<std::unique_ptr<Offer>> m_offers; // announced, not yet dropped
    Offer *m_selection = nullptr;
    std::vector<std::unique_ptr<Source>> m_sources; // ours, each until the compositor cancels it
    Source *m_latestSource = nullptr; // the one set last, while not cancelled
    bool m_initialSelectionKnown = false;
    bool m_isLost = false;
};
