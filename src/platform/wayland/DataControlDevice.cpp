#include "platform/wayland/DataControlDevice.h"

#include "platform/wayland/DataControlProtocol.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A notifier may be the sender of the call that ends it.
void retire(std::unique_ptr<QSocketNotifier> &notifier)
{
    if (!notifier)
        return;
    notifier->setEnabled(false);
    notifier.release()->deleteLater();
}

} // namespace

struct DataControlDevice::Offer
{
    wl_proxy *proxy = nullptr;
    QStringList types;
};

struct DataControlDevice::Source
{
    wl_proxy *proxy = nullptr;
    SendHandler onSend;
};

// The C listeners of the protocol objects, each handing on to the device.
struct DataControlDevice::Listeners
{
    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
    {
        auto *self = static_cast<DataControlDevice *>(data);
        const QByteArray which(interface);
        if (which == wl_seat_interface.name && !self->m_seat) {
            self->m_seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
            wl_seat_add_listener(self->m_seat, &seatListener, self);
        } else if (which == DataControlProtocol::ext.managerInterface->name && self->m_extGlobal.name == 0) {
            self->m_extGlobal = {name, version};
        } else if (which == DataControlProtocol::wlr.managerInterface->name && self->m_wlrGlobal.name == 0) {
            self->m_wlrGlobal = {name, version};
        }
    }
    static void globalRemove(void *, wl_registry *, uint32_t) {}
    static void seatCapabilities(void *, wl_seat *, uint32_t) {}
    static void syncDone(void *data, wl_callback *callback, uint32_t)
    {
        wl_callback_destroy(callback);
        static_cast<DataControlDevice *>(data)->globalsKnown();
    }
    static void deviceSyncDone(void *data, wl_callback *callback, uint32_t)
    {
        wl_callback_destroy(callback);
        static_cast<DataControlDevice *>(data)->initialSelectionKnown();
    }

    static void dataOffer(void *data, wl_proxy *, wl_proxy *proxy)
    {
        auto *self = static_cast<DataControlDevice *>(data);
        auto offer = std::make_unique<Offer>();
        offer->proxy = proxy;
        listen(proxy, offerListener, offer.get());
        self->m_offers.push_back(std::move(offer));
    }
    static void selection(void *data, wl_proxy *, wl_proxy *proxy)
    {
        static_cast<DataControlDevice *>(data)->takeSelection(proxy);
    }
    static void finished(void *data, wl_proxy *)
    {
        static_cast<DataControlDevice *>(data)->fail();
    }
    static void primarySelection(void *data, wl_proxy *, wl_proxy *proxy)
    {
        // Zorv follows the clipboard only.
        if (proxy)
            static_cast<DataControlDevice *>(data)->dropOffer(proxy);
    }
    static void offerType(void *data, wl_proxy *, const char *type)
    {
        static_cast<Offer *>(data)->types.append(QString::fromUtf8(type));
    }

    static void send(void *data, wl_proxy *proxy, const char *type, int32_t fd)
    {
        auto *self = static_cast<DataControlDevice *>(data);
        for (const auto &source : self->m_sources) {
            if (source->proxy == proxy && source->onSend) {
                source->onSend(QString::fromUtf8(type), fd);
                return;
            }
        }
        ::close(fd);
    }
    static void cancelled(void *data, wl_proxy *proxy)
    {
        auto *self = static_cast<DataControlDevice *>(data);
        for (const auto &source : self->m_sources) {
            if (source->proxy == proxy)
                return self->dropSource(source.get());
        }
    }

    static constexpr wl_registry_listener registryListener{global, globalRemove};
    static constexpr wl_seat_listener seatListener{seatCapabilities, nullptr};
    static constexpr wl_callback_listener syncListener{syncDone};
    static constexpr wl_callback_listener deviceSyncListener{deviceSyncDone};
    static constexpr DataControlProtocol::DeviceListener deviceListener{dataOffer, selection, finished,
                                                                        primarySelection};
    static constexpr DataControlProtocol::OfferListener offerListener{offerType};
    static constexpr DataControlProtocol::SourceListener sourceListener{send, cancelled};

    // Either protocol's objects take a listener of the shared layout.
    template <typename Listener> static void listen(wl_proxy *proxy, const Listener &listener, void *data)
    {
        wl_proxy_add_listener(proxy, reinterpret_cast<void (**)(void)>(const_cast<Listener *>(&listener)), data);
    }
};

DataControlDevice::DataControlDevice(QObject *parent)
    : QObject(parent)
    , m_display(wl_display_connect(nullptr))
{
    if (!m_display) {
        m_isLost = true;
        QMetaObject::invokeMethod(this, &DataControlDevice::lost, Qt::QueuedConnection);
        return;
    }
    m_readable = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_readable.get(), &QSocketNotifier::activated, this, &DataControlDevice::dispatch);
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &Listeners::registryListener, this);
    // The registry's globals all come before the answer to this.
    wl_callback_add_listener(wl_display_sync(m_display), &Listeners::syncListener, this);
    flush();
}

DataControlDevice::~DataControlDevice()
{
    disconnectDisplay();
}

void DataControlDevice::disconnectDisplay()
{
    if (!m_display)
        return;
    m_readable.reset();
    m_writable.reset();
    m_selection = nullptr;
    m_latestSource = nullptr;
    for (const auto &offer : m_offers)
        m_protocol->destroyOffer(offer->proxy);
    for (const auto &source : m_sources)
        m_protocol->destroySource(source->proxy);
    if (m_device)
        m_protocol->destroyDevice(m_device);
    if (m_manager)
        m_protocol->destroyManager(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    m_offers.clear();
    m_sources.clear();
    m_device = nullptr;
    m_manager = nullptr;
    m_seat = nullptr;
    m_registry = nullptr;
    wl_display_flush(m_display);
    wl_display_disconnect(std::exchange(m_display, nullptr));
}

void DataControlDevice::globalsKnown()
{
    // The standard form first: where both are offered, the wlroots one is
    // the one on its way out.
    const Global global = m_extGlobal.name != 0 ? m_extGlobal : m_wlrGlobal;
    if (global.name == 0 || !m_seat)
        return fail();
    m_protocol = m_extGlobal.name != 0 ? &DataControlProtocol::ext : &DataControlProtocol::wlr;
    m_manager = static_cast<wl_proxy *>(wl_registry_bind(m_registry, global.name, m_protocol->managerInterface,
                                                         std::min(global.version, m_protocol->managerVersion)));
    m_device = m_protocol->getDataDevice(m_manager, m_seat);
    Listeners::listen(m_device, Listeners::deviceListener, this);
    // A compositor tells of the selection it holds, if any, before it
    // answers this; sway also tells of none, KWin does not.
    wl_callback_add_listener(wl_display_sync(m_display), &Listeners::deviceSyncListener, this);
    flush();
}

void DataControlDevice::initialSelectionKnown()
{
    m_initialSelectionKnown = true;
    Q_EMIT ready();
}

QString DataControlDevice::protocolName() const
{
    if (!m_protocol)
        return QString();
    return m_protocol == &DataControlProtocol::ext ? QStringLiteral("ext") : QStringLiteral("wlr");
}

QStringList DataControlDevice::selectionTypes() const
{
    return m_selection && !ownsSelection() ? m_selection->types : QStringList();
}

int DataControlDevice::receive(const QString &type)
{
    if (!isReady() || !m_selection)
        return -1;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    m_protocol->receive(m_selection->proxy, type.toUtf8().constData(), fds[1]);
    flush();
    // The request carries a copy of the write end; the holder writes into that.
    ::close(fds[1]);
    return fds[0];
}

void DataControlDevice::setSelection(const QStringList &types, SendHandler onSend)
{
    if (!isReady())
        return;
    auto source = std::make_unique<Source>();
    source->proxy = m_protocol->createDataSource(m_manager);
    source->onSend = std::move(onSend);
    Listeners::listen(source->proxy, Listeners::sourceListener, this);
    for (const QString &type : types)
        m_protocol->offer(source->proxy, type.toUtf8().constData());
    m_protocol->setSelection(m_device, source->proxy);
    m_latestSource = source.get();
    m_sources.push_back(std::move(source));
    flush();
}

void DataControlDevice::takeSelection(wl_proxy *proxy)
{
    if (m_selection)
        dropOffer(m_selection->proxy);
    m_selection = nullptr;
    for (const auto &offer : m_offers) {
        if (offer->proxy == proxy)
            m_selection = offer.get();
    }
    if (m_initialSelectionKnown)
        Q_EMIT selectionChanged();
}

void DataControlDevice::dropOffer(wl_proxy *proxy)
{
    if (m_selection && m_selection->proxy == proxy)
        m_selection = nullptr;
    const auto it = std::find_if(m_offers.begin(), m_offers.end(),
                                 [proxy](const std::unique_ptr<Offer> &offer) { return offer->proxy == proxy; });
    if (it == m_offers.end())
        return;
    m_protocol->destroyOffer(proxy);
    m_offers.erase(it);
}

void DataControlDevice::dropSource(Source *source)
{
    if (source == m_latestSource)
        m_latestSource = nullptr;
    m_protocol->destroySource(source->proxy);
    std::erase_if(m_sources, [source](const std::unique_ptr<Source> &held) { return held.get() == source; });
}

void DataControlDevice::dispatch()
{
    if (m_isLost)
        return;
    // The notifier said there is data: reading it does not wait.
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    if (wl_display_read_events(m_display) < 0)
        return fail();
    if (wl_display_dispatch_pending(m_display) < 0)
        return fail();
    flush();
}

void DataControlDevice::flush()
{
    if (m_isLost)
        return;
    if (wl_display_flush(m_display) >= 0) {
        retire(m_writable);
    } else if (errno == EAGAIN) {
        // The socket is full: send the rest when it takes more.
        if (!m_writable) {
            m_writable = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Write);
            connect(m_writable.get(), &QSocketNotifier::activated, this, &DataControlDevice::flush);
        }
    } else {
        return fail();
    }
    if (wl_display_get_error(m_display) != 0)
        fail();
}

void DataControlDevice::fail()
{
    if (std::exchange(m_isLost, true))
        return;
    retire(m_readable);
    retire(m_writable);
    m_selection = nullptr;
    m_latestSource = nullptr;
    // This may run inside the library's dispatch: the connection closes later.
    QMetaObject::invokeMethod(
        this,
        [this] {
            disconnectDisplay();
            Q_EMIT lost();
        },
        Qt::QueuedConnection);
}
